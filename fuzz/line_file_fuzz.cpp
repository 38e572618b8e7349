// Coastline and border files: point lines and "end" lines, read in the
// fixed form (coastlines) or the free form cut at the first comma (borders).
// First byte: the form (odd free); the rest: the file.
#include "formats/line_files.h"
#include "formats/text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrava;
    if (size == 0) return 0;
    const std::vector<std::string> lines = TextLines(fuzzing::Text(data + 1, size - 1));
    const std::vector<LineSegment> segments = LineSegmentsFromLines(lines, data[0] & 1);
    fuzzing::Require(segments.size() <= lines.size(), "at most one segment a line");
    return 0;
}
