#include "sector_files.h"

#include "text.h"

#include <iterator>
#include <utility>

namespace kestrava {

GeoPoint ReadVertexLine(const std::string& line) {
    std::vector<std::string> fields = Split(line, ":");
    GeoPoint point;
    point.Latitude = static_cast<float>(ReadNumber(fields[0]));
    point.Longitude = fields.size() > 1 ? static_cast<float>(ReadNumber(fields[1])) : 0.0f;
    return point;
}

int ReadListNumber(std::string_view text) {
    double value = RoundHalfEven(ReadNumber(text));
    // Numbers beyond the range of an int are nonsense in a list; read them as 0.
    if (!(value >= -2147483648.0 && value <= 2147483647.0)) return 0;
    return static_cast<int>(value);
}

int ReadHeaderNumber(const std::string& line) {
    if (line.size() <= 13) return 0;
    return ReadListNumber(std::string_view(line).substr(13));
}

void ReadPolygonLines(const std::vector<std::string>& lines, const PolygonHandler& onPolygon) {
    bool collecting = false;
    int number = 0;
    std::vector<GeoPoint> pending;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == 'D') {
            if (collecting) onPolygon(number, pending);
            pending.clear();
            number = ReadHeaderNumber(line);
            collecting = true;
        } else if (collecting) {
            pending.push_back(ReadVertexLine(line));
        }
    }
}

bool ReadPolygonFile(const std::string& path, const PolygonHandler& onPolygon) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    ReadPolygonLines(lines, onPolygon);
    return true;
}

bool ReadPolygonFile(const std::string& path, std::vector<SectorPolygon>& polygons) {
    return ReadPolygonFile(path, [&](int number, const std::vector<GeoPoint>& points) {
        polygons.push_back(SectorPolygon{number, points});
    });
}

bool SplitKeyedLine(const std::string& line, KeyedLine& keyed) {
    if (line.empty()) return false;
    std::vector<std::string> fields = Split(line, ":");
    if (fields.size() < 6) return false;
    keyed.Key = std::move(fields[0]);
    keyed.Items.assign(std::make_move_iterator(fields.begin() + 1), std::make_move_iterator(fields.begin() + 6));
    return true;
}

void ReadKeyedLines(const std::vector<std::string>& lines, KeyedIndex& index) {
    KeyedLine keyed;
    for (const std::string& line : lines)
        if (SplitKeyedLine(line, keyed)) index.Add(keyed.Key, std::move(keyed.Items));
}

bool ReadKeyedFile(const std::string& path, KeyedIndex& index) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    ReadKeyedLines(lines, index);
    return true;
}

}  // namespace kestrava
