// Sector files (.sct, .sct2): navaid sections and the fixed-column outline
// lines of the ARTCC sections.
#include <array>

#include "firforge/source_readers.h"
#include "formats/text.h"

namespace kestrava {

namespace {

constexpr std::string_view kCoordinateLayout = "?###.##.##.###";
constexpr std::string_view kOutlineLayout =
    "?????????? ?????????????? ?????????????? ?????????????? ??????????????*";
constexpr std::string_view kSegmentLayout =
    "?????????? ?###.##.##.### ?###.##.##.### ?###.##.##.### ?###.##.##.###*";
constexpr size_t kOutlineWidth = 70;
constexpr size_t kNameWidth = 11;    // the name field and the blank after it
constexpr size_t kFieldWidth = 14;

struct NavaidLayout {
    std::string_view Pattern;
    size_t NameStart, NameLength, LatitudeStart, LongitudeStart;  // 0-based
};

// VOR and NDB lines with a 3-letter name, with a 5-letter name, and fixes.
constexpr std::array<NavaidLayout, 3> kNavaidLayouts = {{
    {"??? ?????????###.##.##.### ?###.##.##.###*", 0, 3, 12, 27},
    {"???????????????###.##.##.###??###.##.##.###*", 0, 5, 14, 29},
    {"???????###.##.##.###??###.##.##.###*", 0, 5, 6, 21},
}};

enum class Mode { Skip, Navaids, Outlines };

Mode ModeOfSection(const std::string& line, const std::string& chosen) {
    std::string name = ToUpper(Trim(line));
    if (name == "[VOR]" || name == "[NDB]" || name == "[FIXES]") return Mode::Navaids;
    if (name == "[ARTCC]" || name == "[ARTCC HIGH]" || name == "[ARTCC LOW]")
        return name == ToUpper(chosen) ? Mode::Outlines : Mode::Skip;
    return Mode::Skip;
}

GeoPoint SegmentEnd(const std::string& line, size_t firstField) {
    size_t latStart = kNameWidth + firstField * (kFieldWidth + 1);
    return GeoPoint{ReadCoordinateText(std::string_view(line).substr(latStart, kFieldWidth)),
                    ReadCoordinateText(std::string_view(line).substr(latStart + kFieldWidth + 1, kFieldWidth))};
}

// One normalised outline line: a segment of the sector named in its first
// columns, or (blank name) of the current sector.
void ReadSegment(const std::string& line, ConversionState& state, bool& sectorStarted) {
    if (!MatchesLayout(line, kSegmentLayout)) return;
    std::string name = Trim(line.substr(0, kNameWidth));
    GeoPoint from = SegmentEnd(line, 0);
    GeoPoint to = SegmentEnd(line, 2);
    if (name.empty()) {
        // Segments before the first named line belong to no sector.
        if (!sectorStarted) return;
        name = state.Sector.Id;
    }
    if (sectorStarted && name == state.Sector.Id) {
        for (const GeoPoint& p : {from, to}) {
            GeoPoint last = state.PointBuffer.empty() ? GeoPoint{0, 0} : state.PointBuffer.back();
            bool repeated = p.Latitude == last.Latitude && p.Longitude == last.Longitude;
            bool marker = p.Latitude == kNotACoordinate || p.Longitude == kNotACoordinate;
            if (!repeated && !marker) CollectPoint(state, p);
        }
        return;
    }
    if (sectorStarted) WriteSector(state);
    CurrentSector sector;
    sector.Id = name;
    StartSector(state, sector);
    CollectPoint(state, from);
    CollectPoint(state, to);
    sectorStarted = true;
}

}  // namespace

bool MatchesLayout(std::string_view text, std::string_view pattern) {
    size_t i = 0;
    for (size_t k = 0; k < pattern.size(); ++k) {
        char p = pattern[k];
        if (p == '*') {
            if (k + 1 == pattern.size()) return true;
            for (size_t start = i; start <= text.size(); ++start)
                if (MatchesLayout(text.substr(start), pattern.substr(k + 1))) return true;
            return false;
        }
        if (i >= text.size()) return false;
        char c = text[i++];
        if (p == '?') continue;
        if (p == '#') {
            if (c < '0' || c > '9') return false;
        } else if (c != p) {
            return false;
        }
    }
    return i == text.size();
}

bool IsCoordinateText(std::string_view text) {
    return text.size() == kCoordinateLayout.size() && MatchesLayout(text, kCoordinateLayout);
}

float ReadCoordinateText(std::string_view text) {
    if (!IsCoordinateText(text)) return kNotACoordinate;
    double degrees = ReadNumber(text.substr(1, 3));
    double minutes = ReadNumber(text.substr(5, 2));
    double seconds = ReadNumber(text.substr(8, 6));
    float value = RoundTo(degrees + minutes / 60 + seconds / 3600, 2);
    return (text[0] == 'S' || text[0] == 'W') ? -value : value;
}

void ReadNavaidLine(std::string_view line, NavaidTable& navaids) {
    for (const NavaidLayout& layout : kNavaidLayouts) {
        if (!MatchesLayout(line, layout.Pattern)) continue;
        std::string name = Trim(line.substr(layout.NameStart, layout.NameLength));
        if (name.empty()) continue;
        navaids.try_emplace(ToUpper(name),
                            NavaidCoordinates{std::string(line.substr(layout.LatitudeStart, kFieldWidth)),
                                              std::string(line.substr(layout.LongitudeStart, kFieldWidth))});
    }
}

std::string NormaliseOutlineLine(std::string_view line, const NavaidTable& navaids) {
    std::string padded(line);
    if (padded.size() < kOutlineWidth) padded.resize(kOutlineWidth, ' ');
    if (!MatchesLayout(padded, kOutlineLayout)) return {};
    std::string rebuilt = padded.substr(0, kNameWidth);
    for (size_t k = 0; k < 4; ++k) {
        std::string field = padded.substr(kNameWidth + k * (kFieldWidth + 1), kFieldWidth);
        if (!IsCoordinateText(field)) {
            auto found = navaids.find(ToUpper(Trim(field)));
            if (found != navaids.end())
                field = (k % 2 == 0) ? found->second.Latitude : found->second.Longitude;
        }
        if (k > 0) rebuilt += ' ';
        rebuilt += field;
    }
    return rebuilt;
}

void ReadSectorFileLines(const std::vector<std::string>& lines, const std::string& section,
                         NavaidTable& navaids, ConversionState& state) {
    Mode mode = Mode::Skip;
    bool sectorStarted = false;
    for (const std::string& line : lines) {
        if (StartsWith(line, ";")) continue;
        if (StartsWith(line, "[")) {
            mode = ModeOfSection(line, section);
            continue;
        }
        if (mode == Mode::Navaids) {
            ReadNavaidLine(line, navaids);
        } else if (mode == Mode::Outlines) {
            ReadSegment(NormaliseOutlineLine(line, navaids), state, sectorStarted);
        }
    }
}

}  // namespace kestrava
