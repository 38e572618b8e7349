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

}  // namespace kestrava
