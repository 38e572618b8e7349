// The sector viewer's display lists and sector outlines, compiled from what
// sector_data.h read, and the frame that draws them. List names come from
// the globe library's counter (globe/list_names.h), never from the files: a
// polygon number of firdisplay.dat is only the key of its outline, so no
// polygon can overwrite the grid, the line lists or the glyphs, whatever its
// number. Needs the context current for every call.
#pragma once

#include "firglass/sector_data.h"
#include "globe/blended_sectors.h"
#include "globe/camera.h"
#include "globe/gl_text.h"

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

    // Replaces every polygon of the last pair by this pair's. A number
    // repeated within the pair keeps the later polygon. The ticked sectors
    // are emptied.
    void ReplaceSectors(const SectorPair& pair);

    // The ticked sectors, in list order: each line's polygon (none when its
    // number has no polygon), and each line's id in white at the label
    // position of its id in `table`.
    void BuildTicked(const std::vector<const SectorLine*>& ticked, const KeyedIndex& table);

    // One frame of a width x height picture (pixels): the globe view of the
    // camera, then grid, borders, the ticked sectors' polygons one after the
    // other (each filled by odd coverage at alpha 0.3, blended, then
    // outlined at alpha 0.6), their ids, coastlines.
    void DrawFrame(Camera& camera, int width, int height) const;

    // Whether the pair has a polygon of this number.
    bool HasPolygon(int number) const { return slots_.count(number) > 0; }
    unsigned GlyphBase() const { return glyphBase_; }
    // The grid and line lists.
    std::vector<unsigned> OwnLists() const { return {grid_, coastlines_, borders_}; }
    // The ticked polygons' outlines, in one buffer (for the benchmark).
    const BlendedSectors& Sectors() const { return sectors_; }

private:
    unsigned glyphBase_ = 0;
    unsigned grid_ = 0;
    unsigned coastlines_ = 0;
    unsigned borders_ = 0;
    // Each polygon number's place among the loaded outlines, and the ticked
    // lines' places in list order.
    std::unordered_map<int, int> slots_;
    BlendedSectors sectors_;
    std::vector<int> ticked_;
    PlacedTexts labels_;  // the ticked lines' ids
};

}  // namespace kestrava::firglass
