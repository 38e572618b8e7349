// The whazzup snapshot parser: turns the text of one network snapshot into
// a Snapshot and reads the UPDATE, CONNECTED CLIENTS and RELOAD header
// values.
#pragma once

#include "kestrav/network/client_rules.h"  // DegreeSignAt
#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrava {

// True when the text splits into lines at "\r\n" (else "\r", else "\n"):
// at least five elements.
bool LooksLikeSnapshotText(std::string_view text);

// Reads a whole snapshot of network `net` (0 IVAO, 1 VATSIM) into `s`, whose
// counts start at 0: every line but the last examined in file order, at most
// kMaxPilots pilots and kMaxAtcClients ATC records (the earliest lines win).
// Airports and sectors are looked up in `lookups`, which is only read.
// Returns how many client lines the caps left out; a run-time fault is
// thrown (fault.h).
int ReadSnapshotText(const NetworkModel& lookups, Snapshot& s, std::uint8_t net, std::string_view text);

// The text snapshot shown as a downloaded feed is (InterpretFeed of feed.h,
// text only): the status texts, then the snapshot shown or the shown one
// kept.
void InterpretSnapshot(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string text);

// "<network> data interpreted", followed by " (N clients left out)" when
// the caps left clients out.
std::string InterpretedStatus(const std::string& network, int leftOut);
// " (N clients left out)" (" (1 client left out)"); empty for none.
std::string LeftOutNote(int leftOut);

// Fills pilot record `record` (1-based) of network `net`'s shown snapshot
// from a PILOT line.
void ParsePilotLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

// Fills ATC record `record` (1-based) of network `net` from an ATC line,
// classifying the station and placing it at its airport or sector.
void ParseAtcLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record);

}  // namespace kestrava
