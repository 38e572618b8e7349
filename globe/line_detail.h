// Coastlines and borders at several levels of detail. Each level is the
// full line set simplified so that no point moves by more than the level's
// tolerance (in globe radii); since the globe's radius on screen is zoom x
// window height pixels, a level whose tolerance is at most half a pixel at
// the current zoom draws the same lines as the full set to within half a
// pixel, with far fewer segments. Plain geometry, no OpenGL.
#pragma once

#include "formats/line_files.h"

#include <vector>

namespace kestrava {

// The levels' tolerances, finest first: 1/8000 of a globe radius, doubling.
constexpr int kDetailLevels = 6;
double DetailTolerance(int level);

// The coarsest level whose tolerance is at most half a pixel at this zoom
// and window height (pixels), or -1 when only the full set will do.
int DetailLevelFor(float zoom, int heightPixels);

// The segments simplified to `tolerance` globe radii: chains of segments
// that meet end to start are thinned (Douglas-Peucker on the unit sphere,
// distances measured in space, which bound the distances on screen); a
// chain's ends, and so every break between chains, stay where they are.
std::vector<LineSegment> SimplifySegments(const std::vector<LineSegment>& segments, double tolerance);

// Every level at once: levels[k] is the set simplified to
// DetailTolerance(k), the points' significance worked out once for all.
std::vector<std::vector<LineSegment>> DetailLevels(const std::vector<LineSegment>& segments);

}  // namespace kestrava
