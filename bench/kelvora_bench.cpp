// Benchmarks: start-up loading and bhs. Prints medians.
#include "Bhs.h"
#include "StartupData.h"

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

    StartupData data;
    loadStartupData(data, 96);
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
    return 0;
}
