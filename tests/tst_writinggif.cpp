#include "RevealAnimation.h"
#include "StartupData.h"
#include "WritingCell.h"
#include "WritingGif.h"

#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Frames
{
    QList<QImage> images;
    int loops = 0;
};

Frames readFrames(const QString &file)
{
    QImageReader reader(file);
    Frames f;
    f.loops = reader.loopCount();
    while (reader.canRead())
        f.images << reader.read().convertToFormat(QImage::Format_RGB32);
    return f;
}

} // namespace

class TestWritingGif : public QObject
{
    Q_OBJECT
    StartupData data;
    QTemporaryDir tmp;

    QString write(const QString &ch, RevealSpeed speed = RevealSpeed::Medium)
    {
        WritingGifSettings s;
        s.speed = speed;
        const QString file = tmp.filePath(ch + QStringLiteral(".gif"));
        const WritingGifResult r = writeWritingGif(data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily, ch,
                                                   data.directionCodes(ch), s, file);
        return r.written ? file : QString();
    }

    // The cell before and after the whole reveal, as the window paints it.
    QImage cell(const QString &ch, bool revealed)
    {
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        const auto segments = drawWritingCell(img, 96, data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily,
                                              ch, FrameStyle());
        if (revealed) {
            RevealAnimation reveal(segments, revealCodes(data.directionCodes(ch)), qRgb(0, 0, 0), 96, nullptr);
            reveal.advance(img, reveal.totalLines());
        }
        return img;
    }

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96);
        QVERIFY(tmp.isValid());
    }

    void framesFromGridToWholeCharacterLooping()
    {
        const QString ni = write(QStringLiteral("你"));
        QVERIFY(!ni.isEmpty());
        QVERIFY2(QFileInfo(ni).size() < 300 * 1024, qPrintable(QString::number(QFileInfo(ni).size())));
        const Frames f = readFrames(ni);
        QCOMPARE(f.loops, -1); // for ever
        QVERIFY(f.images.size() > 10);
        QCOMPARE(f.images.first(), cell(QStringLiteral("你"), false));
        QCOMPARE(f.images.last(), cell(QStringLiteral("你"), true));
    }

    void moreStrokesMoreFramesFasterFewer()
    {
        const int one = readFrames(write(QStringLiteral("一"))).images.size();
        const int ni = readFrames(write(QStringLiteral("你"))).images.size();
        const int cuan = readFrames(write(QStringLiteral("爨"))).images.size();
        QVERIFY2(one < ni && ni < cuan, qPrintable(QStringLiteral("%1 %2 %3").arg(one).arg(ni).arg(cuan)));
        QVERIFY(readFrames(write(QStringLiteral("你"), RevealSpeed::Fast)).images.size() < ni);
    }

    void refusesWhatItCannotDraw()
    {
        WritingGifSettings s;
        const auto noGlyph = writeWritingGif(data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily,
                                             QStringLiteral("A"), QString(), s, tmp.filePath(QStringLiteral("A.gif")));
        QVERIFY(!noGlyph.written);
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("A.gif"))));
        const auto noFolder = writeWritingGif(data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily,
                                              QStringLiteral("你"), data.directionCodes(QStringLiteral("你")), s,
                                              tmp.filePath(QStringLiteral("no/such/你.gif")));
        QVERIFY(!noFolder.written);
        QVERIFY(!noFolder.error.isEmpty());
    }
};

QTEST_MAIN(TestWritingGif)
#include "tst_writinggif.moc"
