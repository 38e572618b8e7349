// The interpretation of a downloaded feed. The reader is chosen by content:
// a JSON object with "general" and "pilots" is VATSIM's v3 feed, one with
// "clients" IVAO's v2 whazzup (json_feed.h), anything else the whazzup text
// (whazzup.h). Whatever the reader, a feed that ends without data leaves
// the network's previous snapshot as it was: its records are set aside
// while the new ones are read and put back on failure.
#pragma once

#include "kestrav/network/model.h"

#include <cstdint>
#include <string>

namespace kestrava {

// Interprets a downloaded body for network `net` (0 IVAO, 1 VATSIM). Status:
// "<network> data downloaded, interpreting data...", then "<network> data
// interpreted", with " (N clients left out)" when records were left out, or
// "No data to display" with the reason in brackets when there is one
// ("Invalid JSON at byte 81234"); DownloadFailed is set on failure.
void InterpretFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string body);

}  // namespace kestrava
