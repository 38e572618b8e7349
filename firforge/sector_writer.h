// The state of one conversion and the writing of collected sectors into the
// texts of firdisplay.dat and firlist.dat.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "firforge/conversion.h"
#include "formats/sector_files.h"

namespace kestrava {

// The most points one sector collects; later points are left out.
inline constexpr int kPointBufferSize = 20000;

// The most intermediate points one edge gets: those of a 360-degree edge
// (no edge of a real sector is longer), however long the edge.
inline constexpr int kMaxIntermediatePoints = 360 / 4 + 1;

struct CurrentSector {
    std::string Id;
    std::string SectorName = "Unknown";
    std::string SectorPlace = "ZZ";
    float LabelLat = 0;  // 0, 0: computed from the outline
    float LabelLon = 0;
};

struct ConversionState {
    std::vector<GeoPoint> PointBuffer;  // the collected points, in order
    int PointsLeftOut = 0;              // points beyond kPointBufferSize
    CurrentSector Sector;
    int ListCounter = 0;                // the last ListNumber given
    int SectorsWritten = 0;
    std::unordered_set<std::string> WrittenSectors;  // upper-cased ids
    std::string Display;                // firdisplay.dat so far
    std::string List;                   // firlist.dat so far
    LogSink Log;
    // ServInfo and IvAe points are numbers of any size: a sector with a
    // point out of range (FirstPointOutOfRange) is refused. Sector-file
    // coordinates are fixed-width texts and keep their marker points.
    bool RefuseOutOfRange = false;
};

// A fresh state for a conversion of the source type (the list counter set
// from r, see ListCounterStart).
ConversionState StartConversion(SourceType source, double r, LogSink log);

// Forgets the collected points and makes `sector` the current one.
void StartSector(ConversionState& state, CurrentSector sector);
void ClearPoints(ConversionState& state);

// Appends a point to PointBuffer, unless it is full.
void CollectPoint(ConversionState& state, GeoPoint point);

// Writes the collected sector (ring closed, runs straightened, long edges
// subdivided) as the next polygon and its firlist.dat line. Returns false,
// writing nothing, when fewer than 4 points were collected, the id is
// already listed (before or after its suffix is removed), or a point is out
// of range where RefuseOutOfRange is set (logged with the sector and the
// point).
bool WriteSector(ConversionState& state);

// The first point beyond +-90 latitude or +-360 longitude (NaN included), or
// nullptr when every point is in range. Longitudes past +-180 are real: a
// sector drawn across the date line runs on to -184 or -197 rather than
// jumping to the other side.
const GeoPoint* FirstPointOutOfRange(const std::vector<GeoPoint>& points);

// Appends a firlist.dat line for another id that shares the last polygon.
void WriteAliasLine(ConversionState& state, const CurrentSector& alias);

// The id without its position suffixes "_CTR", "_FSS", "_APP", "_TWR",
// "_GND", "_DEL", "_DEP", tested in this order, each on the shortened id.
std::string RemoveSuffixes(std::string id);

// Logs the closing lines and appends "DISPLAY_LIST_END".
void FinishConversion(ConversionState& state);

// Writes both texts into the folder under temporary names, then renames them
// to firdisplay.dat and firlist.dat: both or neither. False (logged) when
// that fails; else the log ends with "No sectors found: the written pair is
// empty" when no sector was written, then the two files' full paths.
bool WriteOutputPair(const ConversionState& state, const std::string& folder);

// Rounds to `decimals` places, halves to even.
float RoundTo(double value, int decimals);

}  // namespace kestrava
