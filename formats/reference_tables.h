// The reference tables every part of the viewer looks up: the airports of
// airports.dat and the sector entries of firlist.dat, read once from their
// files into typed records. Codes and ids are looked up without regard to
// case; a repeated one keeps its first entry. Both files are lines of six
// ":" fields; a line with fewer is skipped.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrava {

// code:name:town:country:latitude:longitude
struct Airport {
    std::string Code;
    std::string Name;
    std::string Town;
    std::string Country;
    float Latitude = 0;
    float Longitude = 0;
    // A position of 0, 0 is no position: the file's way of saying unknown.
    bool Placed() const { return Latitude != 0 || Longitude != 0; }
};

// id:name:country:label latitude:label longitude:polygon number
struct SectorEntry {
    std::string Id;
    std::string Name;
    std::string Country;
    float LabelLatitude = 0;
    float LabelLongitude = 0;
    int Polygon = 0;  // the sector's number in firdisplay.dat; 0 or below: none
};

// Records of type T by their key, without regard to case.
template <typename T>
class ReferenceTable {
public:
    // Adds the record under `key`; false (and nothing changes) when the key
    // is present.
    bool Add(std::string_view key, T record);
    const T* Find(std::string_view key) const;
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    void Clear() { entries_.clear(); }

private:
    std::unordered_map<std::string, T> entries_;
};

using AirportTable = ReferenceTable<Airport>;
using SectorTable = ReferenceTable<SectorEntry>;

// The lines of airports.dat / firlist.dat into the table; gives the number
// of lines that hold something yet could not be read (too few fields).
int ReadAirportLines(const std::vector<std::string>& lines, AirportTable& airports);
int ReadSectorLines(const std::vector<std::string>& lines, SectorTable& sectors);
// The same from a file; false when it cannot be read. `lines` and `damaged`
// (when given) take the number of lines that hold something and of the
// unreadable ones among them.
bool ReadAirportFile(const std::string& path, AirportTable& airports, int* lines = nullptr, int* damaged = nullptr);
bool ReadSectorFile(const std::string& path, SectorTable& sectors, int* lines = nullptr, int* damaged = nullptr);

}  // namespace kestrava
