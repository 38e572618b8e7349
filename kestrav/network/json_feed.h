// The JSON forms of the network feeds, read with one simdjson parser (DOM)
// kept for the whole run:
// - the VATSIM v3 data feed (an object with "general" and "pilots") and
//   IVAO's v2 whazzup (an object with "clients"), read into a network's
//   Snapshot with the text parser's rules (client_rules.h);
// - VATSIM's status.json (data.v3[], data.transceivers[], user[]);
// - VATSIM's transceivers-data.json, as the centre of each callsign's
//   transceivers.
// JSON strings are UTF-8; the records keep Windows-1252 ("?" for what it
// cannot hold). In a record a value of the wrong type reads as missing and
// an absurd number is clamped or read as 0; a record that is not an object
// is left out.
#pragma once

#include "kestrav/network/model.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace kestrava {

// True when the body's first character other than blanks (and a UTF-8 byte
// order mark) opens a JSON object.
bool LooksLikeJsonObject(std::string_view body);

enum class JsonFeedKind { NotAFeed, Interpreted, Refused };

struct JsonFeedResult {
    JsonFeedKind Kind = JsonFeedKind::NotAFeed;
    int LeftOut = 0;    // records past the caps, and records that are not objects
    std::string Error;  // why it was refused: "Invalid JSON at byte 81234"
};

// The centre (mean latitude and longitude) of each callsign's transceivers,
// keyed by the callsign in upper case.
using TransceiverCentres = std::unordered_map<std::string, std::pair<float, float>>;

// Reads a VATSIM v3 or IVAO v2 feed into `s`: the counts, records,
// UpdateStamp, ReloadMinutes and ClientTotal; stations without a position
// of their own report from `centres`. Airports and sectors are looked up in
// `lookups`, which is only read. NotAFeed (nothing touched) for valid JSON
// of neither form; Refused (nothing touched) for invalid JSON. The body gets
// the parser's padding appended to its capacity.
JsonFeedResult ReadJsonFeed(const NetworkModel& lookups, Snapshot& s, const TransceiverCentres& centres,
                            std::string& body);

// The addresses of VATSIM's status.json: data.v3[] as the snapshot
// addresses, data.transceivers[] as the transceiver addresses (9 of each at
// most) and user[0] as the profile address. False when the body is not a
// JSON object.
bool ReadStatusJson(Snapshot& snapshot, std::string& body);

// The centres of a transceiver list; false, with `centres` empty, when the
// body is not a JSON array.
bool ReadTransceiverCentres(std::string& body, TransceiverCentres& centres);

}  // namespace kestrava
