#include "formats/reference_tables.h"

#include "formats/sector_files.h"
#include "formats/text.h"

#include <cmath>
#include <limits>

namespace kestrava {

template <typename T>
bool ReferenceTable<T>::Add(std::string_view key, T record) {
    return entries_.try_emplace(ToUpper(key), std::move(record)).second;
}

template <typename T>
const T* ReferenceTable<T>::Find(std::string_view key) const {
    auto it = entries_.find(ToUpper(key));
    return it == entries_.end() ? nullptr : &it->second;
}

template class ReferenceTable<Airport>;
template class ReferenceTable<SectorEntry>;

namespace {

// A coordinate as the file writes it; one beyond a float's range reads as 0.
float Coordinate(std::string_view text) {
    const double value = FeedNumber(text);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return 0;
    return static_cast<float>(value);
}

}  // namespace

void ReadAirportLines(const std::vector<std::string>& lines, AirportTable& airports) {
    KeyedLine keyed;
    for (const std::string& line : lines) {
        if (!SplitKeyedLine(line, keyed)) continue;
        std::vector<std::string>& f = keyed.Items;
        Airport a{keyed.Key, std::move(f[0]), std::move(f[1]), std::move(f[2]), Coordinate(f[3]), Coordinate(f[4])};
        airports.Add(keyed.Key, std::move(a));
    }
}

void ReadSectorLines(const std::vector<std::string>& lines, SectorTable& sectors) {
    KeyedLine keyed;
    for (const std::string& line : lines) {
        if (!SplitKeyedLine(line, keyed)) continue;
        std::vector<std::string>& f = keyed.Items;
        SectorEntry s{keyed.Key, std::move(f[0]), std::move(f[1]), Coordinate(f[2]), Coordinate(f[3]),
                      ReadListNumber(f[4])};
        sectors.Add(keyed.Key, std::move(s));
    }
}

bool ReadAirportFile(const std::string& path, AirportTable& airports) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    ReadAirportLines(lines, airports);
    return true;
}

bool ReadSectorFile(const std::string& path, SectorTable& sectors) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    ReadSectorLines(lines, sectors);
    return true;
}

}  // namespace kestrava
