#include "Bitmap.h"
#include "Graphics.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "StartupData.h"

#include <QtTest>

#include <functional>

// The letter and digit pages, measured on the painted pictures: guide lines,
// cells, where the glyphs' ink lands, page numbers.

namespace {

const QString Letters = QStringLiteral("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz");
const QString Digits = QStringLiteral("0123456789");

// Test colours, told apart by their dominant channel even when blended
// with white at the anti-aliased edges.
const QColor ModelRed(255, 0, 0), TraceBlue(0, 0, 255), LineGreen(0, 160, 0);
bool isModel(QRgb c) { return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60; }
bool isTrace(QRgb c) { return qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 60; }
bool isLine(QRgb c) { return qGreen(c) > qRed(c) + 60 && qGreen(c) > qBlue(c) + 60; }
bool isAnyInk(QRgb c) { return isModel(c) || isTrace(c); }

// Bounds in points of the pixels of one kind inside a rectangle given in
// points; null when there are none.
QRectF inkPt(const QImage &img, double dpi, QRectF areaPt, bool (*pred)(QRgb))
{
    const double k = dpi / 72.0;
    const QRect area = QRect(QPoint(int(areaPt.left() * k), int(areaPt.top() * k)),
                             QPoint(int(areaPt.right() * k), int(areaPt.bottom() * k)))
                       & img.rect();
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (pred(line[x])) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0)
        return QRectF();
    return QRectF(x0 / k, y0 / k, (x1 + 1 - x0) / k, (y1 + 1 - y0) / k);
}

// Centres (pixels) of the runs of line-coloured pixels down one column.
QList<double> lineCentresDown(const QImage &img, int x)
{
    QList<double> centres;
    int start = -1;
    for (int y = 0; y <= img.height(); ++y) {
        const bool on = y < img.height() && isLine(img.pixel(x, y));
        if (on && start < 0)
            start = y;
        if (!on && start >= 0) {
            double sum = 0, weight = 0; // coverage-weighted centre
            for (int yy = start - 1; yy <= y; ++yy) {
                if (yy < 0 || yy >= img.height())
                    continue;
                const double w = 1.0 - qRed(img.pixel(x, yy)) / 255.0;
                sum += w * (yy + 0.5);
                weight += w;
            }
            centres << sum / weight;
            start = -1;
        }
    }
    return centres;
}

WorksheetSettings sheet(WorksheetKind kind, const QString &text, int r = 3, int t = 1)
{
    WorksheetSettings s;
    s.kind = kind;
    s.text = text;
    s.rowsPerChar = r;
    s.tracingRows = t;
    s.modelColor = ModelRed;
    s.traceColor = TraceBlue;
    s.frame.color = LineGreen;
    s.pointsPerPixel = 0.75;
    return s;
}

// Layout numbers of a 96-PPI screen (em 27 / cell side 44).
constexpr double LetterL = 38, LetterT = 33, LetterA = 37, LetterPitch = 52;
constexpr double DigitL = 33, DigitT = 25, DigitS = 44, DigitPitch = 53;

} // namespace

class TestLetterPage : public QObject
{
    Q_OBJECT
    StartupData data;

    QImage paint(const WorksheetSettings &s, qint64 page, int dpi = 300,
                 PageOutput out = PageOutput::Picture) const
    {
        const QSize px = a4PicturePixels(dpi);
        QImage img = makeBitmap(px.width(), px.height(), dpi, qRgb(255, 255, 255));
        Graphics g(img, dpi);
        const double ppp = 72.0 / dpi;
        paintWorksheetPage(g, data, s, page, {QSizeF(px.width() * ppp, px.height() * ppp), out});
        return img;
    }

    // Ink of one letter cell (column c, page row q from 1), a band from the
    // line above the group to the line below it.
    static QRectF letterCell(int c, int q)
    {
        return QRectF(LetterL + c * LetterA, LetterT + (q - 1) * LetterPitch - 8, LetterA, 46);
    }
    static QRectF digitCell(int c, int q)
    {
        return QRectF(DigitL + c * DigitS, DigitT + (q - 1) * DigitPitch, DigitS, DigitS);
    }

private slots:
    void initTestCase() { loadStartupData(data, 96); }

