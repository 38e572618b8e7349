// The device pixels of one of the window's own pixels (Qt's device pixel
// ratio: 2 on a 2x screen). Flat overlays are laid out in the window's own
// pixels and so grow with the ratio by themselves; what OpenGL measures in
// device pixels (glyph rasters, line widths, point sizes) is scaled here.
// At a ratio of 1 every picture is what it was without this module.
#pragma once

namespace kestrava {

// Sets the ratio the next lists are compiled for (the window's, at
// start-up and when it moves to another screen); at least 0.25.
void SetPixelScale(double ratio);
double PixelScale();

// `pixels` of the window's own as device pixels, rounded (at least 1 for
// anything above 0).
int DevicePixels(double pixels);

// glLineWidth and glPointSize in the window's own pixels.
void ScaledLineWidth(float pixels);
void ScaledPointSize(float pixels);

}  // namespace kestrava
