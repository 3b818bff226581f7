// Stroke checker benchmark: strokes generated from the centre lines the way
// a learner's hand varies them (the whole character scaled ±8 %, turned ±4°
// and shifted ±30 units, each point off by σ 10 units, 6 to 40 points
// unevenly spaced along the line), at 标准, over random characters with a
// fixed seed. Right strokes must pass; each kind of wrong stroke must be
// refused; each check must take at most 1 ms of CPU. Every figure is printed
// beside its target. --verbose adds the reasons and the figures of refused
// right strokes; --strictness=loose|strict, --spread=K (a hand K times less
// steady) and --chars=N show how the limits behave elsewhere.
#include "Polyline.h"
#include "StrokeChecker.h"
#include "StartupData.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineF>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <vector>

namespace {

std::mt19937 rng(20261210);

double uniform(double lo, double hi)
{
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}

int uniformInt(int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// The part of the line from fraction a to fraction b of its length.
QPolygonF part(const QPolygonF &p, double a, double b)
{
    const double len = lengthOf(p);
    QPolygonF out;
    for (int i = 0; i <= 40; ++i)
        out << pointAt(p, len * (a + (b - a) * i / 40.0));
    return out;
}

struct Hand
{
    double scale, angle, dx, dy;
};

// --spread=k widens the hand's scale, turn and shift k times, to see how
// the checker copes with writing less steady than the targets assume.
double spread = 1;
Strictness level = Strictness::Normal;

Hand randomHand()
{
    return {1 + spread * uniform(-0.08, 0.08), qDegreesToRadians(spread * uniform(-4, 4)), spread * uniform(-30, 30),
            spread * uniform(-30, 30)};
}

// The line as a learner draws it.
QPolygonF draw(const QPolygonF &line, const Hand &h)
{
    std::normal_distribution<double> noise(0, 10);
    const int n = uniformInt(6, 40);
    const double len = lengthOf(line);
    const QPointF centre(512, 512);
    const double c = std::cos(h.angle), s = std::sin(h.angle);
    QPolygonF out;
    for (int i = 0; i < n; ++i) {
        // Uneven spacing: each sample wanders up to 40 % of a step.
        double t = (i + uniform(-0.4, 0.4)) / (n - 1);
        if (i == 0)
            t = uniform(0, 0.03);
        else if (i == n - 1)
            t = uniform(0.97, 1);
        t = std::clamp(t, 0.0, 1.0);
        const QPointF p = (pointAt(line, t * len) - centre) * h.scale;
        out << QPointF(c * p.x() - s * p.y(), s * p.x() + c * p.y()) + centre + QPointF(h.dx, h.dy)
                + QPointF(noise(rng), noise(rng));
    }
    return out;
}

// The line as a sloppier hand writes it: corners rounded off (each point
// the mean of the line over 100 units around it) and a final hook, turning
// back by more than 60° in the last fifth, left out.
QPolygonF sloppy(const QPolygonF &line)
{
    const double len = lengthOf(line);
    QPolygonF dense;
    for (int i = 0; i <= 100; ++i)
        dense << pointAt(line, len * i / 100);
    // Where a hook starts: the last sharp turn in the last fifth.
    int end = 100;
    for (int i = 98; i >= 80; --i) {
        const QPointF a = dense[i] - dense[i - 2], b = dense[i + 2] - dense[i];
        const double la = std::hypot(a.x(), a.y()), lb = std::hypot(b.x(), b.y());
        if (la > 0 && lb > 0 && QPointF::dotProduct(a, b) / (la * lb) < 0.5) {
            end = i;
            break;
        }
    }
    QPolygonF out;
    const int half = std::max(1, int(50 / std::max(len / 100, 1e-9)));
    for (int i = 0; i <= end; ++i) {
        QPointF sum;
        int n = 0;
        for (int k = std::max(0, i - half); k <= std::min(end, i + half); ++k, ++n)
            sum += dense[k];
        out << sum / n;
    }
    // Averaging pulls the ends inwards: keep them where the hand put them.
    out.first() = dense.first();
    out.last() = dense[end];
    return out;
}

QPolygonF reversed(QPolygonF p)
{
    std::reverse(p.begin(), p.end());
    return p;
}

// How far apart two lines run: the mean distance of each one's points to
// the other, averaged.
double apart(const QPolygonF &a, const QPolygonF &b)
{
    auto oneWay = [](const QPolygonF &from, const QPolygonF &to) {
        const QPolygonF pts = part(from, 0, 1);
        double sum = 0;
        for (const QPointF &p : pts) {
            double best = 1e18;
            for (qsizetype i = 1; i < to.size(); ++i) {
                const QPointF ab = to[i] - to[i - 1];
                const double l2 = QPointF::dotProduct(ab, ab);
                const double t = l2 > 0 ? std::clamp(QPointF::dotProduct(p - to[i - 1], ab) / l2, 0.0, 1.0) : 0;
                best = std::min(best, QLineF(p, to[i - 1] + ab * t).length());
            }
            sum += best;
        }
        return sum / pts.size();
    };
    return (oneWay(a, b) + oneWay(b, a)) / 2;
}

struct Tally
{
    int cases = 0, refused = 0, backwards = 0;
    std::map<QString, int> reasons;
};

qint64 checkNs = 0;
int checks = 0;
std::vector<qint64> times;

// CPU time of this thread: what a check costs, whatever else the shared
// cores are doing.
qint64 threadNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2)
                                       : QStringLiteral("?");
}

