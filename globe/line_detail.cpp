#include "line_detail.h"

#include "globe/sphere.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrava {

namespace {

struct Point3 {
    double X, Y, Z;
};

Point3 OnSphere(const LinePoint& p) {
    return {GlobeX(p.Latitude, p.Longitude), GlobeY(p.Latitude), GlobeZ(p.Latitude, p.Longitude)};
}

// Distance in space from p to the chord a-b.
double FromChord(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, dz = b.Z - a.Z;
    const double px = p.X - a.X, py = p.Y - a.Y, pz = p.Z - a.Z;
    const double length2 = dx * dx + dy * dy + dz * dz;
    double t = length2 > 0 ? (px * dx + py * dy + pz * dz) / length2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double ex = px - t * dx, ey = py - t * dy, ez = pz - t * dz;
    return std::sqrt(ex * ex + ey * ey + ez * ez);
}

bool Same(const LinePoint& a, const LinePoint& b) { return a.Latitude == b.Latitude && a.Longitude == b.Longitude; }

// How far each point of a chain may be simplified away: the largest
// tolerance at which Douglas-Peucker keeps it. The recursion splits a span at
// its farthest point whatever the tolerance, so a point stays exactly when
// its own distance and those of the points split before it exceed the
// tolerance: its significance is the least of them. The chain's ends always
// stay.
std::vector<double> Significance(const std::vector<LinePoint>& chain) {
    const size_t n = chain.size();
    std::vector<Point3> space(n);
    for (size_t i = 0; i < n; ++i) space[i] = OnSphere(chain[i]);
    std::vector<double> significance(n, HUGE_VAL);
    struct Span {
        size_t From, To;
        double Limit;  // the significance of the point that made the span
    };
    std::vector<Span> spans{{0, n - 1, HUGE_VAL}};
    while (!spans.empty()) {
        const Span span = spans.back();
        spans.pop_back();
        if (span.To <= span.From + 1) continue;
        double farthest = -1;
        size_t at = span.From + 1;
        for (size_t i = span.From + 1; i < span.To; ++i) {
            const double d = FromChord(space[i], space[span.From], space[span.To]);
            if (d > farthest) farthest = d, at = i;
        }
        significance[at] = std::min(farthest, span.Limit);
        spans.push_back({span.From, at, significance[at]});
        spans.push_back({at, span.To, significance[at]});
    }
    return significance;
}

// Calls `chain` for every chain of segments that meet end to start.
template <typename F>
void EachChain(const std::vector<LineSegment>& segments, F&& chainDone) {
    std::vector<LinePoint> chain;
    for (const LineSegment& s : segments) {
        if (chain.empty() || !Same(chain.back(), s.From)) {
            if (chain.size() >= 2) chainDone(chain);
            chain.clear();
            chain.push_back(s.From);
        }
        chain.push_back(s.To);
    }
    if (chain.size() >= 2) chainDone(chain);
}

// The segments between the chain's points more significant than `tolerance`.
void Keep(const std::vector<LinePoint>& chain, const std::vector<double>& significance, double tolerance,
          std::vector<LineSegment>& out) {
    size_t from = 0;
    for (size_t i = 1; i < chain.size(); ++i) {
        if (!(significance[i] > tolerance)) continue;
        out.push_back({chain[from], chain[i]});
        from = i;
    }
}

}  // namespace

double DetailTolerance(int level) { return std::ldexp(1.0 / 8000, level); }

int DetailLevelFor(float zoom, int heightPixels) {
    const double allowed = 0.5 / (static_cast<double>(zoom) * heightPixels);
    for (int level = kDetailLevels - 1; level >= 0; --level)
        if (DetailTolerance(level) <= allowed) return level;
    return -1;
}

std::vector<LineSegment> SimplifySegments(const std::vector<LineSegment>& segments, double tolerance) {
    std::vector<LineSegment> out;
    EachChain(segments, [&](const std::vector<LinePoint>& chain) { Keep(chain, Significance(chain), tolerance, out); });
    return out;
}

std::vector<std::vector<LineSegment>> DetailLevels(const std::vector<LineSegment>& segments) {
    std::vector<std::vector<LineSegment>> levels(kDetailLevels);
    EachChain(segments, [&](const std::vector<LinePoint>& chain) {
        const std::vector<double> significance = Significance(chain);
        for (int level = 0; level < kDetailLevels; ++level)
            Keep(chain, significance, DetailTolerance(level), levels[static_cast<size_t>(level)]);
    });
    return levels;
}

}  // namespace kestrava
