// Many sectors filled at an alpha over what lies below them and outlined, in
// a given order, drawn in layers: sectors whose screen bounds do not meet
// touch no pixel in common, so the order between them changes nothing, and
// each layer gathers such sectors for one stencil pass, one fill and one
// outline pass. A sector always lands in a later layer than every earlier
// sector its bounds meet, so every pixel sees its fills and outlines in the
// given order: the same pixels as drawing them one by one.
#pragma once

#include "formats/sector_files.h"
#include "globe/sector_lists.h"
#include "globe/screen_bounds.h"

#include <vector>

namespace kestrava {

// The layer of each bounds, in order: 0 for a first one, and otherwise one
// more than the highest layer of the earlier bounds it meets; -1 for empty
// bounds (nothing on screen).
std::vector<int> SectorLayers(const std::vector<PixelBounds>& bounds);

// The outlines, kept as globe points in one vertex buffer of the context
// that was current when they were loaded. Needs that context current for
// every call.
class BlendedSectors {
public:
    BlendedSectors() = default;
    BlendedSectors(const BlendedSectors&) = delete;
    BlendedSectors& operator=(const BlendedSectors&) = delete;
    ~BlendedSectors() = default;  // the buffer goes with its context

    // Replaces every outline by these, numbered in this order.
    void Load(const std::vector<const std::vector<GeoPoint>*>& outlines);
    // Deletes the buffer.
    void Destroy();

    // In the current globe transformation, the pixels of drawing outline
    // number order[0], order[1], ... (repeats allowed, unknown numbers
    // skipped) one after the other as BuildSectorLists compiles them with
    // `style`: a stencil fill by odd coverage (a fan from the first point),
    // then the line loop at the current line width. Expects a clear stencil and
    // leaves it clear; leaves the blend function as the last fill set it,
    // the stencil test off. Width and height: the window's, in pixels.
    void Draw(const std::vector<int>& order, const SectorStyle& style, int width, int height) const;
    // Layers the last Draw used (for the benchmark).
    int LastLayers() const { return lastLayers_; }

private:
    unsigned buffer_ = 0;
    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<SectorBox> boxes_;
    mutable int lastLayers_ = 0;
};

}  // namespace kestrava
