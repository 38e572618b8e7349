#include "firglass/globe_input.h"

#include "formats/text.h"

#include <cmath>

namespace kestrava::firglass {

bool PressButton(GlobeInput& input, int button, double x, double y) {
    input.X0 = std::llround(x);
    input.Y0 = std::llround(y);
    input.AtPress = input.View;
    if (button == kLeftButton) input.DragRotate = true;
    if (button == kRightButton) input.DragZoom = true;
    return false;
}

bool MovePointer(GlobeInput& input, double x, double y) {
    if (input.DragRotate)
        DragRotate(input.View, input.AtPress, static_cast<double>(input.X0) - x, static_cast<double>(input.Y0) - y);
    else if (input.DragZoom)
        DragZoom(input.View, input.AtPress, static_cast<double>(input.Y0) - y);
    else
        return false;
    NormaliseCamera(input.View);
    return true;
}

void ReleaseButton(GlobeInput& input) {
    input.DragRotate = false;
    input.DragZoom = false;
}

bool TurnWheel(GlobeInput& input, int delta) {
    const int step = input.Wheel.Step(delta);
    if (step == 0) return false;
    WheelStep(input.View, step);
    NormaliseCamera(input.View);
    return true;
}

std::string HundredthsText(double value, int digits) {
    if (!std::isfinite(value)) return "?";
    const long long hundredths = std::llround(std::fabs(value) * 100);
    std::string text = hundredths != 0 && value < 0 ? "-" : "";
    text += ZeroPad(static_cast<long>(hundredths / 100), digits);
    text += "." + ZeroPad(static_cast<long>(hundredths % 100), 2);
    return text;
}

std::optional<std::string> PositionReadout(const Camera& view, double x, double y, double width, double height) {
    const PickedPoint point = PickGlobePoint(view, x, y, width, height);
    if (!point.OnGlobe()) return std::nullopt;
    return "LAT " + HundredthsText(-static_cast<double>(point.NegatedLatitude), 2) + " / LON " +
           HundredthsText(point.Longitude, 3);
}

}  // namespace kestrava::firglass
