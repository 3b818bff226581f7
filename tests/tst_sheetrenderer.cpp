// The one sheet painter against small golden pictures: every caller (window,
// full screen, pictures, batch and command-line export) draws through it, so
// a change of any picture shows here first. KELVORA_UPDATE_GOLDEN=1 rewrites
// the pictures (look at them before committing).
#include "Bhs.h"
#include "StartupData.h"
#include "StrokePicture.h"
#include "StrokeSheet.h"

#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QtTest>

Q_DECLARE_METATYPE(SplitMode)
Q_DECLARE_METATYPE(GridType)
Q_DECLARE_METATYPE(LineStyle)

namespace {

QString goldenPath(const QString &name)
{
    return QStringLiteral(KELVORA_SOURCE_DIR "/tests/golden/") + name + QStringLiteral(".png");
}

// Pixels that differ by more than a rounding step in any channel.
int differingPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            n += qAbs(qRed(p) - qRed(q)) > 2 || qAbs(qGreen(p) - qGreen(q)) > 2 || qAbs(qBlue(p) - qBlue(q)) > 2
                 || qAbs(qAlpha(p) - qAlpha(q)) > 2;
        }
    return n;
}

} // namespace

class TestSheetRenderer : public QObject
{
    Q_OBJECT
    StartupData data;

    // Small pictures: size 24 pixels (18 points) at 96 dpi on white.
    PictureSettings small(SplitMode split, GridType grid, LineStyle lines, bool outline) const
    {
        PictureSettings s;
        s.metrics = sheetMetricsFromPixels(24, 4, 4, 8, data.PointsPerPixel);
        s.style.splitMode = split;
        s.style.frame.gridType = grid;
        s.style.frame.lineStyle = lines;
        s.style.outline = outline;
        s.style.traceColor = QColor(255, 128, 0);
        s.type = PictureType::Bmp;
        s.resolution = PictureResolution::Dpi96;
        s.pointsPerPixel = data.PointsPerPixel;
        return s;
    }

private slots:
    void initTestCase() { loadStartupData(data, 96, StartupCharFont); }

