// Flat overlays: whole-pixel offsets from a window edge or the centre,
// turned into the window's -1..1 coordinates.
#pragma once

#include "formats/colour_theme.h"

namespace kestrava {

struct OverlayGrid {
    double W;  // window width in pixels
    double H;  // window height in pixels

    float Left(double p) const { return static_cast<float>(p * 2 / W - 1); }
    float Right(double p) const { return static_cast<float>(1 - p * 2 / W); }
    float Bottom(double p) const { return static_cast<float>(p * 2 / H - 1); }
    float Top(double p) const { return static_cast<float>(1 - p * 2 / H); }
    // From the centre, x to the right and y upwards.
    float X(double p) const { return static_cast<float>(p * 2 / W); }
    float Y(double p) const { return static_cast<float>(p * 2 / H); }
};

// Colour with alpha from the theme.
void SetColour(const ColourTheme& theme, Colour colour, float alpha = 1);

// A box shaded from alpha `a1` along y1 to alpha `a2` along y2 (window
// coordinates, -1..1).
void ShadedBox(const ColourTheme& theme, Colour colour, float x1, float x2, float y1, float y2, float a1,
               float a2);
// The same shaded from alpha `a1` along x1 to `a2` along x2.
void ShadedBoxAcross(const ColourTheme& theme, Colour colour, float x1, float x2, float y1, float y2, float a1,
                     float a2);
// A line from (x1, y) to (x2, y) fading from alpha 0 at its ends to `alpha`
// in its middle.
void FadingLine(const ColourTheme& theme, Colour colour, float x1, float x2, float y, float alpha);
// The box's edges as a line loop in the current colour.
void BoxOutline(float x1, float x2, float y1, float y2);

}  // namespace kestrava
