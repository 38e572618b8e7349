// Trails: where each aircraft has been this run, one point per snapshot
// seen, kept per network, callsign and member id.
#pragma once

#include "kestrav/network/model.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace kestrava {

// The points a trail keeps: the newest 240, none older than two hours.
constexpr std::size_t kTrailPoints = 240;
constexpr std::int64_t kTrailSeconds = 2 * 3600;
// An aircraft missing from the snapshots loses its trail after 10 minutes.
constexpr std::int64_t kTrailGoneSeconds = 10 * 60;

struct TrailPoint {
    float Latitude = 0;
    float Longitude = 0;
    std::int64_t Time = 0;  // seconds since the epoch
};

// One aircraft's trail: a ring of at most kTrailPoints points, oldest first
// through Point(i).
class Trail {
public:
    void Add(const TrailPoint& point);
    // Drops the points older than `oldest`.
    void DropBefore(std::int64_t oldest);
    std::size_t Size() const { return count_; }
    const TrailPoint& Point(std::size_t i) const { return points_[(start_ + i) % points_.size()]; }
    std::int64_t LastSeen = 0;  // the last snapshot that had it
    std::size_t Bytes() const { return points_.capacity() * sizeof(TrailPoint); }

private:
    std::vector<TrailPoint> points_;  // grows to kTrailPoints, then a ring
    std::size_t start_ = 0;
    std::size_t count_ = 0;
};

struct TrailKey {
    std::uint8_t Network = 0;
    std::string Callsign;
    std::string MemberId;
    bool operator<(const TrailKey& other) const {
        return std::tie(Network, Callsign, MemberId) < std::tie(other.Network, other.Callsign, other.MemberId);
    }
};

using TrailBook = std::map<TrailKey, Trail>;

// A snapshot of network n seen at `time`: each of its placed pilots adds its
// reported position to its trail (a snapshot seen twice adds nothing); the
// trails of aircraft gone for kTrailGoneSeconds, and points past two hours,
// are dropped.
void AddSnapshot(TrailBook& trails, std::uint8_t n, const Snapshot& snapshot, std::int64_t time);

// The trail of a pilot of network n, or null.
const Trail* TrailOf(const TrailBook& trails, std::uint8_t n, const PilotClient& pilot);

// The opacity of a trail point `age` seconds old: 0.9 new, fading evenly to
// 0.1 at two hours.
float TrailAlpha(std::int64_t age);

// The memory the book holds: its points and keys, roughly.
std::size_t TrailBytes(const TrailBook& trails);

}  // namespace kestrava
