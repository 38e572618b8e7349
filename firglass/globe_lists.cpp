#include "firglass/globe_lists.h"

#include "formats/text.h"
#include "globe/sphere.h"
#include "globe/list_names.h"
#include "globe/pixel_scale.h"
#include "globe/geography.h"
#include "globe/gl_text.h"
#include "globe/globe_view.h"
#include "globe/sector_lists.h"

#include <GL/gl.h>

namespace kestrava::firglass {

bool GlobeLists::Create() {
    Destroy();
    glyphBase_ = lists::NewNames(lists::kGlyphCount);
    grid_ = lists::NewNames(1);
    coastlines_ = lists::NewNames(1);
    borders_ = lists::NewNames(1);
    if (!glyphBase_ || !grid_ || !coastlines_ || !borders_) return false;
    if (!BuildGlyphSet(GlyphFace::Monospaced, DevicePixels(kGlyphPixels), glyphBase_)) return false;
    BuildGridList(grid_, [](float) { return kGridColour; });
    return true;
}

void GlobeLists::Destroy() {
    sectors_.Destroy();
    slots_.clear();
    ticked_.clear();
    if (glyphBase_) DeleteGlyphSet(glyphBase_);
    labels_.Clear();
    for (unsigned* list : {&grid_, &coastlines_, &borders_})
        if (*list) glDeleteLists(*list, 1);
    glyphBase_ = grid_ = coastlines_ = borders_ = 0;
}

void GlobeLists::BuildLines(LineFile file, const std::vector<LineSegment>& segments) {
    BuildSegmentList(file == LineFile::Coastlines ? coastlines_ : borders_, segments, 1, InfoOf(file).Colour);
}

void GlobeLists::ReplaceSectors(const SectorPair& pair) {
    slots_.clear();
    ticked_.clear();
    labels_.Clear();
    std::vector<const std::vector<GeoPoint>*> outlines;
    for (const SectorPolygon& polygon : pair.Polygons) {
        const auto [slot, added] = slots_.try_emplace(polygon.Number, static_cast<int>(outlines.size()));
        if (added)
            outlines.push_back(&polygon.Points);
        else
            outlines[static_cast<size_t>(slot->second)] = &polygon.Points;
    }
    sectors_.Load(outlines);
}

void GlobeLists::BuildTicked(const std::vector<const SectorLine*>& ticked, const KeyedIndex& table) {
    ticked_.clear();
    for (const SectorLine* line : ticked)
        if (const auto slot = slots_.find(line->ListNumber); slot != slots_.end()) ticked_.push_back(slot->second);

    labels_.Clear();
    for (const SectorLine* line : ticked) {
        const KeyedIndex::Items* entry = table.Find(line->Id);
        if (!entry || entry->size() < 4) continue;
        const float lat = static_cast<float>(ReadNumber((*entry)[2]));
        const float lon = static_cast<float>(ReadNumber((*entry)[3]));
        labels_.Add(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon), glyphBase_, line->Id);
    }
}

void GlobeLists::DrawFrame(Camera& camera, int width, int height) const {
    if (!BeginGlobeView(camera, width, height)) return;
    glCallList(grid_);
    glCallList(borders_);
    if (!ticked_.empty()) {
        SectorStyle style;
        style.Fill = kSectorColour;
        style.FillAlpha = kSectorFillAlpha;
        style.BlendFill = true;
        style.Outline = kSectorColour;
        style.OutlineAlpha = kSectorOutlineAlpha;
        ScaledLineWidth(1);  // the outlines, at the screen's ratio
        sectors_.Draw(ticked_, style, width, height);
    }
    glColor3f(kLabelColour.Red, kLabelColour.Green, kLabelColour.Blue);
    labels_.Draw(width, height);
    glCallList(coastlines_);
    glPopMatrix();
}

}  // namespace kestrava::firglass
