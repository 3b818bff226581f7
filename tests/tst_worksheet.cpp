// The copybook core: page model, Chinese page painter, page pictures, the
// save run, the PDF and the print job (onto a PDF device).
#include "PageModel.h"
#include "PagePainter.h"
#include "PageWriter.h"
#include "Graphics.h"
#include "PrintJob.h"
#include "PrintQueue.h"
#include "StartupData.h"
#include "ImageEncoder.h"
#include "StrokePicture.h"

#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QImageReader>
#include <QImageWriter>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Default33 = QStringLiteral("春眠不觉晓处处闻啼鸟夜来风雨声花落知多少人口手足山水田土日月天地火");

using Blocks = QList<PageBlock>;
PageBlock blk(int index, int rows, int tracing, bool cont = false)
{
    return PageBlock{index, rows, tracing, cont};
}
// A block starting with `strokes` stroke-order rows, the first of them
// the character's stroke-order row `from`.
PageBlock sblk(int index, int rows, int strokes, int tracing, bool cont = false, int from = 0)
{
    return PageBlock{index, rows, tracing, cont, strokes, from};
}

// A block with its pinyin row (after `strokes` stroke-order rows).
PageBlock pblk(int index, int rows, int tracing, bool cont, int strokes, int pinyin)
{
    return PageBlock{index, rows, tracing, cont, strokes, 0, pinyin};
}

// Pixels of a colour (within tol on each channel) inside a rectangle.
int countColour(const QImage &img, const QRect &r, QColor c, int tol = 40)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (p.alpha() > 200 && qAbs(p.red() - c.red()) <= tol && qAbs(p.green() - c.green()) <= tol
                && qAbs(p.blue() - c.blue()) <= tol)
                ++n;
        }
    return n;
}

