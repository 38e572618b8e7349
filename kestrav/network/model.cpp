#include "model.h"

namespace kestrava {

void SetStatus(NetworkModel& model, DisplayHooks& display, const std::string& text) {
    model.StatusText = text;
    display.BuildStatusLine();
}

}  // namespace kestrava
