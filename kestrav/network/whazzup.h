// The whazzup snapshot parser: turns the text of one network snapshot into
// that network's Snapshot, reads the UPDATE, CONNECTED CLIENTS and RELOAD
// header values and reports the result in the status line.
#pragma once

#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrava {

// Interprets a whole snapshot for network `net` (0 IVAO, 1 VATSIM): counts
// reset, lines split at "\r\n" (else "\r", else "\n"), every line but the
// last examined in file order, at most 1400 pilots and 700 ATC records (the
// earliest lines win). Status: "<network> data downloaded, interpreting
// data...", then "<network> data interpreted" or "No data to display". A
// run-time fault ends in "No data to display (<description>)" with the
// records read so far kept.
void InterpretSnapshot(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string text);

// Fills pilot record `record` (1-based) of network `net` from a PILOT line.
void ParsePilotLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

// Fills ATC record `record` (1-based) of network `net` from an ATC line,
// classifying the station and placing it at its airport or sector.
void ParseAtcLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

// Where a client name is cut for its degree sign, or npos when it has none.
// The sign is the byte 0xB0 (Windows-1252) or the pair 0xC2 0xB0 (UTF-8,
// cut before the 0xC2); a 0xB0 byte inside another UTF-8 character
// (Cyrillic "а" is 0xD0 0xB0) is not a degree sign.
size_t DegreeSignAt(std::string_view name);

}  // namespace kestrava
