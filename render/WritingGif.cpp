#include "WritingGif.h"

#include "Bitmap.h"
#include "GifWriter.h"
#include "WritingCell.h"

#include <algorithm>

WritingGifResult writeWritingGif(const PrivateFontCollection &fonts, const QString &charFamily,
                                 const QString &segmentFamily, const QString &ch, const QString &codes,
                                 const WritingGifSettings &settings, const QString &fileName)
{
    WritingGifResult result;
    if (settings.side < 41 || settings.side > 4096) {
        result.error = QStringLiteral("the picture side must be 41 to 4096 pixels");
        return result;
    }
    QImage picture(settings.side, settings.side, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QList<QPainterPath> segments = drawWritingCell(picture, settings.dpi, fonts, charFamily, segmentFamily,
                                                         ch, settings.frame);
    if (segments.isEmpty() || codes.isEmpty()) {
        result.error = QStringLiteral("no stroke data for %1").arg(ch);
        return result;
    }
    RevealAnimation reveal(segments, revealCodes(codes), settings.charColor.rgb(), settings.dpi, nullptr);

    // The revealed strokes are painted in the character colour alone; every
    // other colour is already on the empty cell.
    QList<QRgb> palette = gifPalette(picture, 255);
    const QRgb ink = settings.charColor.rgb();
    if (!palette.contains(ink))
        palette.append(ink);
    GifWriter gif;
    if (!gif.open(fileName, picture.size(), palette)) {
        result.error = gif.errorString();
        return result;
    }
    const int frameCs = std::clamp(settings.frameCs, 2, 100);
    // Lines per second are those of the maximised window (an em of about 843
    // pixels on a 1920 x 1080 screen), scaled to this cell: a character takes
    // as long as it does there, whatever the picture's size.
    constexpr double WindowEm = 843;
    const double em = settings.side - 40;
    const double perFrame = revealLinesPerSecond(settings.speed) * em / WindowEm * frameCs / 100.0;
    bool ok = gif.addFrame(picture, frameCs);
    double owed = 0;
    while (ok && !reveal.isComplete()) {
        owed += perFrame;
        const int due = int(owed);
        owed -= due;
        reveal.advance(picture, due);
        ok = gif.addFrame(picture, reveal.isComplete() ? std::max(frameCs, settings.holdCs) : frameCs);
    }
    if (!ok || !gif.finish()) {
        result.error = gif.errorString();
        return result;
    }
    result.written = true;
    result.frames = gif.framesWritten();
    return result;
}
