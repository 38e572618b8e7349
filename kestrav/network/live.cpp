#include "kestrav/network/live.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

constexpr double kEarthRadiusNm = 3440.065;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRadians = kPi / 180.0;

// The networks the view shows.
std::vector<std::uint8_t> ShownNetworks(std::uint8_t view) {
    if (view == kMerged) return {kIvao, kVatsim};
    if (view <= kVatsim) return {view};
    return {};
}

}  // namespace

std::chrono::seconds LivePeriod(const NetworkModel& model, const LiveState& live, std::uint8_t n) {
    const std::int16_t reload = n <= kVatsim ? model.Networks[n].ReloadMinutes : 0;
    return std::chrono::seconds(std::max<long long>(live.Seconds, static_cast<long long>(reload) * 60));
}

std::vector<std::uint8_t> DueNetworks(const NetworkModel& model, const LiveState& live, SteadyClock::time_point now) {
    std::vector<std::uint8_t> due;
    if (live.Seconds <= 0 || !live.Active || !model.DownloadIdle) return due;
    for (std::uint8_t n : ShownNetworks(model.CurrentNetwork)) {
        // A refresh after the last try, however the machine's clock went.
        if (!live.Tried[n] || now - live.LastTry[n] >= LivePeriod(model, live, n)) due.push_back(n);
    }
    return due;
}

std::string NoteRefresh(LiveState& live, std::uint8_t n, bool failed, const std::string& reason) {
    if (n > kVatsim) return {};
    if (!failed) {
        live.Failures[n] = 0;
        return {};
    }
    ++live.Failures[n];
    if (live.Failures[n] < kLiveFailuresShown) return {};
    return "Live refresh failed " + std::to_string(live.Failures[n]) + " times in a row: " + reason;
}

std::string AgeNote(const NetworkModel& model, const LiveState& live, std::uint8_t view) {
    std::chrono::seconds oldest{0};
    bool stale = false;
    for (std::uint8_t n : ShownNetworks(view)) {
        const Snapshot& s = model.Networks[n];
        if (s.ClientTotal == 0 || s.LastDownload == Clock::time_point{}) continue;
        const auto age = std::chrono::duration_cast<std::chrono::seconds>(model.Now() - s.LastDownload);
        if (age.count() < 0) continue;  // the clock went back: no age to tell
        const std::chrono::seconds limit =
            live.Seconds > 0 ? 2 * LivePeriod(model, live, n) : std::chrono::seconds(5 * 60);
        if (age > limit) stale = true;
        oldest = std::max(oldest, age);
    }
    if (!stale) return {};
    const long long minutes = oldest.count() / 60;
    if (minutes < 120) return " (" + std::to_string(minutes) + " min old)";
    return " (" + std::to_string(minutes / 60) + " h old)";
}

void AdvanceAlongTrack(float latitude, float longitude, float headingDegrees, float knots, double seconds,
                       float& newLatitude, float& newLongitude) {
    const double distance = static_cast<double>(knots) * seconds / 3600.0 / kEarthRadiusNm;  // radians
    const double lat1 = latitude * kRadians, lon1 = longitude * kRadians, bearing = headingDegrees * kRadians;
    const double sinLat2 = std::sin(lat1) * std::cos(distance) + std::cos(lat1) * std::sin(distance) * std::cos(bearing);
    const double lat2 = std::asin(std::clamp(sinLat2, -1.0, 1.0));
    const double lon2 = lon1 + std::atan2(std::sin(bearing) * std::sin(distance) * std::cos(lat1),
                                          std::cos(distance) - std::sin(lat1) * sinLat2);
    double lonDegrees = std::remainder(lon2 / kRadians, 360.0);
    newLatitude = static_cast<float>(lat2 / kRadians);
    newLongitude = static_cast<float>(lonDegrees);
}

double MotionSeconds(std::chrono::seconds period, Clock::duration elapsed) {
    const double whole = std::floor(std::chrono::duration<double>(elapsed).count());
    return std::clamp(whole, 0.0, 2.0 * static_cast<double>(period.count()));
}

int PlaceAircraft(Snapshot& snapshot, double seconds) {
    int moved = 0;
    for (int i = 0; i < snapshot.PilotCount; ++i) {
        PilotClient& p = snapshot.Pilots[static_cast<size_t>(i)];
        p.Latitude = p.ReportedLatitude;
        p.Longitude = p.ReportedLongitude;
        const bool placed = p.ReportedLatitude != 0 || p.ReportedLongitude != 0;
        if (!placed || seconds <= 0 || !(p.GroundSpeed >= kMotionMinimumKnots)) continue;
        AdvanceAlongTrack(p.ReportedLatitude, p.ReportedLongitude, p.Heading, p.GroundSpeed, seconds, p.Latitude,
                          p.Longitude);
        ++moved;
    }
    return moved;
}

}  // namespace kestrava
