#include "line_files.h"

#include "text.h"

namespace kestrava {

LinePoint ReadLinePoint(const std::string& line) {
    size_t colon = line.find(':');
    LinePoint p;
    p.Latitude = static_cast<float>(ReadNumber(std::string_view(line).substr(0, colon)));
    if (colon != std::string::npos)
        p.Longitude = static_cast<float>(ReadNumber(std::string_view(line).substr(colon + 1)));
    return p;
}

std::vector<LineSegment> LineSegmentsFromLines(const std::vector<std::string>& lines,
                                               bool freeFormat) {
    std::vector<LineSegment> segments;
    LinePoint previous;
    for (const std::string& raw : lines) {
        std::string line = raw;
        if (freeFormat) line = Trim(line.substr(0, line.find(',')));
        LinePoint before = previous;
        if (line == "end") before = LinePoint{};
        LinePoint current = ReadLinePoint(line);
        if (before.Latitude + before.Longitude != 0.0f) segments.push_back({before, current});
        previous = current;
    }
    return segments;
}

bool ReadLineSegments(const std::string& path, bool freeFormat, std::vector<LineSegment>& segments) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return false;
    segments = LineSegmentsFromLines(lines, freeFormat);
    return true;
}

}  // namespace kestrava
