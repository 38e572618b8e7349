// Benchmarks of the JSON feeds: the interpretation (parse and fill, with the
// shipped airports and sectors loaded) of each real capture and of a
// full-capacity feed of each network built from real records (10,000 pilots
// and 4,000 ATC records, about 10 MB and more), beside a bare memchr count
// of the newlines and simdjson's raw DOM parse of the same bytes.
//
// The real captures are read from the folder in KESTRAVA_REALDATA (default:
// ../shared/realdata beside the source tree); they are never copied. Run it
// from anywhere; the shipped data is read from the source tree.
#include "formats/sector_files.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/model.h"
#include "real_data.h"

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

using namespace kestrava;
using benchsupport::ReadAll;
using benchsupport::RealDataFolder;

namespace {

class NoDisplay : public DisplayHooks {};

NetworkModel& LoadedModel() {
    static NetworkModel* model = [] {
        auto* m = new NetworkModel;
        ReadAirportFile(KESTRAVA_SOURCE_DIR "/data/airports.dat", m->Airports);
        ReadSectorFile(KESTRAVA_SOURCE_DIR "/data/firlist.dat", m->Sectors);
        return m;
    }();
    return *model;
}

// The records of `list` repeated to `count`, each copy's callsign made
// unique, as one JSON array.
std::string Repeated(simdjson::dom::array list, size_t count) {
    std::vector<std::string> records;
    for (simdjson::dom::element e : list) records.push_back(simdjson::minify(e));
    std::string out = "[";
    for (size_t i = 0; i < count && !records.empty(); ++i) {
        std::string record = records[i % records.size()];
        const size_t at = record.find("\"callsign\":\"");
        if (at != std::string::npos && i >= records.size())
            record.insert(at + 12, std::to_string(i / records.size()));
        out += (i ? "," : "") + record;
    }
    return out + "]";
}

// A full-capacity feed of the network from the records of its largest
// real capture.
std::string FullCapacity(std::uint8_t net, const std::string& capture) {
    simdjson::dom::parser parser;
    simdjson::dom::element root = parser.parse(capture);
    if (net == kVatsim) {
        simdjson::dom::array controllers = root["controllers"], atis = root["atis"];
        return "{\"general\":{\"version\":3,\"reload\":1,\"update\":\"20240220231951\",\"connected_clients\":16000},"
               "\"pilots\":" + Repeated(root["pilots"], kMaxPilots) +
               ",\"controllers\":" + Repeated(controllers, kMaxAtcClients - 1000) +
               ",\"atis\":" + Repeated(atis, 1000) + "}";
    }
    simdjson::dom::element clients = root["clients"];
    return "{\"updatedAt\":\"2023-01-04T16:04:22.381Z\",\"clients\":{\"pilots\":" +
           Repeated(clients["pilots"], kMaxPilots) + ",\"atcs\":" + Repeated(clients["atcs"], kMaxAtcClients - 500) +
           ",\"observers\":" + Repeated(clients["observers"], 500) +
           ",\"followMe\":[]},\"connections\":{\"total\":14000,\"followMe\":0}}";
}

void Interpret(benchmark::State& state, const std::string& text, std::uint8_t net) {
    NetworkModel& model = LoadedModel();
    NoDisplay display;
    for (auto _ : state) {
        // The download hands its body over; the copy made for that here is
        // not part of the interpretation.
        state.PauseTiming();
        std::string handed = text;
        state.ResumeTiming();
        InterpretFeed(model, display, net, std::move(handed));
        benchmark::DoNotOptimize(model.Networks[net].PilotCount);
    }
    if (model.Networks[net].DownloadFailed) state.SkipWithError(model.StatusText.c_str());
    state.counters["pilots"] = model.Networks[net].PilotCount;
    state.counters["atc"] = model.Networks[net].AtcCount;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void RawDom(benchmark::State& state, const std::string& text) {
    simdjson::dom::parser parser;
    simdjson::padded_string padded(text);
    for (auto _ : state) {
        simdjson::dom::element root;
        if (parser.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse");
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Newlines(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        size_t n = 0;
        for (const char* p = text.data(), *end = p + text.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) != nullptr; ++p)
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

int main(int argc, char** argv) {
    static std::map<std::string, std::pair<std::string, std::uint8_t>> texts;
    const std::pair<const char*, std::uint8_t> captures[] = {
        {"vatsim-json/vatsim-plan-verifier__vatsim-data.json", kVatsim},
        {"vatsim-json/vFIDS__vatsim-data.json", kVatsim},
        {"ivao-json/ivao-statistics__whazzup.json", kIvao},
    };
    for (const auto& [path, net] : captures) {
        std::string text = ReadAll(RealDataFolder() + "/" + path);
        if (text.empty()) continue;
        texts[std::string(path).substr(std::string(path).find('/') + 1)] = {text, net};
    }
    // The largest capture of each network gives the full-capacity feed.
    const std::string vatsim = ReadAll(RealDataFolder() + "/vatsim-json/vatsim-plan-verifier__vatsim-data.json");
    const std::string ivao = ReadAll(RealDataFolder() + "/ivao-json/ivao-statistics__whazzup.json");
    if (!vatsim.empty()) texts["full-capacity-vatsim"] = {FullCapacity(kVatsim, vatsim), kVatsim};
    if (!ivao.empty()) texts["full-capacity-ivao"] = {FullCapacity(kIvao, ivao), kIvao};
    for (const auto& [name, entry] : texts) {
        const std::string& text = entry.first;
        const std::uint8_t net = entry.second;
        const std::string label = name + " (" + std::to_string(text.size()) + " bytes)";
        benchmark::RegisterBenchmark(("Interpret/" + label).c_str(), Interpret, text, net)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("RawDom/" + label).c_str(), RawDom, text)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Newlines/" + label).c_str(), Newlines, text)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
