#include "Bhs.h"
#include "StartupData.h"
#include "StrokePicture.h"
#include "StrokeSheet.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(PictureType)
Q_DECLARE_METATYPE(SplitMode)
Q_DECLARE_METATYPE(GridType)
Q_DECLARE_METATYPE(LineStyle)

namespace {

const QString Three = QStringLiteral("大");  // 3 strokes
const QString Twelve = QStringLiteral("黑"); // 12 strokes

// The resolution a picture file records, in whole dots per inch.
int fileDpi(const QString &path)
{
    const QImage img = QImageReader(path).read();
    return int(std::lround(img.dotsPerMeterX() * 0.0254));
}

bool isWhite(QRgb c) { return c == 0xFFFFFFFF; }

// The tables below name types and resolutions by their radio item index.
int pictureDpi(int r) { return ::pictureDpi(pictureResolutionFromIndex(r)); }
long double pictureFactor(int r) { return ::pictureFactor(pictureResolutionFromIndex(r)); }
QString pictureExtension(int t) { return ::pictureExtension(pictureTypeFromIndex(t)); }
PictureGeometry pictureGeometry(int n, const SheetMetrics &m, double ppp, int r)
{
    return ::pictureGeometry(n, m, ppp, pictureResolutionFromIndex(r));
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The page descriptions of a PDF: its streams, inflated where they are.
QByteArray pdfContents(const QByteArray &pdf)
{
    QByteArray out;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at)) {
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0)
            break;
        QByteArray z(4, '\0');
        qToBigEndian<quint32>(quint32(end - at) * 4, z.data()); // a first guess; it grows
        z += pdf.mid(at, end - at);
        const QByteArray inflated = qUncompress(z);
        out += inflated.isEmpty() ? pdf.mid(at, end - at) : inflated;
        at = end + 9;
    }
    return out;
}

// Pixels of a with no pixel of like colour and cover within one pixel in b:
// strokes, grid and dashes that differ, not anti-aliased edges.
int unmatchedPixels(const QImage &a, const QImage &b)
{
    auto near = [](QRgb p, QRgb q) {
        return qAbs(qAlpha(p) - qAlpha(q)) < 96 && qAbs(qRed(p) - qRed(q)) < 96 && qAbs(qGreen(p) - qGreen(q)) < 96
            && qAbs(qBlue(p) - qBlue(q)) < 96;
    };
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx, v = y + dy;
                    found = u >= 0 && v >= 0 && u < b.width() && v < b.height() && near(a.pixel(x, y), b.pixel(u, v));
                }
            n += !found;
        }
    return n;
}

} // namespace

class TestStrokePicture : public QObject
{
    Q_OBJECT
    StartupData data;
    QTemporaryDir tmp;

    PictureSettings defaults(int type, int resolution) const
    {
        PictureSettings s;
        s.metrics = sheetMetricsFromPixels(72, 10, 10, 8, data.PointsPerPixel);
        s.type = pictureTypeFromIndex(type);
        s.resolution = pictureResolutionFromIndex(resolution);
        s.pointsPerPixel = data.PointsPerPixel;
        return s;
    }

