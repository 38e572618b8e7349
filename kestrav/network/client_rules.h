// The rules that turn one client's values into a PilotClient or AtcClient,
// shared by the text snapshot parser and the JSON feed readers: names and
// home airports, aircraft forms, airport positions and the course, the
// clamps, time forms, and the facility and placement of a station taken
// from its callsign.
#pragma once

#include "formats/text.h"
#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrava {

// --- Numbers ---------------------------------------------------------------

// FeedNumber (formats/text.h) as a single / a 16-bit integer; an "Overflow"
// fault beyond range.
float FeedSingle(std::string_view text);
std::int16_t FeedInteger(std::string_view text);

// Altitude held to 0..99999 feet, ground speed to 0..9999 knots.
float ClampedAltitude(double feet);
float ClampedGroundSpeed(double knots);

// --- Pilots ----------------------------------------------------------------

// Where a client name is cut for its degree sign, or npos when it has none.
// The sign is the byte 0xB0 (Windows-1252) or the pair 0xC2 0xB0 (UTF-8,
// cut before the 0xC2); a 0xB0 byte inside another UTF-8 character
// (Cyrillic "а" is 0xD0 0xB0) is not a degree sign.
size_t DegreeSignAt(std::string_view name);

// RealName and HomeAirport from a name: cut before the degree sign, then
// before " -"; a final blank and four capitals are the home airport (the
// rest, trimmed, the name).
void AssignPilotName(PilotClient& pilot, std::string_view name);

// AircraftFull and AircraftType from a filed aircraft: "H/B744/F" is a B744,
// in full B744/F; "B73/L" a B73; "C1/X" a C1.
void AssignAircraft(PilotClient& pilot, std::string_view aircraft);

// The airport's stored position; false, leaving the values, when the
// airport is unknown or stored at "0:0".
bool AirportLatLon(const NetworkModel& model, std::string_view code, float& lat, float& lon);

// DepLatitude/DepLongitude and DestLatitude/DestLongitude from the airports
// of Departure and Destination, then Course: towards the destination when
// its position is known, else away from the departure; 0 unless the
// departure is a four-letter code.
void PlaceRoute(const NetworkModel& model, PilotClient& pilot);

// Left-padded with "0" to `width` characters.
void AssignPadded(std::string& out, std::string_view text, size_t width);
// A filed departure time: up to 4 characters, left-padded with "0" ("905"
// departs at 0905); a longer text is no time and leaves `out` as it is.
void AssignDepartureTime(std::string& out, std::string_view text);

// "first second" without blanks at either end (the Software field).
void AssignJoinedTrimmed(std::string& out, std::string_view first, std::string_view second);

// --- Stations --------------------------------------------------------------

// RealName of a station: cut before the degree sign and trimmed.
void AssignAtcName(AtcClient& atc, std::string_view name);

// Facility from the callsign's last four characters: ATIS 2, _DEL/_GND 3,
// _TWR 4, _DEP/_APP 5, _CTR 6, _FSS 7, anything else 0.
FacilityKind FacilityOf(std::string_view callsign);

// Location and display position of a station whose Callsign, Facility and
// reported position are set: the code before the callsign's first "_" (a
// code shorter than 2 makes it an observer, facility 0); airport stations
// (2..5) at their airport ("K" added to a 3-letter US code when that airport
// is known), centres and flight service (6, 7) at their sector's label.
// Returns true for an observer (facility 0 or 1), which stays where it
// reported.
bool PlaceStation(const NetworkModel& model, AtcClient& atc);

}  // namespace kestrava
