// Running conversions into a temporary folder for the converter's tests.
#pragma once

#include <string>
#include <vector>

#include "firforge/conversion.h"
#include "firforge/sector_writer.h"

namespace firforgetest {

struct ConversionRun {
    bool Ok = false;
    std::vector<std::string> Log;  // without its closing lines below
    // A written pair's closing lines: the two files' full paths (and, before
    // them, the note of an empty pair).
    std::vector<std::string> Written;
    std::string Folder;
    std::string Display;  // firdisplay.dat as written ("" when absent)
    std::string List;     // firlist.dat
};

// Converts `input` with the random number r into a fresh folder.
ConversionRun RunConversion(kestrava::SourceType source, const std::string& input, double r = 0.0,
                            const std::string& section = "[ARTCC]");
ConversionRun RunConversion(kestrava::SourceType source, const std::string& input,
                            kestrava::NavaidTable& navaids, double r, const std::string& section,
                            const std::string& folder);

// Writes the text into a file of a fresh folder and returns its path.
std::string WriteInput(const std::string& name, const std::string& text);

// The lines of a CR LF text (the last, empty element dropped).
std::vector<std::string> CrLfLines(const std::string& text);

// A state with a log that collects into `log`.
kestrava::ConversionState StateWithLog(std::vector<std::string>& log, double r = 0.0);

// A sector of the given points in the state.
void Collect(kestrava::ConversionState& state, const std::string& id,
             const std::vector<kestrava::GeoPoint>& points);

}  // namespace firforgetest
