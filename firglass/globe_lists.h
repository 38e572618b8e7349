// The sector viewer's display lists, compiled from what sector_data.h read,
// and the frame that draws them. List names come from the globe library's
// counter (globe/list_names.h), never from the files: a polygon number of firdisplay.dat
// maps to a list allocated for it, so no polygon can overwrite the grid,
// the line lists or the glyphs, whatever its number. Needs the context
// current for every call.
#pragma once

#include "firglass/sector_data.h"
#include "globe/camera.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace kestrava::firglass {

inline constexpr int kGlyphPixels = 8;

class GlobeLists {
public:
    // The glyph set (the viewer's monospaced face, 8 px), the grid, and
    // empty line and ticked-sector lists. False when the glyphs could not be
    // made.
    bool Create();
    // Deletes every list this object made.
    void Destroy();

    // Coastlines or borders: separate segments at width 1 in the file's colour.
    void BuildLines(LineFile file, const std::vector<LineSegment>& segments);

    // Replaces every polygon of the last pair by this pair's: each in a list
    // of its own with the stencil fill at alpha 0.3, blended, and its closed
    // outline at alpha 0.6. A number repeated within the pair keeps the later
    // polygon. The ticked sectors are emptied.
    void ReplaceSectors(const SectorPair& pair);

    // The ticked sectors, in list order: each line's polygon (none when its
    // number has no polygon), and each line's id in white at the label
    // position of its id in `table`.
    void BuildTicked(const std::vector<const SectorLine*>& ticked, const KeyedIndex& table);

    // One frame of a width x height picture (pixels): the globe view of the
    // camera, then grid, borders, ticked sectors with their ids, coastlines.
    void DrawFrame(Camera& camera, int width, int height) const;

    // The list of a polygon number, 0 when the pair has none.
    unsigned PolygonList(int number) const;
    unsigned GlyphBase() const { return glyphBase_; }
    // The grid, line and ticked-sector lists.
    std::vector<unsigned> OwnLists() const {
        return {grid_, coastlines_, borders_, tickedSectors_, tickedLabels_};
    }

private:
    unsigned glyphBase_ = 0;
    unsigned grid_ = 0;
    unsigned coastlines_ = 0;
    unsigned borders_ = 0;
    // The ticked sectors' fills and outlines, and their ids in a list of
    // their own: Mesa's software renderer was seen to crash on one list
    // holding both lines and glyph lists.
    unsigned tickedSectors_ = 0;
    unsigned tickedLabels_ = 0;
    std::unordered_map<int, unsigned> polygons_;
};

}  // namespace kestrava::firglass
