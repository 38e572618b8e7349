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

// --- Turning and zooming with the pointer -------------------------------
// Pointer movements are in twips (1440 per inch). Every rule starts from the
// camera at the button press, so a drag back to its start restores it.

// Left drag: 100 twips turn the globe by one degree at zoom 1. dx and dy are
// the press position minus the current one.
void DragRotate(Camera& camera, const Camera& atPress, double dx, double dy);
// Right drag: moving up by 2000 twips doubles the zoom.
void DragZoom(Camera& camera, const Camera& atPress, double dy);
// One wheel step: away from the user zooms in by 1.2, towards divides by it.
void WheelStep(Camera& camera, int direction);

// Wheel deltas in 120ths of a notch: one step per event of a notch or more
// (whatever its size), smaller deltas (touchpads) add up to a notch a step.
struct WheelAccumulator {
    int Pending = 0;
    // The step (-1, 0 or +1) this delta makes.
    int Step(int delta);
};

// Turns the camera onto a point and zooms in close (zoom 16).
void CentreCamera(Camera& camera, float latitude, float longitude);

struct PickedPoint {
    float NegatedLatitude = 100;  // south positive; 100 = off the globe
    float Longitude = 100;
    bool OnGlobe() const { return NegatedLatitude != 100; }
};

// The point under (x, y), measured from the window's top-left corner in the
// same units as width and height. Off the disc gives 100, 100.
PickedPoint PickGlobePoint(const Camera& camera, double x, double y, double width, double height);

}  // namespace kestrava
