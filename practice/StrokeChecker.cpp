#include "StrokeChecker.h"

#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Both curves are compared as this many points evenly spaced along them.
constexpr int N = 32;
// Coordinates beyond this are no drawing in the cell, and would overflow
// the squared distances.
constexpr double MaxCoordinate = 1e5;
// Drawn points nearer than this to the last kept one are dropped: it takes
// the pointer's jitter out of the drawn length and keeps 10,000 points cheap.
constexpr double DecimateStep = 30.0;
// A drawing shorter than this is a dab, whatever the stroke.
constexpr double DabLength = 24.0;

struct Curve
{
    std::array<QPointF, N> p;
    double length = 0;
};

// How far a drawing may stray at one strictness. Distances are in units of
// the 1024 box. A child's character often sits 30 units off the model, a
// tenth larger or smaller and turned a few degrees, which puts a right
// stroke near the edge of the box 80 units or more off its line: the place
// limits of 标准 leave room for twice that unsteadiness. Another stroke
// lying nearer than that is told apart by comparing the drawing with every
// stroke of the character, not by these limits.
struct Limits
{
    double meanDistance;
    double endDistance;
    double direction;  // least cosine of the directions of travel
    double shape;      // Fréchet distance in line sizes …
    double shapeNoise; // … plus this many units over the line's size
    double minLength;  // least drawn length over the line's length
    double maxLength;  // most drawn length over the line's length …
    double maxLengthAdd; // … plus this many units (short strokes get drawn long)
};

Limits limitsFor(Strictness s)
{
    switch (s) {
    case Strictness::Loose:
        return {130, 215, 0.30, 0.80, 30, 0.45, 3.0, 250};
    case Strictness::Strict:
        return {72, 125, 0.65, 0.50, 18, 0.65, 2.0, 150};
    case Strictness::Normal:
        break;
    }
    return {100, 170, 0.50, 0.65, 24, 0.55, 2.5, 200};
}

// The guard's limits: three quarters of the level's, for a drawing that
// fits a later stroke better than the one due.
Limits guarded(Limits l)
{
    const double f = 0.75;
    l.meanDistance *= f;
    l.endDistance *= f;
    l.shape *= f;
    l.shapeNoise *= f;
    l.direction = 1 - (1 - l.direction) * f;
    return l;
}

bool usable(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) <= MaxCoordinate
        && std::abs(p.y()) <= MaxCoordinate;
}

double dist(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// N points evenly spaced along the polyline; its length (0 when the points
// all coincide, then every point is the first).
Curve resample(const QPointF *pts, int count)
{
    Curve c;
    std::vector<double> acc(size_t(count), 0.0);
    for (int i = 1; i < count; ++i)
        acc[size_t(i)] = acc[size_t(i - 1)] + dist(pts[i - 1], pts[i]);
    c.length = acc.back();
    if (c.length <= 0) {
        c.p.fill(pts[0]);
        return c;
    }
    int seg = 1;
    for (int k = 0; k < N; ++k) {
        const double s = c.length * k / (N - 1);
        while (seg < count - 1 && acc[size_t(seg)] < s)
            ++seg;
        const double span = acc[size_t(seg)] - acc[size_t(seg - 1)];
        const double t = span > 0 ? std::clamp((s - acc[size_t(seg - 1)]) / span, 0.0, 1.0) : 0.0;
        c.p[size_t(k)] = pts[seg - 1] + (pts[seg] - pts[seg - 1]) * t;
    }
    return c;
}

std::vector<QPointF> decimate(const QPolygonF &drawn)
{
    std::vector<QPointF> kept;
    kept.reserve(size_t(std::min<qsizetype>(drawn.size(), 512)));
    kept.push_back(drawn.first());
    for (qsizetype i = 1; i < drawn.size(); ++i)
        if (dist(drawn[i], kept.back()) >= DecimateStep)
            kept.push_back(drawn[i]);
    // The last point is where the pen lifted: keep it, instead of a kept
    // point just before it.
    const QPointF last = drawn.last();
    if (kept.size() > 1 && dist(kept.back(), last) < DecimateStep / 2)
        kept.back() = last;
    else if (kept.back() != last)
        kept.push_back(last);
    return kept;
}

Curve reversed(const Curve &c)
{
    Curve r = c;
    std::reverse(r.p.begin(), r.p.end());
    return r;
}

double pointToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return dist(p, a + ab * t);
}

