// The console's commands. ReadText calls each one after the line's form has
// been checked and its echo written; arguments arrive normalised (codes and
// callsigns upper case, find's text lower case). Every command answers with
// ConsoleOutput::AddText and ends its answer with "\r\n".
#pragma once

#include "kestrav/companion/console.h"

#include <string>
#include <string_view>

namespace kestrava::companion {

// --- Any time ----------------------------------------------------------------
// metar, taf or shorttaf: the NOAA station file of the airport.
void Weather(Companion& c, const std::string& verb, const std::string& code);
void Help(Companion& c);
// The airport's names, its marker, and the map centred on it.
void Icao(Companion& c, const std::string& code);
// The window's sector update, begun beside it; the status line tells how it
// ends.
void UpdateSectors(Companion& c);
// The distance between two airports or callsigns.
void Dist(Companion& c, const std::string& a, const std::string& b);
// The watched airport codes and sector ids: ATC opening there notifies.
void Watch(Companion& c, const std::string& code);
void Unwatch(Companion& c, const std::string& code);
void Watches(Companion& c);

// --- With data of the shown network (0 or 1) ----------------------------------
void Atis(Companion& c, const std::string& callsign);
void FlightPlan(Companion& c, const std::string& callsign);
void Info(Companion& c, const std::string& who);  // callsign or member id
void Profile(Companion& c, const std::string& who);
void Stat(Companion& c);
void Sups(Companion& c);
void Refresh(Companion& c);
void Visible(Companion& c, const std::string& callsign);
void Members(Companion& c, const std::string& place);
void Find(Companion& c, const std::string& text);
void Activity(Companion& c, const std::string& code);
void TrafficInPlace(Companion& c, const std::string& place);
void TrafficAtAirport(Companion& c, const std::string& code);

// --- Pieces ---------------------------------------------------------------------
// An airport code as the commands accept it: four letters or digits.
bool IsAirportCode(std::string_view code);
// Windows-1252 letters in upper or lower case, accented ones included.
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);
// A number with a fixed count of decimals and "." ("12.50"), whatever the
// locale.
std::string FixedDecimals(double value, int decimals);
// Characters 9-12 of a yyyymmddhhmmss stamp (hhmm); fewer when the stamp
// is shorter.
std::string StampClock(std::string_view stamp);
// The filed cruise speed and level of a flight plan's fourth line.
std::string FiledSpeed(const std::string& cruiseSpeed);
std::string FiledLevel(const std::string& plannedAltitude);

}  // namespace kestrava::companion
