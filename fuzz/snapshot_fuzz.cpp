// The snapshot interpreter of either network, with the shipped airports and
// sectors loaded, then every value a popup, a list or the scene takes from
// each client. First byte: the network (even IVAO, odd VATSIM); the rest: the
// snapshot text. The model lives across inputs, as in the viewer, so later
// snapshots land on earlier records.
#include "formats/sector_files.h"
#include "fuzz/fuzz_support.h"
#include "kestrav/network/model.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

namespace {

using namespace kestrava;

NetworkModel& Model() {
    static NetworkModel* model = [] {
        auto* m = new NetworkModel;
        ReadAirportFile(KESTRAVA_SOURCE_DIR "/data/airports.dat", m->Airports);
        ReadSectorFile(KESTRAVA_SOURCE_DIR "/data/firlist.dat", m->Sectors);
        m->Friends.Add("100001");
        return m;
    }();
    return *model;
}

void CheckPosition(float latitude, float longitude) {
    const std::string lat = LatitudeText(latitude), lon = LongitudeText(longitude);
    fuzzing::Require(lat.size() == 9 && (lat[0] == 'N' || lat[0] == 'S'), "latitude text form");
    fuzzing::Require((lon.size() == 9 || lon.size() == 10) && (lon[0] == 'E' || lon[0] == 'W'),
                     "longitude text form");
    GlobeX(latitude, longitude);
    GlobeY(latitude);
    GlobeZ(latitude, longitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    NetworkModel& model = Model();
    DisplayHooks display;
    const std::uint8_t net = data[0] & 1;
    InterpretSnapshot(model, display, net, fuzzing::Text(data + 1, size - 1));

    const Snapshot& s = model.Networks[net];
    fuzzing::Require(s.PilotCount >= 0 && s.PilotCount <= kMaxPilots, "pilot count");
    fuzzing::Require(s.AtcCount >= 0 && s.AtcCount <= kMaxAtcClients, "ATC count");
    fuzzing::Require(s.ObserverCount >= 0 && s.ObserverCount <= s.AtcCount, "observer count");
    fuzzing::Require(model.ClientTotal[net] >= 0, "client total");
    fuzzing::Require(s.ReloadMinutes == 0 || (s.ReloadMinutes >= 1 && s.ReloadMinutes <= 60), "reload minutes");
    fuzzing::Require(MergedClientTotal(model) >= 0, "merged total");

    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        CheckPosition(p.Latitude, p.Longitude);
        const FlightState state = FlightStatus(p, s.UpdateStamp);
        fuzzing::Require(!state.Status.empty() && !state.Arrival.empty(), "flight state");
        const std::string online = OnlineTime(p.LogonTime, s.UpdateStamp);
        fuzzing::Require(online.size() == 5 && online[2] == ':', "online time form");
        PilotRatingName(net, p.Rating);
        ControllerRatingName(net, p.AdminRating);
        IsFriend(model, p.MemberId);
        float lat = 0, lon = 0;
        AirportLatLon(model, p.Destination, lat, lon);
        CruiseKnots(p.CruiseSpeed);
        PlannedFeet(p.PlannedAltitude);
        Distance(p.Latitude, p.Longitude, p.DepLatitude, p.DepLongitude);
        Bearing(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude);
    }
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        CheckPosition(a.Latitude, a.Longitude);
        CheckPosition(a.ReportedLatitude, a.ReportedLongitude);
        OnlineTime(a.LogonTime, s.UpdateStamp);
        ControllerRatingName(net, a.Rating);
        IsFriend(model, a.MemberId);
        if (const SectorEntry* sector = model.Sectors.Find(a.Location)) Distance(sector->LabelLatitude, sector->LabelLongitude, 0, 0);
        Distance(a.Latitude, a.Longitude, 0, 0);
    }
    return 0;
}
