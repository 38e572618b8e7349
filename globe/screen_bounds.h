// Where globe-space boxes land in the window under the current
// transformation: whole-pixel bounds that hold every pixel a fill or an
// outline inside the box can touch.
#pragma once

#include "globe/sector_lists.h"

#include <GL/gl.h>

#include <algorithm>

namespace kestrava {

// Window pixels from the current transformation (projection x modelview,
// and the viewport), read once.
struct ScreenMapping {
    double M[16];  // column-major
    GLint Viewport[4];
    ScreenMapping();
    // The point's window position (x, y) and depth z (-1 near .. 1 far
    // plane) by the affine mapping, as the globe's views have it.
    void Window(const double v[3], double& x, double& y, double& z) const;
};

// Which sides of a width x height window, `margin` pixels out, and which of
// the near and far planes a point lies beyond, as bits (left 1, right 2,
// bottom 4, top 8, far 16, near 32); for a box, those every corner lies
// beyond. Anything with a side or a plane set draws no pixel in the window
// when a line of it reaches no further than the margin from its axis (a
// smoothed line's width and a pixel).
struct WindowSides {
    const ScreenMapping& S;
    double Right, Top, Margin;
    unsigned Of(double px, double py, double pz) const;
    unsigned Of(const SectorBox& box) const;
};

// Whole window pixels, x0 <= x < x1 and y0 <= y < y1.
struct PixelBounds {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool Empty() const { return X0 >= X1 || Y0 >= Y1; }
    bool Meets(const PixelBounds& o) const { return X0 < o.X1 && o.X0 < X1 && Y0 < o.Y1 && o.Y0 < Y1; }
    void Join(const PixelBounds& o) {
        if (Empty()) {
            *this = o;
            return;
        }
        X0 = std::min(X0, o.X0), Y0 = std::min(Y0, o.Y0), X1 = std::max(X1, o.X1), Y1 = std::max(Y1, o.Y1);
    }
};

// The pixels the box's projection can touch, a pixel more on each side, cut
// to the window (the affine view needs no division by w); `clipped` tells
// whether the box reaches past the near or far plane. Empty when the whole
// box lies beyond one of them (the far side of the globe).
PixelBounds BoundsOf(const SectorBox& box, const ScreenMapping& s, int width, int height, bool& clipped);

}  // namespace kestrava
