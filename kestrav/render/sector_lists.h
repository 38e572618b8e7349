// Sector outlines compiled into a one-bit stencil fill and an outline.
#pragma once

#include "formats/colour_theme.h"
#include "formats/sector_files.h"

#include <vector>

namespace kestrava {

struct SectorStyle {
    Rgb Fill;
    float FillAlpha = 1;
    // The fill blended over what lies below it (source alpha, one minus
    // source alpha) rather than written with its alpha (source alpha, zero).
    bool BlendFill = false;
    Rgb Outline;
    float OutlineAlpha = 1;
};

// The fill: the outline drawn twice with the stencil test on, first only
// inverting the stencil bit (nothing painted), then painting where the bit
// is set and inverting it back, so concave and self-crossing outlines fill by
// odd coverage. It expects a clear stencil and leaves it clear; it leaves
// the blend function as its second pass set it. The outline: a line loop.
// With `outlineList` equal to `fillList` one list holds the fill and then
// the outline. Earlier lists of those numbers are replaced.
void BuildSectorLists(unsigned fillList, unsigned outlineList, const std::vector<GeoPoint>& outline,
                      const SectorStyle& style);

// The viewer's: list s filled in CTRFill, list 10000 + s outlined in
// CTRBorder, both at alpha 1; the fill leaves the blend function at source
// alpha, zero. Numbers of 0 or below compile nothing.
void BuildSectorLists(int s, const std::vector<GeoPoint>& outline, const ColourTheme& theme);

}  // namespace kestrava
