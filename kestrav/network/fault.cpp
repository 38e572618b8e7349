#include "kestrav/network/fault.h"

#include "formats/text.h"

#include <cfloat>
#include <cmath>

namespace kestrava {

namespace {

Fault Overflow() { return Fault(kFaultOverflow, "Overflow"); }

}  // namespace

std::int16_t CheckedInt16(double value) {
    if (value >= -32768.0 && value <= 32767.0 && value == static_cast<int>(value))
        return static_cast<std::int16_t>(value);  // whole numbers need no rounding
    if (std::isnan(value)) throw Overflow();
    double rounded = RoundHalfEven(value);
    if (rounded > 32767.0 || rounded < -32768.0) throw Overflow();
    return static_cast<std::int16_t>(rounded);
}

std::int16_t TextToInt16(std::string_view text) {
    if (!IsWholeNumber(text)) throw Fault(kFaultTypeMismatch, "Type mismatch");
    return CheckedInt16(ReadNumber(text));
}

float CheckedSingle(double value) {
    if (std::isnan(value) || std::fabs(value) > FLT_MAX) throw Overflow();
    return static_cast<float>(value);
}

void EndWithFault(NetworkModel& model, DisplayHooks& display, std::uint8_t net, const Fault& fault) {
    if (net < model.Networks.size()) model.Networks[net].DownloadFailed = true;
    std::string text = "No data to display";
    if (fault.Number > 0) text += std::string(" (") + fault.what() + ")";
    SetStatus(model, display, text);
}

}  // namespace kestrava
