// Benchmarks: start-up loading and bhs. Prints medians.
#include "Bhs.h"
#include "Bitmap.h"
#include "Graphics.h"
#include "GraphicsPath.h"
#include "StartupData.h"
#include "StrokeSheet.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

template<typename F>
double medianMicros(int runs, F &&f)
{
    std::vector<double> t;
    t.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        f();
        t.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::nth_element(t.begin(), t.begin() + runs / 2, t.end());
    return t[runs / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

    QElapsedTimer cold;
    cold.start();
    {
        StartupData first;
        loadStartupData(first, 96);
        first.release();
    }
    std::printf("start-up loading, first in the process: %.1f ms\n", cold.nsecsElapsed() / 1e6);
    const double load = medianMicros(25, [] {
        StartupData d;
        loadStartupData(d, 96);
        d.release();
    });
    std::printf("start-up loading: median %.1f ms (target < 100 ms)\n", load / 1000.0);

    const double lines = medianMicros(25, [] {
        StartupData d;
        loadStartupData(d, 96, StartupCenterLines);
        d.release();
    });
    std::printf("  of which the centre lines: median %.2f ms\n", lines / 1000.0);

    StartupData data;
    loadStartupData(data, 96);
    {
        const QString all = data.allSupported();
        const double unpack = medianMicros(5, [&] {
            for (const QChar c : all)
                data.CenterLines.strokes(c);
        });
        std::printf("centre lines of all %d characters unpacked: median %.1f ms\n", int(all.size()),
                    unpack / 1000.0);
    }
    for (const char *s : {"家", "爨", "一"}) {
        const QString ch = QString::fromUtf8(s);
        int zx, zy;
        const int n = bhs(data.PrivateFonts, data.CharFontFamily, ch, 54, zx, zy);
        const double t = medianMicros(5000, [&] {
            bhs(data.PrivateFonts, data.CharFontFamily, ch, 54, zx, zy);
        });
        std::printf("bhs(%s, 54): %d strokes, median %.1f us%s\n", s, n, t,
                    n == 10 ? " (target < 50 us)" : "");
    }

    // The on-screen sheet of a 30-stroke character at size 500 pixels, in a
    // 1900 x 900 picture panel at 96 dpi: layout, a blank picture, one pass.
    const QString ch = QString::fromUtf8("爨");
    SheetMetrics m;
    m.fsize = int(500 * data.PointsPerPixel);
    SheetStyle style;
    QImage keep;
    // warm: the picture of the previous drawing has the same size and is
    // blanked in place, as the window does when it redraws.
    auto drawOnce = [&](bool warm) {
        const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, ch);
        const int n = glyph.strokeCount();
        const ScreenSheetLayout l = screenSheetLayout(n, m, QSize(1900, 900), data.PointsPerPixel,
                                                      data.PixelsPerPoint);
        const QSize size(int(l.imageWidth), int(l.imageHeight));
        QImage img;
        std::swap(img, keep);
        if (warm && img.size() == size)
            img.fill(Qt::white);
        else
            img = makeBitmap(size.width(), size.height(), 96, qRgb(255, 255, 255));
        drawSheet(img, 96, glyph.sized(m.fsize), style, m, l.left, l.top);
        std::swap(img, keep);
    };
    const double fresh = medianMicros(15, [&] { drawOnce(false); });
    const double warm = medianMicros(15, [&] { drawOnce(true); });
    std::printf("sheet of %s at size 500 (%dx%d px): median %.1f ms redrawn in place, %.1f ms with a new "
                "picture (target < 50 ms)\n",
                "爨", keep.width(), keep.height(), warm / 1000.0, fresh / 1000.0);
    return 0;
}
