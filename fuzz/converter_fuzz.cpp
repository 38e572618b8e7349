// The sector converter end to end, for all three inputs. First byte, modulo
// 5: 0, 1, 2 a sector file converted from its "[ARTCC]", "[ARTCC HIGH]" or
// "[ARTCC LOW]" section; 3 a ServInfo fir.dat; 4 an IvAe firs.dat and
// fir.dat, cut at a line "@@". The output may grow with the input, but by a
// bounded factor.
#include "firforge/conversion.h"
#include "fuzz/fuzz_support.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrava;
    if (size == 0) return 0;
    const std::string folder = fuzzing::ScratchFolder();
    const std::string input = fuzzing::Text(data + 1, size - 1);
    ConversionRequest request;
    request.OutputFolder = folder;
    switch (data[0] % 5) {
        case 0:
        case 1:
        case 2: {
            static const char* const kSections[] = {"[ARTCC]", "[ARTCC HIGH]", "[ARTCC LOW]"};
            request.Source = SourceType::SectorFile;
            request.Section = kSections[data[0] % 5];
            request.InputPath = folder + "/input.sct";
            fuzzing::WriteBytes(request.InputPath, input);
            break;
        }
        case 3:
            request.Source = SourceType::ServInfo;
            request.InputPath = folder + "/fir.dat";
            fuzzing::WriteBytes(request.InputPath, input);
            break;
        default: {
            const std::vector<std::string> parts = fuzzing::Parts(input, 2);
            request.Source = SourceType::IvAe;
            request.InputPath = folder + "/firs.dat";
            fuzzing::WriteBytes(request.InputPath, parts[0]);
            fuzzing::WriteBytes(folder + "/fir.dat", parts[1]);
            break;
        }
    }
    NavaidTable navaids;
    const bool ok = Convert(request, navaids, nullptr, [] { return 0.5; });
    fuzzing::Require(ok, "a conversion of a readable input succeeds");
    std::error_code ec;
    const auto written = std::filesystem::file_size(folder + "/firdisplay.dat", ec);
    // Every input byte may become at most one edge of 91 intermediate points.
    fuzzing::Require(!ec && written <= 4096 + 3000 * size, "output bounded by the input");
    return 0;
}
