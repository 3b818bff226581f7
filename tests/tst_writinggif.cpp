#include "RevealAnimation.h"
#include "StartupData.h"
#include "WritingCell.h"
#include "WritingGif.h"

#include <QFileInfo>
#include <QImageReader>
#include <QSet>
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

    QString write(const QString &ch, RevealSpeed speed = RevealSpeed::Medium, const WritingGifSettings &style = {})
    {
        WritingGifSettings s = style;
        s.speed = speed;
        const QString file = tmp.filePath(ch + QString::number(qHash(s.charColor.rgb() ^ s.frame.color.rgb()))
                                          + QStringLiteral(".gif"));
        const WritingGifResult r = writeWritingGif(data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily, ch,
                                                   data.directionCodes(ch), s, file);
        return r.written ? file : QString();
    }

    // The cell before and after the whole reveal, as the window paints it
    // (every pixel a stroke touches in the full ink colour).
    QImage cell(const QString &ch, bool revealed, const WritingGifSettings &s = {})
    {
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        const auto segments = drawWritingCell(img, 96, data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily,
                                              ch, s.frame);
        if (revealed) {
            RevealAnimation reveal(segments, revealCodes(data.directionCodes(ch)), s.charColor.rgb(), 96, nullptr);
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

    void framesFromGridToWholeCharacterLooping_data()
    {
        QTest::addColumn<QColor>("ink");
        QTest::addColumn<QColor>("frame");
        QTest::addColumn<int>("grid");
        QTest::newRow("default") << QColor(Qt::black) << QColor(128, 128, 0) << int(GridType::Tian);
        QTest::newRow("red on a blue mi grid") << QColor(0xC0, 0, 0) << QColor(0, 0, 0xFF) << int(GridType::Mi);
    }

    void framesFromGridToWholeCharacterLooping()
    {
        QFETCH(QColor, ink);
        QFETCH(QColor, frame);
        QFETCH(int, grid);
        WritingGifSettings s;
        s.charColor = ink;
        s.frame.color = frame;
        s.frame.gridType = GridType(grid);
        const QString ch = QStringLiteral("你");
        const QString ni = write(ch, RevealSpeed::Medium, s);
        QVERIFY(!ni.isEmpty());
        QVERIFY2(QFileInfo(ni).size() < 30 * 1024, qPrintable(QString::number(QFileInfo(ni).size())));
        const Frames f = readFrames(ni);
        QCOMPARE(f.loops, -1); // for ever
        QVERIFY(f.images.size() > 10);

        const QRgb paper = qRgb(255, 255, 255);
        const QImage empty = cell(ch, false, s), window = cell(ch, true, s);
        const QImage &first = f.images.first(), &last = f.images.last();
        QSet<QRgb> colours, edgeShades;
        int insideChecked = 0;
        for (int y = 2; y < 298; ++y) {
            for (int x = 2; x < 298; ++x) {
                const QRgb shown = last.pixel(x, y) & 0xFFFFFFu, drawn = window.pixel(x, y) & 0xFFFFFFu;
                colours << shown;
                // The empty cell: paper and frame exact, the grid's own soft
                // edges to the nearest shade.
                const QRgb bare = empty.pixel(x, y);
                if (bare == paper || bare == frame.rgb())
                    QCOMPARE(first.pixel(x, y), bare);
                else
                    QVERIFY(qAbs(qRed(first.pixel(x, y)) - qRed(bare)) <= 32
                            && qAbs(qGreen(first.pixel(x, y)) - qGreen(bare)) <= 32
                            && qAbs(qBlue(first.pixel(x, y)) - qBlue(bare)) <= 32);
                if (drawn != (ink.rgb() & 0xFFFFFFu)) { // no stroke here: the cell as it was
                    QCOMPARE(last.pixel(x, y), first.pixel(x, y));
                    continue;
                }
                int inked = 0;
                for (int j = -2; j <= 2; ++j)
                    for (int i = -2; i <= 2; ++i)
                        inked += window.pixel(x + i, y + j) == ink.rgb();
                if (inked == 25) { // well inside a stroke: the exact ink
                    QCOMPARE(last.pixel(x, y), ink.rgb());
                    ++insideChecked;
                }
                else if (inked < 25 && empty.pixel(x, y) == paper) {
                    // On the line from paper to ink, strictly between the two.
                    const int span = qMax(qMax(255 - ink.red(), 255 - ink.green()), 255 - ink.blue());
                    const double a = (255 - qMin(qMin(qRed(shown), qGreen(shown)), qBlue(shown))) / double(span);
                    const QColor expect(qRound(255 + (ink.red() - 255) * a), qRound(255 + (ink.green() - 255) * a),
                                        qRound(255 + (ink.blue() - 255) * a));
                    const bool onLine = qAbs(expect.red() - qRed(shown)) <= 3
                                        && qAbs(expect.green() - qGreen(shown)) <= 3
                                        && qAbs(expect.blue() - qBlue(shown)) <= 3;
                    QVERIFY2(onLine, qPrintable(QStringLiteral("%1,%2 #%3").arg(x).arg(y).arg(shown, 6, 16)));
                    if (a > 0.05 && a < 0.95)
                        edgeShades << shown;
                }
            }
        }
        QVERIFY(insideChecked > 1000);
        // Smooth edges in a handful of shades, few enough colours for small frames.
        QVERIFY2(edgeShades.size() >= 4, qPrintable(QString::number(edgeShades.size())));
        QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
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
