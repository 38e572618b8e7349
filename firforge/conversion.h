// The sector converter: sector files, ServInfo and IvAe sector data into the
// pair firdisplay.dat (polygons) + firlist.dat (sector list).
//
// Plain C++ so that the window and any command-line front end share it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kestrava {

enum class SourceType { SectorFile, ServInfo, IvAe, VatSpy };

// Receives each log line as it is produced.
using LogSink = std::function<void(const std::string& line)>;

// A uniform random number in [0, 1).
using RandomSource = std::function<double()>;

// A navaid of a sector file: its two raw 14-character coordinate texts.
struct NavaidCoordinates {
    std::string Latitude;
    std::string Longitude;
};

// Navaid name (upper-cased) -> coordinates. Filled by sector-file
// conversions and kept for the rest of the run.
using NavaidTable = std::unordered_map<std::string, NavaidCoordinates>;

struct ConversionRequest {
    SourceType Source = SourceType::SectorFile;
    std::string InputPath;        // the sector file, ServInfo fir.dat, IvAe firs.dat, VATSpy.dat
                                  // or Boundaries.geojson
    std::string Section = "[ARTCC]";  // the outline section of a sector file
    std::string OutputFolder;     // receives firdisplay.dat and firlist.dat
    std::string AirportsPath;     // airports.dat, for the place codes of VAT-Spy data
};

// Runs one conversion. Both output files are written under temporary names
// and renamed over the old pair only when the conversion ends; when the input
// cannot be read or the output cannot be written, the log says so, the old
// pair stays as it was, and the result is false.
bool Convert(const ConversionRequest& request, NavaidTable& navaids, const LogSink& log,
             const RandomSource& random);

// Random numbers seeded from the time of day.
RandomSource TimeSeededRandom();

// The list counter at the start of a conversion (the first sector gets the
// next number): sector files (⌊r × 600⌋ + 60) × 10, ServInfo
// (⌊r × 800⌋ + 60) × 10, IvAe one less than ServInfo.
int ListCounterStart(SourceType source, double r);

// The value of a sector-file coordinate text such as "N047.26.03.000", to
// 0.01 degree, negative for "S" and "W"; kNotACoordinate for any text that
// is not 14 characters of the form "?###.##.##.###".
inline constexpr float kNotACoordinate = 555.0f;
bool IsCoordinateText(std::string_view text);
float ReadCoordinateText(std::string_view text);

// Pattern test as the column layouts are written: "?" any character, "#" a
// digit, "*" any rest (also empty), every other character itself.
bool MatchesLayout(std::string_view text, std::string_view pattern);

// The outline line with named points replaced by their navaid coordinates,
// rebuilt from its first 11 characters and four 14-character fields; empty
// when the line does not have the fixed column layout.
std::string NormaliseOutlineLine(std::string_view line, const NavaidTable& navaids);

// Adds the navaids that any of the three column layouts finds in the line.
void ReadNavaidLine(std::string_view line, NavaidTable& navaids);

}  // namespace kestrava
