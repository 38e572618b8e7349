// Sector outlines compiled into a stencil fill list and an outline list.
#pragma once

#include "formats/colour_theme.h"
#include "formats/sector_files.h"

#include <vector>

namespace kestrava {

// List s: a one-bit stencil fill in CTRFill that fills concave and
// self-crossing outlines by odd coverage; list 10000 + s: the outline as a
// line loop in CTRBorder. Earlier lists of those numbers are replaced. The
// fill list expects a clear stencil and leaves it clear, and leaves the blend
// function at source alpha, zero.
void BuildSectorLists(int s, const std::vector<GeoPoint>& outline, const ColourTheme& theme);

}  // namespace kestrava
