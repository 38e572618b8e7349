#include "overlay.h"

#include <GL/gl.h>

namespace kestrava {

void SetColour(const ColourTheme& theme, Colour colour, float alpha) {
    const Rgb c = theme.Get(colour);
    glColor4f(c.Red, c.Green, c.Blue, alpha);
}

// A box shaded from alpha `a1` along y1 to alpha `a2` along y2.
void ShadedBox(const ColourTheme& theme, Colour colour, float x1, float x2, float y1, float y2, float a1,
               float a2) {
    glBegin(GL_QUADS);
    SetColour(theme, colour, a1);
    glVertex2f(x1, y1);
    glVertex2f(x2, y1);
    SetColour(theme, colour, a2);
    glVertex2f(x2, y2);
    glVertex2f(x1, y2);
    glEnd();
}

void ShadedBoxAcross(const ColourTheme& theme, Colour colour, float x1, float x2, float y1, float y2, float a1,
                     float a2) {
    glBegin(GL_QUADS);
    SetColour(theme, colour, a1);
    glVertex2f(x1, y1);
    glVertex2f(x1, y2);
    SetColour(theme, colour, a2);
    glVertex2f(x2, y2);
    glVertex2f(x2, y1);
    glEnd();
}

void FadingLine(const ColourTheme& theme, Colour colour, float x1, float x2, float y, float alpha) {
    glBegin(GL_LINE_STRIP);
    SetColour(theme, colour, 0);
    glVertex2f(x1, y);
    SetColour(theme, colour, alpha);
    glVertex2f((x1 + x2) / 2, y);
    SetColour(theme, colour, 0);
    glVertex2f(x2, y);
    glEnd();
}

void BoxOutline(float x1, float x2, float y1, float y2) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(x1, y1);
    glVertex2f(x2, y1);
    glVertex2f(x2, y2);
    glVertex2f(x1, y2);
    glEnd();
}

}  // namespace kestrava
