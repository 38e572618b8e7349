// Sector outlines compiled into a one-bit stencil fill and an outline.
#pragma once

#include "formats/colour_theme.h"
#include "formats/sector_files.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kestrava {

// A sector's outline bounded in globe space (the unit sphere), whatever the
// view: its screen bounds follow from the eight corners.
struct SectorBox {
    float Min[3] = {1, 1, 1};
    float Max[3] = {-1, -1, -1};
    void Add(float x, float y, float z);
    bool Empty() const { return Min[0] > Max[0]; }
};

// A sector of the sector file compiled under names of its own
// (list_names.h): the fill, then its outline and the fill's first pass alone
// in the three names after it. Any number the file holds is only the key.
struct CompiledSector {
    unsigned Fill = 0;  // 0 until compiled
    SectorBox Box;
    // The fan from the outline's middle as the lists hold it: the middle,
    // the points and the first point again (x, y, z each); empty without
    // points. The fan from the first point is the run inside it.
    std::vector<float> Fan;
    std::uint64_t Stamp = 0;  // which compilation this is
    unsigned Outline() const { return Fill + 1; }
    unsigned Stencil() const { return Fill + 2; }          // the fan from the first point
    unsigned StencilCentred() const { return Fill + 3; }   // the fan from the outline's middle
};
// Every compiled sector's fans in one vertex buffer of the current context,
// so that many are drawn in one call; brought up to date with the sectors
// whenever they changed.
class SectorFanBuffer {
public:
    // False when there is nothing to draw from.
    bool Update(const std::unordered_map<int, CompiledSector>& sectors);
    // Where sector s's fan from the middle starts in the buffer, -1 when it
    // has none.
    int First(int s) const;
    unsigned Buffer() const { return buffer_; }

private:
    unsigned buffer_ = 0;
    std::unordered_map<int, std::pair<std::uint64_t, int>> runs_;  // stamp, first vertex
};

// The viewer's compiled sectors by the sector file's polygon number, with
// their fans in one buffer for DrawSectorFills.
struct CompiledSectors : std::unordered_map<int, CompiledSector> {
    mutable SectorFanBuffer Fans;
};

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

// The viewer's sector number s: filled in CTRFill and outlined in CTRBorder,
// both at alpha 1 (the fill leaves the blend function at source alpha,
// zero), with the fill's first pass alone (the fan, no state) from its first
// point and from the outline's middle for DrawSectorFills, and the outline's
// box. A number compiled before is compiled again under its names. Numbers
// of 0 or below compile nothing.
void BuildSectorLists(CompiledSectors& sectors, int s, const std::vector<GeoPoint>& outline,
                      const ColourTheme& theme);

// Fills the viewer's sectors, in the current globe transformation, with the
// pixels their fill lists give one after the other, in fewer passes: as the
// fill is opaque and of one colour, sectors whose screen bounds do not meet
// each invert their own stencil bit (up to the buffer's bits; sectors apart
// on screen share one), and one rectangle over their bounds then paints
// every pixel with a bit set and clears it. The fans of one stencil bit go
// out in one call from `compiled.Fans` (brought up to date first). Sectors
// wholly beyond the near or far plane are skipped. The stencil is clear
// before and after; the blend function is left at source alpha, zero.
// Numbers without a box are skipped. Width and height: the window's, in
// pixels.
void DrawSectorFills(const std::vector<int>& sectors, const CompiledSectors& compiled, const Rgb& fill,
                     int width, int height);

}  // namespace kestrava
