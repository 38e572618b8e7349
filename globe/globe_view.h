// The globe transformation every frame of a globe starts with.
#pragma once

#include "camera.h"

namespace kestrava {

// Clears the colour and stencil buffers (unless `clear` is false: drawing
// goes on over what is there), loads the orthographic view
// (-1..1 across, near -10, far 1) into the modelview matrix, normalises the
// camera, pushes the matrix, moves the far plane through the globe's centre
// (in front of it above zoom 2) so the far side is clipped, turns by tilt and
// spin, sets a square viewport of side 2 x height centred on the
// width x height window (pixels), scales by the zoom and sets the blend
// function to source alpha, one minus source alpha. The caller draws the
// globe and pops the matrix. An empty window does nothing and gives false.
bool BeginGlobeView(Camera& camera, int width, int height, bool clear = true);

// While it lives, drawing is in whole pixels of a width x height window
// (origin at the bottom left): its viewport and an orthographic
// projection with an identity modelview, the earlier ones back after.
class WindowPixels {
public:
    WindowPixels(int width, int height);
    ~WindowPixels();
    WindowPixels(const WindowPixels&) = delete;
    WindowPixels& operator=(const WindowPixels&) = delete;

private:
    int viewport_[4] = {};
};

}  // namespace kestrava
