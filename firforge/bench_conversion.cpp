// Times conversions of one input: firforge_bench <sct|servinfo|ivae|vatspy>
// <input> <output folder> [repeats] [airports.dat]. Prints the time of each
// run and the sector count (for vatspy: the input is VATSpy.dat, with
// Boundaries.geojson beside it).
#include <chrono>
#include <iostream>
#include <string>

#include "firforge/conversion.h"

int main(int argc, char* argv[]) {
    using namespace kestrava;
    if (argc < 4) {
        std::cerr << "usage: firforge_bench <sct|servinfo|ivae|vatspy> <input> <output folder> [repeats] [airports.dat]\n";
        return 2;
    }
    std::string kind = argv[1];
    ConversionRequest request;
    request.Source = kind == "servinfo" ? SourceType::ServInfo
                   : kind == "ivae"     ? SourceType::IvAe
                   : kind == "vatspy"   ? SourceType::VatSpy
                                        : SourceType::SectorFile;
    request.InputPath = argv[2];
    request.OutputFolder = argv[3];
    int repeats = argc > 4 ? std::stoi(argv[4]) : 1;
    if (argc > 5) request.AirportsPath = argv[5];

    for (int run = 0; run < repeats; ++run) {
        std::string summary;
        NavaidTable navaids;
        auto start = std::chrono::steady_clock::now();
        bool ok = Convert(request, navaids,
                          [&](const std::string& line) {
                              if (line.rfind("Extracted ", 0) == 0 || line.rfind("Wrote ", 0) == 0) summary = line;
                          },
                          [] { return 0.5; });
        auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        std::cout << "run " << run + 1 << ": " << elapsed.count() << " ms, " << summary
                  << (ok ? "" : " (failed)") << "\n";
        if (!ok) return 1;
    }
    return 0;
}
