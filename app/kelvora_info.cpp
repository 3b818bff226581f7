// kelvora-info: what each character is, one line per character: readings,
// school radical, structure, stroke count and the name of every stroke.
#include "CommandLine.h"
#include "StartupData.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

struct Options
{
    QString text;
    bool json = false;
};

Options parse(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Prints what each character of TEXT is, one line per character, tab-separated:\n"
        "character, readings (common first, separated by /), radical, structure,\n"
        "stroke count, stroke names (separated by spaces). White space is skipped.\n"
        "A character outside the 6763 of GB 2312 gets a line saying so.\n"
        "Exit status: 0 every character known, 2 some character unknown or a bad option,\n"
        "1 the embedded data could not be read."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The characters to describe."));
    addOption(p, "from", "Describe the characters of this UTF-8 text file instead.", "FILE");
    addOption(p, "json", "Write one JSON object per line instead.");
    if (!p.parse(arguments))
        fail(BadUsage, p.errorText());
    if (p.isSet(QStringLiteral("help")))
        p.showHelp(Ok);
    Options o;
    o.json = p.isSet(QStringLiteral("json"));
    const QStringList words = p.positionalArguments();
    if (p.isSet(QStringLiteral("from")) == !words.isEmpty())
        fail(BadUsage, QStringLiteral("give either TEXT or --from FILE"));
    if (p.isSet(QStringLiteral("from"))) {
        QFile f(p.value(QStringLiteral("from")));
        if (!f.open(QIODevice::ReadOnly))
            fail(BadUsage, QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString()));
        // Malformed bytes become U+FFFD and are reported like any unknown character.
        o.text = QString::fromUtf8(f.readAll());
    } else {
        o.text = words.join(QLatin1Char(' '));
    }
    return o;
}

QString code(const QString &ch)
{
    return QStringLiteral("U+") + QString::number(uint(ch.toUcs4().value(0)), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// How an unknown character is shown: itself when it prints, else its code.
QString shown(const QString &ch)
{
    const char32_t u = ch.toUcs4().value(0);
    const QChar::Category cat = QChar::category(u);
    if (cat == QChar::Other_Control || cat == QChar::Other_Format || cat == QChar::Other_Surrogate
        || cat == QChar::Other_NotAssigned || cat == QChar::Other_PrivateUse || u == 0xFFFD)
        return code(ch);
    return ch;
}

QByteArray line(const QString &ch, const CharacterFacts &f, bool json)
{
    if (json) {
        QJsonObject o;
        o.insert(QStringLiteral("char"), ch);
        o.insert(QStringLiteral("readings"), QJsonArray::fromStringList(f.readings));
        o.insert(QStringLiteral("radical"), f.radical);
        o.insert(QStringLiteral("structure"), f.structure);
        o.insert(QStringLiteral("strokes"), int(f.strokeNames.size()));
        o.insert(QStringLiteral("strokeNames"), QJsonArray::fromStringList(f.strokeNames));
        return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    return (QStringList{ch, f.readings.join(QLatin1Char('/')), f.radical, f.structure,
                        QString::number(f.strokeNames.size()), f.strokeNames.join(QLatin1Char(' '))}
                .join(QLatin1Char('\t'))
            + QLatin1Char('\n'))
        .toUtf8();
}

QByteArray unknownLine(const QString &ch, bool json)
{
    const QString why = QStringLiteral("not one of the 6763 characters of GB 2312 (%1)").arg(code(ch));
    if (json) {
        QJsonObject o;
        o.insert(QStringLiteral("char"), ch);
        o.insert(QStringLiteral("error"), why);
        return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    return (shown(ch) + QLatin1Char('\t') + why + QLatin1Char('\n')).toUtf8();
}

} // namespace

int main(int argc, char *argv[])
{
    setProgramName("kelvora-info");
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    QStringList arguments{app.arguments().constFirst()};
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Options o = parse(arguments);

    StartupData data;
    loadStartupData(data, 96, StartupTables | StartupFacts);
    if (data.allSupported().isEmpty() || data.Facts.characterCount() == 0)
        fail(WritesFailed, QStringLiteral("the embedded character data could not be read"));

    QByteArray out;
    int described = 0, unknown = 0;
    for (qsizetype i = 0; i < o.text.size(); ++i) {
        // A character outside the Basic Multilingual Plane (an emoji) is one
        // character here, not two halves.
        qsizetype n = 1;
        if (o.text.at(i).isHighSurrogate() && i + 1 < o.text.size() && o.text.at(i + 1).isLowSurrogate())
            n = 2;
        const QString ch = o.text.mid(i, n);
        i += n - 1;
        if (n == 1 && o.text.at(i).isSpace())
            continue;
        ++described;
        const CharacterFacts f = n == 1 && data.isSupported(ch) ? data.Facts.facts(ch.at(0)) : CharacterFacts{};
        if (f.isValid()) {
            out += line(ch, f, o.json);
        } else {
            out += unknownLine(ch, o.json);
            ++unknown;
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    if (described == 0)
        fail(BadUsage, QStringLiteral("no characters given"));
    if (unknown > 0) {
        std::fprintf(stderr, "kelvora-info: %d of %d characters are not among the 6763 of GB 2312\n", unknown,
                     described);
        return BadUsage;
    }
    return Ok;
}
