// Benchmarks of the network subsystem: snapshot interpretation against a bare
// split of the same text into lines, on a full-capacity snapshot (1400 pilots
// and 700 ATC lines taken from real captures) and on each real capture.
//
// The real captures are read from the folder in KESTRAVA_REALDATA (default:
// ../shared/realdata beside the source tree); they are never copied.
#include "formats/text.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#ifndef KESTRAVA_REALDATA_DIR
#define KESTRAVA_REALDATA_DIR "../shared/realdata"
#endif

using namespace kestrava;

namespace {

std::string RealDataFolder() {
    const char* folder = std::getenv("KESTRAVA_REALDATA");
    return folder ? folder : KESTRAVA_REALDATA_DIR;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::pair<std::string, std::uint8_t>> kCaptures = {
    {"ivao-whazzup/IVAO-status@ba46473__whazzup.txt", kIvao},
    {"ivao-whazzup/IVAO-Library__whazzup.txt", kIvao},
    {"ivao-whazzup/whazzup-parser__whazzup.txt", kIvao},
    {"ivao-whazzup/IVAO-Atc-Timer__whazzup.txt", kIvao},
    {"vatsim-data-txt/VATSIM.TheoBearman.com__vatsim-data.txt", kVatsim},
    {"vatsim-data-txt/OffsetXX__vatsim-data.txt", kVatsim},
    {"vatsim-data-txt/chewwy__vatsim-data.txt", kVatsim},
    {"vatsim-data-txt/avbot-legacy@8ae7101__vatsim-data.txt", kVatsim},
    {"vatsim-data-txt/avbot-legacy@a59d884__vatsim-data.txt", kVatsim},
};

// A snapshot at both caps: the PILOT and ATC lines of the IVAO captures,
// repeated where there are too few, under a real header.
std::string FullCapacitySnapshot() {
    std::vector<std::string> pilots, atc;
    for (const auto& [path, net] : kCaptures) {
        if (net != kIvao) continue;
        for (const std::string& line : SplitNetworkLines(ReadAll(RealDataFolder() + "/" + path))) {
            std::string kind = FieldOf(line, 3);
            if (kind == "PILOT") pilots.push_back(line);
            if (kind == "ATC") atc.push_back(line);
        }
    }
    std::string text = "!GENERAL\nVERSION = 6\nRELOAD = 1\nUPDATE = 20200515213030\n"
                       "CONNECTED CLIENTS = 2100\n!CLIENTS\n";
    if (pilots.empty() || atc.empty()) return text;
    for (int i = 0; i < kMaxPilots; ++i) text += pilots[i % pilots.size()] + "\n";
    for (int i = 0; i < kMaxAtcClients; ++i) text += atc[i % atc.size()] + "\n";
    return text + "!SERVERS\n";
}

// Every airport a snapshot names, at made-up positions, so the look-ups of
// the parser find what they would find with the shipped airport file.
void FillAirports(NetworkModel& model, const std::string& text) {
    int n = 0;
    for (const std::string& line : SplitNetworkLines(text)) {
        for (int field : {11, 13}) {
            std::string code = FieldOf(line, field);
            if (code.size() != 4) continue;
            ++n;
            model.AirportIndex.Add(code, {code, "", "", std::to_string(n % 80), std::to_string(n % 170)});
        }
    }
}

class NoDisplay : public DisplayHooks {};

void Interpret(benchmark::State& state, const std::string& text, std::uint8_t net) {
    NetworkModel model;
    FillAirports(model, text);
    NoDisplay display;
    for (auto _ : state) {
        InterpretSnapshot(model, display, net, text);
        benchmark::DoNotOptimize(model.Networks[net].PilotCount);
    }
    if (model.StatusText != model.NetworkName[net] + " data interpreted") state.SkipWithError(model.StatusText.c_str());
    state.counters["pilots"] = model.Networks[net].PilotCount;
    state.counters["atc"] = model.Networks[net].AtcCount;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Split(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        std::vector<std::string> lines = SplitNetworkLines(text);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

int main(int argc, char** argv) {
    static std::map<std::string, std::pair<std::string, std::uint8_t>> texts;
    texts["full-capacity"] = {FullCapacitySnapshot(), kIvao};
    for (const auto& [path, net] : kCaptures) {
        std::string text = ReadAll(RealDataFolder() + "/" + path);
        if (text.empty()) continue;
        texts[path.substr(path.find('/') + 1)] = {text, net};
    }
    for (const auto& [name, entry] : texts) {
        const std::string& text = entry.first;
        std::uint8_t net = entry.second;
        benchmark::RegisterBenchmark(("InterpretSnapshot/" + name).c_str(),
                                     [&text, net](benchmark::State& s) { Interpret(s, text, net); })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("SplitNetworkLines/" + name).c_str(),
                                     [&text](benchmark::State& s) { Split(s, text); })
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
