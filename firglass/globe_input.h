// The picture's mouse as plain logic: left drag turns the globe, right drag
// zooms, the wheel steps the zoom, and a move with no button held reads the
// position under the pointer. Positions are twips from the picture's
// top-left corner (y downwards), as the map window's controls take them.
#pragma once

#include "globe/camera.h"

#include <optional>
#include <string>

namespace kestrava::firglass {

struct GlobeInput {
    Camera View{0, 0, 0.5f};
    // Taken at a press: the position rounded to whole twips and the camera.
    long long X0 = 0;
    long long Y0 = 0;
    Camera AtPress;
    bool DragRotate = false;
    bool DragZoom = false;
    WheelAccumulator Wheel;
};

// Buttons as the mouse events number them.
enum : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// Each returns true when the camera changed and a frame is due; the camera
// is then already in range.
bool PressButton(GlobeInput& input, int button, double x, double y);
bool MovePointer(GlobeInput& input, double x, double y);
void ReleaseButton(GlobeInput& input);
// A wheel event's delta in 120ths of a notch.
bool TurnWheel(GlobeInput& input, int delta);

// The status text for the point under (x, y) of a width x height picture
// (all in the same units): "LAT 47.43 / LON 019.26"; nothing off the globe.
std::optional<std::string> PositionReadout(const Camera& view, double x, double y, double width, double height);

// A number as the format "00.00" (digits = 2) or "000.00" (digits = 3)
// writes it: rounded to hundredths, the whole part padded with zeros, a
// minus sign before a negative value ("-05.50").
std::string HundredthsText(double value, int digits);

}  // namespace kestrava::firglass
