#include "model.h"

#include <algorithm>
#include <limits>

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

std::int32_t MergedClientTotal(const NetworkModel& model) {
    return ClientCount(static_cast<double>(model.ClientTotal[kIvao]) + static_cast<double>(model.ClientTotal[kVatsim]));
}

std::int32_t ClientCount(double count) {
    if (!(count > 0)) return 0;
    return count >= std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                              : static_cast<std::int32_t>(count);
}

}  // namespace kestrava
