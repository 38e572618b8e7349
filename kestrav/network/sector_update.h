// The viewer's update of its sector data from the VAT-Spy data project:
// the map_data answer at [Network] SectorDataUrl names the current commit
// and the addresses of VATSpy.dat and Boundaries.geojson; a commit other
// than the one kept beside the last update is fetched, converted (firforge's
// conversion), checked and written into the user's data folder, both files
// whole or neither.
//
// Plain C++ and blocking: the window runs it on a thread of its own and
// takes the result back on its thread (reloading the sector lists).
#pragma once

#include <string>
#include <string_view>

#include "formats/settings.h"  // kDefaultSectorDataUrl
#include "kestrav/network/transfer.h"

namespace kestrava {

// Beside the updated pair: the commit it was made from.
inline constexpr const char* kSectorHashName = "sectordata.hash";

struct SectorUpdateOptions {
    std::string MapDataUrl = kDefaultSectorDataUrl;
    std::string Folder;        // receives firdisplay.dat, firlist.dat and the hash
    std::string AirportsPath;  // airports.dat, for the place codes
    int ShippedSectors = 0;    // lines of the shipped firlist.dat: at least half as many are wanted
    TransferOptions Transfer;
};

enum class SectorUpdateOutcome { UpToDate, Updated, Failed };

struct SectorUpdateResult {
    SectorUpdateOutcome Outcome = SectorUpdateOutcome::Failed;
    std::string Message;  // for the status line
    std::string Hash;     // the commit of the answer
    int Sectors = 0;      // lines of the new list
    int Polygons = 0;
};

// The steps in order; a failed one keeps the pair there was and its message
// names the step ("Sector update failed (fetching VATSpy.dat): HTTP error 404").
SectorUpdateResult UpdateSectorData(const SectorUpdateOptions& options);

// The map_data answer's fields; false with the reason when the text is not a
// JSON object with the three keys, or an address is not http or https.
struct MapData {
    std::string Hash;
    std::string VatSpyUrl;
    std::string BoundariesUrl;
};
bool ReadMapData(std::string_view json, MapData& data, std::string& error);

// The pair's checks: every polygon at least 3 points within the globe's
// ranges, every list line's polygon present, the list read back whole, and
// at least half of `shippedSectors` lines. False with the reason.
bool CheckSectorPair(const std::string& display, const std::string& list, int shippedSectors, std::string& error);

}  // namespace kestrava
