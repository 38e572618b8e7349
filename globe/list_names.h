// Display-list names. Every list a program compiles is named here, from one
// counter that never hands a name out twice, so that no picture can replace
// another whatever numbers a data file holds: a sector file's polygon
// numbers are keys that sector_lists.h maps to names of their own. Deleting
// a list frees what it holds, never its name.
#pragma once

namespace kestrava::lists {

// `count` consecutive names never handed out before in this process.
unsigned NewNames(unsigned count);

constexpr unsigned kGlyphCount = 255;  // one list per code 0..254

// The globe library's lists: the globe, the grid, coastlines and borders
// with their coarser levels of detail, and the two glyph sets. Every name is
// 0 until AllocateGlobe, which a window calls once its context is current
// (a new context gets new names).
struct GlobeNames {
    unsigned Globe = 0;
    unsigned Grid = 0;
    unsigned Coastlines = 0;
    unsigned Borders = 0;
    unsigned CoastlineDetail = 0;  // level k in CoastlineDetail + k (line_detail.h)
    unsigned BorderDetail = 0;
    unsigned GlyphSmall = 0;       // code c in GlyphSmall + c
    unsigned GlyphBold = 0;
};
const GlobeNames& Globe();
void AllocateGlobe();

}  // namespace kestrava::lists