// Mean distance of a's points to b's polyline.
double meanDistanceTo(const Curve &a, const Curve &b)
{
    double sum = 0;
    for (const QPointF &p : a.p) {
        double best = std::numeric_limits<double>::max();
        for (int i = 1; i < N; ++i)
            best = std::min(best, pointToSegment(p, b.p[size_t(i - 1)], b.p[size_t(i)]));
        sum += best;
    }
    return sum / N;
}

// Direction of travel: mean cosine of the chords spanning a quarter of each
// curve, which a pointer's jitter does not turn round.
double directionCosine(const Curve &line, const Curve &d)
{
    constexpr int span = N / 4;
    double sum = 0;
    int count = 0;
    for (int i = 0; i + span < N; ++i) {
        const QPointF a = line.p[size_t(i + span)] - line.p[size_t(i)];
        const QPointF b = d.p[size_t(i + span)] - d.p[size_t(i)];
        const double la = std::hypot(a.x(), a.y()), lb = std::hypot(b.x(), b.y());
        if (la > 0 && lb > 0) {
            sum += QPointF::dotProduct(a, b) / (la * lb);
            ++count;
        }
    }
    // The whole chord as well, for strokes whose quarters turn a lot.
    const QPointF a = line.p.back() - line.p.front(), b = d.p.back() - d.p.front();
    const double la = std::hypot(a.x(), a.y()), lb = std::hypot(b.x(), b.y());
    if (la > 0 && lb > 0) {
        sum += count * QPointF::dotProduct(a, b) / (la * lb);
        count *= 2;
    }
    return count > 0 ? sum / count : 0;
}

// The curve about its centroid, scaled to a root-mean-square radius of 1;
// its size (that radius) before scaling.
double normalise(const Curve &c, std::array<QPointF, N> &out)
{
    QPointF centre;
    for (const QPointF &p : c.p)
        centre += p;
    centre /= N;
    double sq = 0;
    for (const QPointF &p : c.p)
        sq += QPointF::dotProduct(p - centre, p - centre);
    const double size = std::sqrt(sq / N);
    const double scale = size > 1e-9 ? 1 / size : 0;
    for (int i = 0; i < N; ++i)
        out[size_t(i)] = (c.p[size_t(i)] - centre) * scale;
    return size;
}

// Discrete Fréchet distance of two curves of N points.
double frechet(const std::array<QPointF, N> &a, const std::array<QPointF, N> &b)
{
    std::array<double, N> row{};
    for (int i = 0; i < N; ++i) {
        double diag = 0; // row[j - 1] of the previous row
        for (int j = 0; j < N; ++j) {
            const double d = dist(a[size_t(i)], b[size_t(j)]);
            double best;
            if (i == 0 && j == 0)
                best = d;
            else if (i == 0)
                best = std::max(row[size_t(j - 1)], d);
            else if (j == 0)
                best = std::max(row[0], d);
            else
                best = std::max(std::min({row[size_t(j)], row[size_t(j - 1)], diag}), d);
            diag = row[size_t(j)];
            row[size_t(j)] = best;
        }
    }
    return row[N - 1];
}

// Shape distance in line sizes: position and size removed, the best of a
// few small turns (children slant their strokes).
double shapeDistance(const Curve &line, const Curve &d, double &lineSize)
{
    std::array<QPointF, N> a, b, turned;
    lineSize = normalise(line, a);
    normalise(d, b);
    double best = std::numeric_limits<double>::max();
    for (const double deg : {-16.0, -8.0, 0.0, 8.0, 16.0}) {
        const double c = std::cos(qDegreesToRadians(deg)), s = std::sin(qDegreesToRadians(deg));
        for (int i = 0; i < N; ++i)
            turned[size_t(i)] = QPointF(c * b[size_t(i)].x() - s * b[size_t(i)].y(),
                                        s * b[size_t(i)].x() + c * b[size_t(i)].y());
        best = std::min(best, frechet(a, turned));
    }
    return best;
}

