#include "formats/reference_tables.h"

#include "formats/sector_files.h"
#include "formats/text.h"

#include <algorithm>
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

int LinesWithText(const std::vector<std::string>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return !Trim(line).empty();
    }));
}

// Each line of six fields into the table as `make` turns it into a record;
// gives how many lines with text were not of that form.
template <typename Table, typename Make>
int ReadTableLines(const std::vector<std::string>& lines, Table& table, Make make) {
    KeyedLine keyed;
    int damaged = 0;
    for (const std::string& line : lines) {
        if (!SplitKeyedLine(line, keyed)) {
            damaged += !Trim(line).empty();
            continue;
        }
        table.Add(keyed.Key, make(keyed.Key, keyed.Items));
    }
    return damaged;
}
}  // namespace

int ReadAirportLines(const std::vector<std::string>& lines, AirportTable& airports) {
    return ReadTableLines(lines, airports, [](const std::string& key, std::vector<std::string>& f) {
        return Airport{key, std::move(f[0]), std::move(f[1]), std::move(f[2]), Coordinate(f[3]), Coordinate(f[4])};
    });
}

int ReadSectorLines(const std::vector<std::string>& lines, SectorTable& sectors) {
    return ReadTableLines(lines, sectors, [](const std::string& key, std::vector<std::string>& f) {
        return SectorEntry{key, std::move(f[0]), std::move(f[1]), Coordinate(f[2]), Coordinate(f[3]),
                           ReadListNumber(f[4])};
    });
}

namespace {
// A file's lines through `read`, which gives how many it could not read.
template <typename Table, typename Read>
bool ReadTableFile(const std::string& path, Table& table, int* lines, int* damaged, Read read) {
    std::vector<std::string> text;
    if (!ReadLines(path, text)) return false;
    const int unreadable = read(text, table);
    if (lines) *lines = LinesWithText(text);
    if (damaged) *damaged = unreadable;
    return true;
}
}  // namespace

bool ReadAirportFile(const std::string& path, AirportTable& airports, int* lines, int* damaged) {
    return ReadTableFile(path, airports, lines, damaged, ReadAirportLines);
}

bool ReadSectorFile(const std::string& path, SectorTable& sectors, int* lines, int* damaged) {
    return ReadTableFile(path, sectors, lines, damaged, ReadSectorLines);
}

}  // namespace kestrava
