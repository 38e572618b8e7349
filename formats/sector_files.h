// Sector polygon files (firdisplay.dat, firdisplay.sup) and the keyed list
// files (firlist.dat, airports.dat), read the way the viewer and the sector
// viewer read them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "keyed_index.h"

namespace kestrava {

struct GeoPoint {
    float Latitude = 0;
    float Longitude = 0;
};

struct SectorPolygon {
    int Number = 0;
    std::vector<GeoPoint> Points;
};

using PolygonHandler = std::function<void(int number, const std::vector<GeoPoint>& points)>;

// The vertex of one "<lat>:<lon>" line; an empty line reads as (0, 0).
GeoPoint ReadVertexLine(const std::string& line);

// A list number as the sector files write it (a polygon header's, or the
// last field of a firlist.dat line): the number rounded to a whole one, 0
// when it lies beyond the range of an int.
int ReadListNumber(std::string_view text);

// The polygon number of a header line: the whole number after its first 13
// characters ("DISPLAY_LIST_612" gives 612, "DISPLAY_LIST_END" gives 0).
int ReadHeaderNumber(const std::string& line);

// Hands every polygon of the lines to `onPolygon`, in file order. A line
// whose first character is "D" is a header; each header after the first
// hands over the vertices collected since the previous one under that
// previous header's number. Lines before the first header and after the
// last one are ignored, so "DISPLAY_LIST_END" closes the last polygon and
// creates none.
void ReadPolygonLines(const std::vector<std::string>& lines, const PolygonHandler& onPolygon);

// The same from a file; false when the file cannot be opened.
bool ReadPolygonFile(const std::string& path, const PolygonHandler& onPolygon);
bool ReadPolygonFile(const std::string& path, std::vector<SectorPolygon>& polygons);

// One line of a keyed list file: its key (field 1) and fields 2-6.
struct KeyedLine {
    std::string Key;
    KeyedIndex::Items Items;
};

// Splits a line at its colons; false for an empty line or one with fewer
// than six fields (fields after the sixth are ignored).
bool SplitKeyedLine(const std::string& line, KeyedLine& keyed);

// Adds each line's fields 2-6 under its field 1. Empty lines and lines with
// fewer than six fields are skipped; a repeated key keeps its first entry.
void ReadKeyedLines(const std::vector<std::string>& lines, KeyedIndex& index);

// The same from a file; false when the file cannot be opened.
bool ReadKeyedFile(const std::string& path, KeyedIndex& index);

}  // namespace kestrava
