#include "globe/sphere.h"

#include "formats/text.h"

#include <cmath>

namespace kestrava {

float ArcCos(float x) {
    if (x < -1) return static_cast<float>(kPi);
    if (x == 0) return static_cast<float>(kQuarterTurn);
    if (x > 1) return 0;
    const float square = x * x;
    const double root = std::sqrt(static_cast<double>(1.0f - square));
    if (std::fabs(x) >= 0.5f) {
        double angle = std::atan(root / x);
        if (x < 0) angle += kPi;
        return static_cast<float>(angle);
    }
    return static_cast<float>(kQuarterTurn - std::atan(x / root));
}

float Distance(float lat1, float lon1, float lat2, float lon2) {
    const double cosine = std::sin(lat1 * kDegree) * std::sin(lat2 * kDegree) +
                          std::cos(lat1 * kDegree) * std::cos(lat2 * kDegree) *
                              std::cos((lon2 - lon1) * kDegree);
    return kEarthRadius * ArcCos(static_cast<float>(cosine));
}

std::int16_t Bearing(float lat1, float lon1, float lat2, float lon2) {
    const double dLon = (lon2 - lon1) * kDegree;
    const double y = std::sin(dLon) * std::cos(lat2 * kDegree);
    const double x = std::cos(lat1 * kDegree) * std::sin(lat2 * kDegree) -
                     std::sin(lat1 * kDegree) * std::cos(lat2 * kDegree) * std::cos(dLon);
    double angle = 0;
    if (y > 0) {
        if (x > 0) angle = std::atan(y / x);
        else if (x < 0) angle = kPi - std::atan(-y / x);
        else angle = kPi / 2;
    } else if (y < 0) {
        if (x > 0) angle = -std::atan(-y / x);
        else if (x < 0) angle = std::atan(y / x) - kPi;
        else angle = 9.42477 / 2;
    } else {
        angle = x >= 0 ? 0 : kPi;
    }
    return ToInt16(angle / kDegree);
}

float GlobeX(float latitude, float longitude) {
    return static_cast<float>(std::cos(latitude * kDegree) * std::sin(longitude * kDegree));
}

float GlobeY(float latitude) { return static_cast<float>(std::sin(latitude * kDegree)); }

float GlobeZ(float latitude, float longitude) {
    return static_cast<float>(std::cos(latitude * kDegree) * std::cos(longitude * kDegree));
}

}  // namespace kestrava