    void pageModel_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("pages");
        // charIndex, rows, tracing rows, continuation (0/1) per block
        QTest::addColumn<QList<int>>("blocks");
        QTest::addRow("letters p1 AaBbC") << 52 << 3 << 1 << 1 << 11
                                          << QList<int>{0, 3, 1, 0, 1, 3, 1, 0, 2, 3, 1, 0, 3, 3, 1, 0, 4, 3, 1, 0};
        QTest::addRow("letters p11 Zz") << 52 << 3 << 1 << 11 << 11 << QList<int>{50, 3, 1, 0, 51, 3, 1, 0};
        QTest::addRow("letters r1") << 52 << 1 << 1 << 4 << 4 << QList<int>{45, 1, 1, 0, 46, 1, 1, 0, 47, 1, 1, 0,
                                                                          48, 1, 1, 0, 49, 1, 1, 0, 50, 1, 1, 0,
                                                                          51, 1, 1, 0};
        QTest::addRow("digits p2") << 10 << 3 << 1 << 2 << 2
                                   << QList<int>{5, 3, 1, 0, 6, 3, 1, 0, 7, 3, 1, 0, 8, 3, 1, 0, 9, 3, 1, 0};
        QTest::addRow("r4 t3 cut") << 52 << 4 << 3 << 1 << 14
                                   << QList<int>{0, 4, 3, 0, 1, 4, 3, 0, 2, 4, 3, 0, 3, 3, 3, 0};
        QTest::addRow("r4 t3 continued") << 52 << 4 << 3 << 2 << 14
                                         << QList<int>{3, 1, 0, 1, 4, 4, 3, 0, 5, 4, 3, 0, 6, 4, 3, 0, 7, 2, 2, 0};
        QTest::addRow("r2 t1 d on row 15") << 52 << 2 << 1 << 1 << 7
                                           << QList<int>{0, 2, 1, 0, 1, 2, 1, 0, 2, 2, 1, 0, 3, 2, 1, 0, 4, 2, 1, 0,
                                                         5, 2, 1, 0, 6, 2, 1, 0, 7, 1, 1, 0};
        QTest::addRow("r2 t1 d continued") << 52 << 2 << 1 << 2 << 7
                                           << QList<int>{7, 1, 0, 1, 8, 2, 1, 0, 9, 2, 1, 0, 10, 2, 1, 0,
                                                         11, 2, 1, 0, 12, 2, 1, 0, 13, 2, 1, 0, 14, 2, 1, 0};
        QTest::addRow("t above r") << 3 << 1 << 15 << 1 << 1 << QList<int>{0, 1, 1, 0, 1, 1, 1, 0, 2, 1, 1, 0};
        QTest::addRow("past the end") << 10 << 3 << 1 << 3 << 2 << QList<int>{};
        QTest::addRow("page 0") << 10 << 3 << 1 << 0 << 2 << QList<int>{};
        QTest::addRow("page -7") << 10 << 3 << 1 << -7 << 2 << QList<int>{};
    }
    void pageModel()
    {
        QFETCH(int, length);
        QFETCH(int, r);
        QFETCH(int, t);
        QFETCH(int, page);
        QFETCH(int, pages);
        QFETCH(QList<int>, blocks);
        QCOMPARE(worksheetPageCount(length, r), pages);
        QList<int> got;
        for (const PageBlock &b : worksheetPageBlocks(length, r, t, page))
            got << b.charIndex << b.rows << b.tracingRows << int(b.continuation);
        QCOMPARE(got, blocks);
    }

    void guideLinesAt300Dpi()
    {
        // First group at 33, 43, 53, 63 pt; from L = 38 to W - L - 5 = 552.2 pt.
        const QImage img = paint(sheet(WorksheetKind::Letters, Letters), 1);
        const QList<double> ys = lineCentresDown(img, 1200);
        QCOMPARE(ys.size(), 60); // all 15 groups
        const QList<double> expected = {137.5, 179.2, 220.8, 262.5};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(qAbs(ys[i] - expected[i]) <= 1.0, qPrintable(QString::number(ys[i])));
        QVERIFY(qAbs(ys.last() - 791 * 300 / 72.0) <= 1.0);
        const int y = 137;
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x) {
            if (isLine(img.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        QVERIFY2(qAbs(first - 158) <= 1, qPrintable(QString::number(first)));
        QVERIFY2(qAbs(last + 1 - 2301) <= 1, qPrintable(QString::number(last)));
    }

    void previewLinesEndAtTheMargin()
    {
        const QImage img = paint(sheet(WorksheetKind::Letters, Letters), 1, 96, PageOutput::Preview);
        int last = -1;
        for (int x = 0; x < img.width(); ++x)
            if (isLine(img.pixel(x, 44)))
                last = x;
        QVERIFY2(qAbs(last + 1 - 557.5 * 96 / 72) <= 1, qPrintable(QString::number(last)));
    }

    // Which rows hold ink (model or tracing) and, for digits, cell frames.
    void rowsInUse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("t");
        QTest::addColumn<bool>("model");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("inkRows");  // one mark per row 1..15
        QTest::addColumn<QString>("usedRows"); // rows with lines (letters) or frames (digits)
        const int L = int(WorksheetKind::Letters), D = int(WorksheetKind::Digits);
        // m: model in the first cell, t: tracing copies only, .: empty
        QTest::addRow("letters p1") << L << Letters << 3 << 1 << true << 1 << "m..m..m..m..m.."
                                    << "xxxxxxxxxxxxxxx";
        QTest::addRow("letters p11") << L << Letters << 3 << 1 << true << 11 << "m..m..........."
                                     << "xxxxxxxxxxxxxxx";
        QTest::addRow("letters past the end") << L << Letters << 3 << 1 << true << 12 << "..............."
                                              << "...............";
        QTest::addRow("r4 t3 p1") << L << Letters << 4 << 3 << true << 1 << "mtt.mtt.mtt.mtt"
                                  << "xxxxxxxxxxxxxxx";
        QTest::addRow("r4 t3 p2") << L << Letters << 4 << 3 << true << 2 << ".mtt.mtt.mtt.mt"
                                  << "xxxxxxxxxxxxxxx";
        QTest::addRow("r1 t15") << L << QStringLiteral("abc") << 1 << 15 << true << 1 << "mmm............"
                                << "xxxxxxxxxxxxxxx";
        QTest::addRow("no model t0") << L << Letters << 3 << 0 << false << 1 << "..............."
                                     << "xxxxxxxxxxxxxxx";
        QTest::addRow("digits p1") << D << Digits << 3 << 1 << true << 1 << "m..m..m..m..m.."
                                   << "xxxxxxxxxxxxxxx";
        QTest::addRow("digits p2") << D << Digits << 3 << 1 << true << 2 << "m..m..m..m..m.."
                                   << "xxxxxxxxxxxxxxx";
        QTest::addRow("digits r1") << D << Digits << 1 << 1 << true << 1 << "mmmmmmmmmm....."
                                   << "xxxxxxxxxx.....";
        QTest::addRow("digits no model t0") << D << Digits << 3 << 0 << false << 1 << "..............."
                                            << "xxxxxxxxxxxxxxx";
    }
    void rowsInUse()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, r);
        QFETCH(int, t);
        QFETCH(bool, model);
        QFETCH(int, page);
        QFETCH(QString, inkRows);
        QFETCH(QString, usedRows);
        WorksheetSettings s = sheet(WorksheetKind(kind), text, r, t);
        s.model = model;
        const QImage img = paint(s, page, 96);
        const bool digits = s.kind == WorksheetKind::Digits;
        const int cells = digits ? 12 : 14;
        QString ink, used;
        for (int q = 1; q <= 15; ++q) {
            auto cell = [&](int c) { return digits ? digitCell(c, q) : letterCell(c, q); };
            const bool first = !inkPt(img, 96, cell(0), isModel).isNull();
            const bool rest = !inkPt(img, 96, cell(0).united(cell(cells - 1)).adjusted(LetterA, 0, 0, 0),
                                     isTrace).isNull();
            const bool traceInFirst = !inkPt(img, 96, cell(0), isTrace).isNull();
            // A model row has its copies in tracing colour when it is a tracing row.
            ink += first ? QLatin1Char('m') : (rest || traceInFirst) ? QLatin1Char('t') : QLatin1Char('.');
            const QRectF band = digits ? cell(0) : QRectF(0, LetterT + (q - 1) * LetterPitch - 1, 595, 32);
            used += inkPt(img, 96, band, isLine).isNull() ? QLatin1Char('.') : QLatin1Char('x');
        }
        QCOMPARE(ink, inkRows);
        QCOMPARE(used, usedRows);
    }

    // Every letter on its guide lines: capitals and ascenders reach the
    // first, the x-height the second, the baseline is the third, descenders
    // reach the fourth (each within 1 pt), measured on the tracing copies.
    void lettersOnTheirLines_data()
    {
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<int>("topLine");    // 0..3, -1 not on a line
        QTest::addColumn<int>("bottomLine");
        const struct { char ch; int top, bottom; } rows[] = {
            {'A', 0, 2}, {'H', 0, 2}, {'O', 0, 2}, {'Q', 0, -1}, {'W', 0, 2}, {'J', 0, 2},
            {'b', 0, 2}, {'d', 0, 2}, {'f', 0, 2}, {'h', 0, 2}, {'k', 0, 2}, {'l', 0, 2},
            {'a', 1, 2}, {'e', 1, 2}, {'m', 1, 2}, {'o', 1, 2}, {'x', 1, 2}, {'z', 1, 2},
            {'g', 1, 3}, {'p', 1, 3}, {'q', 1, 3}, {'y', 1, 3}, {'j', -1, 3}, {'i', -1, 2}, {'t', -1, 2}};
        for (const auto &r : rows)
            QTest::addRow("%c", r.ch) << QChar(QLatin1Char(r.ch)) << r.top << r.bottom;
    }
    void lettersOnTheirLines()
    {
        QFETCH(QChar, ch);
        QFETCH(int, topLine);
        QFETCH(int, bottomLine);
        const QImage img = paint(sheet(WorksheetKind::Letters, QString(ch), 1, 1), 1);
        for (int c : {0, 5, 13}) {
            const QRectF ink = inkPt(img, 300, letterCell(c, 1), isAnyInk);
            QVERIFY(!ink.isNull());
            if (topLine >= 0)
                QVERIFY2(qAbs(ink.top() - (LetterT + 10 * topLine)) <= 1.0, qPrintable(QString::number(ink.top())));
            if (bottomLine >= 0)
                QVERIFY2(qAbs(ink.bottom() - (LetterT + 10 * bottomLine)) <= 1.0,
                         qPrintable(QString::number(ink.bottom())));
            // Inside its own cell.
            QVERIFY(ink.left() > LetterL + c * LetterA && ink.right() < LetterL + (c + 1) * LetterA);
        }
    }

    // Every digit's ink at least 2 pt inside its frame and centred within
    // 4 pt, at the 96-PPI cell side and at a 120-PPI one.
    void digitsInsideTheirCells_data()
    {
        QTest::addColumn<double>("pointsPerPixel");
        QTest::addRow("96 ppi") << 0.75;
        QTest::addRow("120 ppi") << 0.6;
    }
    void digitsInsideTheirCells()
    {
        QFETCH(double, pointsPerPixel);
        WorksheetSettings s = sheet(WorksheetKind::Digits, Digits, 1, 1);
        s.pointsPerPixel = pointsPerPixel;
        const QImage img = paint(s, 1);
        const int side = int(59 * pointsPerPixel + 1e-9);
        const int left = int((595.2 - 12 * side) / 2);
        const int top = left - 8;
        for (int q = 1; q <= 10; ++q) {
            for (int c : {0, 1, 11}) {
                const QRectF cell(left + c * side, top + (q - 1) * (side + 9), side, side);
                const QRectF ink = inkPt(img, 300, cell, isAnyInk);
                const QString where = QStringLiteral("digit %1 cell %2: ink %3,%4 %5x%6")
                                          .arg(q - 1).arg(c).arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height());
                QVERIFY2(!ink.isNull(), qPrintable(where));
                QVERIFY2(cell.adjusted(2, 2, -2, -2).contains(ink), qPrintable(where));
                QVERIFY2(qAbs(ink.center().x() - cell.center().x()) <= 4, qPrintable(where));
                QVERIFY2(qAbs(ink.center().y() - cell.center().y()) <= 4, qPrintable(where));
                // The frame and its dashed centre lines are there.
                QVERIFY(!inkPt(img, 300, QRectF(cell.left() - 0.5, cell.top() + 1, 1, side - 2), isLine).isNull());
                QVERIFY(!inkPt(img, 300, QRectF(cell.left() + 1, int((2 * top + side) / 2) + (q - 1) * (side + 9) - 0.5,
                                                side - 2, 1), isLine).isNull());
            }
        }
    }

    // Page numbers in the bottom margin, below the last row and at least
    // 5 mm from the paper's edge (printers' unprintable border), however long.
    void pageNumbersInsideTheMargins_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<double>("lastRowBottom");
        QTest::addColumn<double>("margin");
        for (qint64 p : {qint64(1), qint64(11), qint64(2147483647)}) {
            QTest::addRow("letters %lld", p) << int(WorksheetKind::Letters) << p << 791.0 << 38.0;
            QTest::addRow("digits %lld", p) << int(WorksheetKind::Digits) << p << 811.0 << 33.0;
        }
    }
    void pageNumbersInsideTheMargins()
    {
        QFETCH(int, kind);
        QFETCH(qint64, page);
        QFETCH(double, lastRowBottom);
        QFETCH(double, margin);
        WorksheetSettings s = sheet(WorksheetKind(kind), Letters, 3, 1);
        if (s.kind == WorksheetKind::Digits)
            s.text = Digits;
        const QImage img = paint(s, page);
        const QRectF number = inkPt(img, 300, QRectF(0, lastRowBottom + 0.5, 595, 841), isModel);
        QVERIFY(!number.isNull());
        QVERIFY2(number.top() > lastRowBottom + 1 && number.bottom() < 841.92 - 14, qPrintable(QString::number(number.top())));
        QVERIFY2(number.right() <= 595.2 - margin / 2 + 0.3 && number.left() > margin,
                 qPrintable(QString::number(number.right())));
        // Numbers off: nothing below the last row.
        s.pageNumbers = false;
        QVERIFY(inkPt(paint(s, page, 96), 96, QRectF(0, lastRowBottom + 0.5, 595, 841), isModel).isNull());
    }

    // Characters the font has no glyph for take their cells and draw
    // nothing; nothing crashes.
    void foreignCharactersTakeEmptyCells()
    {
        const QString text = QStringLiteral("a你 !") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("b");
        const QImage img = paint(sheet(WorksheetKind::Letters, text, 2, 1), 1, 96);
        QVERIFY(!inkPt(img, 96, letterCell(0, 1), isModel).isNull());  // a
        for (int q : {3, 5, 7, 9, 11})                                  // 你, space, !, two surrogates
            QVERIFY2(inkPt(img, 96, letterCell(0, q), isAnyInk).isNull(), qPrintable(QString::number(q)));
        QVERIFY(!inkPt(img, 96, letterCell(0, 13), isModel).isNull()); // b
        WorksheetSettings d = sheet(WorksheetKind::Digits, text, 1, 1);
        d.pointsPerPixel = 0; // nothing sensible to lay out, still no crash
        paint(d, 1, 96);
    }
};

QTEST_MAIN(TestLetterPage)
#include "tst_letterpage.moc"
