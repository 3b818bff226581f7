#include "StartupData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QList<QByteArray> lines;
    QString err;
};

Run strokecheck(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_STROKECHECK), args);
    Run r;
    if (!p.waitForStarted(30000))
        return r;
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    const QByteArray out = p.readAllStandardOutput();
    r.lines = out.split('\n');
    if (!r.lines.isEmpty() && r.lines.last().isEmpty())
        r.lines.removeLast();
    return r;
}

// The points of a line as the input's JSON array, moved by (dx, dy).
QByteArray points(const QPolygonF &line, double dx = 0, double dy = 0)
{
    QJsonArray a;
    for (const QPointF &p : line)
        a.append(QJsonArray{p.x() + dx, p.y() + dy});
    return QJsonDocument(a).toJson(QJsonDocument::Compact);
}

QByteArray request(const char *ch, int stroke, const QByteArray &pts)
{
    return "{\"char\":\"" + QByteArray(ch) + "\",\"stroke\":" + QByteArray::number(stroke) + ",\"points\":" + pts
        + "}";
}

} // namespace

class TestStrokeCheckCli : public QObject
{
    Q_OBJECT
    StartupData data;

    QPolygonF line(const char *ch, int stroke) const
    {
        return data.CenterLines.strokes(QString::fromUtf8(ch).at(0)).value(stroke - 1);
    }

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96, StartupCenterLines);
        QVERIFY(data.CenterLines.characterCount() > 0);
    }

    // Good and bad lines mixed: one answer a line, in order, the bad ones as
    // errors, the rest still checked, and exit status 2 at the end.
    void answersEveryLine()
    {
        QPolygonF dense;
        const QPolygonF heng = line("三", 3);
        const QPolygonF yi = line("乙", 1);
        for (int i = 0; i < 10000; ++i) {
            const double t = i / 9999.0 * (heng.size() - 1);
            const int k = std::min(int(t), int(heng.size()) - 2);
            dense << heng[k] + (heng[k + 1] - heng[k]) * (t - k);
        }
        struct Case
        {
            QByteArray in;
            const char *out; // the whole answer, or the start of an error
        };
        const QList<Case> cases = {
            {request("三", 1, points(line("三", 1), 10, -8)), "{\"match\":true,\"backwards\":false,\"reason\":\"\"}"},
            {request("三", 2, points(line("三", 3))),
             "{\"match\":false,\"backwards\":false,\"reason\":\"这一笔不是第 2 笔，像是第 3 笔\",\"looksLike\":3}"},
            {request("乙", 1, points(QPolygonF(yi.rbegin(), yi.rend()))),
             "{\"match\":false,\"backwards\":true,\"reason\":\"方向反了\"}"},
            {"not json at all", "{\"error\":\"not JSON"},
            {"[1,2,3]", "{\"error\":\"not a JSON object\"}"},
            {request("A", 1, points(line("三", 1))), "{\"error\":\"\\\"A\\\" is not one of the 6763 characters\"}"},
            {request("三三", 1, points(line("三", 1))), "{\"error\":\"\\\"char\\\" must be one character"},
            {request("😀", 1, points(line("三", 1))), "{\"error\":\"\\\"😀\\\" is not one of the 6763 characters\"}"},
            {request("三", 4, points(line("三", 1))), "{\"error\":\"\\\"stroke\\\" must be a whole number from 1 to 3"},
            {request("三", 0, points(line("三", 1))), "{\"error\":\"\\\"stroke\\\" must be a whole number"},
            {request("三", 1, "[[300,250]]"), "{\"error\":\"a stroke needs at least 2 points, not 1\"}"},
            {request("三", 1, "[[300,250],[NaN,250]]"), "{\"error\":\"not JSON"},
            {request("三", 1, "[[300,250],[1e308,250]]"), "{\"error\":\"point 2 is out of range"},
            {request("三", 1, "[[300,250],[\"x\",250]]"), "{\"error\":\"point 2 is not a pair of numbers"},
            {"{\"stroke\":1,\"points\":[[1,2],[3,4]]}", "{\"error\":\"\\\"char\\\" must be a string"},
            {"   ", nullptr}, // blank: skipped, no answer
            {request("三", 3, points(dense)), "{\"match\":true,\"backwards\":false,\"reason\":\"\"}"},
            {request("口", 3, points(line("口", 3), 0, -370)), "{\"match\":false,\"backwards\":false,\"reason\":\"位置不对\"}"},
        };
        QByteArray input;
        QList<const char *> expected;
        for (const Case &c : cases) {
            input += c.in + '\n';
            if (c.out)
                expected << c.out;
        }
        const Run r = strokecheck({}, input);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.lines.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QVERIFY2(r.lines[i].startsWith(expected[i]),
                     qPrintable(QStringLiteral("line %1: %2").arg(i + 1).arg(QString::fromUtf8(r.lines[i]))));
            QVERIFY(QJsonDocument::fromJson(r.lines[i]).isObject());
        }
    }

    // A program driving the checker gets each answer before it sends the next line.
    void answersAsLinesArrive()
    {
        QProcess p;
        p.start(QStringLiteral(KELVORA_STROKECHECK), QStringList());
        QVERIFY(p.waitForStarted(30000));
        for (int stroke = 1; stroke <= 3; ++stroke) {
            p.write(request("三", stroke, points(line("三", stroke))) + '\n');
            QByteArray answer;
            while (!answer.endsWith(QByteArrayLiteral("\n")) && p.waitForReadyRead(10000))
                answer += p.readAll();
            QCOMPARE(answer, QByteArray("{\"match\":true,\"backwards\":false,\"reason\":\"\"}\n"));
        }
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
    }

    // All lines fine: exit status 0; the level changes the verdict.
    void strictness()
    {
        const QByteArray off = request("三", 2, points(line("三", 2), 0, 90)) + '\n';
        const Run loose = strokecheck({QStringLiteral("--strictness=loose")}, off);
        QCOMPARE(loose.code, 0);
        QCOMPARE(loose.lines, QList<QByteArray>{"{\"match\":true,\"backwards\":false,\"reason\":\"\"}"});
        const Run strict = strokecheck({QStringLiteral("--strictness"), QStringLiteral("strict")}, off);
        QCOMPARE(strict.code, 0);
        QCOMPARE(strict.lines.size(), 1);
        QVERIFY(strict.lines[0].startsWith("{\"match\":false"));

        const Run bad = strokecheck({QStringLiteral("--strictness=lenient")}, off);
        QCOMPARE(bad.code, 2);
        QVERIFY(bad.lines.isEmpty());
        QVERIFY(bad.err.contains(QLatin1String("--strictness")));
    }
};

QTEST_GUILESS_MAIN(TestStrokeCheckCli)
#include "tst_strokecheck_cli.moc"