    void golden_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<SplitMode>("split");
        QTest::addColumn<GridType>("grid");
        QTest::addColumn<LineStyle>("lines");
        QTest::addColumn<bool>("outline");
        const QList<QPair<const char *, SplitMode>> splits = {
            {"follow", SplitMode::Follow}, {"stroke", SplitMode::Stroke}, {"trace", SplitMode::Trace}};
        // Each split mode with 你 (7 strokes) and 爨 (30 strokes, four rows).
        for (const char *ch : {"你", "爨"})
            for (const auto &[name, split] : splits)
                QTest::addRow("%s-%s-tian", ch, name)
                    << QString::fromUtf8(ch) << split << GridType::Tian << LineStyle::SolidOutDashedIn << false;
        // Each grid and line style, and the outline.
        const QString ni = QStringLiteral("你");
        QTest::newRow("你-stroke-none") << ni << SplitMode::Stroke << GridType::None << LineStyle::AllDashed << false;
        QTest::newRow("你-stroke-mi-solid") << ni << SplitMode::Stroke << GridType::Mi << LineStyle::AllSolid << false;
        QTest::newRow("你-trace-mi-dashed") << ni << SplitMode::Trace << GridType::Mi << LineStyle::AllDashed << false;
        QTest::newRow("你-follow-tian-outline")
            << ni << SplitMode::Follow << GridType::Tian << LineStyle::SolidOutDashedIn << true;
        QTest::newRow("一-stroke-tian") << QStringLiteral("一") << SplitMode::Stroke << GridType::Tian
                                        << LineStyle::SolidOutDashedIn << true;
    }

    void golden()
    {
        QFETCH(QString, ch);
        QFETCH(SplitMode, split);
        QFETCH(GridType, grid);
        QFETCH(LineStyle, lines);
        QFETCH(bool, outline);
        QImage picture;
        QCOMPARE(renderStrokePicture(data, ch, small(split, grid, lines, outline), picture).status,
                 PictureStatus::Written);
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        const QString path = goldenPath(QString::fromUtf8(QTest::currentDataTag()));
        if (qEnvironmentVariableIsSet("KELVORA_UPDATE_GOLDEN")) {
            QDir().mkpath(QFileInfo(path).path());
            QVERIFY(QImageWriter(path, "png").write(picture));
        }
        const QImage golden = QImageReader(path).read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!golden.isNull(), qPrintable(path));
        QCOMPARE(picture.size(), golden.size());
        QCOMPARE(differingPixels(picture, golden), 0);
    }

    // Cell k of the cumulative modes is cell k - 1 plus stroke k: with a
    // pitch of whole pixels, every inked pixel of a cell is inked in the next.
    void cumulativeCellsGrow()
    {
        // 300 dpi, size 34 pixels: 25 + 10 + 1 = 36 points = 150 pixels of pitch.
        PictureSettings s = small(SplitMode::Stroke, GridType::None, LineStyle::AllSolid, false);
        s.metrics = sheetMetricsFromPixels(34, 2, 2, 30, data.PointsPerPixel);
        s.resolution = PictureResolution::Dpi300;
        QImage p;
        QCOMPARE(renderStrokePicture(data, QStringLiteral("爨"), s, p).status, PictureStatus::Written);
        const int pitch = 150, side = int(35 * 300 / 72.0), left = int(7 * 300 / 72.0);
        int previous = 0;
        for (int k = 0; k < 30; ++k) {
            int ink = 0, lost = 0;
            for (int y = left; y < left + side; ++y)
                for (int x = 0; x < side; ++x) {
                    const bool here = qGray(p.pixel(left + k * pitch + x, y)) < 128;
                    ink += here;
                    if (k > 0 && !here && qGray(p.pixel(left + (k - 1) * pitch + x, y)) < 128)
                        ++lost;
                }
            QVERIFY2(ink > previous, qPrintable(QString::number(k)));
            QCOMPARE(lost, 0);
            previous = ink;
        }
    }

    void nothingBelowOnePoint()
    {
        PictureSettings s = small(SplitMode::Stroke, GridType::Tian, LineStyle::AllSolid, false);
        s.metrics.fsize = 0;
        QImage p;
        QCOMPARE(renderStrokePicture(data, QStringLiteral("你"), s, p).status, PictureStatus::TooSmall);
        QVERIFY(p.isNull());
        QCOMPARE(pictureSettingsStatus(s), PictureStatus::TooSmall);
        s.metrics.fsize = 1;
        QCOMPARE(pictureSettingsStatus(s), PictureStatus::Written);
        // The painter itself draws nothing at all for such a size.
        QImage blank(200, 60, QImage::Format_RGB32);
        blank.fill(Qt::white);
        const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, QStringLiteral("你"));
        SheetMetrics m = s.metrics;
        m.fsize = 0;
        drawSheet(blank, 96, glyph.sized(0), s.style, m, 7, 7);
        QImage white(200, 60, QImage::Format_RGB32);
        white.fill(Qt::white);
        QCOMPARE(blank, white);
    }

    void glyphReadOnceServesEverySize()
    {
        const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, QStringLiteral("你"));
        QCOMPARE(glyph.strokeCount(), 7);
        QCOMPARE(SheetGlyph(data.PrivateFonts, data.CharFontFamily, QStringLiteral("A")).strokeCount(), 0);
        for (int fsize : {18, 54, 339}) {
            int zx = 0, zy = 0;
            QCOMPARE(bhs(data.PrivateFonts, data.CharFontFamily, QStringLiteral("你"), fsize, zx, zy), 7);
            const SizedGlyph sized = glyph.sized(fsize);
            QCOMPARE(sized.zx, zx);
            QCOMPARE(sized.zy, zy);
        }
    }
};

QTEST_MAIN(TestSheetRenderer)
#include "tst_sheetrenderer.moc"
