#include "camera.h"

#include "kestrav/network/values.h"

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
    if (root == 0 || u == 0 || !std::isfinite(root)) return miss;
    PickedPoint result;
    result.NegatedLatitude = static_cast<float>(std::atan(q / root) * 180 / kPi);
    double longitude = std::atan(p / u) * 180 / kPi - 90;
    if (u > 0) longitude += 180;
    longitude += camera.Spin;
    if (longitude < -180)
        longitude += 360;
    else if (longitude > 180)
        longitude -= 360;
    result.Longitude = static_cast<float>(longitude);
    return result;
}

}  // namespace kestrava
