#include "kestrav/network/notify_events.h"

#include "formats/text.h"
#include "globe/sphere.h"
#include "kestrav/network/live.h"
#include "kestrav/network/values.h"

#include <cctype>

namespace kestrava {

namespace {

std::string KeyOf(const std::string& callsign, const std::string& memberId) { return callsign + "|" + memberId; }

bool Airborne(const PilotClient& p) { return p.GroundSpeed >= kMotionMinimumKnots; }

bool NearDestination(const PilotClient& p) {
    if (p.DestLatitude == 0 && p.DestLongitude == 0) return false;
    return Distance(p.ReportedLatitude, p.ReportedLongitude, p.DestLatitude, p.DestLongitude) <= kLandedWithinNm;
}

NotifyEvent PilotEvent(NotifyKind kind, std::uint8_t n, const PilotClient& p, const std::string& text) {
    return NotifyEvent{kind, n, p.Callsign, p.MemberId, false, p.ReportedLatitude, p.ReportedLongitude, text};
}

NotifyEvent AtcEvent(NotifyKind kind, std::uint8_t n, const AtcClient& a, const std::string& text) {
    return NotifyEvent{kind, n, a.Callsign, a.MemberId, true, a.Latitude, a.Longitude, text};
}

}  // namespace

bool CheckWatchCode(std::string_view code, std::string& upper, std::string& refusal) {
    const std::string trimmed = Trim(code);
    if (trimmed.empty() || trimmed.size() > kMaxWatchCode) {
        refusal = "A watch code has 1 to " + std::to_string(kMaxWatchCode) + " letters and digits";
        return false;
    }
    for (char c : trimmed) {
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80) {
            refusal = "A watch code has only letters and digits";
            return false;
        }
    }
    upper = trimmed;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return true;
}

bool IsWatched(const FriendList& watches, const AtcClient& a) {
    if (watches.Empty() || Observes(a.Facility)) return false;
    const size_t cut = a.Callsign.find('_');
    if (watches.Has(std::string_view(a.Callsign).substr(0, cut))) return true;
    return a.Facility >= FacilityKind::Centre && !a.Location.empty() && watches.Has(a.Location);
}

std::vector<NotifyEvent> SnapshotEvents(NotifyMemory& memory, const NetworkModel& model, std::uint8_t n,
                                        const NotifyChoices& choices) {
    std::vector<NotifyEvent> events, friendEvents;
    if (n > kVatsim) return events;
    const Snapshot& s = model.Networks[n];
    const std::string& network = model.NetworkName[n];
    const bool tell = memory.Seen[n];
    memory.Seen[n] = true;
    const std::uint64_t now = ++memory.Generation[n], before = now - 1;
    SeenClients& friends = memory.Friends[n];
    SeenClients& stations = memory.Stations[n];
    // Its entry, and whether it was in the snapshot before (else it starts
    // afresh: new, or back after it was gone).
    const auto seen = [&](SeenClients& clients, std::string key, bool& known) -> SeenClient& {
        SeenClient& c = clients[std::move(key)];
        known = c.Generation == before && before != 0;
        if (!known) c = SeenClient{};
        c.Generation = now;
        return c;
    };

    const bool anyFriends = !model.Friends.Empty();
    for (int i = 0; anyFriends && i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (!IsFriend(model, p.MemberId)) continue;
        bool known = false;
        SeenClient& c = seen(friends, KeyOf(p.Callsign, p.MemberId), known);
        if (tell && !known && choices.FriendOnline) {
            std::string route;
            if (!p.Departure.empty() || !p.Destination.empty()) route = ", " + p.Departure + "-" + p.Destination;
            friendEvents.push_back(PilotEvent(NotifyKind::FriendOnline, n, p,
                                              p.Callsign + " (friend) is online on " + network + route));
        }
        const bool wasAirborne = c.Airborne;
        c.Airborne = Airborne(p);
        if (c.Landed) {
            c.Landed = !c.Airborne;  // told already; a new take-off starts again
        } else if (wasAirborne && !c.Airborne && NearDestination(p)) {
            c.Landed = true;
            if (tell && choices.FriendLanded)
                friendEvents.push_back(PilotEvent(NotifyKind::FriendLanded, n, p,
                                                  p.Callsign + " (friend) landed at " + p.Destination + " on " + network));
        }
    }
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        const bool isFriend = anyFriends && IsFriend(model, a.MemberId);
        const bool watched = IsWatched(model.Watches, a);
        if (!isFriend && !watched) continue;
        const std::string key = KeyOf(a.Callsign, a.MemberId);
        bool known = false;
        if (isFriend) {
            seen(friends, key, known);
            if (tell && !known && choices.FriendOnline)
                friendEvents.push_back(AtcEvent(NotifyKind::FriendOnline, n, a,
                                                a.Callsign + " (friend) is online on " + network));
        }
        if (watched) {
            seen(stations, key, known);
            if (tell && !known && choices.WatchOpened)
                events.push_back(AtcEvent(NotifyKind::WatchOpened, n, a, a.Callsign + " opened on " + network));
        }
    }
    // Whoever was not in this snapshot is gone; a watched station that was
    // in the one before has closed.
    for (auto it = stations.begin(); it != stations.end();) {
        if (it->second.Generation == now) {
            ++it;
            continue;
        }
        if (tell && choices.WatchClosed && it->second.Generation == before) {
            NotifyEvent closed;
            closed.Kind = NotifyKind::WatchClosed;
            closed.Network = n;
            closed.Callsign = it->first.substr(0, it->first.find('|'));
            closed.Atc = true;
            closed.Text = closed.Callsign + " closed on " + network;
            events.push_back(std::move(closed));
        }
        it = stations.erase(it);
    }
    std::erase_if(friends, [now](const auto& entry) { return entry.second.Generation != now; });
    // Many friends at once (the first refresh after an outage): one summary.
    if (friendEvents.size() > kFriendSummaryAbove) {
        NotifyEvent summary;
        summary.Kind = NotifyKind::Summary;
        summary.Network = n;
        summary.Text = std::to_string(friendEvents.size()) + " friends online on " + network;
        friendEvents.assign(1, std::move(summary));
    }
    events.insert(events.begin(), friendEvents.begin(), friendEvents.end());
    return events;
}

}  // namespace kestrava
