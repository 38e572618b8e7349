#include "globe/pixel_scale.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {
double scale = 1;
}

void SetPixelScale(double ratio) { scale = std::isfinite(ratio) ? std::max(ratio, 0.25) : 1.0; }

double PixelScale() { return scale; }

int DevicePixels(double pixels) {
    if (pixels <= 0) return 0;
    return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

void ScaledLineWidth(float pixels) { glLineWidth(static_cast<float>(pixels * scale)); }

void ScaledPointSize(float pixels) { glPointSize(static_cast<float>(pixels * scale)); }

}  // namespace kestrava
