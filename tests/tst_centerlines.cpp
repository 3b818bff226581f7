#include "CenterLines.h"
#include "EmbeddedResource.h"
#include "GraphicsPath.h"
#include "StartupData.h"

#include <QtTest>

#include <cmath>

namespace {

// Laid out at em 1024 with the line box at the origin, a glyph's outline is in
// the centre lines' own box: font units, y down.
constexpr double Em = 1024;
// How far outside its stroke's outline a centre line may stray, a twelfth of
// a stroke's width: a line is a polyline of a few points and cuts the inside
// of the sharp turns of 𠃓 (砀, 烫) by up to 3.6 units; the table rounds
// points to whole units (up to 0.7) and the outline is flattened.
constexpr double Margin = 4;

QPolygonF outline(const QPainterPath &p)
{
    return p.toFillPolygon();
}

bool inside(const QPolygonF &poly, QPointF p)
{
    bool in = false;
    for (qsizetype i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const QPointF a = poly[i], b = poly[j];
        if ((a.y() > p.y()) != (b.y() > p.y())
            && p.x() < a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
            in = !in;
    }
    return in;
}

// Distance from p to the area the polygon encloses: 0 inside.
double outside(const QPolygonF &poly, QPointF p)
{
    if (inside(poly, p))
        return 0;
    double best = INFINITY;
    for (qsizetype i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const QPointF a = poly[j], ab = poly[i] - a;
        const double len2 = QPointF::dotProduct(ab, ab);
        const double t = len2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / len2, 1.0) : 0.0;
        const QPointF d = p - (a + t * ab);
        best = qMin(best, std::hypot(d.x(), d.y()));
    }
    return best;
}

double area(const QPolygonF &poly)
{
    double twice = 0;
    for (qsizetype i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        twice += poly[j].x() * poly[i].y() - poly[i].x() * poly[j].y();
    return std::abs(twice) / 2;
}

// The line's points every 4 units, its corners included.
QList<QPointF> samples(const QPolygonF &line)
{
    QList<QPointF> out{line.first()};
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1], ab = line[i] - a;
        const int n = qMax(1, int(std::ceil(std::hypot(ab.x(), ab.y()) / 4)));
        for (int k = 1; k <= n; ++k)
            out.append(a + ab * (double(k) / n));
    }
    return out;
}

// The way direction code 1..4 reveals, on screen: right, down, left, up.
QPointF codeDirection(QChar code)
{
    switch (code.unicode()) {
    case '1': return {1, 0};
    case '2': return {0, 1};
    case '3': return {-1, 0};
    default: return {0, -1};
    }
}

QByteArray le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

// A table of one character (U+4E00) with the given strokes.
QByteArray table(const QList<QList<QPoint>> &strokes)
{
    QByteArray b = QByteArray("KVCL") + le16(1) + le16(1) + le16(0x4E00) + char(strokes.size());
    for (const QList<QPoint> &s : strokes) {
        b += char(s.size());
        for (const QPoint p : s)
            b += le16(p.x()) + le16(p.y());
    }
    return b;
}

} // namespace

