// kelvora-strokecheck: the writing-practice checker on the command line, for
// replaying recorded strokes and for automation. One JSON object a line in,
// one verdict a line out, in the same order.
#include "CommandLine.h"
#include "StartupData.h"
#include "StrokeChecker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Coordinates beyond this are no drawing in the 1024-unit box (the checker
// refuses them too; here they get a message of their own).
constexpr double MaxCoordinate = 1e5;

// A JSON string, escaped as QJsonDocument writes it.
QByteArray jsonString(const QString &s)
{
    const QByteArray a = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2);
}

QByteArray errorLine(const QString &message)
{
    return "{\"error\":" + jsonString(message) + "}";
}

// The keys in the order a reader expects them: match first.
QByteArray verdictLine(const StrokeVerdict &v)
{
    QByteArray out = "{\"match\":";
    out += v.match ? "true" : "false";
    out += ",\"backwards\":";
    out += v.backwards ? "true" : "false";
    out += ",\"reason\":" + jsonString(v.reasonText());
    if (v.looksLike >= 0)
        out += ",\"looksLike\":" + QByteArray::number(v.looksLike + 1);
    return out + "}";
}

// One input line checked, or the reason it cannot be.
QByteArray answer(const QByteArray &line, const StartupData &data, Strictness strictness, bool &bad)
{
    bad = true;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return errorLine(QStringLiteral("not JSON: %1 at offset %2")
                             .arg(parseError.errorString()).arg(parseError.offset));
    if (!doc.isObject())
        return errorLine(QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();

    const QJsonValue ch = o.value(QLatin1String("char"));
    if (!ch.isString())
        return errorLine(QStringLiteral("\"char\" must be a string of one character"));
    const QString c = ch.toString();
    if (c.toUcs4().size() != 1)
        return errorLine(QStringLiteral("\"char\" must be one character, not \"%1\"").arg(c));
    if (c.size() != 1 || !data.isSupported(c))
        return errorLine(QStringLiteral("\"%1\" is not one of the 6763 characters").arg(c));
    const QList<QPolygonF> lines = data.CenterLines.strokes(c.at(0));
    if (lines.isEmpty())
        return errorLine(QStringLiteral("no centre lines for \"%1\"").arg(c));

    const QJsonValue st = o.value(QLatin1String("stroke"));
    const double stroke = st.toDouble(-1);
    if (!st.isDouble() || stroke != std::floor(stroke) || stroke < 1 || stroke > lines.size())
        return errorLine(QStringLiteral("\"stroke\" must be a whole number from 1 to %1 for \"%2\"")
                             .arg(lines.size()).arg(c));

    const QJsonValue pts = o.value(QLatin1String("points"));
    if (!pts.isArray())
        return errorLine(QStringLiteral("\"points\" must be an array of [x, y] pairs"));
    const QJsonArray array = pts.toArray();
    if (array.size() < 2)
        return errorLine(QStringLiteral("a stroke needs at least 2 points, not %1").arg(array.size()));
    QPolygonF drawn;
    drawn.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonArray p = array.at(i).toArray();
        if (p.size() != 2 || !p.at(0).isDouble() || !p.at(1).isDouble())
            return errorLine(QStringLiteral("point %1 is not a pair of numbers [x, y]").arg(i + 1));
        const double x = p.at(0).toDouble(), y = p.at(1).toDouble();
        if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > MaxCoordinate || std::abs(y) > MaxCoordinate)
            return errorLine(QStringLiteral("point %1 is out of range (coordinates up to %2)")
                                 .arg(i + 1).arg(MaxCoordinate));
        drawn.append(QPointF(x, y));
    }

    const StrokeVerdict v = StrokeChecker::check(lines, int(stroke) - 1, drawn, strictness);
    if (v.reason == MissReason::Invalid)
        return errorLine(QStringLiteral("the stroke cannot be checked"));
    bad = false;
    return verdictLine(v);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setProgramName("kelvora-strokecheck");
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Checks strokes written by a learner against Kelvora's stroke centre lines, as the writing\n"
        "practice does. Reads one JSON object a line from standard input:\n"
        "  {\"char\":\"你\",\"stroke\":1,\"points\":[[x,y],…]}\n"
        "stroke numbered from 1, points in the 1024-unit box of the stroke data with y downward,\n"
        "in the order they were drawn. Writes one line for each, in the same order:\n"
        "  {\"match\":true,\"backwards\":false,\"reason\":\"\"}\n"
        "with \"looksLike\": n (from 1) when the stroke looks like another stroke of the character,\n"
        "or {\"error\":\"…\"} for a line that cannot be checked; the lines after it are still checked.\n"
        "Blank lines are skipped and get no answer.\n"
        "Exit status: 0 every line checked, 2 some line could not be checked or a bad option."));
    p.addHelpOption();
    addOption(p, "strictness", "How closely a stroke must follow its line: loose, normal (default) or strict.",
              "LEVEL", "normal");
    p.process(app);
    if (!p.positionalArguments().isEmpty())
        fail(BadUsage, QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().first()));
    static const Strictness levels[] = {Strictness::Loose, Strictness::Normal, Strictness::Strict};
    const Strictness strictness =
        levels[choice(p, QStringLiteral("strictness"),
                      {QStringLiteral("loose"), QStringLiteral("normal"), QStringLiteral("strict")})];

    StartupData data;
    loadStartupData(data, 96, StartupTables | StartupCenterLines);
    if (data.CenterLines.characterCount() == 0)
        fail(WritesFailed, QStringLiteral("the embedded centre lines cannot be read"));

    bool anyBad = false;
    std::string raw;
    // getline blocks for each line, so a program may feed us one at a time.
    while (std::getline(std::cin, raw)) {
        const QByteArray line = QByteArray::fromStdString(raw).trimmed();
        if (line.isEmpty())
            continue;
        bool bad = false;
        const QByteArray out = answer(line, data, strictness, bad) + '\n';
        anyBad |= bad;
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        // A program driving us line by line waits for each answer.
        std::fflush(stdout);
    }
    return anyBad ? BadUsage : Ok;
}
