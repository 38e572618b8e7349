// What notifies: friends coming online and landing, ATC opening or closing
// at a watched airport or sector, found by comparing each new snapshot of a
// network with what was seen before. Plain rules over the model; the
// window sends the texts to the desktop (notifier.h).
#pragma once

#include "kestrav/network/model.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// [Notify] of kestrav.ini: which events notify.
struct NotifyChoices {
    bool FriendOnline = true;
    bool FriendLanded = true;
    bool WatchOpened = true;
    bool WatchClosed = false;
};

enum class NotifyKind { FriendOnline, FriendLanded, WatchOpened, WatchClosed, Summary };

struct NotifyEvent {
    NotifyKind Kind = NotifyKind::FriendOnline;
    std::uint8_t Network = kIvao;
    std::string Callsign;  // empty for a summary
    std::string MemberId;
    bool Atc = false;      // a controller (else a pilot)
    float Latitude = 0, Longitude = 0;
    std::string Text;      // "DLH123 (friend) is online on VATSIM, EDDF-KJFK"
};

// More friend events than this from one snapshot become one summary.
constexpr std::size_t kFriendSummaryAbove = 5;
// A friend has landed on the ground this near its destination.
constexpr float kLandedWithinNm = 10;
// The longest watch code.
constexpr std::size_t kMaxWatchCode = 10;

// What was seen of one network: whether a snapshot came yet, the friends
// online (whether airborne, whether their landing was told), the watched
// stations open, each with the snapshot it was last in. Keys are
// "callsign|member id".
struct SeenClient {
    std::uint64_t Generation = 0;  // the snapshot it was last in
    bool Airborne = false;
    bool Landed = false;           // its landing was told
};
using SeenClients = std::unordered_map<std::string, SeenClient>;
struct NotifyMemory {
    std::array<bool, 2> Seen{};
    std::array<std::uint64_t, 2> Generation{};
    std::array<SeenClients, 2> Friends, Stations;
};

// A code that may be watched: 1 to 10 letters and digits (said in upper
// case). Otherwise false, with the message to show.
bool CheckWatchCode(std::string_view code, std::string& upper, std::string& refusal);

// Whether an ATC record is watched: an airport code its callsign starts
// with, or (for a centre) the sector id of its position.
bool IsWatched(const FriendList& watches, const AtcClient& atc);

// The events of network n's new snapshot against the memory, which then
// holds this snapshot. The first snapshot of a network after start-up
// gives none; each event is told once while its client stays online.
std::vector<NotifyEvent> SnapshotEvents(NotifyMemory& memory, const NetworkModel& model, std::uint8_t n,
                                        const NotifyChoices& choices);

}  // namespace kestrava