    PictureSettings styled(PictureType type, SplitMode split, GridType grid, LineStyle lines, bool outline) const
    {
        PictureSettings s = defaults(1, 1);
        s.type = type;
        s.style.splitMode = split;
        s.style.frame.gridType = grid;
        s.style.frame.lineStyle = lines;
        s.style.outline = outline;
        s.style.charColor = QColor(16, 32, 192);
        s.style.traceColor = QColor(240, 160, 0);
        return s;
    }

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96);
        QVERIFY(tmp.isValid());
        int zx, zy;
        QCOMPARE(bhs(data.PrivateFonts, data.CharFontFamily, Three, 54, zx, zy), 3);
        QCOMPARE(bhs(data.PrivateFonts, data.CharFontFamily, Twelve, 54, zx, zy), 12);
    }

    void defaultsInPoints()
    {
        const SheetMetrics m = sheetMetricsFromPixels(72, 10, 10, 8, 0.75);
        QCOMPARE(m.fsize, 54);
        QCOMPARE(m.hgap, 7);
        QCOMPARE(m.vgap, 7);
        QCOMPARE(m.perRow, 8);
        QCOMPARE(sheetMetricsFromPixels(72, 10, 10, 8, 0.6).fsize, 43); // 120 dpi: 43.2
    }

    void factorsLoseAPixelJustBelowWholeNumbers()
    {
        QCOMPARE(qint64(30 * pictureFactor(1)), qint64(124));
        QCOMPARE(qint64(72 * pictureFactor(1)), qint64(300));
        QCOMPARE(pictureDpi(0), 96);
        QCOMPARE(pictureDpi(1), 300);
        QCOMPARE(pictureDpi(2), 600);
    }

    void geometry_data()
    {
        QTest::addColumn<int>("strokes");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("widthPt");
        QTest::addColumn<int>("heightPt");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("3 at 96") << 3 << 0 << 221 << 79 << 294 << 105;
        QTest::newRow("3 at 300") << 3 << 1 << 221 << 79 << 920 << 329;
        QTest::newRow("3 at 600") << 3 << 2 << 221 << 79 << 1841 << 658;
        QTest::newRow("12 at 300") << 12 << 1 << 576 << 150 << 2400 << 625;
        QTest::newRow("12 at 600") << 12 << 2 << 576 << 150 << 4800 << 1250;
        QTest::newRow("8 at 300") << 8 << 1 << 576 << 79 << 2400 << 329;
        QTest::newRow("9 at 300") << 9 << 1 << 576 << 150 << 2400 << 625;
    }

    void geometry()
    {
        QFETCH(int, strokes);
        QFETCH(int, resolution);
        const PictureGeometry g = pictureGeometry(strokes, sheetMetricsFromPixels(72, 10, 10, 8, 0.75),
                                                  0.75, resolution);
        QTEST(int(g.widthPt), "widthPt");
        QTEST(int(g.heightPt), "heightPt");
        QTEST(int(g.width), "width");
        QTEST(int(g.height), "height");
    }

    void renderedSizeAndResolution_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QSize>("size");
        QTest::newRow("3 at 96") << Three << 0 << QSize(294, 105);
        QTest::newRow("3 at 300") << Three << 1 << QSize(920, 329);
        QTest::newRow("3 at 600") << Three << 2 << QSize(1841, 658);
        QTest::newRow("12 at 300") << Twelve << 1 << QSize(2400, 625);
    }

    void renderedSizeAndResolution()
    {
        QFETCH(QString, ch);
        QFETCH(int, resolution);
        QFETCH(QSize, size);
        for (int type : {0, 1, 2}) {
            QImage img;
            QCOMPARE(renderStrokePicture(data, ch, defaults(type, resolution), img).status,
                     PictureStatus::Written);
            QCOMPARE(img.size(), size);
            QCOMPARE(int(std::lround(img.dotsPerMeterX() * 0.0254)), pictureDpi(resolution));
            QCOMPARE(int(std::lround(img.dotsPerMeterY() * 0.0254)), pictureDpi(resolution));
        }
    }

    void cellsStartAtTheMarginUncentred()
    {
        // At 96 dpi: cells at x = 7, 78, 149 points, 64 points wide.
        QImage img;
        renderStrokePicture(data, Three, defaults(2, 0), img);
        auto frameColumn = [&img](int x) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                n += qAlpha(img.pixel(x, y)) > 100;
            return n;
        };
        for (int leftPt : {7, 78, 149}) {
            const int x = int(leftPt * 4.0 / 3);
            QVERIFY2(frameColumn(x) > 70 || frameColumn(x - 1) > 70, qPrintable(QString::number(leftPt)));
            QVERIFY(frameColumn(x - 4) < 5); // the gap before it
        }
        // Nothing to the right of the third cell (149 + 64 = 213 points).
        QCOMPARE(frameColumn(int(215 * 4.0 / 3)), 0);
    }

    void backgrounds()
    {
        for (int type : {0, 1, 2}) {
            QImage img;
            renderStrokePicture(data, Three, defaults(type, 1), img);
            for (QPoint p : {QPoint(0, 0), QPoint(img.width() - 1, 0), QPoint(0, img.height() - 1),
                             QPoint(img.width() - 1, img.height() - 1)}) {
                if (type == 2)
                    QCOMPARE(qAlpha(img.pixel(p)), 0);
                else
                    QVERIFY(isWhite(img.pixel(p)));
            }
        }
    }

    void writtenFilesKeepFormatResolutionAndBackground_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("resolution");
        for (int t : {0, 1, 2})
            for (int r : {0, 1, 2})
                QTest::addRow("%s %d", qPrintable(pictureExtension(t)), pictureDpi(r)) << t << r;
    }

    void writtenFilesKeepFormatResolutionAndBackground()
    {
        QFETCH(int, type);
        QFETCH(int, resolution);
        const QString path = tmp.filePath(QStringLiteral("w") + pictureExtension(type));
        QCOMPARE(saveStrokePicture(data, Three, defaults(type, resolution), path).status,
                 PictureStatus::Written);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray(type == 0 ? "bmp" : type == 1 ? "jpeg" : "png"));
        const QImage img = reader.read();
        QCOMPARE(fileDpi(path), pictureDpi(resolution));
        const QPoint corners[] = {QPoint(0, 0), QPoint(img.width() - 1, img.height() - 1)};
        for (QPoint p : corners) {
            if (type == 2) {
                QCOMPARE(qAlpha(img.pixel(p)), 0);
            } else {
                // JPEG blocks near the frame may ring a little.
                const QRgb c = img.pixel(p);
                QVERIFY2(qGray(c) > (type == 1 ? 235 : 254) && qAlpha(c) == 255,
                         qPrintable(QString::number(c, 16)));
            }
        }
    }

    void failedWritesLeaveNothing()
    {
        // Tests run as root, for whom a read-only folder is still writable:
        // the folder is gone, or a file stands where it should be.
        QTemporaryDir dir;
        const QString gone = dir.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkdir(gone));
        QVERIFY(QDir(gone).removeRecursively());
        PictureResult r = saveStrokePicture(data, Three, defaults(2, 1), gone + QStringLiteral("/a.png"));
        QCOMPARE(r.status, PictureStatus::WriteFailed);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(!QFileInfo::exists(gone));

        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        r = saveStrokePicture(data, Three, defaults(1, 1), blocker.fileName() + QStringLiteral("/a.jpg"));
        QCOMPARE(r.status, PictureStatus::WriteFailed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("file")});
    }

    void replacingKeepsNoTemporaryFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.png"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QCOMPARE(saveStrokePicture(data, Three, defaults(2, 0), path).status, PictureStatus::Written);
        QCOMPARE(QImageReader(path).read().size(), QSize(294, 105));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("a.png")});
    }

    void refusals()
    {
        QImage img;
        PictureSettings s = defaults(1, 1);
        QCOMPARE(renderStrokePicture(data, QStringLiteral("A"), s, img).status, PictureStatus::NoStrokeData);
        QVERIFY(img.isNull());
        s.metrics.perRow = 0;
        QCOMPARE(renderStrokePicture(data, Three, s, img).status, PictureStatus::NoCellsPerRow);
        s = defaults(1, 2);
        s.metrics.fsize = 5000;
        QCOMPARE(renderStrokePicture(data, Twelve, s, img).status, PictureStatus::TooLarge);
        const QString path = tmp.filePath(QStringLiteral("large.jpg"));
        QCOMPARE(saveStrokePicture(data, Twelve, s, path).status, PictureStatus::TooLarge);
        QVERIFY(!QFileInfo::exists(path));
    }

    // PDF and SVG: the picture's layout in points, every glyph fill a path
    // of its own (stroke k over strokes 1..k-1, no blended layers), no
    // embedded picture, dashed grid lines as dash patterns.
    void vectorSheets_data()
    {
        QTest::addColumn<PictureType>("type");
        QTest::addColumn<QString>("ch");
        QTest::addColumn<SplitMode>("split");
        QTest::addColumn<GridType>("grid");
        QTest::addColumn<LineStyle>("lines");
        QTest::addColumn<bool>("outline");
        QTest::addColumn<int>("fills");
        for (const auto &[name, type] : {std::pair{"pdf", PictureType::Pdf}, std::pair{"svg", PictureType::Svg}}) {
            QTest::addRow("%s 你 stroke tian", name) << type << QStringLiteral("你") << SplitMode::Stroke
                                                   << GridType::Tian << LineStyle::SolidOutDashedIn << false << 28;
            QTest::addRow("%s 爨 trace mi dashed outline", name)
                << type << QStringLiteral("爨") << SplitMode::Trace << GridType::Mi << LineStyle::AllDashed << true
                << 30 * 30;
            QTest::addRow("%s 大 follow tian solid", name) << type << Three << SplitMode::Follow << GridType::Tian
                                                         << LineStyle::AllSolid << false << 3;
        }
    }

    void vectorSheets()
    {
        QFETCH(PictureType, type);
        QFETCH(QString, ch);
        QFETCH(SplitMode, split);
        QFETCH(GridType, grid);
        QFETCH(LineStyle, lines);
        QFETCH(bool, outline);
        QFETCH(int, fills);
        const PictureSettings s = styled(type, split, grid, lines, outline);
        const QString path = tmp.filePath(QStringLiteral("v") + ::pictureExtension(type));
        QCOMPARE(saveStrokePicture(data, ch, s, path).status, PictureStatus::Written);
        const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, ch);
        const PictureGeometry g = ::pictureGeometry(glyph.strokeCount(), s.metrics, s.pointsPerPixel, s.resolution);
        const bool dashed = lines != LineStyle::AllSolid;
        const QByteArray bytes = bytesOf(path);
        if (type == PictureType::Svg) {
            const QString svg = QString::fromUtf8(bytes);
            QVERIFY2(svg.contains(QStringLiteral(R"(<svg width="%1pt" height="%2pt")").arg(g.widthPt).arg(g.heightPt)),
                     qPrintable(svg.left(300)));
            QVERIFY(svg.contains(QStringLiteral(R"(viewBox="0 0 %1 %2")").arg(g.widthPt).arg(g.heightPt)));
            QVERIFY(!svg.contains(QStringLiteral("<image")));
            QCOMPARE(svg.count(QStringLiteral("<path")), fills + (outline ? glyph.strokeCount() : 0));
            QCOMPARE(svg.contains(QStringLiteral(R"(stroke-dasharray="3,1")")), dashed);
        } else {
            QVERIFY(bytes.startsWith("%PDF-"));
            QVERIFY2(bytes.contains(QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]")
                                        .arg(g.widthPt).arg(g.heightPt).toLatin1()),
                     bytes.left(900).constData());
            QVERIFY(!bytes.contains("/Subtype /Image"));
            const QByteArray page = pdfContents(bytes);
            QCOMPARE(page.count("\nf*\n"), fills);
            QCOMPARE(page.contains("[3 1 ]0  d"), dashed);
        }
    }

    // Stroke names under the cells: the sheet grows by the name line under
    // every row (16 points less the 7-point row gap), each cell has its name
    // in the band beneath it, and without names the sheet is as before.
    void strokeNamesUnderCells_data()
    {
        QTest::addColumn<int>("perRow");
        QTest::addColumn<bool>("names");
        QTest::addColumn<int>("heightPt");
        QTest::newRow("one row, off") << 8 << false << 79;
        QTest::newRow("one row, names") << 8 << true << 88;
        QTest::newRow("two rows, off") << 4 << false << 150;
        QTest::newRow("two rows, names") << 4 << true << 168;
    }
    void strokeNamesUnderCells()
    {
        QFETCH(int, perRow);
        QFETCH(bool, names);
        const QString ch = QStringLiteral("你"); // 7 strokes: 撇 竖 撇 横钩 竖钩 点 点
        PictureSettings s = defaults(2, 0);       // png at 96 dpi
        s.metrics.perRow = perRow;
        s.style.strokeNames = names;
        s.facts = &data.Facts;
        QCOMPARE(data.Facts.facts(ch.at(0)).strokeNames.size(), 7);
        QImage img;
        QCOMPARE(renderStrokePicture(data, ch, s, img).status, PictureStatus::Written);
        const PictureGeometry g = ::pictureGeometry(7, s);
        QTEST(int(g.heightPt), "heightPt");
        QCOMPARE(img.height(), int(g.height));
        const double f = 4.0 / 3, pitchY = names ? 80 : 71;
        for (int k = 0; k < 7; ++k) {
            // The band between the cell's bottom and the next row (or the edge).
            const double top = 7 + (k / perRow) * pitchY + 64;
            const QRect band(int((7 + (k % perRow) * 71) * f) + 2, int(top * f) + 2, int(64 * f) - 4,
                             int((pitchY - 64 - 2) * f) - 2);
            int ink = 0;
            for (int y = band.top(); y <= qMin(band.bottom(), img.height() - 1); ++y)
                for (int x = band.left(); x <= band.right(); ++x)
                    ink += qAlpha(img.pixel(x, y)) > 128;
            QVERIFY2(names ? ink > 15 : ink == 0, qPrintable(QStringLiteral("cell %1: %2").arg(k).arg(ink)));
        }
    }

    // The SVG opens at the size of the 300 dpi picture at 300 dpi and draws
    // the same sheet.
    void svgMatchesThe300DpiPicture_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<SplitMode>("split");
        QTest::addColumn<GridType>("grid");
        QTest::addColumn<LineStyle>("lines");
        QTest::addColumn<bool>("outline");
        QTest::addColumn<bool>("names");
        QTest::newRow("你") << QStringLiteral("你") << SplitMode::Stroke << GridType::Tian
                           << LineStyle::SolidOutDashedIn << false << false;
        QTest::newRow("爨 trace mi dashed outline")
            << QStringLiteral("爨") << SplitMode::Trace << GridType::Mi << LineStyle::AllDashed << true << false;
        QTest::newRow("爨 with stroke names")
            << QStringLiteral("爨") << SplitMode::Stroke << GridType::Tian << LineStyle::SolidOutDashedIn << false
            << true;
    }

    void svgMatchesThe300DpiPicture()
    {
        QFETCH(QString, ch);
        QFETCH(SplitMode, split);
        QFETCH(GridType, grid);
        QFETCH(LineStyle, lines);
        QFETCH(bool, outline);
        QFETCH(bool, names);
        auto settings = [&](PictureType type) {
            PictureSettings s = styled(type, split, grid, lines, outline);
            s.style.strokeNames = names;
            s.facts = &data.Facts;
            return s;
        };
        QImage png;
        QCOMPARE(renderStrokePicture(data, ch, settings(PictureType::Png), png).status, PictureStatus::Written);
        const QString path = tmp.filePath(QStringLiteral("m.svg"));
        QCOMPARE(saveStrokePicture(data, ch, settings(PictureType::Svg), path).status, PictureStatus::Written);
        static const QRegularExpression size(QStringLiteral(R"(<svg width="([0-9.]+)pt" height="([0-9.]+)pt")"));
        const QRegularExpressionMatch m = size.match(QString::fromUtf8(bytesOf(path)));
        QVERIFY(m.hasMatch());
        const QSizeF at300(m.captured(1).toDouble() * 300 / 72, m.captured(2).toDouble() * 300 / 72);
        QVERIFY2(qAbs(at300.width() - png.width()) <= 1 && qAbs(at300.height() - png.height()) <= 1,
                 qPrintable(QStringLiteral("%1 × %2").arg(at300.width()).arg(at300.height())));

        QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QImage drawn(png.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(0);
        QPainter p(&drawn);
        renderer.render(&p, QRectF(QPointF(0, 0), at300));
        p.end();
        const QImage picture = png.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const int allowed = png.width() * png.height() / 5000;
        QVERIFY2(unmatchedPixels(drawn, picture) <= allowed, qPrintable(QString::number(unmatchedPixels(drawn, picture))));
        QVERIFY2(unmatchedPixels(picture, drawn) <= allowed, qPrintable(QString::number(unmatchedPixels(picture, drawn))));
    }

    void vectorSheetsRefusedOrFailedLeaveNothing()
    {
        QTemporaryDir dir;
        for (PictureType type : {PictureType::Pdf, PictureType::Svg}) {
            PictureSettings s = defaults(1, 1);
            s.type = type;
            const QString ext = ::pictureExtension(type);
            const PictureResult r = saveStrokePicture(data, Three, s, dir.filePath(QStringLiteral("gone/a") + ext));
            QCOMPARE(r.status, PictureStatus::WriteFailed);
            QVERIFY(!r.error.isEmpty());
            // Larger than readers open: 20000-point cells.
            s.metrics.fsize = 20000;
            QCOMPARE(saveStrokePicture(data, Three, s, dir.filePath(QStringLiteral("large") + ext)).status,
                     PictureStatus::TooLarge);
            s.metrics.fsize = 54;
            QCOMPARE(saveStrokePicture(data, QStringLiteral("A"), s, dir.filePath(QStringLiteral("A") + ext)).status,
                     PictureStatus::NoStrokeData);
        }
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void hexCodeNames()
    {
        QCOMPARE(HexCodeName(QStringLiteral("你")), QStringLiteral("4F60"));
        QCOMPARE(HexCodeName(QStringLiteral("好")), QStringLiteral("597D"));
        QCOMPARE(HexCodeName(QStringLiteral("a")), QStringLiteral("0061"));
        QCOMPARE(HexCodeName(QStringLiteral("你好")), QStringLiteral("4F60597D"));
    }

    void exportableCharactersKeepOrderAndRepeats()
    {
        QCOMPARE(exportableCharacters(data, QStringLiteral("你\r\n好 a1，你\t說")),
                 QStringLiteral("你好你"));
        QCOMPARE(exportableCharacters(data, QString()), QString());
    }
};

QTEST_MAIN(TestStrokePicture)
#include "tst_strokepicture.moc"
