// The interpretation of a downloaded feed, as a pure step and its commit.
// The reader is chosen by content: a JSON object with "general" and
// "pilots" is VATSIM's v3 feed, one with "clients" IVAO's v2 whazzup
// (json_feed.h), anything else the whazzup text (whazzup.h).
//
// ParseFeed reads a body into a new snapshot and touches nothing else: no
// window, no status line, no file; the airport and sector tables it looks
// up are only read. CommitFeed then shows a good result by swapping it in,
// or keeps the shown snapshot exactly as it was and says why.
#pragma once

#include "kestrav/network/json_feed.h"
#include "kestrav/network/model.h"

#include <cstdint>
#include <string>

namespace kestrava {

struct FeedResult {
    // True when the body was read as a feed with at least one client.
    bool Ok = false;
    // True when the body looked like a feed of some form (a JSON object, or
    // text that splits into lines): the interpretation step was reached.
    bool Readable = false;
    Snapshot Data;      // the records, counts, stamp, reload and client total
    int LeftOut = 0;    // clients past the caps
    std::string Error;  // on failure: "No data to display", with the reason in brackets
};

// Reads `body` as a feed of network `net` (0 IVAO, 1 VATSIM). Stations of a
// JSON feed without a position of their own report from `centres`.
FeedResult ParseFeed(std::string body, std::uint8_t net, const NetworkModel& lookups,
                     const TransceiverCentres& centres);

// Shows the result: on success the records, counts, UpdateStamp,
// ReloadMinutes and ClientTotal replace the network's (ground speeds past
// 2000 knots stored as 2000, as they are drawn), the data is fresh and the
// status reads "<network> data interpreted" with " (N clients left out)"
// when records were left out. On failure DownloadFailed is set, the shown
// snapshot stays and the status reads the result's Error.
void CommitFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, FeedResult result);

// A body already in hand read and shown on the caller's thread (the
// download's own steps do the same apart: FetchNetwork, CommitDownload):
// "<network> data downloaded, interpreting data..." with a frame when the
// body looks readable, then ParseFeed and CommitFeed.
void InterpretFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string body);

}  // namespace kestrava
