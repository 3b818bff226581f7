#include "Bhs.h"
#include "StartupData.h"
#include "StrokePicture.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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