int pdfPageCount(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(f.readAll().count("/Type /Page\n"));
}

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT
    StartupData data;

    WorksheetSettings sheet(const QString &text = Default33, int r = 3, int t = 1)
    {
        WorksheetSettings s;
        s.text = text;
        s.rowsPerChar = r;
        s.tracingRows = t;
        s.pointsPerPixel = data.PointsPerPixel;
        return s;
    }
    // The 96 dpi cell (row q, column c) of the picture, inset from its frame.
    QRect cell96(int q, int c) const
    {
        const int x = qRound((33 + c * 44) / 0.75), y = qRound((28 + q * 53) / 0.75);
        return QRect(x + 4, y + 4, qRound(44 / 0.75) - 8, qRound(44 / 0.75) - 8);
    }

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96);
        QVERIFY(data.PrivateFonts.hasFamily(data.CharFontFamily));
        for (QChar c : Default33)
            QVERIFY(data.isSupported(QString(c)));
    }

    void pageCount_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("default") << 33 << 3 << 7;
        QTest::newRow("1 row") << 33 << 1 << 3;
        QTest::newRow("15 rows") << 33 << 15 << 33;
        QTest::newRow("one char") << 1 << 1 << 1;
        QTest::newRow("15 chars") << 15 << 1 << 1;
        QTest::newRow("16 chars") << 16 << 1 << 2;
        QTest::newRow("2 x 8") << 2 << 8 << 2;
        QTest::newRow("100 pages") << 100 << 15 << 100;
        QTest::newRow("empty") << 0 << 3 << 0;
    }
    void pageCount()
    {
        QFETCH(int, length);
        QFETCH(int, rows);
        QFETCH(int, pages);
        QCOMPARE(worksheetPageCount(length, rows), pages);
    }

    void pageBlocks_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("tracing");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<Blocks>("blocks");
        QTest::newRow("default p1") << 33 << 3 << 1 << qint64(1)
                                    << Blocks{blk(0, 3, 1), blk(1, 3, 1), blk(2, 3, 1), blk(3, 3, 1), blk(4, 3, 1)};
        QTest::newRow("default p7, rows 10-15 empty")
            << 33 << 3 << 1 << qint64(7) << Blocks{blk(30, 3, 1), blk(31, 3, 1), blk(32, 3, 1)};
        QTest::newRow("4 rows p1") << 33 << 4 << 1 << qint64(1)
                                   << Blocks{blk(0, 4, 1), blk(1, 4, 1), blk(2, 4, 1), blk(3, 3, 1)};
        QTest::newRow("4 rows p2") << 33 << 4 << 1 << qint64(2)
                                   << Blocks{blk(3, 1, 0, true), blk(4, 4, 1), blk(5, 4, 1), blk(6, 4, 1), blk(7, 2, 1)};
        QTest::newRow("4 rows t4 p2: a tracing continuation")
            << 33 << 4 << 4 << qint64(2)
            << Blocks{blk(3, 1, 1, true), blk(4, 4, 4), blk(5, 4, 4), blk(6, 4, 4), blk(7, 2, 2)};
        QTest::newRow("4 rows p3") << 33 << 4 << 1 << qint64(3)
                                   << Blocks{blk(7, 2, 0, true), blk(8, 4, 1), blk(9, 4, 1), blk(10, 4, 1), blk(11, 1, 1)};
        QTest::newRow("tracing above rows") << 2 << 2 << 15 << qint64(1) << Blocks{blk(0, 2, 2), blk(1, 2, 2)};
        QTest::newRow("page 0") << 33 << 3 << 1 << qint64(0) << Blocks{};
        QTest::newRow("negative") << 33 << 3 << 1 << qint64(-5) << Blocks{};
        QTest::newRow("past the end") << 33 << 3 << 1 << qint64(8) << Blocks{};
        QTest::newRow("far past") << 33 << 3 << 1 << qint64(99999999999LL) << Blocks{};
        QTest::newRow("int64 max") << 33 << 3 << 1 << std::numeric_limits<qint64>::max() << Blocks{};
    }
    void pageBlocks()
    {
        QFETCH(int, length);
        QFETCH(int, rows);
        QFETCH(int, tracing);
        QFETCH(qint64, page);
        QFETCH(Blocks, blocks);
        QCOMPARE(worksheetPageBlocks(length, rows, tracing, page), blocks);
    }

    // Stroke-order rows: Ceil(strokes / 12) per character, from the stroke
    // font; none for a character without strokes, none when off.
    void strokeRowPages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QList<int>>("strokeRows");
        QTest::addColumn<int>("pages");
        QTest::newRow("你: 1 + r") << QStringLiteral("你") << 3 << true << QList<int>{1} << 1;
        QTest::newRow("爨: 3 + r") << QStringLiteral("爨") << 3 << true << QList<int>{3} << 1;
        QTest::newRow("no strokes: none") << QStringLiteral("你 a爨") << 2 << true << QList<int>{1, 0, 0, 3} << 1;
        QTest::newRow("爨 x 5 at 15 rows") << QStringLiteral("爨爨爨爨爨") << 15 << true << QList<int>(5, 3) << 6;
        QTest::newRow("default, on: 132 rows") << Default33 << 3 << true << QList<int>(33, 1) << 9;
        QTest::newRow("default, off") << Default33 << 3 << false << QList<int>{} << 7;
    }
    void strokeRowPages()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(bool, on);
        QFETCH(QList<int>, strokeRows);
        WorksheetSettings s = sheet(text, rows);
        s.strokeOrderRows = on;
        QCOMPARE(worksheetRows(data, s).strokeRows, strokeRows);
        QTEST(worksheetPageCount(data, s), "pages");
        QTEST(int(allPages(data, s).size()), "pages");
    }

    // Blocks with stroke-order rows, cut at a page end anywhere: in the
    // stroke-order rows, between them and the practice rows, in the practice rows.
    void strokeRowBlocks_data()
    {
        QTest::addColumn<QList<int>>("strokeRows");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("tracing");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<Blocks>("blocks");
        QTest::newRow("你 爨") << QList<int>{1, 3} << 3 << 1 << qint64(1)
                              << Blocks{sblk(0, 4, 1, 1), sblk(1, 6, 3, 1)};
        QTest::newRow("爨 x 3, r 4, p1: stroke rows cut")
            << QList<int>{3, 3, 3} << 4 << 1 << qint64(1) << Blocks{sblk(0, 7, 3, 1), sblk(1, 7, 3, 1), sblk(2, 1, 1, 0)};
        QTest::newRow("爨 x 3, r 4, p2: the rest, with the model")
            << QList<int>{3, 3, 3} << 4 << 1 << qint64(2) << Blocks{sblk(2, 6, 2, 1, false, 1)};
        QTest::newRow("爨 x 3, r 3, p1: stroke rows only")
            << QList<int>{3, 3, 3} << 3 << 1 << qint64(1) << Blocks{sblk(0, 6, 3, 1), sblk(1, 6, 3, 1), sblk(2, 3, 3, 0)};
        QTest::newRow("爨 x 3, r 3, p2: practice rows only")
            << QList<int>{3, 3, 3} << 3 << 1 << qint64(2) << Blocks{sblk(2, 3, 0, 1)};
        QTest::newRow("你 x 4, r 3, t 2, p2: practice rows cut")
            << QList<int>{1, 1, 1, 1} << 3 << 2 << qint64(2) << Blocks{sblk(3, 1, 0, 0, true)};
        QTest::newRow("no strokes in between") << QList<int>{1, 0, 1} << 3 << 1 << qint64(1)
                                               << Blocks{sblk(0, 4, 1, 1), sblk(1, 3, 0, 1), sblk(2, 4, 1, 1)};
        QTest::newRow("past the end") << QList<int>{3, 3, 3} << 3 << 1 << qint64(3) << Blocks{};
    }
    void strokeRowBlocks()
    {
        QFETCH(QList<int>, strokeRows);
        QFETCH(int, rows);
        QFETCH(int, tracing);
        QFETCH(qint64, page);
        const WorksheetRows model{int(strokeRows.size()), rows, tracing, strokeRows};
        QTEST(worksheetPageBlocks(model, page), "blocks");
    }

    // Pinyin rows: one per character, after its stroke-order rows and
    // before its practice rows, counted like them and cut at a page end
    // like them: a band left alone at the bottom of a page keeps its
    // character's model for the top of the next.
    void pinyinRowBlocks_data()
    {
        QTest::addColumn<QList<int>>("strokeRows");
        QTest::addColumn<int>("rows");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<int>("pages");
        QTest::addColumn<Blocks>("blocks");
        const QList<int> none(33, 0);
        QTest::newRow("default, p1: 4 rows a character")
            << none << 3 << qint64(1) << 9
            << Blocks{pblk(0, 4, 1, false, 0, 1), pblk(1, 4, 1, false, 0, 1), pblk(2, 4, 1, false, 0, 1),
                      pblk(3, 3, 1, false, 0, 1)};
        QTest::newRow("default, p2: the rest of character 4 first")
            << none << 3 << qint64(2) << 9
            << Blocks{pblk(3, 1, 0, true, 0, 0), pblk(4, 4, 1, false, 0, 1), pblk(5, 4, 1, false, 0, 1),
                      pblk(6, 4, 1, false, 0, 1), pblk(7, 2, 1, false, 0, 1)};
        QTest::newRow("r 6, p1: a band alone at the bottom")
            << QList<int>{0, 0, 0} << 6 << qint64(1) << 2
            << Blocks{pblk(0, 7, 1, false, 0, 1), pblk(1, 7, 1, false, 0, 1), pblk(2, 1, 0, false, 0, 1)};
        QTest::newRow("r 6, p2: its model on top")
            << QList<int>{0, 0, 0} << 6 << qint64(2) << 2 << Blocks{pblk(2, 6, 1, false, 0, 0)};
        QTest::newRow("stroke rows, then the band")
            << QList<int>{1, 3} << 3 << qint64(1) << 1
            << Blocks{pblk(0, 5, 1, false, 1, 1), pblk(1, 7, 1, false, 3, 1)};
        QTest::newRow("default with stroke rows: 165 rows") << QList<int>(33, 1) << 3 << qint64(12) << 11
                                                             << Blocks{};
    }
    void pinyinRowBlocks()
    {
        QFETCH(QList<int>, strokeRows);
        QFETCH(int, rows);
        QFETCH(qint64, page);
        WorksheetRows model{int(strokeRows.size()), rows, 1, strokeRows, true};
        QTEST(worksheetPageCount(model), "pages");
        QTEST(worksheetPageBlocks(model, page), "blocks");
        // The settings give the same rows.
        WorksheetSettings s = sheet(Default33.left(int(strokeRows.size())), rows);
        s.pinyinRows = true;
        QVERIFY(worksheetRows(data, s).pinyinRows);
        s.kind = WorksheetKind::Letters;
        QVERIFY(!worksheetRows(data, s).pinyinRows);
    }

    // A 300 dpi page with pinyin rows: the model's reading in the model
    // colour in the first box of each band, the eleven other boxes empty,
    // the model a row lower; without a model the reading is a tracing copy.
    void pinyinRowInk_data()
    {
        QTest::addColumn<bool>("model");
        QTest::newRow("model") << true;
        QTest::newRow("no model") << false;
    }
    void pinyinRowInk()
    {
        QFETCH(bool, model);
        WorksheetSettings s = sheet(QStringLiteral("你长"), 3, 1);
        s.pinyinRows = true;
        s.model = model;
        s.frame.gridType = GridType::None; // only the reading and the glyphs are ink
        s.modelColor = Qt::red;
        s.traceColor = Qt::blue;
        QImage img;
        QVERIFY(renderPagePicture(data, s, 1, PageFormat::Bmp, 300, img).ok());
        QCOMPARE(img.size(), QSize(2480, 3508));
        const CharPageGeometry geo = charPageGeometry(QSizeF(2480 * 0.24, 3508 * 0.24), s.pointsPerPixel);
        auto box = [&](int row, int c) { // page row from 0, whole slot down to the next row
            const double f = 300.0 / 72;
            return QRect(int((geo.x0 + c * geo.side) * f) + 3, int((geo.y0 + row * geo.rowPitch) * f) + 3,
                         int(geo.side * f) - 6, int(geo.rowPitch * f) - 6);
        };
        const QColor reading = model ? Qt::red : Qt::blue;
        for (int band : {0, 4}) { // 你 takes rows 0-3, 长 rows 4-7
            QVERIFY2(countColour(img, box(band, 0), reading) > 300, qPrintable(QString::number(band)));
            for (int c = 1; c < 12; ++c) {
                const QRect r = box(band, c);
                int nonWhite = 0;
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        nonWhite += img.pixel(x, y) != qRgb(255, 255, 255);
                QVERIFY2(nonWhite == 0, qPrintable(QStringLiteral("band %1 box %2: %3").arg(band).arg(c).arg(nonWhite)));
            }
            QVERIFY(countColour(img, box(band + 1, 0), reading) > 1000); // the model row
        }
    }

    // A stroke-order row cell k: stroke k in the model colour over the
    // strokes before it in the tracing colour, more ink from cell to cell;
    // the cells after the last stroke stay empty, and the practice rows
    // follow. The same on a picture and as vectors (PDF, printer).
    void strokeRowCells_data()
    {
        QTest::addColumn<bool>("vector");
        QTest::newRow("picture") << false;
        QTest::newRow("vectors") << true;
    }
    void strokeRowCells()
    {
        QFETCH(bool, vector);
        WorksheetSettings s = sheet(QStringLiteral("你"));
        s.strokeOrderRows = true;
        s.modelColor = Qt::red;
        s.traceColor = Qt::blue;
        s.frame.gridType = GridType::None;
        auto render = [&](qint64 page) {
            QImage img;
            if (!vector) {
                if (!renderPagePicture(data, s, page, PageFormat::Bmp, 96, img).ok())
                    return QImage();
                return img;
            }
            QPicture recorded;
            {
                Graphics g(&recorded, 72); // one unit a point
                g.setPageUnit(PageUnit::Point);
                g.setAntialiasing(true);
                paintWorksheetPage(g, data, s, page, PageCanvas{QSizeF(595.5, 842.25), PageOutput::Picture});
            }
            img = QImage(794, 1123, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            p.scale(96.0 / 72, 96.0 / 72);
            p.drawPicture(0, 0, recorded);
            return img;
        };
        auto red = [this](const QImage &img, int q, int c) { return countColour(img, cell96(q, c), Qt::red); };
        auto blue = [this](const QImage &img, int q, int c) { return countColour(img, cell96(q, c), Qt::blue); };

        QImage img = render(1);
        int inkBefore = 0;
        for (int k = 0; k < 12; ++k) {
            const QString at = QStringLiteral("cell %1: red %2 blue %3").arg(k + 1).arg(red(img, 0, k)).arg(blue(img, 0, k));
            if (k >= 7) {
                QVERIFY2(red(img, 0, k) + blue(img, 0, k) == 0, qPrintable(at));
                continue;
            }
            QVERIFY2(red(img, 0, k) > 10, qPrintable(at));
            QVERIFY2((blue(img, 0, k) > 10) == (k > 0), qPrintable(at));
            QVERIFY2(red(img, 0, k) + blue(img, 0, k) > inkBefore, qPrintable(at));
            inkBefore = red(img, 0, k) + blue(img, 0, k);
        }
        // The model and the tracing copy: the whole character, as in the last cell.
        QVERIFY(red(img, 1, 0) > inkBefore * 3 / 4);
        QVERIFY(blue(img, 1, 1) > inkBefore * 3 / 4);
        QCOMPARE(red(img, 2, 0) + blue(img, 2, 0), 0);

        // Page 2 of 爨爨爨 at 4 rows goes on with the third 爨's strokes 13-30,
        // then its model.
        s.text = QStringLiteral("爨爨爨");
        s.rowsPerChar = 4;
        img = render(2);
        QVERIFY(blue(img, 0, 0) > 50);                // strokes 1-12 under stroke 13
        QVERIFY(blue(img, 0, 11) > blue(img, 0, 0));  // 1-23 under 24
        QVERIFY(red(img, 1, 5) > 5);                  // stroke 30
        QCOMPARE(red(img, 1, 6) + blue(img, 1, 6), 0);
        QVERIFY(red(img, 2, 0) > blue(img, 1, 5));    // the model
    }

    void geometry_data()
    {
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("y0");
        QTest::newRow("preview / 96") << QSizeF(595.5, 842.25) << 33 << 28;
        QTest::newRow("300") << QSizeF(2480 * 0.24, 3508 * 0.24) << 33 << 27;
        QTest::newRow("600") << QSizeF(4961 * 0.12, 7016 * 0.12) << 33 << 27;
    }
    void geometry()
    {
        QFETCH(QSizeF, page);
        const CharPageGeometry g = charPageGeometry(page, 0.75);
        QCOMPARE(g.fontSize, 34);
        QCOMPARE(g.side, 44);
        QTEST(g.x0, "x0");
        QTEST(g.y0, "y0");
    }

    // Picture size, resolution in the file, background by type.
    void pictures_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<PageFormat>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("alpha"); // of a corner pixel
        QTest::newRow("96 png") << 96 << PageFormat::Png << QSize(794, 1123) << 0;
        QTest::newRow("96 bmp") << 96 << PageFormat::Bmp << QSize(794, 1123) << 255;
        QTest::newRow("300 jpg") << 300 << PageFormat::Jpeg << QSize(2480, 3508) << 255;
        QTest::newRow("600 jpg") << 600 << PageFormat::Jpeg << QSize(4961, 7016) << 255;
    }
    void pictures()
    {
        QFETCH(int, dpi);
        QFETCH(PageFormat, format);
        QFETCH(QSize, size);
        QFETCH(int, alpha);
        QTemporaryDir dir;
        const QString file = pageFileName(dir.path(), 1, format);
        QVERIFY(writePagePicture(data, sheet(), 1, format, dpi, file).ok());
        QImageReader::setAllocationLimit(1024);
        QImage img(file);
        QImageReader::setAllocationLimit(128);
        QCOMPARE(img.size(), size);
        QCOMPARE(qRound(img.dotsPerMeterX() * 0.0254), dpi);
        const QColor corner = img.pixelColor(2, 2);
        QCOMPARE(corner.alpha(), alpha);
        if (alpha == 255)
            QCOMPARE(corner, QColor(Qt::white));
        // PNG ink stays opaque on the transparent ground.
        if (format == PageFormat::Png)
            QVERIFY(countColour(img, cell96(0, 0), Qt::black) > 100);
    }

    // What each cell holds, measured on a 96 dpi picture.
    void cellContents_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("tracing");
        QTest::addColumn<bool>("model");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<QString>("cells"); // per row: first cell, second cell; M model, T trace, - empty
        QTest::newRow("default p1") << 3 << 1 << true << qint64(1) << "MT,--,--,MT";
        QTest::newRow("model off") << 3 << 1 << false << qint64(1) << "TT,--,--,TT";
        QTest::newRow("no tracing") << 3 << 0 << true << qint64(1) << "M-,--,--,M-";
        QTest::newRow("4 rows p2: continuation") << 4 << 1 << true << qint64(2) << "--,MT,--";
        QTest::newRow("4 rows t4 p2") << 4 << 4 << true << qint64(2) << "TT,MT,TT";
        QTest::newRow("past the end") << 3 << 1 << true << qint64(9) << "--,--";
    }
    void cellContents()
    {
        QFETCH(int, rows);
        QFETCH(int, tracing);
        QFETCH(bool, model);
        QFETCH(qint64, page);
        QFETCH(QString, cells);
        WorksheetSettings s = sheet(Default33, rows, tracing);
        s.model = model;
        s.modelColor = Qt::red;
        s.traceColor = Qt::blue;
        s.frame.gridType = GridType::None;
        QImage img;
        QVERIFY(renderPagePicture(data, s, page, PageFormat::Bmp, 96, img).ok());
        const QStringList rowsSeen = cells.split(QLatin1Char(','));
        for (int q = 0; q < rowsSeen.size(); ++q)
            for (int c = 0; c < 2; ++c) {
                const int red = countColour(img, cell96(q, c), Qt::red);
                const int blue = countColour(img, cell96(q, c), Qt::blue);
                const QChar want = rowsSeen[q].at(c);
                const QChar seen = red > 50 ? QLatin1Char('M') : blue > 50 ? QLatin1Char('T') : QLatin1Char('-');
                QVERIFY2(seen == want, qPrintable(QStringLiteral("row %1 cell %2: %3").arg(q + 1).arg(c + 1).arg(seen)));
            }
    }

    // Page numbers: bottom right, even pages bottom left when double-sided;
    // none past the start of the range.
    void pageNumbers_data()
    {
        QTest::addColumn<qint64>("page");
        QTest::addColumn<bool>("doubleSided");
        QTest::addColumn<int>("side"); // 1 right, -1 left, 0 none
        QTest::newRow("1 single") << qint64(1) << false << 1;
        QTest::newRow("2 single") << qint64(2) << false << 1;
        QTest::newRow("2 double") << qint64(2) << true << -1;
        QTest::newRow("3 double") << qint64(3) << true << 1;
        QTest::newRow("past the end") << qint64(12) << false << 1;
        QTest::newRow("page 0") << qint64(0) << false << 0;
    }
    void pageNumbers()
    {
        QFETCH(qint64, page);
        QFETCH(bool, doubleSided);
        QFETCH(int, side);
        WorksheetSettings s = sheet();
        s.doubleSided = doubleSided;
        QImage img;
        QVERIFY(renderPagePicture(data, s, page, PageFormat::Bmp, 96, img).ok());
        const QRect right(qRound(545 / 0.75), qRound(810 / 0.75), 50, 40);
        const QRect left(qRound(30 / 0.75), qRound(810 / 0.75), 50, 40);
        QCOMPARE(countColour(img, right, Qt::black, 110) > 5, side == 1);
        QCOMPARE(countColour(img, left, Qt::black, 110) > 5, side == -1);
    }

    // A character without strokes stops its page: no picture, the run goes
    // on, and the summary counts and names what was not written.
    void saveRunCountsFailures()
    {
        QTemporaryDir dir;
        QString text = Default33;
        text[7] = QLatin1Char(' '); // page 2
        text[31] = QChar(0xFF0C);   // "，" on page 7
        const SaveSummary sum =
            savePagePictures(data, sheet(text), allPages(data, sheet(text)), PageFormat::Jpeg, 96, dir.path());
        QCOMPARE(sum.written, 5);
        QCOMPARE(sum.failed, 2);
        QCOMPARE(sum.firstFailedPage, 2);
        QVERIFY(sum.noStrokeData);
        QVERIFY(!QFile::exists(dir.filePath("2.jpg")));
        QVERIFY(QFile::exists(dir.filePath("3.jpg")));
        QVERIFY(!sum.message().contains(QStringLiteral("保存完毕")));
        QVERIFY(sum.message().contains(QStringLiteral("2 页")));
        QVERIFY(sum.message().contains(QStringLiteral("第 2 页：字符“ ”(U+0020)暂时不能读取笔画数据！")));
    }

    void saveRunReportsWriteFailure()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const SaveSummary sum = savePagePictures(data, sheet(), {1, 2}, PageFormat::Png, 96,
                                                 dir.filePath("file"));
        QCOMPARE(sum.failed, 2);
        QCOMPARE(sum.firstFailure.status, PageStatus::WriteFailed);
        QVERIFY(sum.message().contains(QStringLiteral("第 1 页")));

        const SaveSummary good = savePagePictures(data, sheet(), {1, 2}, PageFormat::Png, 96, dir.path());
        QVERIFY(good.ok());
        QCOMPARE(good.message(), QStringLiteral("保存完毕！"));
    }

    void pdf()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("book.pdf");
        const SaveSummary sum = writeWorksheetPdf(data, sheet(), allPages(data, sheet()), file, QStringLiteral("语文汉字字帖"));
        QVERIFY(sum.ok());
        QCOMPARE(pdfPageCount(file), 7);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("/MediaBox [0 0 595.000000 842.000000]"));
        QVERIFY(bytes.size() < 2'000'000); // vectors, not page pictures
        // A page that cannot be drawn leaves no file at all.
        QString bad = Default33;
        bad[20] = QLatin1Char('a');
        const SaveSummary failed = writeWorksheetPdf(data, sheet(bad), allPages(data, sheet(bad)),
                                                     dir.filePath("bad.pdf"), QString());
        QVERIFY(!failed.ok());
        QCOMPARE(failed.firstFailedPage, 5);
        QVERIFY(!QFile::exists(dir.filePath("bad.pdf")));
    }

    // 停止 between pages: the pictures finished so far stay, each whole; a
    // PDF and a print leave nothing.
    // The files the encoders write decode to the pixels Qt's writers gave
    // the same pictures (PNG and BMP exactly, JPEG within one step), for
    // stroke-order pictures in every split mode and a copybook page.
    void picturesDecodeAsQtWroteThem_data()
    {
        QTest::addColumn<QString>("ch"); // empty: copybook page 1
        QTest::addColumn<int>("split");
        QTest::addColumn<int>("type");
        for (PictureType type : {PictureType::Jpeg, PictureType::Png, PictureType::Bmp}) {
            for (const char *ch : {"你", "爨"})
                for (SplitMode split : {SplitMode::Follow, SplitMode::Stroke, SplitMode::Trace})
                    QTest::newRow(qPrintable(QStringLiteral("%1 split %2 type %3")
                                                 .arg(QString::fromUtf8(ch)).arg(int(split)).arg(int(type))))
                        << QString::fromUtf8(ch) << int(split) << int(type);
            QTest::addRow("page 1 type %d", int(type)) << QString() << 0 << int(type);
        }
    }
    void picturesDecodeAsQtWroteThem()
    {
        QFETCH(QString, ch);
        QFETCH(int, split);
        QFETCH(int, type);
        const PictureType t = PictureType(type);
        QImage picture;
        if (ch.isEmpty()) {
            const PageFormat f = t == PictureType::Png ? PageFormat::Png
                                 : t == PictureType::Bmp ? PageFormat::Bmp : PageFormat::Jpeg;
            QVERIFY(renderPagePicture(data, sheet(), 1, f, 300, picture).ok());
        } else {
            PictureSettings s;
            s.type = t;
            s.style.splitMode = SplitMode(split);
            s.metrics = sheetMetricsFromPixels(72, 10, 10, 8, 0.75);
            QVERIFY(renderStrokePicture(data, ch, s, picture).status == PictureStatus::Written);
        }
        ImageEncoder enc;
        QVERIFY(findImageEncoder(pictureMimeType(t), &enc));
        QTemporaryDir dir;
        const QString ours = dir.filePath("a" + enc.extension), qts = dir.filePath("b" + enc.extension);
        QVERIFY(saveImage(picture, ours, enc));
        QVERIFY(QImageWriter(qts, enc.format)
                    .write(enc.format == "png" ? picture : picture.convertToFormat(QImage::Format_RGB32)));
        const QImage a = QImageReader(ours).read(), b = QImageReader(qts).read();
        QCOMPARE(a.format(), b.format());
        QCOMPARE(a.size(), b.size());
        QCOMPARE(a.dotsPerMeterX(), b.dotsPerMeterX());
        if (enc.format == "jpeg") {
            // Same settings, same library: the same file, bar nothing.
            QFile x(ours), y(qts);
            QVERIFY(x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly));
            QVERIFY(x.readAll() == y.readAll());
        } else {
            QVERIFY(a == b);
        }
    }

    // A glyph repeated along a row is rasterized once per sub-pixel position
    // and painted through from there: the page must come out as filling it
    // in every cell gives, pixel for pixel.
    void repeatedGlyphsAsFilledInPlace_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("png");
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("page");
        QTest::newRow("300 dpi page 1") << 300 << false << 0 << 1;
        QTest::newRow("300 dpi PNG, stroke rows with names, pinyin, 米") << 300 << true << 1 << 1;
        QTest::newRow("300 dpi, 3 tracing rows of 4, no model, page 2") << 300 << false << 2 << 2;
        QTest::newRow("600 dpi page 3") << 600 << false << 0 << 3;
        QTest::newRow("96 dpi page 1") << 96 << false << 0 << 1;
    }
    void repeatedGlyphsAsFilledInPlace()
    {
        QFETCH(int, dpi);
        QFETCH(bool, png);
        QFETCH(int, variant);
        QFETCH(int, page);
        WorksheetSettings s = variant == 2 ? sheet(Default33, 4, 3) : sheet();
        s.model = variant != 2;
        if (variant == 1) {
            s.strokeOrderRows = s.strokeNames = s.pinyinRows = true;
            s.frame.gridType = GridType::Mi;
        }
        const QSize px = a4PicturePixels(dpi);
        auto draw = [&](bool everyCell) {
            QImage img(px, png ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
            img.fill(png ? Qt::transparent : Qt::white);
            Graphics g(img, dpi);
            g.setPageUnit(PageUnit::Point);
            g.setAntialiasing(true);
            PageCanvas canvas{QSizeF(px) * (72.0 / dpi), PageOutput::Picture};
            canvas.drawEveryCell = everyCell;
            paintWorksheetPage(g, data, s, page, canvas);
            return img;
        };
        const QImage reference = draw(true), drawn = draw(false);
        int differ = 0;
        for (int y = 0; y < px.height(); ++y) {
            const auto *a = reinterpret_cast<const quint32 *>(reference.constScanLine(y));
            const auto *b = reinterpret_cast<const quint32 *>(drawn.constScanLine(y));
            for (int x = 0; x < px.width(); ++x)
                differ += a[x] != b[x];
        }
        QCOMPARE(differ, 0);
    }

    void stoppedRuns_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("pictures") << "jpg" << QStringLiteral("已停止：已保存 3 页，共 7 页");
        QTest::newRow("pdf") << "pdf" << QStringLiteral("已停止：没有保存 PDF");
        QTest::newRow("print") << "print" << QStringLiteral("已停止：没有打印");
    }
    void stoppedRuns()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir, temp;
        int done = 0;
        const PageProgress progress = [&done](int d, int) { done = d; };
        const StopRequested stop = [&done] { return done >= 2; };
        const QList<qint64> pages = allPages(data, sheet());
        QString said;
        if (kind == QLatin1String("jpg")) {
            const SaveSummary sum = savePagePictures(data, sheet(), pages, PageFormat::Jpeg, 96, dir.path(),
                                                     progress, stop);
            QVERIFY(sum.stopped && !sum.ok());
            said = sum.message();
            // The pages under way when the stop came are finished too: as
            // many as were drawn, in order from the first, each whole.
            QVERIFY2(sum.written >= 2 && sum.written < 7, qPrintable(said));
            QStringList expected;
            for (int p = 1; p <= sum.written; ++p)
                expected << QStringLiteral("%1.jpg").arg(p);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
            QCOMPARE(sum.files.size(), sum.written);
            for (int p = 1; p <= sum.written; ++p)
                QCOMPARE(QImageReader(dir.filePath(QStringLiteral("%1.jpg").arg(p))).read().size(),
                         a4PicturePixels(96));
            message = QStringLiteral("已停止：已保存 %1 页，共 7 页").arg(sum.written);
        } else if (kind == QLatin1String("pdf")) {
            const SaveSummary sum = writeWorksheetPdf(data, sheet(), pages, dir.filePath("book.pdf"),
                                                      QString(), progress, stop);
            QVERIFY(sum.stopped);
            QCOMPARE(sum.written, 0);
            said = sum.message();
        } else {
            PrintRequest r;
            r.dpi = 96;
            r.tempRoot = temp.path();
            PrintResult result;
            {
                QPdfWriter device(dir.filePath("print.pdf"));
                result = printWorksheet(device, data, sheet(), r, progress, stop);
            }
            QCOMPARE(result.status, PrintResult::Status::Stopped);
            QCOMPARE(result.sheets, 0);
            said = result.message();
        }
        QCOMPARE(said, message);
        if (kind != QLatin1String("jpg"))
            QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(QDir(temp.path()).isEmpty());
    }

    void sheetOrder_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<QList<qint64>>("sheets");
        QTest::newRow("all") << 0 << 0 << 1 << true << false << QList<qint64>{1, 2, 3};
        QTest::newRow("range") << 2 << 3 << 1 << true << false << QList<qint64>{2, 3};
        QTest::newRow("past the end") << 2 << 9 << 1 << true << false << QList<qint64>{2, 3};
        QTest::newRow("collated") << 1 << 2 << 2 << true << false << QList<qint64>{1, 2, 1, 2};
        QTest::newRow("uncollated") << 1 << 2 << 2 << false << false << QList<qint64>{1, 1, 2, 2};
        QTest::newRow("last first") << 0 << 0 << 1 << true << true << QList<qint64>{3, 2, 1};
        QTest::newRow("outside") << 5 << 6 << 1 << true << false << QList<qint64>{};
        QTest::newRow("list, reversed") << -1 << 0 << 1 << true << true << QList<qint64>{3, 1};
    }
    void sheetOrder()
    {
        PrintRequest r;
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(bool, reverse);
        if (from < 0)
            r.pages = {1, 3, 7}; // 7 lies past the end
        r.fromPage = from;
        r.toPage = to;
        r.copies = copies;
        r.collate = collate;
        r.lastPageFirst = reverse;
        QTEST(printSheetOrder(3, r), "sheets");
    }

    // The print dialog's choice on 7 pages: the sheets that come out, and the
    // job options the printer still gets. A CUPS queue is handed exactly
    // these sheets, so nothing may pick pages or copies a second time (it
    // once printed 4 2 4 for "2,4-5" × 2, and 1 3 5 7 2 4 6 for odd × 2).
    void printChoice_data()
    {
        QTest::addColumn<QList<qint64>>("pages");
        QTest::addColumn<QString>("pageSet"); // the job option Qt's dialog sets
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<bool>("duplex");
        QTest::addColumn<QList<qint64>>("sheets");
        using L = QList<qint64>;
        QTest::newRow("2,4-5 x2") << L{2, 4, 5} << "" << 2 << true << false << false << L{2, 4, 5, 2, 4, 5};
        QTest::newRow("5 alone") << L{5} << "" << 1 << true << false << false << L{5};
        QTest::newRow("odd x2") << L{} << "odd" << 2 << true << false << false << L{1, 3, 5, 7, 1, 3, 5, 7};
        QTest::newRow("even x2 uncollated") << L{} << "even" << 2 << false << false << false << L{2, 2, 4, 4, 6, 6};
        // From an even first page Qt's dialog swaps odd and even.
        QTest::newRow("2-5 odd") << L{2, 3, 4, 5} << "even" << 1 << true << false << false << L{3, 5};
        QTest::newRow("2-5 even") << L{2, 3, 4, 5} << "odd" << 1 << true << false << false << L{2, 4};
        QTest::newRow("3-5 odd") << L{3, 4, 5} << "odd" << 1 << true << false << false << L{3, 5};
        QTest::newRow("2,4-5 x2 uncollated, reversed")
            << L{2, 4, 5} << "" << 2 << false << true << false << L{5, 5, 4, 4, 2, 2};
        QTest::newRow("all reversed, odd") << L{} << "odd" << 1 << true << true << false << L{7, 5, 3, 1};
        // Two-sided: the next copy starts on a sheet of its own.
        QTest::newRow("two-sided 1-3 x2") << L{1, 2, 3} << "" << 2 << true << false << true << L{1, 2, 3, 0, 1, 2, 3};
        QTest::newRow("two-sided 1-2 x2") << L{1, 2} << "" << 2 << true << false << true << L{1, 2, 1, 2};
        QTest::newRow("two-sided uncollated") << L{1, 2, 3} << "" << 2 << false << false << true
                                              << L{1, 1, 2, 2, 3, 3};
        QTest::newRow("past the end") << L{8, 9} << "" << 2 << true << false << false << L{};
        QTest::newRow("no copies") << L{1} << "" << 0 << true << false << false << L{1};
    }
    void printChoice()
    {
        PrintChoice c;
        QFETCH(QList<qint64>, pages);
        QFETCH(QString, pageSet);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(bool, reverse);
        QFETCH(bool, duplex);
        c.pages = pages;
        c.copies = copies;
        c.collate = collate;
        c.lastPageFirst = reverse;
        c.duplex = duplex;
        c.jobOptions = QStringList{"number-up", "1", "page-ranges", "2,4-5", "copies", "2", "Collate", "True",
                                   "outputorder", "reverse", "job-sheets", "none,none"};
        if (!pageSet.isEmpty())
            c.jobOptions << "page-set" << pageSet;
        const PrintRequest r = printRequestFor(c);
        QTEST(printSheetOrder(7, r), "sheets");
        QCOMPARE(jobOptionsForSheets(c.jobOptions), (QStringList{"number-up", "1", "job-sheets", "none,none"}));
    }

    // A sheet fits the sheet of paper, and shrinks just enough to stay in
    // what the printer reaches; the page number 5.6 mm above the bottom
    // edge of the page lands inside it.
    void printableArea_data()
    {
        QTest::addColumn<QMarginsF>("mm"); // the printer's minimum margins
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<bool>("shrinks");
        const QSizeF a4(2480, 3508);
        QTest::newRow("none") << QMarginsF() << a4 << false;
        QTest::newRow("5 mm all round") << QMarginsF(5, 5, 5, 5) << a4 << true;
        QTest::newRow("12.7 mm at the bottom") << QMarginsF(3, 3, 3, 12.7) << a4 << true;
        QTest::newRow("wide picture") << QMarginsF(4, 4, 4, 4) << QSizeF(3000, 1000) << true;
        QTest::newRow("wide picture, margins above and below") << QMarginsF(0, 5, 0, 5) << QSizeF(3000, 1000) << false;
    }
    void printableArea()
    {
        QFETCH(QMarginsF, mm);
        QFETCH(QSizeF, picture);
        QFETCH(bool, shrinks);
        const double dpi = 300;
        // The user's margins are larger: only the printer's minimum counts.
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, mm + QMarginsF(10, 10, 10, 10),
                                 QPageLayout::Millimeter, mm);
        const QMarginsF px = unprintableMargins(layout, dpi);
        const double k = dpi / 25.4;
        QVERIFY(qAbs(px.left() - mm.left() * k) < 1 && qAbs(px.bottom() - mm.bottom() * k) < 1);
        QVERIFY(qAbs(px.top() - mm.top() * k) < 1 && qAbs(px.right() - mm.right() * k) < 1);

        const QSizeF sheet = layout.fullRectPixels(int(dpi)).size();
        const QRectF reach = QRectF(QPointF(), sheet).marginsRemoved(px);
        const QRectF box = sheetPictureBox(sheet, px, picture);
        QVERIFY2(reach.adjusted(-0.01, -0.01, 0.01, 0.01).contains(box), qPrintable(QString("%1 %2 %3 %4")
                 .arg(box.left()).arg(box.top()).arg(box.right()).arg(box.bottom())));
        QVERIFY(qAbs(box.width() / box.height() - picture.width() / picture.height()) < 1e-3);
        const QSizeF fitted = picture.scaled(sheet, Qt::KeepAspectRatio);
        QCOMPARE(box.width() < fitted.width() - 0.01, shrinks);
        if (shrinks) // just enough: it meets the printable area on two sides
            QVERIFY(qAbs(box.width() - reach.width()) < 0.01 || qAbs(box.height() - reach.height()) < 0.01);
        else
            QCOMPARE(box.center(), QRectF(QPointF(), sheet).center());
        if (picture == QSizeF(2480, 3508)) {
            const double numberY = box.bottom() - 5.6 * k * box.height() / sheet.height();
            QVERIFY(numberY <= reach.bottom());
        }
    }

    // Two-sided copies of three pages: a blank back between them, and the
    // blank is not a page to make.
    void printTwoSided()
    {
        QTemporaryDir dir, temp;
        PrintRequest r;
        r.pages = {1, 2, 3};
        r.copies = 2;
        r.duplex = true;
        r.dpi = 96;
        r.tempRoot = temp.path();
        PrintResult result;
        {
            QPdfWriter device(dir.filePath("print.pdf"));
            device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
            result = printWorksheet(device, data, sheet(), r);
        }
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(result.sheets, 7);
        QCOMPARE(pdfPageCount(dir.filePath("print.pdf")), 7);
    }

    // A queue that is not there: a reason, and no job.
    void missingQueue()
    {
        QTemporaryDir dir;
        qputenv("CUPS_SERVER", QFile::encodeName(dir.filePath("no-cupsd.sock")));
        const QString problem = printQueueProblem(QStringLiteral("kelvora-no-such-queue"));
        QVERIFY2(problem.contains(QStringLiteral("kelvora-no-such-queue")), qPrintable(problem));
        QFile file(dir.filePath("job.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") > 0);
        file.close();
        const QueueSubmission sent = submitPrintFile(QStringLiteral("kelvora-no-such-queue"), file.fileName(),
                                                     QStringLiteral("语文汉字字帖"), {});
        QVERIFY(!sent.ok());
        QVERIFY(!sent.error.isEmpty());
        qunsetenv("CUPS_SERVER");
    }

    // Printing onto a PDF device: the chosen pages only, from a private
    // folder that is gone afterwards; a page that cannot be made prints nothing.
    void printJob_data()
    {
        QTest::addColumn<PageFormat>("format");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("breakPage3");
        QTest::addColumn<int>("pages"); // -1: nothing printed
        QTest::newRow("jpg range") << PageFormat::Jpeg << 96 << 2 << 4 << false << 3;
        QTest::newRow("vector") << PageFormat::Pdf << 300 << 0 << 0 << false << 7;
        QTest::newRow("600 dpi past the reader limit") << PageFormat::Png << 600 << 7 << 7 << false << 1;
        QTest::newRow("bad page stops") << PageFormat::Jpeg << 96 << 0 << 0 << true << -1;
        QTest::newRow("bad page outside range") << PageFormat::Jpeg << 96 << 1 << 2 << true << 2;
        QTest::newRow("vector bad page") << PageFormat::Pdf << 96 << 0 << 0 << true << -1;
    }
    void printJob()
    {
        QFETCH(PageFormat, format);
        QFETCH(int, dpi);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, breakPage3);
        QFETCH(int, pages);
        QString text = Default33;
        if (breakPage3)
            text[12] = QLatin1Char(' ');
        QTemporaryDir dir, temp;
        const QString out = dir.filePath("print.pdf");
        PrintRequest r;
        if (from < 0)
            r.pages = {1, 3, 7}; // 7 lies past the end
        r.fromPage = from;
        r.toPage = to;
        r.format = format;
        r.dpi = dpi;
        r.tempRoot = temp.path();
        PrintResult result;
        {
            QPdfWriter device(out);
            device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
            result = printWorksheet(device, data, sheet(text), r);
        }
        QCOMPARE(result.ok(), pages > 0);
        if (pages > 0) {
            QCOMPARE(result.sheets, pages);
            QCOMPARE(pdfPageCount(out), pages);
            if (dpi == 600) // the page really is on the sheet, not blank
                QVERIFY(QFileInfo(out).size() > 200'000);
        } else {
            QCOMPARE(result.failedPage, 3);
            QVERIFY(result.message().contains(QStringLiteral("第 3 页")));
            QVERIFY(pdfPageCount(out) <= 0);
        }
        QVERIFY(QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }
};

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
