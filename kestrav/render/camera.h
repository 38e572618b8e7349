// The globe camera: spin, tilt and zoom, and the mapping from a pointer
// position back to a point on the globe. No OpenGL here.
#pragma once

namespace kestrava {

struct Camera {
    float Spin = 0;  // the meridian facing the viewer, degrees east
    float Tilt = 0;  // minus the latitude crossing the disc's centre
    float Zoom = 1;  // globe radius on screen = Zoom x window height
};

// Zoom to [0.3, 50], tilt to [-90, 90], spin back by one turn at most.
void NormaliseCamera(Camera& camera);

struct PickedPoint {
    float NegatedLatitude = 100;  // south positive; 100 = off the globe
    float Longitude = 100;
    bool OnGlobe() const { return NegatedLatitude != 100; }
};

// The point under (x, y), measured from the window's top-left corner in the
// same units as width and height. Off the disc gives 100, 100.
PickedPoint PickGlobePoint(const Camera& camera, double x, double y, double width, double height);

}  // namespace kestrava
