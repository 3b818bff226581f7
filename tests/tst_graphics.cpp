#include "Bitmap.h"
#include "EmbeddedResource.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "GraphicsPathIterator.h"
#include "ImageEncoder.h"
#include "PrivateFontCollection.h"

#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kChar = QStringLiteral("JIV_KaiTi_GB2312");

int inkCount(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 127;
    return n;
}

QRect inkBounds(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 127)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestGraphics : public QObject
{
    Q_OBJECT
    PrivateFontCollection fonts;

private slots:
    void initTestCase()
    {
        QVERIFY(fonts.addMemoryFont(EmbeddedResource::bytes("fonts/JIV_KaiTi_GB2312.ttf")));
        QVERIFY(fonts.hasFamily(kChar));
        QVERIFY(!fonts.addMemoryFont(QByteArray("not a font")));
    }

    void unknownFamilyNeverFallsBack()
    {
        // DejaVu Sans is installed system-wide, but is not one of ours.
        for (const QString &family : {QStringLiteral("DejaVu Sans"), QStringLiteral("nope")}) {
            GraphicsPath p;
            p.addString(QStringLiteral("一A"), fonts, family, 54, QPointF(0, 0));
            QCOMPARE(p.subpathCount(), 0);
            QCOMPARE(p.bounds(), QRect(0, 0, 0, 0));
        }
        // A character the font lacks (Latin A, a space) has no outline either.
        GraphicsPath p;
        p.addString(QStringLiteral("A "), fonts, kChar, 54, QPointF(0, 0));
        QCOMPARE(p.subpathCount(), 0);
    }

    void lineBoxTopAtOrigin()
    {
        // At one unit per font unit the outline lies in font units with the
        // baseline 900 (the ascent) below the origin: the top of 一 lies at
        // 478.06 font units above the baseline, its left side at 105.96.
        GraphicsPath p;
        p.addString(QStringLiteral("一"), fonts, kChar, 1024, QPointF(0, 0));
        const QRect b = p.bounds();
        QCOMPARE(b.y(), 421); // floor(900 - 478.06)
        QCOMPARE(b.x(), 105);
        GraphicsPath moved;
        moved.addString(QStringLiteral("一"), fonts, kChar, 2048, QPointF(7, -3));
        QCOMPARE(moved.bounds().x(), 7 + 211);      // floor(7 + 2 * 105.96)
        QCOMPARE(moved.bounds().y(), -3 + 843);     // floor(-3 + 2 * 421.94)
    }

    void iteratorWalksStrokesInOrder()
    {
        GraphicsPath p;
        p.addString(QStringLiteral("十"), fonts, kChar, 100, QPointF(0, 0));
        GraphicsPathIterator it(p);
        QCOMPARE(it.subpathCount(), 2);
        QPainterPath first, second, none;
        bool closed = false;
        QVERIFY(it.nextSubpath(first, &closed));
        QVERIFY(closed);
        QVERIFY(it.nextSubpath(second, &closed));
        QVERIFY(closed);
        QVERIFY(!it.nextSubpath(none));
        QVERIFY(none.isEmpty());
        // Stroke 1 of 十 is the 横: wider than high. Stroke 2 the 竖.
        QVERIFY(first.boundingRect().width() > 3 * first.boundingRect().height());
        QVERIFY(second.boundingRect().height() > 3 * second.boundingRect().width());
        it.rewind();
        QPainterPath again;
        QVERIFY(it.nextSubpath(again));
        QCOMPARE(again.boundingRect(), first.boundingRect());
    }

    void oneFillPerSubpathKeepsCrossingsFilled()
    {
        GraphicsPath p;
        p.addString(QStringLiteral("十"), fonts, kChar, 200, QPointF(0, 0));
        const QPointF cross = p.subpath(0).boundingRect().intersected(p.subpath(1).boundingRect()).center();

        QImage a = makeBitmap(220, 220, 96);
        {
            Graphics g(a, 96);
            g.fillSubpaths(p, Qt::black);
        }
        QCOMPARE(qAlpha(a.pixel(cross.toPoint())), 255);

        QImage b = makeBitmap(220, 220, 96);
        {
            Graphics g(b, 96);
            g.fillPath(p.combined(), Qt::black); // one fill cancels the crossing
        }
        QCOMPARE(qAlpha(b.pixel(cross.toPoint())), 0);
    }

    void pointsScaleWithResolution()
    {
        // 川 (3 strokes) at 54 pt: on a 96 dpi screen and into a 300 dpi bitmap.
        auto render = [this](double dpi, int side) {
            QImage img = makeBitmap(side, side, dpi);
            Graphics g(img, dpi);
            g.setPageUnit(PageUnit::Point);
            g.setAntialiasing(true);
            GraphicsPath p;
            p.addString(QStringLiteral("川"), fonts, kChar, 54, QPointF(5, 5));
            g.fillSubpaths(p, Qt::black);
            return img;
        };
        const QImage screen = render(96, 100);
        const QImage print = render(300, 313);
        const double k = 300.0 / 96.0;
        const QRect s = inkBounds(screen), b = inkBounds(print);
        QVERIFY(qAbs(b.left() - s.left() * k) <= k + 1);
        QVERIFY(qAbs(b.right() - s.right() * k) <= k + 1);
        QVERIFY(qAbs(b.top() - s.top() * k) <= k + 1);
        QVERIFY(qAbs(b.bottom() - s.bottom() * k) <= k + 1);
        const double area = inkCount(print) / (inkCount(screen) * k * k);
        QVERIFY2(area > 0.93 && area < 1.07, qPrintable(QString::number(area)));
        // Same picture: the 300 dpi one scaled down matches pixel for pixel, mostly.
        const QImage down = print.scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        int same = 0, ink = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool a = qAlpha(screen.pixel(x, y)) > 127, c = qAlpha(down.pixel(x, y)) > 127;
                ink += a || c;
                same += a && c;
            }
        QVERIFY(double(same) / ink > 0.85);
    }

    void translationIsInPageUnitsBeforeEarlierOnes()
    {
        QImage img = makeBitmap(200, 50, 96);
        Graphics g(img, 96);
        g.setPageUnit(PageUnit::Point);
        g.translateTransform(30, 0);
        g.translateTransform(15, 0); // 45 pt = 60 px at 96 dpi
        g.drawLine(Pen{Qt::black, 0.75, DashStyle::Solid}, QPoint(0, 10), QPoint(0, 20));
        const QRect ink = inkBounds(img);
        QVERIFY2(qAbs(ink.center().x() - 60) <= 1, qPrintable(QString::number(ink.center().x())));
        g.resetTransform();
        QImage fresh = makeBitmap(10, 10, 96);
        QCOMPARE(fresh.pixel(0, 0), 0u);
        QVERIFY(qAbs(bitmapDpi(fresh) - 96) < 0.05);
    }

    void dashesScaleWithPenWidth()
    {
        auto firstDash = [](double width, DashStyle style) {
            QImage img = makeBitmap(200, 20, 96);
            Graphics g(img, 96);
            g.drawLine(Pen{Qt::black, width, style}, QPoint(0, 10), QPoint(200, 10));
            int run = 0;
            while (run < 200 && qAlpha(img.pixel(run, 10)) > 127)
                ++run;
            return run;
        };
        QCOMPARE(firstDash(1, DashStyle::Solid), 200);
        const int one = firstDash(1, DashStyle::Dash);
        const int four = firstDash(4, DashStyle::Dash);
        QVERIFY(one > 0 && one < 10);
        QVERIFY2(qAbs(four - 4 * one) <= 2, qPrintable(QStringLiteral("%1 %2").arg(one).arg(four)));
    }

    void rectangleEdgesOnWholeUnits()
    {
        QImage img = makeBitmap(50, 50, 96);
        Graphics g(img, 96);
        g.drawRectangle(Pen{Qt::black, 1, DashStyle::Solid}, QRect(10, 10, 20, 20));
        // A 1-pixel pen centred on x = 10 and x = 30 touches both columns' sides.
        QVERIFY(qAlpha(img.pixel(9, 20)) > 0 || qAlpha(img.pixel(10, 20)) > 0);
        QVERIFY(qAlpha(img.pixel(29, 20)) > 0 || qAlpha(img.pixel(30, 20)) > 0);
        QCOMPARE(qAlpha(img.pixel(20, 20)), 0);
        g.clear(Qt::white);
        QCOMPARE(img.pixel(20, 20), qRgb(255, 255, 255));
    }

    void encodersByMimeType()
    {
        ImageEncoder e;
        QVERIFY(findImageEncoder("image/png", &e));
        QCOMPARE(e.extension, QStringLiteral(".png"));
        QVERIFY(findImageEncoder("image/jpeg", &e));
        QCOMPARE(e.format, QByteArray("jpeg"));
        QVERIFY(findImageEncoder("image/bmp", &e));
        QVERIFY(!findImageEncoder("image/gif", &e));
        QCOMPARE(e.format, QByteArray("bmp")); // untouched on a miss
    }

    void savedFilesCarryDpiAndAlpha_data()
    {
        QTest::addColumn<QString>("mime");
        QTest::addColumn<double>("dpi");
        QTest::newRow("bmp 96") << "image/bmp" << 96.0;
        QTest::newRow("jpeg 300") << "image/jpeg" << 300.0;
        QTest::newRow("png 600") << "image/png" << 600.0;
    }

    void savedFilesCarryDpiAndAlpha()
    {
        QFETCH(QString, mime);
        QFETCH(double, dpi);
        QTemporaryDir dir;
        ImageEncoder enc;
        QVERIFY(findImageEncoder(mime, &enc));
        QImage img = makeBitmap(40, 30, dpi);
        {
            Graphics g(img, dpi);
            if (mime != "image/png")
                g.clear(Qt::white);
            g.fillPath(QPainterPath(QPointF(10, 10)), Qt::black);
            QPainterPath sq;
            sq.addRect(10, 10, 10, 10);
            g.fillPath(sq, Qt::black);
        }
        const QString file = dir.filePath("pic" + enc.extension);
        QString why;
        QVERIFY2(saveImage(img, file, enc, &why), qPrintable(why));
        QImageReader reader(file);
        QCOMPARE(reader.format(), enc.format);
        const QImage back = reader.read();
        QCOMPARE(back.size(), QSize(40, 30));
        QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), qRound(dpi));
        QCOMPARE(qRound(back.dotsPerMeterY() * 0.0254), qRound(dpi));
        if (mime == "image/png")
            QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
        else
            QCOMPARE(back.pixel(0, 0) | 0x0f0f0f, qRgb(255, 255, 255));
        QVERIFY(qGray(back.pixel(15, 15)) < 40);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"pic" + enc.extension});
    }

    // The direct encoders against Qt's writers on the same pixels: PNG and
    // BMP decode identically, JPEG within one step per channel; the same
    // dpi, the same kind of file. Formats they refuse go to Qt's writer.
    void directEncodersDecodeAsQtWriters_data()
    {
        QTest::addColumn<QString>("mime");
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("size");
        for (const char *mime : {"image/jpeg", "image/png", "image/bmp"}) {
            QTest::addRow("%s opaque", mime) << mime << int(QImage::Format_RGB32) << QSize(203, 157);
            QTest::addRow("%s premultiplied", mime) << mime << int(QImage::Format_ARGB32_Premultiplied)
                                                     << QSize(97, 61);
            QTest::addRow("%s straight alpha", mime) << mime << int(QImage::Format_ARGB32) << QSize(33, 17);
            QTest::addRow("%s grey", mime) << mime << int(QImage::Format_Grayscale8) << QSize(50, 40);
            QTest::addRow("%s one pixel", mime) << mime << int(QImage::Format_ARGB32_Premultiplied) << QSize(1, 1);
            // Long runs of blank rows, and rows that change again after them.
            QTest::addRow("%s tall", mime) << mime << int(QImage::Format_ARGB32_Premultiplied) << QSize(64, 700);
        }
    }

    void directEncodersDecodeAsQtWriters()
    {
        QFETCH(QString, mime);
        QFETCH(int, format);
        QFETCH(QSize, size);
        QImage img(size, QImage::Format(format));
        img.fill(format == QImage::Format_RGB32 || format == QImage::Format_Grayscale8 ? Qt::white
                                                                                        : Qt::transparent);
        setBitmapDpi(img, 300);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(200, 30, 30, 180), 3.3));
            p.drawEllipse(QRectF(2.5, 1.5, size.width() * 0.8, size.height() * 0.7));
            p.fillRect(QRectF(0, 0, size.width() / 3.0, size.height() / 2.0), QColor(20, 90, 200, 90));
        }
        ImageEncoder enc;
        QVERIFY(findImageEncoder(mime, &enc));
        QTemporaryDir dir;
        const QString ours = dir.filePath("ours" + enc.extension), qts = dir.filePath("qt" + enc.extension);
        QVERIFY(saveImage(img, ours, enc));
        QVERIFY(QImageWriter(qts, enc.format).write(enc.format == "png" ? img : img.convertToFormat(QImage::Format_RGB32)));
        QImageReader a(ours), b(qts);
        QCOMPARE(a.format(), b.format());
        const QImage x = a.read(), y = b.read();
        QCOMPARE(x.format(), y.format());
        QCOMPARE(x.size(), size);
        QCOMPARE(x.dotsPerMeterX(), y.dotsPerMeterX());
        QCOMPARE(x.dotsPerMeterY(), y.dotsPerMeterY());
        const QImage u = x.convertToFormat(QImage::Format_ARGB32), v = y.convertToFormat(QImage::Format_ARGB32);
        int worst = 0;
        for (int yy = 0; yy < size.height(); ++yy)
            for (int xx = 0; xx < size.width(); ++xx) {
                const QRgb p = u.pixel(xx, yy), q = v.pixel(xx, yy);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            }
        QVERIFY2(worst <= (enc.format == "jpeg" ? 1 : 0), qPrintable(QString::number(worst)));
    }

    void failedWriteLeavesNothing()
    {
        QTemporaryDir dir;
        ImageEncoder enc;
        QVERIFY(findImageEncoder("image/png", &enc));
        const QImage img = makeBitmap(10, 10, 96);
        QString why;
        QVERIFY(!saveImage(img, dir.filePath("missing/pic.png"), enc, &why));
        QVERIFY(!why.isEmpty());
        // A folder in the way of the file name is not overwritten.
        QVERIFY(QDir(dir.path()).mkdir("x.png"));
        QVERIFY(!saveImage(img, dir.filePath("x.png"), enc));
        QVERIFY(QFileInfo(dir.filePath("x.png")).isDir());
        QVERIFY(!saveImage(QImage(), dir.filePath("empty.png"), enc));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void hugeOrEmptyBitmapsAreNull()
    {
        QVERIFY(makeBitmap(0, 10, 96).isNull());
        QVERIFY(makeBitmap(-5, 10, 96).isNull());
        QVERIFY(makeBitmap(100000, 100000, 96).isNull());
        QImage null;
        Graphics g(null, 96); // drawing on nothing is a no-op, not a crash
        QVERIFY(!g.isActive());
        g.clear(Qt::white);
    }
};

QTEST_MAIN(TestGraphics)
#include "tst_graphics.moc"
