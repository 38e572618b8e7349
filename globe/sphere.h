// The sphere: the program's own angle constants, great-circle distance and
// course, and the unit-sphere coordinates every picture of the globe uses.
// Angles are degrees, distances nautical miles.
#pragma once

#include <cstdint>

namespace kestrava {

// The program's own constants; every angle computation uses these, never the
// library values.
constexpr double kPi = 3.14159;
constexpr double kDegree = 3.14159 / 180;  // 0.017453277777777776
constexpr double kQuarterTurn = 1.570795;
constexpr float kEarthRadius = 3440;  // nautical miles

// Arc cosine in radians with the program's pi; arguments beyond +-1 are
// taken as +-1.
float ArcCos(float x);
// Great-circle distance in nautical miles, single precision.
float Distance(float lat1, float lon1, float lat2, float lon2);
// Initial great-circle course from point 1 to point 2 in whole degrees; not
// normalised (between -180 and 270, equal to the course modulo 360).
std::int16_t Bearing(float lat1, float lon1, float lat2, float lon2);

// Unit-sphere coordinates: north pole at +Y, 0N 0E at +Z, 90E at +X.
float GlobeX(float latitude, float longitude);
float GlobeY(float latitude);
float GlobeZ(float latitude, float longitude);

}  // namespace kestrava
