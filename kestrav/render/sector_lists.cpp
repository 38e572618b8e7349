#include "sector_lists.h"

#include "display_lists.h"
#include "geography.h"

#include <GL/gl.h>

namespace kestrava {

namespace {
// The outline as one fan from its first point: every pixel ends up covered
// as often as the outline winds around it, which the stencil counts mod 2.
void OutlineFan(const std::vector<GeoPoint>& outline) {
    glBegin(GL_TRIANGLE_FAN);
    for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
}

void OutlineLoop(const std::vector<GeoPoint>& outline, const SectorStyle& style) {
    glColor4f(style.Outline.Red, style.Outline.Green, style.Outline.Blue, style.OutlineAlpha);
    glBegin(GL_LINE_LOOP);
    for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
}
}  // namespace

void BuildSectorLists(unsigned fillList, unsigned outlineList, const std::vector<GeoPoint>& outline,
                      const SectorStyle& style) {
    // The frame clears the stencil once; every fill leaves it clear again
    // (the second pass inverts each bit it finds set), so no fill list has
    // to clear the whole buffer for itself.
    glNewList(fillList, GL_COMPILE);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glColor4f(0, 0, 0, 0);
    glBlendFunc(GL_ZERO, GL_ONE);
    OutlineFan(outline);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glColor4f(style.Fill.Red, style.Fill.Green, style.Fill.Blue, style.FillAlpha);
    glBlendFunc(GL_SRC_ALPHA, style.BlendFill ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO);
    OutlineFan(outline);
    glDisable(GL_STENCIL_TEST);
    if (outlineList == fillList) OutlineLoop(outline, style);
    glEndList();

    if (outlineList == fillList) return;
    glNewList(outlineList, GL_COMPILE);
    OutlineLoop(outline, style);
    glEndList();
}

void BuildSectorLists(int s, const std::vector<GeoPoint>& outline, const ColourTheme& theme) {
    if (s <= 0) return;
    SectorStyle style;
    style.Fill = theme.Get(Colour::CTRFill);
    style.Outline = theme.Get(Colour::CTRBorder);
    const unsigned fill = static_cast<unsigned>(s);
    BuildSectorLists(fill, fill + lists::kSectorOutline, outline, style);
}

}  // namespace kestrava
