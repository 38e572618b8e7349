// The globe surface, the latitude/longitude grid, and line lists of
// coastlines and borders, each compiled into the display list it is given.
#pragma once

#include "formats/colour_theme.h"
#include "formats/line_files.h"

#include <functional>
#include <vector>

namespace kestrava {

// A colour chosen by latitude (a theme's blend of an equator and a pole
// colour, or one colour everywhere).
using LatitudeColour = std::function<Rgb(float latitude)>;

// A point of the unit sphere for a latitude and longitude in degrees.
void GlobeVertex(float latitude, float longitude);

// Line width 1: meridians every 10 degrees from -80 to 80 in steps of 2,
// then parallels every 10 degrees from -90 to 90 in steps of 2 of longitude;
// each vertex in the colour of its latitude.
void BuildGridList(unsigned list, const LatitudeColour& colour);

// Separate segments at `width`, all in one colour.
void BuildSegmentList(unsigned list, const std::vector<LineSegment>& segments, float width, const Rgb& colour);

// The viewer's lists from its colour theme.
void BuildGlobeList(const ColourTheme& theme);  // list 52
void BuildGridList(const ColourTheme& theme);   // list 51
// Coastlines and borders are kept as arrays under these numbers and drawn
// by DrawSegmentList (segment_arrays.h).
// Number 53: segments of width 2 coloured by the latitude of their end point.
void BuildCoastlineList(const std::vector<LineSegment>& segments, const ColourTheme& theme);
// Number 54: segments of width 1 in CountryBorders.
void BuildBorderList(const std::vector<LineSegment>& segments, const ColourTheme& theme);
// The coarser levels of both (DetailLevels of line_detail.h), alike.
void BuildCoastlineDetail(const std::vector<std::vector<LineSegment>>& levels, const ColourTheme& theme);
void BuildBorderDetail(const std::vector<std::vector<LineSegment>>& levels, const ColourTheme& theme);
// The coastline or border number that draws the lines to within half a
// pixel at this zoom and window height with the fewest segments (the full
// one until the levels are built).
unsigned CoastlineListFor(float zoom, int heightPixels);
unsigned BorderListFor(float zoom, int heightPixels);

}  // namespace kestrava
