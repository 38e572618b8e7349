#include "firforge/conversion.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>

#include "firforge/sector_writer.h"
#include "firforge/source_readers.h"
#include "firforge/vatspy_data.h"
#include "formats/files.h"
#include "formats/text.h"

namespace kestrava {

namespace {

void Log(const LogSink& log, const std::string& line) {
    if (log) log(line);
}

bool LoadInput(const std::string& path, std::vector<std::string>& lines, const LogSink& log) {
    if (!FileExists(path) || !ReadLines(path, lines)) {
        Log(log, "Could not open " + path);
        return false;
    }
    return true;
}

void LogFileLength(const std::string& path, const LogSink& log) {
    std::error_code ec;
    auto bytes = std::filesystem::file_size(path, ec);
    double kilobytes = ec ? 0.0 : RoundHalfEven(static_cast<double>(bytes) / 1024.0);
    Log(log, "File opened - length " + std::to_string(static_cast<long long>(kilobytes)) + " KB");
}

// fir.dat lies in the folder of the chosen firs.dat, whatever that is called.
std::string OutlinePathBeside(const std::string& cataloguePath) {
    return (std::filesystem::path(cataloguePath).parent_path() / "fir.dat").string();
}

}  // namespace

int ListCounterStart(SourceType source, double r) {
    switch (source) {
        case SourceType::SectorFile:
            return (static_cast<int>(std::floor(r * 600)) + 60) * 10;
        case SourceType::ServInfo:
            return (static_cast<int>(std::floor(r * 800)) + 60) * 10;
        case SourceType::IvAe:
            return (static_cast<int>(std::floor(r * 800)) + 60) * 10 - 1;
        case SourceType::VatSpy:
            return 99;  // VAT-Spy polygons are numbered from 100
    }
    return 0;
}

RandomSource TimeSeededRandom() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto engine = std::make_shared<std::mt19937>(
        static_cast<std::mt19937::result_type>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
    return [engine]() { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

bool Convert(const ConversionRequest& request, NavaidTable& navaids, const LogSink& log,
             const RandomSource& random) {
    if (request.Source == SourceType::VatSpy) return ConvertVatSpyRequest(request, log);
    std::vector<std::string> lines;
    if (!LoadInput(request.InputPath, lines, log)) return false;
    double r = random ? random() : 0.0;
    ConversionState state = StartConversion(request.Source, r, log);

    switch (request.Source) {
        case SourceType::SectorFile:
            LogFileLength(request.InputPath, log);
            ReadSectorFileLines(lines, request.Section, navaids, state);
            WriteSector(state);
            break;
        case SourceType::ServInfo:
            LogFileLength(request.InputPath, log);
            ReadServInfoLines(lines, state);
            WriteSector(state);
            break;
        case SourceType::VatSpy:
            break;
        case SourceType::IvAe: {
            SectorCatalogue catalogue = ReadSectorCatalogue(lines);
            Log(log, "Scanned sector list");
            Log(log, "");
            std::vector<std::string> outlines;
            if (!LoadInput(OutlinePathBeside(request.InputPath), outlines, log)) return false;
            ReadIvAeOutlines(outlines, catalogue, state);
            break;
        }
    }
    FinishConversion(state);
    return WriteOutputPair(state, request.OutputFolder);
}

}  // namespace kestrava
