// The globe surface, the latitude/longitude grid, coastlines and borders.
#pragma once

#include "formats/colour_theme.h"
#include "formats/line_files.h"

#include <vector>

namespace kestrava {

void BuildGlobeList(const ColourTheme& theme);  // list 52
void BuildGridList(const ColourTheme& theme);   // list 51
// List 53: segments of width 2 coloured by the latitude of their end point.
void BuildCoastlineList(const std::vector<LineSegment>& segments, const ColourTheme& theme);
// List 54: segments of width 1 in CountryBorders.
void BuildBorderList(const std::vector<LineSegment>& segments, const ColourTheme& theme);

// A point of the unit sphere for a latitude and longitude in degrees.
void GlobeVertex(float latitude, float longitude);

}  // namespace kestrava
