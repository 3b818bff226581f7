#include "WritingAnimation.h"

#include "Bhs.h"
#include "Bitmap.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "ImageView.h"
#include "QueryState.h"
#include "Reveal.h"
#include "StartupData.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>

namespace {

class ImageRevealHost : public RevealHost
{
public:
    explicit ImageRevealHost(ImageView *img) : m_img(img) {}

    // A window destroyed by a nested handler ends the reveal.
    bool stopRequested() override { return queryState().StopRequested || !m_img; }
    QImage &picture() override { return m_img ? m_img->picture() : m_none; }
    void refresh(const QRect &line) override
    {
        if (m_img)
            m_img->repaint(line);
    }
    void sleepMs(int ms) override { QThread::msleep(ulong(ms)); }
    void processEvents() override { QCoreApplication::processEvents(); }

private:
    QPointer<ImageView> m_img;
    QImage m_none;
};

} // namespace

void animateCharacter(ImageView *img, const StartupData &data, const QString &ch, const QString &codes,
                      const FrameStyle &frame, const QColor &charColor, double dpi)
{
    if (ch.isEmpty() || codes.isEmpty())
        return;
    DrawingScope drawing;
    QueryState &q = queryState();
    q.StopRequested = false;
    q.QueryDone = false;
    QList<int> code;
    for (const QChar c : codes)
        code << c.digitValue(); // -1 for anything but a digit: skipped
    q.RevealDelay = 1;

    img->clearPicture(dpi);
    const int width = img->width(), height = img->height();
    const int fsize = std::min(width, height) - 40;
    if (fsize < 1 || img->picture().isNull())
        return;
    int zx = 0, zy = 0;
    bhs(data.PrivateFonts, data.CharFontFamily, ch, fsize, zx, zy);
    const int left = (width - fsize) / 2;
    const int top = 10;
    {
        Graphics g(img->picture(), dpi);
        g.setAntialiasing(true);
        FrameStyle pen = frame;
        pen.width = 2.0;
        drawCellFrame(g, pen, left, top, fsize + CellMargin);
    }
    GraphicsPath segments;
    segments.addString(ch, data.PrivateFonts, data.SegmentFontFamily, fsize, QPointF(left + zx, top + zy));
    img->repaint();

    ImageRevealHost host(img);
    const QRgb color = charColor.rgb();
    for (int i = 0; i < segments.subpathCount(); ++i) {
        const QPainterPath &segment = segments.subpath(i);
        const QRect bounds = GraphicsPath::wholeUnits(segment.boundingRect());
        // The segment rasterised, anti-aliased, where it lies on the picture.
        QImage mask = makeBitmap(width, height, dpi);
        {
            Graphics g(mask, dpi);
            g.setAntialiasing(true);
            g.fillPath(segment, QColor::fromRgba(0xFFFF0000));
        }
        if (host.stopRequested())
            break;
        if (i < code.size() && isRevealCode(code[i]))
            revealSegment(code[i], bounds, mask, color, q.RevealDelay, host);
    }
}
