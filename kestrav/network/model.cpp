#include "model.h"

#include <algorithm>

namespace kestrava {

namespace {

// Doubled at a time, so a growing feed moves its records seldom.
template <typename Record>
Record& Slot(std::vector<Record>& records, int index, int cap) {
    const size_t wanted = static_cast<size_t>(index) + 1;
    if (wanted > records.size())
        records.resize(std::min(static_cast<size_t>(cap), std::max(wanted, records.size() * 2)));
    return records[static_cast<size_t>(index)];
}

}  // namespace

PilotClient& PilotSlot(Snapshot& snapshot, int index) { return Slot(snapshot.Pilots, index, kMaxPilots); }
AtcClient& AtcSlot(Snapshot& snapshot, int index) { return Slot(snapshot.AtcClients, index, kMaxAtcClients); }

void SetStatus(NetworkModel& model, DisplayHooks& display, const std::string& text) {
    model.StatusText = text;
    display.BuildStatusLine();
}

std::int16_t MergedClientTotal(const NetworkModel& model) {
    const int sum = int{model.ClientTotal[kIvao]} + int{model.ClientTotal[kVatsim]};
    return static_cast<std::int16_t>(std::clamp(sum, 0, 32767));
}

}  // namespace kestrava
