// What the sector viewer loads, without a window: the coastline and border
// files, and a sector pair (firlist.dat with the firdisplay.dat beside it),
// with the status texts that report each load.
#pragma once

#include "formats/colour_theme.h"
#include "formats/keyed_index.h"
#include "formats/line_files.h"
#include "formats/sector_files.h"

#include <string>
#include <vector>

namespace kestrava::firglass {

// --- Colours of the picture ------------------------------------------------
inline constexpr Rgb kGridColour{0.18f, 0.18f, 0.18f};
inline constexpr Rgb kSectorColour{0.4f, 0.8f, 0.6f};
inline constexpr float kSectorFillAlpha = 0.3f;
inline constexpr float kSectorOutlineAlpha = 0.6f;
inline constexpr Rgb kLabelColour{1, 1, 1};

// --- Coastlines and borders ---------------------------------------------------
enum class LineFile { Coastlines, Countries };

struct LineFileInfo {
    const char* Name;  // "coastline.dat": the dialog's preset, filter and title
    Rgb Colour;        // drawn at line width 1
};
const LineFileInfo& InfoOf(LineFile file);

// "Loading coastline.dat..." and "coastline.dat loaded (N lines)".
std::string LoadingText(const std::string& fileName);
std::string LinesLoadedText(const std::string& fileName, size_t segments);

// --- Sector pairs -------------------------------------------------------------
// One line of the list: its id and polygon number as read, and its text
// "<id> / <SectorName> (<ListNumber>)".
struct SectorLine {
    std::string Id;
    int ListNumber = 0;
    std::string Text;
};

struct SectorPair {
    std::vector<SectorPolygon> Polygons;  // numbered above 0, in file order
    size_t Edges = 0;                     // the vertices of those polygons
    int SkippedPolygons = 0;              // numbered 0 or below
    std::vector<SectorLine> Lines;        // one per firlist.dat line kept
    KeyedIndex Table;                     // fields 2-6 under the id; a repeated id keeps its first
    int SkippedLines = 0;                 // non-empty lines with fewer than six fields
    int RepeatedIds = 0;                  // lines whose id an earlier line has
};

// firdisplay.dat in the folder of the chosen file, whatever that is called.
std::string DisplayPathFor(const std::string& listPath);

enum class PairRead { Read, DisplayMissing, DisplayUnreadable, ListUnreadable };

// Reads firdisplay.dat (beside the list) and the list itself; `pair` is
// filled only when both were read.
PairRead ReadSectorPair(const std::string& listPath, SectorPair& pair);

// The same from the lines of both files.
SectorPair SectorPairFromLines(const std::vector<std::string>& displayLines,
                               const std::vector<std::string>& listLines);

inline constexpr const char* kDisplayMissingText = "firdisplay.dat not found in same folder as firlist.dat";
inline constexpr const char* kLoadingDisplayText = "Loading firdisplay.dat...";

// "firdisplay.dat loaded (P polygons, V edges)", followed by what was skipped
// or repeated when anything was.
std::string PairLoadedText(const SectorPair& pair);

// "Could not read " and the file.
std::string UnreadableText(const std::string& path);

}  // namespace kestrava::firglass
