// The coastlines' levels of detail against the shipped 10m lines: every
// point of the full set lies within half a pixel of the level drawn at its
// zoom, and the breaks between lines stay where they are.
#include "formats/line_files.h"
#include "globe/camera.h"
#include "globe/line_detail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kestrava;

namespace {

struct Vec {
    double X, Y, Z;
};

Vec Unit(const LinePoint& p) {
    const double lat = p.Latitude * std::numbers::pi / 180, lon = p.Longitude * std::numbers::pi / 180;
    return {std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
}

double FromSegment(const Vec& p, const Vec& a, const Vec& b) {
    const Vec d{b.X - a.X, b.Y - a.Y, b.Z - a.Z}, q{p.X - a.X, p.Y - a.Y, p.Z - a.Z};
    const double dd = d.X * d.X + d.Y * d.Y + d.Z * d.Z;
    const double t = dd > 0 ? std::clamp((q.X * d.X + q.Y * d.Y + q.Z * d.Z) / dd, 0.0, 1.0) : 0;
    return std::hypot(q.X - t * d.X, q.Y - t * d.Y, q.Z - t * d.Z);
}

bool Same(const LinePoint& a, const LinePoint& b) { return a.Latitude == b.Latitude && a.Longitude == b.Longitude; }

// Globe radii per pixel at this zoom and height, from the camera's own
// mapping: the turn one pixel right of the disc's centre makes.
double RadiiPerPixel(float zoom, int height) {
    const Camera camera{0, 0, zoom};
    const int width = height * 16 / 10;
    const PickedPoint p = PickGlobePoint(camera, width / 2.0 + 1, height / 2.0, width, height);
    return std::abs(p.Longitude) * std::numbers::pi / 180;
}

// The largest distance (radii) of a full-set point from the level's line
// that replaces it; -1 when the level does not follow the full set's
// points in order or loses a break.
double LargestError(const std::vector<LineSegment>& full, const std::vector<LineSegment>& level) {
    double worst = 0;
    size_t k = 0;  // the level's segment covering full[i]
    for (size_t i = 0; i < full.size(); ++i) {
        const bool lineStarts = i == 0 || !Same(full[i - 1].To, full[i].From);
        if (k >= level.size() || (lineStarts && !Same(level[k].From, full[i].From)))
            return -1;  // a line's start must start a level segment
        const Vec a = Unit(level[k].From), b = Unit(level[k].To);
        worst = std::max(worst, FromSegment(Unit(full[i].From), a, b));
        worst = std::max(worst, FromSegment(Unit(full[i].To), a, b));
        if (Same(full[i].To, level[k].To)) {
            const bool lineEnds = i + 1 == full.size() || !Same(full[i + 1].From, full[i].To);
            const bool levelGoesOn = k + 1 < level.size() && Same(level[k + 1].From, full[i].To);
            if (lineEnds || levelGoesOn) ++k;
        } else if (i + 1 == full.size() || !Same(full[i + 1].From, full[i].To)) {
            return -1;  // a break inside a level segment
        }
    }
    return k == level.size() ? worst : -1;
}

}  // namespace

TEST(LineDetail, EveryLevelDrawsTheShippedCoastlinesWithinHalfAPixelWhereItIsUsed) {
    std::vector<LineSegment> full;
    ASSERT_TRUE(ReadLineSegments(KESTRAVA_SOURCE_DIR "/data/coastline.dat", true, full));
    ASSERT_GT(full.size(), 100000u);
    const auto levels = DetailLevels(full);
    ASSERT_EQ(levels.size(), static_cast<size_t>(kDetailLevels));

    size_t previous = full.size();
    for (int level = 0; level < kDetailLevels; ++level) {
        const auto& lines = levels[static_cast<size_t>(level)];
        const double error = LargestError(full, lines);
        ASSERT_GE(error, 0) << "level " << level << " lost a break or a point's order";
        // (the lines are placed in single precision: a millionth of a radius)
        EXPECT_LE(error, DetailTolerance(level) + 1e-6) << "level " << level;
        EXPECT_LT(lines.size(), previous) << "level " << level << " is no coarser";
        previous = lines.size();
    }
    // Level 0 already drops a third of the segments; the coarsest far more.
    EXPECT_LT(levels.front().size(), full.size() * 2 / 3);
    EXPECT_LT(levels.back().size(), full.size() / 10);

    // The level chosen for a zoom and window moves no point by more than
    // half a pixel there; one level coarser would.
    for (const int height : {540, 800, 1200}) {
        for (float zoom = 0.3f; zoom <= 50; zoom *= 1.2f) {
            const int level = DetailLevelFor(zoom, height);
            const double radiiPerPixel = RadiiPerPixel(zoom, height);
            if (level >= 0) {
                EXPECT_LE(DetailTolerance(level) / radiiPerPixel, 0.5 * 1.001) << zoom << " " << height;
            }
            if (level + 1 < kDetailLevels) {
                EXPECT_GT(DetailTolerance(level + 1) / radiiPerPixel, 0.5 * 0.999) << zoom << " " << height;
            }
        }
    }
    // Close in, only the full lines will do.
    EXPECT_EQ(DetailLevelFor(16, 800), -1);
}
