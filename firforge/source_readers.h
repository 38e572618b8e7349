// The readers of the three source formats. Each turns the lines of its input
// into calls of WriteSector on the conversion state.
#pragma once

#include <string>
#include <vector>

#include "firforge/conversion.h"
#include "firforge/sector_writer.h"

namespace kestrava {

// Sector file: navaids from "[VOR]", "[NDB]" and "[FIXES]", outlines from the
// chosen ARTCC section ("[ARTCC]", "[ARTCC HIGH]" or "[ARTCC LOW]").
void ReadSectorFileLines(const std::vector<std::string>& lines, const std::string& section,
                         NavaidTable& navaids, ConversionState& state);

// ServInfo fir.dat: 9-field lines start a sector, 3-field lines are points.
void ReadServInfoLines(const std::vector<std::string>& lines, ConversionState& state);

// An entry of the IvAe firs.dat.
struct CatalogueEntry {
    std::string Id;
    std::string MatchKey;
    std::string SectorName;
    std::string SectorPlace;
    float LabelLat = 0;
    float LabelLon = 0;
};
using SectorCatalogue = std::vector<CatalogueEntry>;

SectorCatalogue ReadSectorCatalogue(const std::vector<std::string>& lines);

// IvAe fir.dat: "!" headers naming a key of the catalogue, each followed by
// "lat:lon" point lines; a header that repeats the previous key closes the
// block and the line after it is the next header.
void ReadIvAeOutlines(const std::vector<std::string>& lines, const SectorCatalogue& catalogue,
                      ConversionState& state);

}  // namespace kestrava
