// ServInfo fir.dat and the IvAe pair firs.dat + fir.dat.
#include <optional>

#include "firforge/source_readers.h"
#include "formats/text.h"

namespace kestrava {

void ReadServInfoLines(const std::vector<std::string>& lines, ConversionState& state) {
    for (const std::string& line : lines) {
        std::vector<std::string> fields = Split(line, ",");
        if (fields.size() == 3) {
            CollectPoint(state, GeoPoint{RoundTo(ReadNumber(fields[0]), 2),
                                         RoundTo(ReadNumber(fields[1]), 2)});
        } else if (fields.size() == 9) {
            WriteSector(state);
            CurrentSector sector;
            sector.Id = fields[0];
            // An oceanic sector carries "_O" after its id.
            if (EndsWith(ToLower(fields[6]), "oo")) sector.Id += "_O";
            sector.LabelLat = RoundTo(ReadNumber(fields[7]), 1);
            sector.LabelLon = RoundTo(ReadNumber(fields[8]), 1);
            StartSector(state, sector);
        }
    }
}

SectorCatalogue ReadSectorCatalogue(const std::vector<std::string>& lines) {
    SectorCatalogue catalogue;
    for (const std::string& line : lines) {
        // At least ten fields, however short the line.
        std::vector<std::string> fields = Split(line + ":::::::::", ":");
        CatalogueEntry entry;
        entry.Id = fields[1].empty() ? fields[0] : fields[0] + "_" + fields[1];
        // A line without an id names nothing a header could match.
        if (entry.Id.empty()) continue;
        entry.SectorPlace = fields[2];
        entry.SectorName = fields[3];
        entry.LabelLat = static_cast<float>(ReadNumber(fields[5]));
        entry.LabelLon = static_cast<float>(ReadNumber(fields[6]));
        entry.MatchKey = fields[7].empty() ? entry.Id : fields[7];
        catalogue.push_back(std::move(entry));
    }
    return catalogue;
}

namespace {

CurrentSector SectorOf(const CatalogueEntry& entry) {
    CurrentSector sector;
    sector.Id = entry.Id;
    sector.SectorName = entry.SectorName;
    sector.SectorPlace = entry.SectorPlace;
    sector.LabelLat = entry.LabelLat;
    sector.LabelLon = entry.LabelLon;
    return sector;
}

// The block under `key` ends: the first entry that matches it gets the
// polygon, every further one shares it through an alias line.
void CloseBlock(const std::optional<std::string>& key, const SectorCatalogue& catalogue,
                ConversionState& state) {
    if (!key) return;
    bool first = true, written = false;
    for (const CatalogueEntry& entry : catalogue) {
        if (entry.MatchKey != *key) continue;
        if (first) {
            written = WriteSector(state);
            first = false;
            continue;
        }
        // Aliases only point at a polygon written for their own block, and
        // each id is listed once.
        if (!written || state.WrittenSectors.count(ToUpper(entry.Id))) continue;
        WriteAliasLine(state, SectorOf(entry));
        if (state.Log) state.Log(" Aliased sector " + entry.Id);
    }
}

}  // namespace

void ReadIvAeOutlines(const std::vector<std::string>& lines, const SectorCatalogue& catalogue,
                      ConversionState& state) {
    std::optional<std::string> key;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!StartsWith(line, "!")) {
            std::vector<std::string> fields = Split(line, ":");
            if (fields.size() == 2)
                CollectPoint(state, GeoPoint{static_cast<float>(ReadNumber(fields[0])),
                                             static_cast<float>(ReadNumber(fields[1]))});
            continue;
        }
        std::optional<std::string> next = line.substr(1);
        // A block closed by its own header: the line after it is the next header.
        if (next == key) {
            if (i + 1 < lines.size()) {
                const std::string& following = lines[++i];
                next = following.empty() ? std::string() : following.substr(1);
            } else {
                next.reset();
            }
        }
        CloseBlock(key, catalogue, state);
        ClearPoints(state);
        key = next;
        state.Sector = CurrentSector{};
        if (key) {
            for (const CatalogueEntry& entry : catalogue) {
                if (entry.MatchKey == *key) {
                    state.Sector = SectorOf(entry);
                    break;
                }
            }
        }
    }
    CloseBlock(key, catalogue, state);
    ClearPoints(state);
}

}  // namespace kestrava
