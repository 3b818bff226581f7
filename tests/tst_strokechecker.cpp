#include "Polyline.h"
#include "StartupData.h"
#include "StrokeChecker.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

enum Mode { Right, Reversed, FirstThird, ThreeFifths, Tick, Straight };

// The line as a child's hand draws it: `count` points along the part
// [from, to] of it, the whole a little larger, turned and shifted, every
// point off by up to 10 units. The same seed gives the same stroke.
QPolygonF hand(const QPolygonF &line, quint32 seed, double from = 0, double to = 1, int count = 24)
{
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24) * 2 - 1; // -1 … 1
    };
    const double len = lengthOf(line);
    const double turn = qDegreesToRadians(3.0);
    const QPointF centre(512, 512), shift(18, -14);
    QPolygonF out;
    for (int i = 0; i < count; ++i) {
        const QPointF p = (pointAt(line, len * (from + (to - from) * i / (count - 1))) - centre) * 1.05;
        out << QPointF(std::cos(turn) * p.x() - std::sin(turn) * p.y(), std::sin(turn) * p.x() + std::cos(turn) * p.y())
                + centre + shift + QPointF(10 * next(), 10 * next());
    }
    return out;
}

QPolygonF reversed(QPolygonF p)
{
    std::reverse(p.begin(), p.end());
    return p;
}

// A verdict in the words of the table below.
QString outcome(const StrokeVerdict &v)
{
    if (v.match)
        return QStringLiteral("match");
    switch (v.reason) {
    case MissReason::Backwards:
        return v.backwards ? QStringLiteral("backwards") : QStringLiteral("backwards unflagged");
    case MissReason::WrongStroke:
        return v.looksLike >= 0 ? QStringLiteral("looks %1").arg(v.looksLike + 1) : QStringLiteral("wrong");
    case MissReason::TooShort:
        return QStringLiteral("short");
    case MissReason::WrongPlace:
        return QStringLiteral("place");
    case MissReason::WrongShape:
        return QStringLiteral("shape");
    case MissReason::Invalid:
        return QStringLiteral("invalid");
    case MissReason::None:
        break;
    }
    return QStringLiteral("refused without a reason");
}

// The words a parent reads for each outcome, stroke `expected` (from 1) due.
QString textFor(const QString &outcome, int expected)
{
    if (outcome == QLatin1String("backwards"))
        return QStringLiteral("方向反了");
    if (outcome == QLatin1String("short"))
        return QStringLiteral("写得太短");
    if (outcome == QLatin1String("place"))
        return QStringLiteral("位置不对");
    if (outcome == QLatin1String("shape"))
        return QStringLiteral("形状不对");
    if (outcome.startsWith(QLatin1String("looks ")))
        return QStringLiteral("这一笔不是第 %1 笔，像是第 %2 笔").arg(expected).arg(outcome.mid(6));
    return QString();
}

} // namespace

class TestStrokeChecker : public QObject
{
    Q_OBJECT
    StartupData data;

