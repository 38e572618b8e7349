#include "firforge_test_support.h"

#include <filesystem>

#include "formats/text.h"
#include "support/test_support.h"

namespace firforgetest {

using namespace kestrava;

ConversionRun RunConversion(SourceType source, const std::string& input, NavaidTable& navaids,
                            double r, const std::string& section, const std::string& folder) {
    ConversionRun run;
    run.Folder = folder;
    ConversionRequest request;
    request.Source = source;
    request.InputPath = input;
    request.Section = section;
    request.OutputFolder = folder;
    run.Ok = Convert(request, navaids, [&](const std::string& line) { run.Log.push_back(line); },
                     [r] { return r; });
    // A written pair closes the log with where it went.
    const std::string full = std::filesystem::weakly_canonical(folder).string();
    while (run.Ok && !run.Log.empty() &&
           (run.Log.back() == full + "/firdisplay.dat" || run.Log.back() == full + "/firlist.dat" ||
            run.Log.back() == "No sectors found: the written pair is empty")) {
        run.Written.insert(run.Written.begin(), run.Log.back());
        run.Log.pop_back();
    }
    run.Display = testsupport::ReadFile(folder + "/firdisplay.dat");
    run.List = testsupport::ReadFile(folder + "/firlist.dat");
    return run;
}

ConversionRun RunConversion(SourceType source, const std::string& input, double r,
                            const std::string& section) {
    NavaidTable navaids;
    return RunConversion(source, input, navaids, r, section, testsupport::MakeTempFolder("firforge-out"));
}

std::string WriteInput(const std::string& name, const std::string& text) {
    std::string path = testsupport::MakeTempFolder("firforge-in") + "/" + name;
    testsupport::WriteFile(path, text);
    return path;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines = Split(text, "\r\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

ConversionState StateWithLog(std::vector<std::string>& log, double r) {
    return StartConversion(SourceType::SectorFile, r,
                           [&log](const std::string& line) { log.push_back(line); });
}

void Collect(ConversionState& state, const std::string& id, const std::vector<GeoPoint>& points) {
    CurrentSector sector;
    sector.Id = id;
    StartSector(state, sector);
    for (const GeoPoint& p : points) CollectPoint(state, p);
}

}  // namespace firforgetest
