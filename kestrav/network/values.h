// Small shared helpers of the viewer: field access on a snapshot line, keyed
// look-ups, the text forms of positions, ratings and online time, the flight
// state of a pilot with its arrival time, and the spherical geometry every
// part of the viewer uses (globe/sphere.h). Angles are degrees, distances nautical miles.
#pragma once

#include "globe/sphere.h"
#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrava {

// --- Field access and look-ups -------------------------------------------

// Field n (0-based) of a line split at ":"; the empty string when the line has
// no such field.
std::string FieldOf(std::string_view line, int n);

// True when the collection holds the key; keys compare without case.
bool HasKey(const FriendList& list, std::string_view key);

// True when the member id is one of the user's friends.
bool IsFriend(const NetworkModel& model, std::string_view memberId);

// The profile page of a member: `base` (a network's ProfileUrl) + "?ID=" +
// the id percent-encoded, before any fragment of the base ("#top" stays at
// the end); empty unless `base` is an http or https address and the id not
// empty. The popup's Profile button and the console use it.
std::string ProfileAddress(std::string_view base, std::string_view memberId);

// --- Text forms ------------------------------------------------------------

// N47*30.0' / S47*36.0': hemisphere, two-digit degrees, "*", minutes "00.0", "'".
// A latitude beyond +-90 shows as the pole of its sign (N90*00.0').
std::string LatitudeText(float latitude);
// E019*15.0' / W122*15.0': a value beyond +-180 is brought back once by 360;
// one still beyond +-180 after that shows as 180 of its sign (E180*00.0').
// The stored positions keep whatever the feed sent; only the text is bounded.
std::string LongitudeText(float longitude);

// Rating codes as the networks name them; "" for codes not listed.
std::string PilotRatingName(int net, int rating);
std::string ControllerRatingName(int net, int rating);

// "hh:mm" between two yyyymmddhhmmss stamps; 00:00 when the logon is later
// than the snapshot, 99:59 beyond 99 hours.
std::string OnlineTime(std::string_view logonStamp, std::string_view snapshotStamp);

// --- Flight state ----------------------------------------------------------

struct FlightState {
    std::string Status;   // "Boarding", "Departing", "Climbing", "En route", ...
    std::string Arrival;  // "1425Z", "-" when parked at the destination, "?" when unknown
    long Eta = -1;        // minutes to go, -1 when none
};

// The derived state of a pilot and its estimated arrival. The arrival clock
// starts from `updateStamp`, the UpdateStamp of the snapshot the pilot comes
// from (yyyymmddhhmmss).
FlightState FlightStatus(const PilotClient& pilot, std::string_view updateStamp);

// Cruise speed in knots from a filed "450", "N0450", "M079" or "K0830"; 0
// when unreadable or above 3000.
long CruiseKnots(std::string_view cruiseSpeed);
// The same unrounded and unlimited (M079 gives 454.25); 0 when unreadable.
double FiledKnots(std::string_view cruiseSpeed);
// Planned altitude in feet from "350", "35000", "F350", "FL350" or "A045".
double PlannedFeet(std::string_view plannedAltitude);

}  // namespace kestrava
