#include "WritingGif.h"

#include "Bitmap.h"
#include "GifWriter.h"
#include "WritingCell.h"

#include <QPainter>

#include <algorithm>

namespace {

QRgb mix(QRgb from, QRgb to, int alpha) // alpha 0..255 of `to`
{
    const auto ch = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha + 127) / 255; };
    return qRgb(ch(qRed(from), qRed(to)), ch(qGreen(from), qGreen(to)), ch(qBlue(from), qBlue(to)));
}

// How much of each pixel the character's segments cover together, 0..255.
// Drawn several times larger without anti-aliasing and averaged down, so
// that where two segments meet their edges add up instead of leaving a seam.
QImage inkCoverage(const QList<QPainterPath> &segments, QSize size, qreal ratio)
{
    const int scale = std::clamp(2048 / std::max(size.width(), size.height()), 1, 4);
    QImage big(size * scale, QImage::Format_Alpha8);
    QImage cover(size, QImage::Format_Alpha8);
    if (big.isNull() || cover.isNull())
        return QImage();
    big.fill(0);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, scale == 1);
        p.scale(scale * ratio, scale * ratio);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const QPainterPath &s : segments)
            p.drawPath(s);
    }
    const int n = scale * scale;
    for (int y = 0; y < size.height(); ++y) {
        uchar *out = cover.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            int sum = 0;
            for (int j = 0; j < scale; ++j) {
                const uchar *in = big.constScanLine(y * scale + j) + x * scale;
                for (int i = 0; i < scale; ++i)
                    sum += in[i];
            }
            out[x] = uchar((sum + n / 2) / n);
        }
    }
    return cover;
}

} // namespace

QList<QRgb> writingGifPalette(QRgb paper, QRgb ink, QRgb frame)
{
    // A few even steps on each line between the three colours: enough for
    // smooth edges, few enough for 4-bit LZW codes.
    constexpr int InkSteps = 6, FrameSteps = 4, CrossSteps = 3;
    QList<QRgb> palette{paper | 0xFF000000u, ink | 0xFF000000u, frame | 0xFF000000u};
    const auto steps = [&palette](QRgb a, QRgb b, int n) {
        for (int i = 1; i <= n; ++i)
            palette << mix(a, b, 255 * i / (n + 1));
    };
    steps(paper, ink, InkSteps);
    steps(paper, frame, FrameSteps);
    steps(frame, ink, CrossSteps);
    return palette;
}

WritingGifResult writeWritingGif(const PrivateFontCollection &fonts, const QString &charFamily,
                                 const QString &segmentFamily, const QString &ch, const QString &codes,
                                 const WritingGifSettings &settings, const QString &fileName)
{
    WritingGifResult result;
    if (settings.side < 41 || settings.side > 4096) {
        result.error = QStringLiteral("the picture side must be 41 to 4096 pixels");
        return result;
    }
    const QRgb paper = qRgb(255, 255, 255);
    const QRgb ink = settings.charColor.rgb();
    QImage empty(settings.side, settings.side, QImage::Format_RGB32);
    empty.fill(paper);
    const QList<QPainterPath> segments = drawWritingCell(empty, settings.dpi, fonts, charFamily, segmentFamily,
                                                         ch, settings.frame);
    if (segments.isEmpty() || codes.isEmpty()) {
        result.error = QStringLiteral("no stroke data for %1").arg(ch);
        return result;
    }
    // The reveal marks on `uncovered` which pixels the window would have
    // painted by now, frame by frame, so the pace and the frames are the
    // window's; those pixels then take the ink as far as the strokes
    // cover them, which smooths the edges.
    QImage uncovered(empty.size(), QImage::Format_RGB32);
    uncovered.fill(0);
    RevealAnimation reveal(segments, revealCodes(codes), 0xFFFFFFFFu, settings.dpi, nullptr);
    const QImage cover = inkCoverage(segments, empty.size(), empty.devicePixelRatio());
    QImage picture = empty;
    picture.detach();
    if (uncovered.isNull() || cover.isNull() || picture.isNull()) {
        result.error = QStringLiteral("not enough memory for a %1-pixel picture").arg(settings.side);
        return result;
    }
    const auto inkIn = [&](const QRect &area) {
        const QRect r = area & picture.rect();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto *mark = reinterpret_cast<const QRgb *>(uncovered.constScanLine(y));
            const auto *under = reinterpret_cast<const QRgb *>(empty.constScanLine(y));
            const uchar *a = cover.constScanLine(y);
            auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = r.left(); x <= r.right(); ++x)
                if (mark[x] & 0xFFFFFFu)
                    out[x] = mix(under[x], ink, a[x]);
        }
    };

    GifWriter gif;
    if (!gif.open(fileName, picture.size(), writingGifPalette(paper, ink, settings.frame.color.rgb()))) {
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
        inkIn(reveal.advance(uncovered, due));
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
