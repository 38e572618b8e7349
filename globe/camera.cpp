#include "camera.h"

#include "globe/sphere.h"

#include <cmath>

namespace kestrava {

void NormaliseCamera(Camera& c) {
    if (c.Zoom < 0.3f)
        c.Zoom = 0.3f;
    else if (c.Zoom > 50.0f)
        c.Zoom = 50.0f;
    if (c.Tilt > 90.0f)
        c.Tilt = 90.0f;
    else if (c.Tilt < -90.0f)
        c.Tilt = -90.0f;
    if (c.Spin > 180.0f) c.Spin -= 360.0f;
    if (c.Spin < -180.0f) c.Spin += 360.0f;
}

void DragRotate(Camera& c, const Camera& atPress, double dx, double dy) {
    const double root = std::sqrt(static_cast<double>(c.Zoom > 0 ? c.Zoom : atPress.Zoom));
    if (!(root > 0)) return;
    c.Spin = static_cast<float>(atPress.Spin + (dx / 100) / root);
    c.Tilt = static_cast<float>(atPress.Tilt + (dy / 100) / root);
}

void DragZoom(Camera& c, const Camera& atPress, double dy) {
    c.Zoom = static_cast<float>(atPress.Zoom + dy * atPress.Zoom / 2000);
}

void WheelStep(Camera& c, int direction) {
    if (direction > 0)
        c.Zoom *= 1.2f;
    else if (direction < 0)
        c.Zoom /= 1.2f;
}

int WheelAccumulator::Step(int delta) {
    constexpr int kNotch = 120;
    if (delta >= kNotch || delta <= -kNotch) {
        Pending = 0;
        return delta > 0 ? 1 : -1;
    }
    // A turn the other way starts afresh.
    if ((Pending > 0 && delta < 0) || (Pending < 0 && delta > 0)) Pending = 0;
    Pending += delta;
    if (Pending >= kNotch) {
        Pending -= kNotch;
        return 1;
    }
    if (Pending <= -kNotch) {
        Pending += kNotch;
        return -1;
    }
    return 0;
}

void CentreCamera(Camera& c, float latitude, float longitude) {
    c.Tilt = -latitude;
    c.Spin = longitude;
    c.Zoom = 16;
}

PickedPoint PickGlobePoint(const Camera& camera, double x, double y, double width, double height) {
    PickedPoint miss;
    if (width <= 0 || height <= 0 || camera.Zoom == 0) return miss;
    const double zoom = camera.Zoom;
    const double u = (2 * x / width - 1) * width / (2 * height * zoom);
    const double v = (2 * y / height - 1) / (2 * zoom);
    const double under = 1 - u * u - v * v;
    if (under < 0) return miss;
    const double w = std::sqrt(under);
    const double a = camera.Tilt * kDegree;
    const double p = v * std::sin(a) - w * std::cos(a);
    const double q = w * std::sin(a) + v * std::cos(a);
    const double root = std::sqrt(1 - q * q);
    if (root == 0 || !std::isfinite(root)) return miss;
    PickedPoint result;
    result.NegatedLatitude = static_cast<float>(std::atan(q / root) * 180 / kPi);
    // The longitude the two-argument way, so that the window's vertical
    // centre line (u = 0, where the globe's centre lies) picks too.
    double longitude = std::atan2(u, -p) * 180 / kPi;
    longitude += camera.Spin;
    if (longitude < -180)
        longitude += 360;
    else if (longitude > 180)
        longitude -= 360;
    result.Longitude = static_cast<float>(longitude);
    return result;
}

}  // namespace kestrava
