// Coastline and border files: "<lat>:<lon>" point lines and "end" lines.
#pragma once

#include <string>
#include <vector>

namespace kestrava {

struct LinePoint {
    float Latitude = 0;
    float Longitude = 0;
};

struct LineSegment {
    LinePoint From;
    LinePoint To;
};

// The point of one line: the numbers of its first two colon fields.
LinePoint ReadLinePoint(const std::string& line);

// The segments the lines describe. A polyline break is recognised from the
// previous point alone: when its latitude plus longitude is 0 no segment
// starts there ("end" reads as the point 0, 0). With `freeFormat` each line
// is first cut at its first comma and trimmed, as border files are read.
std::vector<LineSegment> LineSegmentsFromLines(const std::vector<std::string>& lines,
                                               bool freeFormat);

// The same from a file; false when the file cannot be opened.
bool ReadLineSegments(const std::string& path, bool freeFormat, std::vector<LineSegment>& segments);

}  // namespace kestrava
