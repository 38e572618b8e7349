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
}  // namespace

void BuildSectorLists(int s, const std::vector<GeoPoint>& outline, const ColourTheme& theme) {
    if (s <= 0) return;
    const GLuint fill = static_cast<GLuint>(s);
    const GLuint border = fill + lists::kSectorOutline;
    // The frame clears the stencil once; every fill leaves it clear again
    // (the second pass inverts each bit it finds set), so no fill list has
    // to clear the whole buffer for itself.
    glNewList(fill, GL_COMPILE);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glColor4f(0, 0, 0, 0);
    glBlendFunc(GL_ZERO, GL_ONE);
    OutlineFan(outline);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    const Rgb fillColour = theme.Get(Colour::CTRFill);
    glColor4f(fillColour.Red, fillColour.Green, fillColour.Blue, 1);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    OutlineFan(outline);
    glDisable(GL_STENCIL_TEST);
    glEndList();

    glNewList(border, GL_COMPILE);
    const Rgb borderColour = theme.Get(Colour::CTRBorder);
    glColor4f(borderColour.Red, borderColour.Green, borderColour.Blue, 1);
    glBegin(GL_LINE_LOOP);
    for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
    glEndList();
}

}  // namespace kestrava
