// Key press to drawn scene with the live feeds' JSON: the largest real
// capture of each network served from 127.0.0.1 (IVAO through its data
// address, VATSIM through status.json with an empty transceiver list), the
// viewer's btnDownload timed whole and split into transfer, interpretation
// and scene build. Run it under an X server (xvfb-run) from the program
// folder build/bin.
#include "bench_window.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/transfer.h"
#include "network/http_test_server.h"
#include "real_data.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using benchsupport::Median;
using benchsupport::Milliseconds;
using benchsupport::TimedWindow;

using benchsupport::ReadAll;

namespace {

class NoDisplay : public kestrava::DisplayHooks {};

}  // namespace

int main(int argc, char** argv) {
    const std::string realData = benchsupport::RealDataFolder();
    const std::string ivao = ReadAll(realData + "/ivao-json/ivao-statistics__whazzup.json");
    const std::string vatsim = ReadAll(realData + "/vatsim-json/vatsim-plan-verifier__vatsim-data.json");
    if (ivao.empty() || vatsim.empty()) {
        // A clone without the captures has nothing to time; that is no fault.
        std::printf("feed_keypress_bench: skipped, needs the real captures in %s\n", realData.c_str());
        return 0;
    }

    QApplication app(argc, argv);
    TimedWindow window;
    if (!window.StartUp()) return 1;
    window.resize(1280, 800);
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();

    networktest::TestHttpServer server;
    server.Serve("/v2/tracker/whazzup", ivao);
    server.Serve("/v3/vatsim-data.json", vatsim);
    server.Serve("/v3/transceivers-data.json", "[]");
    server.Serve("/status.json", "{\"data\":{\"v3\":[\"" + server.Url("/v3/vatsim-data.json") +
                                     "\"],\"transceivers\":[\"" + server.Url("/v3/transceivers-data.json") + "\"]}}");
    window.State().Model.DataUrl[kestrava::kIvao] = server.Url("/v2/tracker/whazzup");
    window.State().Model.DataUrl[kestrava::kVatsim].clear();
    window.State().Model.StatusUrl[kestrava::kVatsim] = server.Url("/status.json");

    const int rounds = 7;
    for (std::uint8_t net : {kestrava::kIvao, kestrava::kVatsim}) {
        const std::string& body = net == kestrava::kIvao ? ivao : vatsim;
        const std::string address = net == kestrava::kIvao ? server.Url("/v2/tracker/whazzup")
                                                           : server.Url("/v3/vatsim-data.json");
        std::vector<double> total, scene, frames, transfer, interpret;
        kestrava::NetworkModel alone;
        alone.Airports = window.State().Model.Airports;
        alone.Sectors = window.State().Model.Sectors;
        NoDisplay none;
        for (int round = 0; round < rounds; ++round) {
            window.State().Model.Networks[net].LastDownload = {};  // past the reload interval
            window.State().Model.Networks[net].TransceiversFetched = {};
            window.sceneMs = window.frameMs = 0;
            total.push_back(Milliseconds([&] { window.btnDownload(net); }));
            scene.push_back(window.sceneMs);
            frames.push_back(window.frameMs);
            kestrava::TransferOptions options;
            transfer.push_back(Milliseconds([&] { (void)kestrava::FetchText(address, options); }));
            interpret.push_back(Milliseconds([&] { kestrava::InterpretFeed(alone, none, net, body); }));
        }
        std::printf("%s, %zu bytes from 127.0.0.1, median of %d: key to drawn scene %.1f ms (scene build %.1f ms, "
                    "frames on the way %.1f ms); alone: transfer %.1f ms, interpretation %.1f ms; %d pilots, %d ATC; "
                    "status \"%s\"\n",
                    window.State().Model.NetworkName[net].c_str(), body.size(), rounds, Median(total), Median(scene),
                    Median(frames), Median(transfer), Median(interpret), window.State().Model.Networks[net].PilotCount,
                    window.State().Model.Networks[net].AtcCount, window.State().Model.StatusText.c_str());
    }
    return 0;
}
