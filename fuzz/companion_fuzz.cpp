// The Companion console over a damaged feed: a snapshot of either network
// (with the shipped airports and sectors), typed command lines, the commands
// run on every client, and a weather station file as the server sent it.
// First byte: the network (even IVAO, odd VATSIM); the rest holds the
// snapshot, the command lines and the station file, cut at lines "@@". The
// station file is served from a file: address for EDDF.
#include "formats/sector_files.h"
#include "formats/text.h"
#include "fuzz/fuzz_support.h"
#include "kestrav/companion/console.h"
#include "kestrav/network/whazzup.h"

#include <filesystem>

namespace {

using namespace kestrava;

class QuietHost : public ViewerActions, public ConsoleOutput {
public:
    void AddText(const std::string& text) override { written += text.size(); }
    void CentreMap(float latitude, float longitude, const std::string&, bool) override {
        fuzzing::Require(latitude == latitude && longitude == longitude, "the map is centred on a number");
    }
    size_t written = 0;
};

NetworkModel& Model() {
    static NetworkModel* model = [] {
        auto* m = new NetworkModel;
        ReadAirportFile(KESTRAVA_SOURCE_DIR "/data/airports.dat", m->Airports);
        ReadSectorFile(KESTRAVA_SOURCE_DIR "/data/firlist.dat", m->Sectors);
        return m;
    }();
    return *model;
}

void ServeStationFile(const std::string& file) {
    for (const char* path : {"/observations/metar/stations", "/forecasts/taf/stations", "/forecasts/shorttaf/stations"}) {
        const std::string folder = fuzzing::ScratchFolder() + path;
        std::filesystem::create_directories(folder);
        fuzzing::WriteBytes(folder + "/EDDF.TXT", file);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    NetworkModel& model = Model();
    QuietHost host;
    Companion console{model, host, host, {}, {}};
    console.Weather.WeatherUrl = "file://" + fuzzing::ScratchFolder();
    const std::uint8_t net = data[0] & 1;
    const std::vector<std::string> parts = fuzzing::Parts(fuzzing::Text(data + 1, size - 1), 3);
    DisplayHooks display;
    InterpretSnapshot(model, display, net, parts[0]);
    model.CurrentNetwork = static_cast<NetworkIndex>(net);
    ServeStationFile(parts[2]);

    ForEachLine(parts[1], [&](std::string_view line) {
        const std::string typed = Trim(line);
        if (!typed.empty()) ReadText(console, typed);
    });
    const Snapshot& s = model.Networks[net];
    for (int i = 0; i < s.PilotCount && i < 20; ++i) {
        const std::string& callsign = s.Pilots[static_cast<size_t>(i)].Callsign;
        for (const char* verb : {"info ", "fp ", "vis ", "dist EDDF "}) ReadText(console, verb + callsign);
    }
    for (int i = 0; i < s.AtcCount && i < 20; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        for (const char* verb : {"atis ", "info ", "members ", "traffic "}) ReadText(console, verb + a.Callsign);
        ReadText(console, "info " + a.MemberId);
    }
    for (const char* line : {"stat", "sups", "metar EDDF", "taf EDDF", "shorttaf EDDF"}) ReadText(console, line);
    fuzzing::Require(model.DownloadIdle, "downloads are allowed again after a weather fetch");
    return 0;
}
