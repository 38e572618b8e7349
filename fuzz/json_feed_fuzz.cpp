// The JSON feeds of either network, with the shipped airports and sectors
// loaded: first byte the network (even IVAO, odd VATSIM), the rest the body,
// read as a data feed (whatever reader its content picks), as VATSIM's
// status.json and as a transceiver list. The model lives across inputs, so
// a failed feed must leave the snapshot before it whole.
#include "formats/sector_files.h"
#include "fuzz/fuzz_support.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/json_feed.h"
#include "kestrav/network/values.h"

namespace {

using namespace kestrava;

NetworkModel& Model() {
    static NetworkModel* model = [] {
        auto* m = new NetworkModel;
        ReadAirportFile(KESTRAVA_SOURCE_DIR "/data/airports.dat", m->Airports);
        ReadSectorFile(KESTRAVA_SOURCE_DIR "/data/firlist.dat", m->Sectors);
        return m;
    }();
    return *model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    NetworkModel& model = Model();
    DisplayHooks display;
    const std::uint8_t net = data[0] & 1;
    const Snapshot& s = model.Networks[net];
    const std::int16_t pilotsBefore = s.PilotCount, atcBefore = s.AtcCount;
    const std::int32_t totalBefore = model.ClientTotal[net];
    const std::string stampBefore = s.UpdateStamp;
    const std::string body = fuzzing::Text(data + 1, size - 1);
    model.DownloadIdle = true;
    InterpretFeed(model, display, net, body);

    if (s.DownloadFailed) {
        fuzzing::Require(s.PilotCount == pilotsBefore && s.AtcCount == atcBefore &&
                             model.ClientTotal[net] == totalBefore && s.UpdateStamp == stampBefore,
                         "a failed feed keeps the previous snapshot");
    }
    fuzzing::Require(s.PilotCount >= 0 && s.PilotCount <= kMaxPilots, "pilot count");
    fuzzing::Require(s.AtcCount >= 0 && s.AtcCount <= kMaxAtcClients, "ATC count");
    fuzzing::Require(s.ObserverCount >= 0 && s.ObserverCount <= s.AtcCount, "observer count");
    fuzzing::Require(model.ClientTotal[net] >= 0, "client total");
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        fuzzing::Require(LatitudeText(p.Latitude).size() == 9, "latitude text form");
        fuzzing::Require(p.Altitude >= 0 && p.Altitude <= 99999, "altitude clamp");
        OnlineTime(p.LogonTime, s.UpdateStamp);
        FlightStatus(p, s.UpdateStamp);
    }
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        fuzzing::Require(LongitudeText(a.Longitude).size() >= 9, "longitude text form");
    }

    static Snapshot& status = *new Snapshot;  // a Snapshot is large: made once
    status.DataUrls.clear();
    status.TransceiverUrls.clear();
    std::string copy = body;
    ReadStatusJson(status, copy);
    fuzzing::Require(status.DataUrls.size() <= static_cast<size_t>(kMaxServerUrls), "address limit");
    TransceiverCentres centres;
    copy = body;
    ReadTransceiverCentres(copy, centres);
    for (const auto& [callsign, centre] : centres)
        fuzzing::Require(centre.first >= -90 && centre.first <= 90 && centre.second >= -180 && centre.second <= 180,
                         "transceiver centre");
    return 0;
}
