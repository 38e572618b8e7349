#include "globe/list_names.h"

#include "globe/line_detail.h"

namespace kestrava::lists {

namespace {
GlobeNames globeNames;
}

unsigned NewNames(unsigned count) {
    // Name 0 is no list; the counter starts above it and only grows.
    static unsigned next = 1;
    const unsigned first = next;
    next += count;
    return first;
}

const GlobeNames& Globe() { return globeNames; }

void AllocateGlobe() {
    GlobeNames& n = globeNames;
    n.Globe = NewNames(1);
    n.Grid = NewNames(1);
    n.Coastlines = NewNames(1);
    n.Borders = NewNames(1);
    n.CoastlineDetail = NewNames(kDetailLevels);
    n.BorderDetail = NewNames(kDetailLevels);
    n.GlyphSmall = NewNames(kGlyphCount);
    n.GlyphBold = NewNames(kGlyphCount);
}

}  // namespace kestrava::lists