StrokeVerdict timedCheck(const QList<QPolygonF> &lines, int expected, const QPolygonF &drawn)
{
    const qint64 start = threadNs();
    const StrokeVerdict v = StrokeChecker::check(lines, expected, drawn, level);
    const qint64 ns = threadNs() - start;
    checkNs += ns;
    times.push_back(ns);
    ++checks;
    return v;
}

void count(Tally &t, const StrokeVerdict &v)
{
    ++t.cases;
    if (!v.match)
        ++t.refused;
    if (v.backwards)
        ++t.backwards;
    // The stroke numbers apart, the reasons are few.
    static const char *names[] = {"match", "backwards", "wrong stroke", "too short", "wrong place", "wrong shape",
                                  "invalid"};
    ++t.reasons[QString::fromLatin1(names[int(v.reason)]) + (v.looksLike >= 0 ? "+looks like" : "")];
}

bool print(const char *what, double value, double target, bool atLeast, const char *unit = "%")
{
    const bool ok = atLeast ? value >= target : value <= target;
    std::printf("  %-44s %8.2f %s   target %s %.2f %s   %s\n", what, value, unit, atLeast ? ">=" : "<=", target,
                unit, ok ? "ok" : "MISSED");
    return ok;
}

void printReasons(const char *kind, const Tally &t)
{
    std::printf("    %s:", kind);
    for (const auto &[reason, n] : t.reasons)
        std::printf(" %s %d;", qPrintable(reason), n);
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool verbose = app.arguments().contains(QStringLiteral("--verbose"));
    int characters = 600;
    for (const QString &a : app.arguments())
        if (a.startsWith(QStringLiteral("--chars=")))
            characters = std::max(1, a.mid(8).toInt());
        else if (a.startsWith(QStringLiteral("--spread=")))
            spread = std::clamp(a.mid(9).toDouble(), 0.0, 5.0);
        else if (a == QLatin1String("--strictness=loose"))
            level = Strictness::Loose;
        else if (a == QLatin1String("--strictness=strict"))
            level = Strictness::Strict;

    StartupData data;
    loadStartupData(data, 96, StartupTables | StartupCenterLines);
    const QString chars = data.allSupported();
    const CenterLines &source = data.CenterLines;
    if (source.characterCount() == 0 || chars.isEmpty()) {
        std::fprintf(stderr, "bench_strokecheck: no centre lines\n");
        return 1;
    }

    Tally right, back, other, neighbour, moved, third, rounded;
    std::vector<std::pair<QString, StrokeFigures>> rightMisses;
    for (int c = 0; c < characters; ++c) {
        const QChar ch = chars.at(uniformInt(0, int(chars.size()) - 1));
        const QList<QPolygonF> lines = source.strokes(ch);
        const int n = int(lines.size());
        for (int e = 0; e < n; ++e) {
            const QPolygonF ok = draw(lines[e], randomHand());
            const StrokeVerdict v = timedCheck(lines, e, ok);
            count(right, v);
            if (verbose && !v.match)
                rightMisses.push_back({QStringLiteral("%1 %2: %3").arg(ch).arg(e + 1).arg(v.reasonText()),
                                       StrokeChecker::measure(lines, e, ok)});

            count(back, timedCheck(lines, e, reversed(draw(lines[e], randomHand()))));

            if (n > 1) {
                int j = uniformInt(0, n - 2);
                if (j >= e)
                    ++j;
                count(other, timedCheck(lines, e, draw(lines[j], randomHand())));
            }

            std::vector<int> near;
            for (int k = 0; k < n; ++k) {
                if (k == e)
                    continue;
                const double a = apart(lines[e], lines[k]);
                if (a >= 110 && a <= 220)
                    near.push_back(k);
            }
            if (!near.empty())
                count(neighbour, timedCheck(lines, e, draw(lines[near[size_t(uniformInt(0, int(near.size()) - 1))]],
                                                           randomHand())));

            const double dir = uniform(0, 2 * M_PI);
            count(moved, timedCheck(lines, e, draw(lines[e], randomHand()).translated(280 * std::cos(dir),
                                                                                      280 * std::sin(dir))));

            if (lengthOf(lines[e]) >= 400)
                count(third, timedCheck(lines, e, draw(part(lines[e], 0, 1.0 / 3), randomHand())));

            count(rounded, timedCheck(lines, e, draw(sloppy(lines[e]), randomHand())));
        }
    }

    // Ten thousand points in one stroke.
    const QList<QPolygonF> yi = source.strokes(QChar(0x6C38)); // 永
    QPolygonF dense;
    if (!yi.isEmpty()) {
        for (int i = 0; i < 10000; ++i)
            dense << pointAt(yi[1], lengthOf(yi[1]) * i / 9999.0) + QPointF(uniform(-3, 3), uniform(-3, 3));
    }
    // The best of five, since the cores are shared.
    double denseMs = 1e9;
    StrokeVerdict denseVerdict;
    for (int i = 0; i < 5; ++i) {
        const qint64 start = threadNs();
        denseVerdict = StrokeChecker::check(yi, 1, dense);
        denseMs = std::min(denseMs, (threadNs() - start) / 1e6);
    }

    auto pct = [](int a, int b) { return b > 0 ? 100.0 * a / b : 0.0; };
    const char *levelName = level == Strictness::Loose ? "宽松" : level == Strictness::Strict ? "严格" : "标准";
    std::printf("Stroke checker at %s: %d characters, %d strokes, %d checks (seed 20261210, hand spread %.1f)\n",
                levelName, characters, right.cases, checks, spread);
    bool all = true;
    all &= print("right strokes accepted", pct(right.cases - right.refused, right.cases), 98, true);
    all &= print("reversed strokes refused", pct(back.refused, back.cases), 95, true);
    all &= print("  ... and flagged backwards", pct(back.backwards, back.cases), 95, true);
    all &= print("another stroke of the character refused", pct(other.refused, other.cases), 95, true);
    all &= print("neighbouring stroke (110-220 apart) refused", pct(neighbour.refused, neighbour.cases), 95, true);
    all &= print("right stroke moved 280 units refused", pct(moved.refused, moved.cases), 95, true);
    all &= print("first third of a long stroke refused", pct(third.refused, third.cases), 95, true);
    std::printf("  %-44s %8.2f %%   (no target)\n", "right, corners rounded and hook left out",
                pct(rounded.cases - rounded.refused, rounded.cases));
    all &= print("mean CPU time a stroke", checkNs / 1e6 / std::max(1, checks), 1, false, "ms");
    std::sort(times.begin(), times.end());
    std::printf("  %-44s %8.3f ms   (load average %s)\n", "99th percentile of a check",
                times[times.size() * 99 / 100] / 1e6, qPrintable(loadAverage()));
    std::printf("  %-44s %8.3f ms   (%s)\n", "one stroke of 10,000 points", denseMs,
                denseVerdict.match ? "accepted" : qPrintable(denseVerdict.reasonText()));
    std::printf("  cases: right %d, reversed %d, other %d, neighbouring %d, moved %d, first third %d\n", right.cases,
                back.cases, other.cases, neighbour.cases, moved.cases, third.cases);
    if (verbose) {
        printReasons("right", right);
        printReasons("reversed", back);
        printReasons("other", other);
        printReasons("neighbouring", neighbour);
        printReasons("moved", moved);
        printReasons("first third", third);
        printReasons("rounded", rounded);
        for (const auto &[what, f] : rightMisses)
            std::printf("    miss %s  mean %.0f start %.0f end %.0f dir %.2f shape %.2f len %.2f (line %.0f)\n",
                        qPrintable(what), f.meanDistance, f.startDistance, f.endDistance, f.direction, f.shape,
                        f.lengthRatio, f.lineLength);
    }
    std::printf("%s\n", all ? "all targets met" : "some targets missed");
    return all ? 0 : 1;
}
