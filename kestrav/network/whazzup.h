// The whazzup snapshot parser: turns the text of one network snapshot into
// that network's Snapshot, reads the UPDATE, CONNECTED CLIENTS and RELOAD
// header values and reports the result in the status line.
#pragma once

#include "kestrav/network/client_rules.h"  // DegreeSignAt
#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrava {

// Interprets a whole snapshot for network `net` (0 IVAO, 1 VATSIM): counts
// reset, lines split at "\r\n" (else "\r", else "\n"), every line but the
// last examined in file order, at most kMaxPilots pilots and kMaxAtcClients
// ATC records (the earliest lines win). Status: "<network> data downloaded,
// interpreting data...", then InterpretedStatus or "No data to display". A
// run-time fault ends in "No data to display (<description>)" with the
// records read so far kept.
void InterpretSnapshot(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string text);

// "<network> data interpreted", followed by " (N clients left out)" when
// the caps left clients out.
std::string InterpretedStatus(const std::string& network, int leftOut);

// Fills pilot record `record` (1-based) of network `net` from a PILOT line.
void ParsePilotLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

// Fills ATC record `record` (1-based) of network `net` from an ATC line,
// classifying the station and placing it at its airport or sector.
void ParseAtcLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

}  // namespace kestrava