// What a verdict needs of one line against one drawing: the position
// figures always, the shape only when asked (it costs the most).
StrokeFigures figures(const Curve &line, const Curve &d, bool withShape)
{
    StrokeFigures f;
    f.valid = true;
    f.lineLength = line.length;
    f.meanDistance = (meanDistanceTo(d, line) + meanDistanceTo(line, d)) / 2;
    f.startDistance = dist(d.p.front(), line.p.front());
    f.endDistance = dist(d.p.back(), line.p.back());
    f.direction = directionCosine(line, d);
    f.lengthRatio = d.length / line.length;
    if (withShape) {
        double lineSize = 0;
        f.shape = shapeDistance(line, d, lineSize);
    }
    return f;
}

// One number to rank how well a drawing fits the lines of a character.
double placeScore(const StrokeFigures &f)
{
    return f.meanDistance + (f.startDistance + f.endDistance) / 4;
}

struct Judgement
{
    bool lengthOk, placeOk, shapeOk, directionOk;
    bool all() const { return lengthOk && placeOk && shapeOk && directionOk; }
};

double shapeLimit(const Limits &l, const Curve &line)
{
    std::array<QPointF, N> unused;
    const double size = normalise(line, unused);
    return l.shape + l.shapeNoise / std::max(size, 1.0);
}

// The least drawn length of a line. Dots are written as small ticks, so a
// short line asks for a little less than its share.
double shortest(const Limits &l, double lineLength)
{
    return std::max(DabLength, l.minLength * lineLength - 20);
}

Judgement judge(const StrokeFigures &f, const Limits &l, double shapeLim, double drawnLength)
{
    Judgement j;
    j.lengthOk = drawnLength >= shortest(l, f.lineLength)
        && drawnLength <= f.lineLength * l.maxLength + l.maxLengthAdd;
    j.placeOk = f.meanDistance <= l.meanDistance && f.startDistance <= l.endDistance
        && f.endDistance <= l.endDistance;
    j.shapeOk = f.shape <= shapeLim;
    j.directionOk = f.direction >= l.direction;
    return j;
}

struct Prepared
{
    bool ok = false;
    std::vector<Curve> lines; // length 0: a line that cannot be compared
    Curve drawn;
};

Prepared prepare(const QList<QPolygonF> &centreLines, int expected, const QPolygonF &drawn)
{
    Prepared p;
    if (expected < 0 || expected >= centreLines.size() || drawn.size() < 2)
        return p;
    if (!std::all_of(drawn.cbegin(), drawn.cend(), usable))
        return p;
    p.lines.reserve(size_t(centreLines.size()));
    for (const QPolygonF &line : centreLines) {
        if (line.size() >= 2 && std::all_of(line.cbegin(), line.cend(), usable))
            p.lines.push_back(resample(line.constData(), int(line.size())));
        else
            p.lines.push_back(Curve());
    }
    if (p.lines[size_t(expected)].length <= 0)
        return p;
    const std::vector<QPointF> kept = decimate(drawn);
    p.drawn = resample(kept.data(), int(kept.size()));
    p.ok = true;
    return p;
}

// Does the drawing pass as the given line, at the given limits?
bool passes(const Curve &line, const Curve &d, const Limits &l)
{
    const StrokeFigures f = figures(line, d, true);
    return judge(f, l, shapeLimit(l, line), d.length).all();
}

} // namespace

QString StrokeVerdict::reasonText() const
{
    switch (reason) {
    case MissReason::None:
        return QString();
    case MissReason::Backwards:
        return QStringLiteral("方向反了");
    case MissReason::WrongStroke:
        if (expected < 0)
            return looksLike >= 0 ? QStringLiteral("这一笔像第 %1 笔").arg(looksLike + 1)
                                  : QStringLiteral("不是这一笔");
        if (looksLike >= 0)
            return QStringLiteral("这一笔不是第 %1 笔，像是第 %2 笔").arg(expected + 1).arg(looksLike + 1);
        return QStringLiteral("这一笔不是第 %1 笔").arg(expected + 1);
    case MissReason::TooShort:
        return QStringLiteral("写得太短");
    case MissReason::WrongPlace:
        return QStringLiteral("位置不对");
    case MissReason::WrongShape:
        return QStringLiteral("形状不对");
    case MissReason::Invalid:
        return QStringLiteral("没有可检查的笔画");
    }
    return QString();
}

