#include "globe/screen_bounds.h"

#include <cmath>

namespace kestrava {

ScreenMapping::ScreenMapping() {
    double p[16], m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += p[k * 4 + r] * m[c * 4 + k];
            M[c * 4 + r] = sum;
        }
    glGetIntegerv(GL_VIEWPORT, Viewport);
}

void ScreenMapping::Window(const double v[3], double& x, double& y, double& z) const {
    const double nx = M[0] * v[0] + M[4] * v[1] + M[8] * v[2] + M[12];
    const double ny = M[1] * v[0] + M[5] * v[1] + M[9] * v[2] + M[13];
    z = M[2] * v[0] + M[6] * v[1] + M[10] * v[2] + M[14];
    x = Viewport[0] + (nx + 1) * Viewport[2] / 2;
    y = Viewport[1] + (ny + 1) * Viewport[3] / 2;
}

unsigned WindowSides::Of(double px, double py, double pz) const {
    constexpr double kRounding = 1e-4;  // past a plane by more than rounding
    const double v[3] = {px, py, pz};
    double x, y, nz;
    S.Window(v, x, y, nz);
    return (x < -Margin ? 1u : 0u) | (x > Right + Margin ? 2u : 0u) | (y < -Margin ? 4u : 0u) |
           (y > Top + Margin ? 8u : 0u) | (nz > 1 + kRounding ? 16u : 0u) | (nz < -1 - kRounding ? 32u : 0u);
}

unsigned WindowSides::Of(const SectorBox& box) const {
    unsigned all = 63;
    for (int corner = 0; corner < 8 && all; ++corner)
        all &= Of((corner & 1) ? box.Max[0] : box.Min[0], (corner & 2) ? box.Max[1] : box.Min[1],
                  (corner & 4) ? box.Max[2] : box.Min[2]);
    return all;
}

PixelBounds BoundsOf(const SectorBox& box, const ScreenMapping& s, int width, int height, bool& clipped) {
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    clipped = false;
    int nearer = 0, farther = 0;  // corners before the near plane, behind the far one
    for (int corner = 0; corner < 8; ++corner) {
        const double v[3] = {(corner & 1) ? box.Max[0] : box.Min[0], (corner & 2) ? box.Max[1] : box.Min[1],
                             (corner & 4) ? box.Max[2] : box.Min[2]};
        double px, py, nz;
        s.Window(v, px, py, nz);
        if (!(nz > -0.999 && nz < 0.999)) clipped = true;
        nearer += nz < -1, farther += nz > 1;
        x0 = std::min(x0, px), x1 = std::max(x1, px), y0 = std::min(y0, py), y1 = std::max(y1, py);
    }
    PixelBounds b;
    if (nearer == 8 || farther == 8) return b;  // the box, and all in it, is cut away
    if (!std::isfinite(x0 + x1 + y0 + y1)) {  // an outline no number holds: the whole window
        clipped = true;
        b.X1 = width, b.Y1 = height;
        return b;
    }
    b.X0 = static_cast<int>(std::clamp(std::floor(x0) - 1, 0.0, static_cast<double>(width)));
    b.Y0 = static_cast<int>(std::clamp(std::floor(y0) - 1, 0.0, static_cast<double>(height)));
    b.X1 = static_cast<int>(std::clamp(std::ceil(x1) + 2, 0.0, static_cast<double>(width)));
    b.Y1 = static_cast<int>(std::clamp(std::ceil(y1) + 2, 0.0, static_cast<double>(height)));
    return b;
}

}  // namespace kestrava
