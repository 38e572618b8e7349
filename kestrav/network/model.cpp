#include "model.h"

#include <algorithm>

namespace kestrava {

void SetStatus(NetworkModel& model, DisplayHooks& display, const std::string& text) {
    model.StatusText = text;
    display.BuildStatusLine();
}

std::int16_t MergedClientTotal(const NetworkModel& model) {
    const int sum = int{model.ClientTotal[kIvao]} + int{model.ClientTotal[kVatsim]};
    return static_cast<std::int16_t>(std::clamp(sum, 0, 32767));
}

}  // namespace kestrava