StrokeFigures StrokeChecker::measure(const QList<QPolygonF> &centreLines, int stroke, const QPolygonF &drawn)
{
    const Prepared p = prepare(centreLines, stroke, drawn);
    if (!p.ok)
        return StrokeFigures();
    return figures(p.lines[size_t(stroke)], p.drawn, true);
}

StrokeVerdict StrokeChecker::check(const QList<QPolygonF> &centreLines, int expected, const QPolygonF &drawn,
                                   Strictness strictness)
{
    StrokeVerdict v;
    v.expected = expected;
    const Prepared p = prepare(centreLines, expected, drawn);
    if (!p.ok) {
        v.reason = MissReason::Invalid;
        return v;
    }
    const Limits limits = limitsFor(strictness);
    const Curve &line = p.lines[size_t(expected)];
    const Curve &d = p.drawn;
    const StrokeFigures f = figures(line, d, true);
    const double shapeLim = shapeLimit(limits, line);
    const Judgement j = judge(f, limits, shapeLim, d.length);

    // The other strokes placed nearer the drawing than the one due, nearest
    // first: what the drawing may be instead.
    const double ownScore = placeScore(f);
    std::vector<std::pair<double, int>> nearer;
    for (int k = 0; k < int(p.lines.size()); ++k) {
        if (k == expected || p.lines[size_t(k)].length <= 0)
            continue;
        const double s = placeScore(figures(p.lines[size_t(k)], d, false));
        if (s < ownScore)
            nearer.push_back({s, k});
    }
    std::sort(nearer.begin(), nearer.end());
    const bool nearerLater =
        std::any_of(nearer.cbegin(), nearer.cend(), [expected](const auto &n) { return n.second > expected; });
    // The stroke it looks like: the nearest of the first few that it passes for.
    int rival = -1;
    for (size_t i = 0; i < std::min<size_t>(nearer.size(), 3) && rival < 0; ++i)
        if (passes(p.lines[size_t(nearer[i].second)], d, limits))
            rival = nearer[i].second;
    const bool rivalPasses = rival >= 0;

    if (j.all()) {
        // The guard: a drawing nearer a later stroke must fit the one due
        // closely to count for it.
        if (!nearerLater || judge(f, guarded(limits), shapeLimit(guarded(limits), line), d.length).all()) {
            v.match = true;
            return v;
        }
        if (rivalPasses) {
            v.reason = MissReason::WrongStroke;
            v.looksLike = rival;
        } else {
            v.reason = MissReason::WrongPlace;
        }
        return v;
    }

    // Written from the end to the start?
    const Curve back = reversed(d);
    const StrokeFigures fb = figures(line, back, true);
    if (judge(fb, limits, shapeLim, d.length).all()) {
        v.backwards = true;
        v.reason = MissReason::Backwards;
        return v;
    }
    if (rivalPasses) {
        v.reason = MissReason::WrongStroke;
        v.looksLike = rival;
        return v;
    }
    // Short of the line: a dab, or begun right and stopped early. From the
    // start to the end but short: a shortcut, which is the wrong shape.
    const bool startOk = f.startDistance <= limits.endDistance, endOk = f.endDistance <= limits.endDistance;
    const bool dab = d.length < shortest(limits, line.length);
    const bool stoppedEarly = startOk && !endOk && f.lengthRatio < 0.8 && j.directionOk;
    if ((dab && !(startOk && endOk)) || d.length < DabLength || stoppedEarly) {
        v.reason = MissReason::TooShort;
        return v;
    }
    const bool shapeRight = (j.shapeOk && j.directionOk) || judge(fb, limits, shapeLim, d.length).shapeOk;
    v.reason = shapeRight && j.lengthOk && !j.placeOk ? MissReason::WrongPlace : MissReason::WrongShape;
    return v;
}