class TestCenterLines : public QObject
{
    Q_OBJECT
    StartupData data;

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96, StartupTables | StartupCharFont | StartupSegmentFont | StartupCenterLines);
    }

    void damagedTables_data()
    {
        const QByteArray good = table({{{10, -20}, {300, 400}}, {{1, 2}, {3, 4}, {-32768, 32767}}});
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("good") << good << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("header only") << good.left(8) << false;
        QTest::newRow("wrong magic") << QByteArray("KVCX") + good.mid(4) << false;
        QTest::newRow("other version") << good.left(4) + le16(2) + good.mid(6) << false;
        QTest::newRow("cut in a record head") << good.left(10) << false;
        QTest::newRow("cut in a point") << good.left(good.size() - 1) << false;
        QTest::newRow("trailing byte") << good + '\0' << false;
        QTest::newRow("more characters than held") << good.left(6) + le16(2) + good.mid(8) << false;
        QTest::newRow("no strokes") << table({}) << false;
        QTest::newRow("one point") << table({{{1, 2}}}) << false;
        QTest::newRow("surrogate") << good.left(8) + le16(0xD800) + good.mid(10) << false;
        QTest::newRow("same character twice")
            << QByteArray("KVCL") + le16(1) + le16(2) + good.mid(8) + good.mid(8) << false;
        const QByteArray real = EmbeddedResource::bytes(QStringLiteral("cl6763"));
        QTest::newRow("embedded") << real << true;
        QTest::newRow("embedded, cut short") << real.left(real.size() / 2) << false;
        QByteArray huge = real;
        huge[8 + 2] = char(0xFF); // 一 claims 255 strokes
        QTest::newRow("embedded, stroke count too big") << huge << false;
    }

    void damagedTables()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        CenterLines lines;
        QVERIFY(lines.load(table({{{5, 5}, {6, 6}}}))); // a bad table must not keep the old one
        QCOMPARE(lines.load(bytes), ok);
        QCOMPARE(lines.characterCount() > 0, ok);
        if (!ok) {
            QVERIFY(lines.strokes(QChar(0x4E00)).isEmpty());
            QCOMPARE(lines.strokeCount(QChar(0x4E00)), 0);
        } else if (bytes.size() < 100) {
            const QList<QPolygonF> s = lines.strokes(QChar(0x4E00));
            QCOMPARE(s.size(), 2);
            QCOMPARE(s[0], QPolygonF({QPointF(10, -20), QPointF(300, 400)}));
            QCOMPARE(s[1].last(), QPointF(-32768, 32767));
            QVERIFY(lines.strokes(QChar('A')).isEmpty());
        }
    }

    // Lines run the way the brush moves, y downward: 一 left to right, the
    // 竖 of 十 top to bottom, the 撇 of 人 down to the left.
    void brushDirectionOnScreen()
    {
        auto run = [this](const char *ch, int k) {
            const QPolygonF s = data.CenterLines.strokes(QString::fromUtf8(ch).at(0)).value(k);
            return s.isEmpty() ? QPointF() : s.last() - s.first();
        };
        QVERIFY(run("一", 0).x() > 300);
        QVERIFY(run("十", 1).y() > 300);
        QVERIFY(run("人", 0).x() < -100 && run("人", 0).y() > 200);
        QCOMPARE(data.CenterLines.characterCount(), 6763);
    }

    // Every character: one line per contour of the whole-character font, each
    // inside its stroke, starting in the stroke's first segment of the segment
    // font and running the way that segment is revealed.
    void everyStroke()
    {
        QStringList faults;
        int strokes = 0;
        for (const QChar c : data.allSupported()) {
            const QString ch(c);
            auto fault = [&](int k, const QString &what) {
                faults << QStringLiteral("%1 stroke %2: %3").arg(ch).arg(k + 1).arg(what);
            };
            const QList<QPolygonF> lines = data.CenterLines.strokes(c);
            GraphicsPath glyph, segs;
            glyph.addString(ch, data.PrivateFonts, data.CharFontFamily, Em, QPointF(0, 0));
            segs.addString(ch, data.PrivateFonts, data.SegmentFontFamily, Em, QPointF(0, 0));
            const QString codes = data.directionCodes(ch);
            if (lines.size() != glyph.subpathCount() || segs.subpathCount() != codes.size()) {
                faults << QStringLiteral("%1: %2 lines, %3 strokes, %4 segments, %5 codes")
                              .arg(ch).arg(lines.size()).arg(glyph.subpathCount())
                              .arg(segs.subpathCount()).arg(codes.size());
                continue;
            }

            // The segments of stroke k follow those of stroke k - 1 and fill
            // its area: the running totals of the areas meet where a stroke ends.
            QList<QPolygonF> segPolys;
            QList<double> segTotal{0};
            for (const QPainterPath &s : segs.subpaths()) {
                segPolys << outline(s);
                segTotal << segTotal.last() + area(segPolys.last());
            }
            QList<int> first; // index of each stroke's first segment
            double strokeTotal = 0;
            qsizetype next = 0;
            for (int k = 0; k < lines.size(); ++k) {
                const double a = area(outline(glyph.subpath(k)));
                first << int(next);
                strokeTotal += a;
                qsizetype end = next + 1;
                while (end < segPolys.size()
                       && std::abs(segTotal[end + 1] - strokeTotal) < std::abs(segTotal[end] - strokeTotal))
                    ++end;
                if (std::abs(segTotal[end] - segTotal[next] - a) > 0.02 * a)
                    fault(k, QStringLiteral("its segments cannot be told apart"));
                next = end;
            }
            if (next != segPolys.size())
                fault(lines.size() - 1, QStringLiteral("segments left over"));

            for (int k = 0; k < lines.size(); ++k) {
                ++strokes;
                const QPolygonF &line = lines[k];
                const QPolygonF stroke = outline(glyph.subpath(k));
                double worst = 0;
                for (const QPointF p : samples(line))
                    worst = qMax(worst, outside(stroke, p));
                if (worst > Margin)
                    fault(k, QStringLiteral("runs %1 units outside the stroke").arg(worst, 0, 'f', 1));

                const int j = first.value(k, -1);
                if (j < 0 || j >= segPolys.size())
                    continue;
                const bool oneSegment = j + 1 == segPolys.size() || first.value(k + 1, int(segPolys.size())) == j + 1;
                const double startOff = outside(segPolys[j], line.first());
                if (startOff > Margin)
                    fault(k, QStringLiteral("starts %1 units outside its first segment").arg(startOff, 0, 'f', 1));
                if (oneSegment) {
                    // One segment: the whole line runs the way it is revealed.
                    if (QPointF::dotProduct(line.last() - line.first(), codeDirection(codes[j])) <= 0)
                        fault(k, QStringLiteral("runs against its direction code %1").arg(codes[j]));
                } else if (outside(segPolys[j], line.last()) <= startOff) {
                    fault(k, QStringLiteral("ends nearer its first segment than it starts"));
                }
            }
        }
        for (const QString &f : std::as_const(faults))
            qInfo("%s", qPrintable(f));
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(faults.size())));
        QCOMPARE(strokes, 71826);
    }
};

QTEST_MAIN(TestCenterLines)
#include "tst_centerlines.moc"
