// firforge's conversion of VAT-Spy data chosen by hand: the two files read
// from one folder, the pair written with the converter's writer.
#include <filesystem>

#include "firforge/sector_writer.h"
#include "firforge/vatspy_data.h"
#include "formats/text.h"

namespace kestrava {

namespace {

constexpr const char* kVatSpyName = "VATSpy.dat";
constexpr const char* kBoundariesName = "Boundaries.geojson";


}  // namespace

std::vector<std::string> DescribeConversion(const VatSpyConversion& c) {
    int oceanic = 0, joins = 0, duplicates = 0, leftOut = 0;
    for (const VatSpyRegion& r : c.Regions) {
        oceanic += r.Oceanic;
        joins += r.Joins;
        duplicates += r.Duplicates;
        leftOut += r.LeftOut;
    }
    std::vector<std::string> lines{
        "Read " + std::to_string(c.Countries) + " countries, " + std::to_string(c.FirRows) + " FIRs and " +
            std::to_string(c.UirRows) + " UIRs",
        "Regions: " + std::to_string(c.Regions.size()) + " (" + std::to_string(oceanic) + " oceanic), " +
            std::to_string(joins) + " joined at the 180th meridian, " + std::to_string(duplicates) +
            " repeated rings dropped, " + std::to_string(leftOut) + " rings left out, " +
            std::to_string(c.HolesLeftOut) + " holes left out",
    };
    lines.insert(lines.end(), c.Notes.begin(), c.Notes.end());
    lines.push_back("Wrote " + std::to_string(c.Polygons) + " polygons (" + std::to_string(c.AddedPoints) +
                    " points added on long edges) and " + std::to_string(c.Sectors) + " sectors");
    return lines;
}

bool ConvertVatSpyRequest(const ConversionRequest& request, const LogSink& log) {
    const auto say = [&](const std::string& line) {
        if (log) log(line);
    };
    const std::filesystem::path folder = std::filesystem::path(request.InputPath).parent_path();
    const std::string vatSpyPath = (folder / kVatSpyName).string();
    const std::string boundariesPath = (folder / kBoundariesName).string();
    std::string vatSpy, boundaries, airports, error;
    for (const auto& [path, text] : {std::pair{&vatSpyPath, &vatSpy}, std::pair{&boundariesPath, &boundaries}}) {
        if (!ReadWholeFile(*path, *text)) {
            say("Could not open " + *path);
            return false;
        }
        say("Read " + *path + " - " + std::to_string(text->size() / 1024) + " KB");
    }
    if (!request.AirportsPath.empty() && !ReadWholeFile(request.AirportsPath, airports))
        say("Could not open " + request.AirportsPath + ": every place code is ZZ");
    VatSpyConversion conversion;
    if (!ConvertVatSpyTexts(vatSpy, boundaries, airports, conversion, error)) {
        say(error);
        say("Nothing written");
        return false;
    }
    for (const std::string& line : DescribeConversion(conversion)) say(line);
    ConversionState state;
    state.Display = std::move(conversion.Display);
    state.List = std::move(conversion.List);
    state.Log = log;
    state.SectorsWritten = conversion.Sectors;
    return WriteOutputPair(state, request.OutputFolder);
}

}  // namespace kestrava
