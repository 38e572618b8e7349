// Benchmarks of the network subsystem: snapshot interpretation against a bare
// split of the same text into lines, on a full-capacity snapshot (1400 pilots
// and 700 ATC lines taken from real captures) and on each real capture.
//
// The download of the full-capacity snapshot as gzip from an HTTP server on
// 127.0.0.1 is timed as a whole and in its parts (transfer, decompression,
// interpretation), beside a bare `zcat` of the same file.
//
// The real captures are read from the folder in KESTRAVA_REALDATA (default:
// ../shared/realdata beside the source tree); they are never copied.
#include "full_snapshot.h"
#include "support/gzip_text.h"
#include "formats/files.h"
#include "formats/text.h"
#include "kestrav/network/download.h"
#include "kestrav/network/transfer.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"
#include "network/http_test_server.h"
#include "real_data.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace kestrava;
using benchsupport::ReadAll;
using benchsupport::RealDataFolder;

namespace {

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

// Every airport a snapshot names, at made-up positions, so the look-ups of
// the parser find what they would find with the shipped airport file.
void FillAirports(NetworkModel& model, const std::string& text) {
    int n = 0;
    for (const std::string& line : SplitNetworkLines(text)) {
        for (int field : {11, 13}) {
            std::string code = FieldOf(line, field);
            if (code.size() != 4) continue;
            ++n;
            model.Airports.Add(code, Airport{code, code, "", "", static_cast<float>(n % 80), static_cast<float>(n % 170)});
        }
    }
}

class NoDisplay : public DisplayHooks {};

void Interpret(benchmark::State& state, const std::string& text, std::uint8_t net) {
    NetworkModel model;
    FillAirports(model, text);
    NoDisplay display;
    for (auto _ : state) {
        // The download hands its text over; the copy made for that here is
        // not part of the interpretation.
        state.PauseTiming();
        std::string handed = text;
        state.ResumeTiming();
        InterpretSnapshot(model, display, net, std::move(handed));
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

using testsupport::Gzip;

// The full-capacity snapshot served as gzip from 127.0.0.1, and a data
// folder for the download's files.
struct Feed {
    networktest::TestHttpServer server;
    std::string folder;
    std::string gzipped;
    explicit Feed(const std::string& text) {
        folder = (std::filesystem::temp_directory_path() / "kestrava-network-bench").string();
        std::filesystem::create_directories(folder);
        gzipped = Gzip(text);
        server.Serve("/status.txt", ";\r\n;\r\ngzurl0=" + server.Url("/whazzup.txt.gz") + "\r\n;\r\n; END\r\n");
        server.Serve("/whazzup.txt.gz", gzipped);
        WriteFileAtomic(folder + "/sample.txt.gz", gzipped);
    }
    ~Feed() { std::filesystem::remove_all(folder); }
};

Feed& FullCapacityFeed(const std::string& text) {
    static Feed feed(text);
    return feed;
}

// Key press to interpreted snapshot: btnDownload with the status file read
// before (once per run, as in the viewer).
void DownloadWhole(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    NetworkModel model;
    FillAirports(model, text);
    Clock::time_point now = Clock::now();
    model.Now = [&now] { return now; };
    model.StatusUrl[kIvao] = feed.server.Url("/status.txt");
    DownloadOptions options;
    options.DataFolder = feed.folder;
    NoDisplay display;
    LocateServers(model, display, options, kIvao);
    for (auto _ : state) {
        now += std::chrono::hours(1);  // past the RELOAD minute
        btnDownload(model, display, options, kIvao);
    }
    if (model.StatusText != "IVAO data interpreted") state.SkipWithError(model.StatusText.c_str());
    state.counters["pilots"] = model.Networks[kIvao].PilotCount;
    state.counters["gzip_bytes"] = static_cast<double>(feed.gzipped.size());
}

void DownloadTransfer(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    TransferOptions options;
    for (auto _ : state) benchmark::DoNotOptimize(FetchBytes(feed.server.Url("/whazzup.txt.gz"), options).size());
}

void DownloadStoreGzip(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    for (auto _ : state) WriteFileAtomic(feed.folder + "/whazzup.txt.gz", feed.gzipped);
}

void DownloadDecompress(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    WriteFileAtomic(feed.folder + "/whazzup.txt.gz", feed.gzipped);
    for (auto _ : state)
        if (!UncompressFile(feed.folder + "/whazzup.txt.gz")) state.SkipWithError("unzip");
}

// zcat's work without its process: the gzip file inflated into nothing.
void BareInflate(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    std::vector<char> buffer(256 * 1024);
    for (auto _ : state) {
        gzFile in = gzopen((feed.folder + "/sample.txt.gz").c_str(), "rb");
        while (gzread(in, buffer.data(), static_cast<unsigned>(buffer.size())) > 0) {
        }
        gzclose_r(in);
    }
}

void DownloadReadAndInterpret(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    WriteFileAtomic(feed.folder + "/whazzup.txt.gz", feed.gzipped);
    UncompressFile(feed.folder + "/whazzup.txt.gz");
    NetworkModel model;
    FillAirports(model, text);
    NoDisplay display;
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        // Read in blocks, as the download reads it.
        std::string read;
        std::FILE* file = std::fopen((feed.folder + "/whazzup.txt").c_str(), "rb");
        for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) read.append(buffer.data(), n);
        std::fclose(file);
        InterpretSnapshot(model, display, kIvao, std::move(read));
    }
}

// A bare zcat of the same gzip file into nothing (a process of its own).
void Zcat(benchmark::State& state, const std::string& text) {
    Feed& feed = FullCapacityFeed(text);
    const std::string command = "zcat '" + feed.folder + "/sample.txt.gz' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("zcat");
}

}  // namespace

int main(int argc, char** argv) {
    static std::map<std::string, std::pair<std::string, std::uint8_t>> texts;
    texts["full-capacity"] = {benchsupport::CaptureSnapshot(RealDataFolder()), kIvao};
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
    const std::string& full = texts["full-capacity"].first;
    benchmark::RegisterBenchmark("Download/whole", [&full](benchmark::State& s) { DownloadWhole(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/transfer", [&full](benchmark::State& s) { DownloadTransfer(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/store-gzip", [&full](benchmark::State& s) { DownloadStoreGzip(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/bare-inflate", [&full](benchmark::State& s) { BareInflate(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/decompress", [&full](benchmark::State& s) { DownloadDecompress(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/read+interpret", [&full](benchmark::State& s) { DownloadReadAndInterpret(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Download/zcat", [&full](benchmark::State& s) { Zcat(s, full); })
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
