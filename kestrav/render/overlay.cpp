#include "overlay.h"

#include <GL/gl.h>

namespace kestrava {

void SetColour(const ColourTheme& theme, Colour colour, float alpha) {
    const Rgb c = theme.Get(colour);
    glColor4f(c.Red, c.Green, c.Blue, alpha);
}

}  // namespace kestrava
