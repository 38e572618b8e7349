#include "kestrav/network/trails.h"

#include <algorithm>

namespace kestrava {

void Trail::Add(const TrailPoint& point) {
    if (count_ > 0 && Point(count_ - 1).Time >= point.Time) return;  // seen already, or from the past
    if (points_.size() < kTrailPoints) {
        // Grows until full; then the oldest point gives way.
        if (points_.capacity() == points_.size()) points_.reserve(std::min(kTrailPoints, points_.size() * 2 + 8));
        points_.push_back(point);
        ++count_;
        return;
    }
    if (count_ < points_.size()) {
        points_[(start_ + count_) % points_.size()] = point;
        ++count_;
        return;
    }
    points_[start_] = point;
    start_ = (start_ + 1) % points_.size();
}

void Trail::DropBefore(std::int64_t oldest) {
    while (count_ > 0 && Point(0).Time < oldest) {
        start_ = (start_ + 1) % points_.size();
        --count_;
    }
    if (count_ == 0) {
        points_.clear();
        points_.shrink_to_fit();
        start_ = 0;
    }
}

void AddSnapshot(TrailBook& trails, std::uint8_t n, const Snapshot& snapshot, std::int64_t time) {
    for (int i = 0; i < snapshot.PilotCount; ++i) {
        const PilotClient& p = snapshot.Pilots[static_cast<size_t>(i)];
        if (p.ReportedLatitude == 0 && p.ReportedLongitude == 0) continue;
        Trail& trail = trails[TrailKey{n, p.Callsign, p.MemberId}];
        trail.Add({p.ReportedLatitude, p.ReportedLongitude, time});
        trail.LastSeen = time;
    }
    for (auto it = trails.begin(); it != trails.end();) {
        Trail& trail = it->second;
        if (it->first.Network == n && time - trail.LastSeen >= kTrailGoneSeconds) {
            it = trails.erase(it);
            continue;
        }
        trail.DropBefore(time - kTrailSeconds);
        it = trail.Size() == 0 ? trails.erase(it) : std::next(it);
    }
}

const Trail* TrailOf(const TrailBook& trails, std::uint8_t n, const PilotClient& pilot) {
    const auto it = trails.find(TrailKey{n, pilot.Callsign, pilot.MemberId});
    return it == trails.end() ? nullptr : &it->second;
}

float TrailAlpha(std::int64_t age) {
    const double share = std::clamp(static_cast<double>(age) / static_cast<double>(kTrailSeconds), 0.0, 1.0);
    return static_cast<float>(0.9 - 0.8 * share);
}

std::size_t TrailBytes(const TrailBook& trails) {
    std::size_t bytes = 0;
    for (const auto& [key, trail] : trails)
        bytes += trail.Bytes() + sizeof(key) + key.Callsign.capacity() + key.MemberId.capacity() + sizeof(Trail) + 48;
    return bytes;
}

}  // namespace kestrava
