#include "GifWriter.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A white picture with a grey frame and k filled bars: what a reveal adds
// frame by frame.
QImage frameWithBars(int k)
{
    QImage img(60, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 128, 0), 2));
    p.drawRect(QRectF(2.5, 2.5, 55, 35));
    for (int i = 0; i < k; ++i)
        p.fillRect(QRect(8 + 10 * i, 10, 6, 20), QColor(200, 0, 0));
    return img;
}

} // namespace

class TestGifWriter : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void framesLoopAndColoursSurvive()
    {
        const QString file = tmp.filePath(QStringLiteral("bars.gif"));
        const QImage last = frameWithBars(4);
        GifWriter gif;
        QVERIFY(gif.open(file, last.size(), gifPalette(last)));
        for (int k = 0; k <= 4; ++k)
            QVERIFY(gif.addFrame(frameWithBars(k), 10));
        QVERIFY(gif.addFrame(last, 100)); // unchanged: the last frame lasts longer
        QVERIFY2(gif.finish(), qPrintable(gif.errorString()));
        QCOMPARE(gif.framesWritten(), 5);

        QImageReader reader(file);
        QCOMPARE(reader.imageCount(), 5);
        QCOMPARE(reader.loopCount(), -1); // for ever
        QImage first = reader.read();
        QCOMPARE(first.convertToFormat(QImage::Format_RGB32),
                 frameWithBars(0).convertToFormat(QImage::Format_RGB32));
        QImage shown;
        while (reader.canRead())
            shown = reader.read();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), last.convertToFormat(QImage::Format_RGB32));
    }

    void paletteKeepsTheMostFrequentColours()
    {
        QImage img(10, 1, QImage::Format_RGB32);
        for (int x = 0; x < 10; ++x)
            img.setPixel(x, 0, x < 6 ? 0xFFFFFFFF : x < 9 ? 0xFF000000 : 0xFFFF0000);
        QCOMPARE(gifPalette(img), (QList<QRgb>{0xFFFFFFFF, 0xFF000000, 0xFFFF0000}));
        QCOMPARE(gifPalette(img, 2), (QList<QRgb>{0xFFFFFFFF, 0xFF000000}));
    }

    void badTargetsAndFramesFail()
    {
        GifWriter gif;
        QVERIFY(!gif.open(tmp.filePath(QStringLiteral("no/such/dir/a.gif")), QSize(4, 4), {0xFFFFFFFF}));
        QVERIFY(!gif.errorString().isEmpty());
        GifWriter wrong;
        const QString file = tmp.filePath(QStringLiteral("wrong.gif"));
        QVERIFY(wrong.open(file, QSize(4, 4), {0xFFFFFFFF}));
        QVERIFY(!wrong.addFrame(QImage(5, 5, QImage::Format_RGB32), 1));
    }
};

QTEST_GUILESS_MAIN(TestGifWriter)
#include "tst_gifwriter.moc"