    QList<QPolygonF> lines(const QString &c) const { return data.CenterLines.strokes(c.at(0)); }

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96, StartupCenterLines);
        QVERIFY(data.CenterLines.characterCount() > 0);
    }

    // Strokes of the hard cases, drawn from the centre lines by a steady
    // hand: parallel strokes (三, 川), the closing stroke of 口, turning
    // strokes (乙, 九) and dots (心, 必). `drawn` is the stroke the hand
    // follows, `due` the stroke expected; outcomes may list alternatives.
    void verdicts_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<int>("due");
        QTest::addColumn<int>("drawn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPointF>("moved");
        QTest::addColumn<QString>("expected");

        const QPointF still;
        auto row = [](const char *name, const char *ch, int due, int drawn, Mode mode, QPointF moved,
                      const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(ch) << due << drawn << int(mode) << moved
                                << QString::fromLatin1(expected);
        };
        // Every stroke of each character, written right.
        for (const char *ch : {"三", "川", "口", "乙", "九", "心", "必"}) {
            const int n = data.CenterLines.strokeCount(QString::fromUtf8(ch).at(0));
            for (int k = 1; k <= n; ++k)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2 right").arg(QString::fromUtf8(ch)).arg(k)))
                    << QString::fromUtf8(ch) << k << k << int(Right) << still << QStringLiteral("match");
        }
        row("三 1 as 2, the next parallel", "三", 1, 2, Right, still, "looks 2");
        row("三 2 as 3", "三", 2, 3, Right, still, "looks 3");
        row("三 3 as 2, an earlier one", "三", 3, 2, Right, still, "looks 2");
        row("三 3 reversed", "三", 3, 3, Reversed, still, "backwards");
        row("三 3 first third", "三", 3, 3, FirstThird, still, "short");
        row("三 3 stopped at three fifths", "三", 3, 3, ThreeFifths, still, "short");
        row("川 1 as 2", "川", 1, 2, Right, still, "looks 2");
        row("川 3 as 2", "川", 3, 2, Right, still, "looks 2");
        row("川 2 reversed", "川", 2, 2, Reversed, still, "backwards");
        row("川 1 a stroke-width right", "川", 1, 1, Right, QPointF(60, 0), "match");
        row("口 3 reversed", "口", 3, 3, Reversed, still, "backwards");
        row("口 3 at the top", "口", 3, 3, Right, QPointF(0, -370), "place");
        row("口 3 as 1", "口", 3, 1, Right, still, "looks 1|shape|place");
        row("口 2 reversed", "口", 2, 2, Reversed, still, "backwards");
        row("乙 reversed", "乙", 1, 1, Reversed, still, "backwards");
        row("乙 straight", "乙", 1, 1, Straight, still, "shape");
        row("乙 first third", "乙", 1, 1, FirstThird, still, "short");
        row("九 2 straight", "九", 2, 2, Straight, still, "shape");
        row("九 2 as 1", "九", 2, 1, Right, still, "looks 1");
        row("九 1 as 2", "九", 1, 2, Right, still, "looks 2");
        row("九 2 reversed", "九", 2, 2, Reversed, still, "backwards");
        row("心 1 as 3", "心", 1, 3, Right, still, "looks 3");
        row("心 3 as 4", "心", 3, 4, Right, still, "looks 4");
        row("心 1 reversed", "心", 1, 1, Reversed, still, "backwards");
        row("心 4 reversed", "心", 4, 4, Reversed, still, "backwards");
        row("心 2 reversed", "心", 2, 2, Reversed, still, "backwards");
        row("心 3 a short tick", "心", 3, 3, Tick, still, "match");
        row("心 3 over to the right", "心", 3, 3, Right, QPointF(200, 0), "place|looks 4");
        row("必 3 as 5", "必", 3, 5, Right, still, "looks 5");
        row("必 5 as 1", "必", 5, 1, Right, still, "looks 1");
        row("必 1 reversed", "必", 1, 1, Reversed, still, "backwards");
        row("必 5 reversed", "必", 5, 5, Reversed, still, "backwards");
        row("必 4 as 2", "必", 4, 2, Right, still, "looks 2|shape");
        row("必 4 first third", "必", 4, 4, FirstThird, still, "short");
        // The short dot of 氵: only its direction tells it from its reverse.
        row("江 2 right", "江", 2, 2, Right, still, "match");
        row("江 2 reversed", "江", 2, 2, Reversed, still, "backwards");
        // The two short horizontals of 言, 125 units apart: a drawing nearer
        // the later one is judged strictly, one nearer the earlier is not.
        row("言 3 as 4 nudged up", "言", 3, 4, Right, QPointF(0, -20), "looks 4");
        row("言 3 nudged down", "言", 3, 3, Right, QPointF(0, 40), "match");
        row("言 4 nudged up", "言", 4, 4, Right, QPointF(0, -40), "match");
    }

    void verdicts()
    {
        QFETCH(QString, ch);
        QFETCH(int, due);
        QFETCH(int, drawn);
        QFETCH(int, mode);
        QFETCH(QPointF, moved);
        QFETCH(QString, expected);

        const QList<QPolygonF> strokes = lines(ch);
        QVERIFY(drawn <= strokes.size() && due <= strokes.size());
        const QPolygonF &line = strokes[drawn - 1];
        // The row's name seeds the hand (FNV-1a), the same in every build.
        quint32 seed = 2166136261u;
        for (const char *c = QTest::currentDataTag(); *c; ++c)
            seed = (seed ^ quint8(*c)) * 16777619u;
        QPolygonF points;
        switch (Mode(mode)) {
        case Right:
            points = hand(line, seed);
            break;
        case Reversed:
            points = reversed(hand(line, seed));
            break;
        case FirstThird:
            points = hand(line, seed, 0, 1.0 / 3, 10);
            break;
        case ThreeFifths:
            points = hand(line, seed, 0, 0.6, 14);
            break;
        case Tick:
            points = hand(line, seed, 0, 0.55, 8);
            break;
        case Straight:
            points = hand(QPolygonF{line.first(), line.last()}, seed);
            break;
        }
        points.translate(moved);

        const StrokeVerdict v = StrokeChecker::check(strokes, due - 1, points);
        const QString got = outcome(v);
        const StrokeFigures f = StrokeChecker::measure(strokes, due - 1, points);
        QVERIFY2(expected.split(QLatin1Char('|')).contains(got),
                 qPrintable(QStringLiteral("%1, expected %2 (mean %3, start %4, end %5, direction %6, shape %7, "
                                           "length %8)")
                                .arg(got, expected)
                                .arg(f.meanDistance, 0, 'f', 0).arg(f.startDistance, 0, 'f', 0)
                                .arg(f.endDistance, 0, 'f', 0).arg(f.direction, 0, 'f', 2)
                                .arg(f.shape, 0, 'f', 2).arg(f.lengthRatio, 0, 'f', 2)));
        QCOMPARE(v.match, got == QLatin1String("match"));
        QCOMPARE(v.backwards, got == QLatin1String("backwards"));
        QCOMPARE(v.reasonText(), textFor(got, due));
    }

    // A right stroke moved across its line: the looser the level, the
    // farther it may be.
    void strictnessOrders()
    {
        const QList<QPolygonF> strokes = lines(QStringLiteral("三"));
        const QPolygonF middle = hand(strokes[1], 7);
        auto accepts = [&](Strictness s, double dy) {
            return StrokeChecker::check(strokes, 1, middle.translated(0, dy), s).match;
        };
        for (const Strictness s : {Strictness::Loose, Strictness::Normal, Strictness::Strict})
            QVERIFY(accepts(s, 0));
        QVERIFY(accepts(Strictness::Loose, 130));
        QVERIFY(accepts(Strictness::Normal, 80));
        QVERIFY(!accepts(Strictness::Strict, 100));
        QVERIFY(!accepts(Strictness::Normal, 130));
        QVERIFY(!accepts(Strictness::Loose, 170));
        for (double dy = 0; dy <= 200; dy += 5) {
            QVERIFY2(accepts(Strictness::Normal, dy) <= accepts(Strictness::Loose, dy), qPrintable(QString::number(dy)));
            QVERIFY2(accepts(Strictness::Strict, dy) <= accepts(Strictness::Normal, dy), qPrintable(QString::number(dy)));
        }
    }

    // Bad input gets Invalid and never crashes; odd but usable input is judged.
    void badInput_data()
    {
        QTest::addColumn<int>("lineCase");
        QTest::addColumn<int>("due");
        QTest::addColumn<QPolygonF>("points");
        QTest::addColumn<QString>("expected");

        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const QPolygonF ok = hand(lines(QStringLiteral("三"))[1], 3);
        QPolygonF dense;
        for (int i = 0; i < 10000; ++i)
            dense << pointAt(ok, lengthOf(ok) * i / 9999);
        // lineCase 0: 三 as it is; 1: no lines; 2: the due line a single
        // point; 3: the due line with NaN; 4: another line with NaN.
        QTest::newRow("no lines") << 1 << 1 << ok << "invalid";
        QTest::newRow("due -1") << 0 << -1 << ok << "invalid";
        QTest::newRow("due past the last") << 0 << 3 << ok << "invalid";
        QTest::newRow("no points") << 0 << 1 << QPolygonF() << "invalid";
        QTest::newRow("one point") << 0 << 1 << QPolygonF{QPointF(400, 480)} << "invalid";
        QTest::newRow("NaN") << 0 << 1 << QPolygonF{QPointF(330, 490), QPointF(nan, 470)} << "invalid";
        QTest::newRow("infinite") << 0 << 1 << QPolygonF{QPointF(330, 490), QPointF(700, inf)} << "invalid";
        QTest::newRow("huge") << 0 << 1 << QPolygonF{QPointF(330, 490), QPointF(1e12, 470)} << "invalid";
        QTest::newRow("due line one point") << 2 << 1 << ok << "invalid";
        QTest::newRow("due line NaN") << 3 << 1 << ok << "invalid";
        QTest::newRow("other line NaN") << 4 << 1 << ok << "match";
        QTest::newRow("a dab") << 0 << 1 << QPolygonF(5, QPointF(500, 480)) << "short";
        QTest::newRow("10,000 points") << 0 << 1 << dense << "match";
        QTest::newRow("far outside the box") << 0 << 1 << ok.translated(5000, -5000) << "place";
    }

    void badInput()
    {
        QFETCH(int, lineCase);
        QFETCH(int, due);
        QFETCH(QPolygonF, points);
        QFETCH(QString, expected);

        QList<QPolygonF> strokes = lines(QStringLiteral("三"));
        const double nan = std::numeric_limits<double>::quiet_NaN();
        if (lineCase == 1)
            strokes.clear();
        else if (lineCase == 2)
            strokes[1] = QPolygonF{QPointF(400, 480)};
        else if (lineCase == 3)
            strokes[1][2].setX(nan);
        else if (lineCase == 4)
            strokes[2][1].setY(nan);
        const StrokeVerdict v = StrokeChecker::check(strokes, due, points);
        QCOMPARE(outcome(v), expected);
        QCOMPARE(StrokeChecker::measure(strokes, due, points).valid, expected != QLatin1String("invalid"));
        if (expected == QLatin1String("invalid"))
            QVERIFY(!v.reasonText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStrokeChecker)
#include "tst_strokechecker.moc"
