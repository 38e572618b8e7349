// Live mode: the shown network downloaded again at a steady pace, the age of
// the shown data, and the aircraft moved along their tracks between two
// snapshots. Plain rules over the model; the window's timer calls them.
#pragma once

#include "kestrav/network/model.h"
#include "kestrav/network/transfer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrava {

using SteadyClock = std::chrono::steady_clock;

// Three failed refreshes in a row are said in the status line.
constexpr int kLiveFailuresShown = 3;

struct LiveState {
    // The refresh period in seconds ([Network] LiveSeconds, 0: off).
    int Seconds = 0;
    // A network key was pressed since live mode went on: the shown network
    // (both in the merged view) is kept current.
    bool Active = false;
    // Per network: what the server said of its last answer, the start of the
    // last refresh (a steady clock: the machine's clock may jump), and the
    // failures in a row with the last one's text.
    std::array<Validators, 2> Prior;
    std::array<SteadyClock::time_point, 2> LastTry{};
    std::array<bool, 2> Tried{};
    std::array<int, 2> Failures{};
};

// The time between two refreshes of network n: LiveSeconds, never shorter
// than the network's own reload interval.
std::chrono::seconds LivePeriod(const NetworkModel& model, const LiveState& live, std::uint8_t n);

// The networks of the shown view whose refresh is due at `now`: none while
// live mode is off or idle, or a download runs.
std::vector<std::uint8_t> DueNetworks(const NetworkModel& model, const LiveState& live, SteadyClock::time_point now);

// A refresh of network n ended: a failure counts, a success (also "not
// modified") starts the count again. Returns the status text to show after
// kLiveFailuresShown failures in a row ("" otherwise).
std::string NoteRefresh(LiveState& live, std::uint8_t n, bool failed, const std::string& reason);

// " (12 min old)" when the shown data of `view` (a network, or both merged:
// the older) were last confirmed longer ago than two refresh periods (five
// minutes with live mode off); "" otherwise or before any data.
std::string AgeNote(const NetworkModel& model, const LiveState& live, std::uint8_t view);

// Motion between snapshots.

// Aircraft slower than this stay where they were reported (taxiing, parked).
constexpr float kMotionMinimumKnots = 50;

// The point `seconds` ahead along the great circle from (lat, lon) on a
// true heading at a ground speed in knots; degrees in and out, longitude in
// -180..180.
void AdvanceAlongTrack(float latitude, float longitude, float headingDegrees, float knots, double seconds,
                       float& newLatitude, float& newLongitude);

// How far ahead of its snapshot an aircraft is drawn `elapsed` after the
// snapshot came: whole seconds (the picture changes at most once a second),
// never more than two refresh periods, never negative.
double MotionSeconds(std::chrono::seconds period, Clock::duration elapsed);

// Every moving aircraft of the snapshot placed `seconds` ahead of where it
// was reported (Reported* of each pilot); the others stay at their report.
// Returns how many moved.
int PlaceAircraft(Snapshot& snapshot, double seconds);

}  // namespace kestrava
