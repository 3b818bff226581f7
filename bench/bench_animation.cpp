// The animated writing: the cost of one revealed line (paint, synchronous
// repaint, one pass of the event loop; no sleep) and the whole animation of
// 你 on a 740 x 740 picture (em 700), sleeps included.
#include "Bhs.h"
#include "Bitmap.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "ImageView.h"
#include "QueryState.h"
#include "Reveal.h"
#include "StartupData.h"
#include "WritingAnimation.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class TimingHost : public RevealHost
{
public:
    explicit TimingHost(ImageView *view) : m_view(view) {}
    bool stopRequested() override
    {
        m_clock.start();
        return false;
    }
    QImage &picture() override { return m_view->picture(); }
    void refresh(const QRect &line) override { m_view->repaint(line); }
    void sleepMs(int) override {}
    void processEvents() override
    {
        QCoreApplication::processEvents();
        times.push_back(m_clock.nsecsElapsed() / 1000.0);
    }
    std::vector<double> times;

private:
    ImageView *m_view;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartupData data;
    loadStartupData(data, 96);
    ImageView view(QStringLiteral("img1"), nullptr);
    view.resize(740, 740);
    view.show();
    const QString ch = QString::fromUtf8("你");
    const QString codes = data.directionCodes(ch);

    // One line at a time, without the sleep.
    view.clearPicture(96);
    const int fsize = 700;
    int zx, zy;
    bhs(data.PrivateFonts, data.CharFontFamily, ch, fsize, zx, zy);
    GraphicsPath segments;
    segments.addString(ch, data.PrivateFonts, data.SegmentFontFamily, fsize, QPointF(20 + zx, 10 + zy));
    TimingHost host(&view);
    for (int i = 0; i < segments.subpathCount() && i < codes.size(); ++i) {
        QImage mask = makeBitmap(740, 740, 96);
        {
            Graphics g(mask, 96);
            g.setAntialiasing(true);
            g.fillPath(segments.subpath(i), QColor::fromRgba(0xFFFF0000));
        }
        revealSegment(codes.at(i).digitValue(), GraphicsPath::wholeUnits(segments.subpath(i).boundingRect()), mask,
                      qRgb(0, 0, 0), 1, host);
    }
    std::vector<double> t = host.times;
    std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
    std::printf("animation of %s at em %d: %zu lines, one line without the sleep: median %.1f us\n", "你", fsize,
                host.times.size(), t[t.size() / 2]);

    // The whole animation as the window runs it.
    resetQueryState();
    QElapsedTimer all;
    all.start();
    animateCharacter(&view, data, ch, codes, FrameStyle(), Qt::black, 96);
    std::printf("whole animation of %s (picture 740x740, em 700, 1 ms sleep every third line): %.0f ms\n", "你",
                all.nsecsElapsed() / 1e6);
    return 0;
}
