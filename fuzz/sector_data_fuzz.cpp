// The sector, airport and sector-list files as the viewer loads them at
// start-up, then a snapshot whose pilots and controllers use what was
// loaded, so that every value the readers accepted is also used. The input
// holds firdisplay.dat, airports.dat and firlist.dat, cut at lines "@@".
#include "formats/sector_files.h"
#include "formats/text.h"
#include "fuzz/fuzz_support.h"
#include "kestrav/network/model.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

namespace {

using namespace kestrava;

// Field 0 of the first lines that the keyed reader takes.
std::vector<std::string> Keys(const std::vector<std::string>& lines, size_t most) {
    std::vector<std::string> keys;
    for (const std::string& line : lines) {
        if (keys.size() == most) break;
        std::vector<std::string> fields = Split(line, ":");
        if (fields.size() >= 6 && fields[0].find_first_of("\r\n") == std::string::npos) keys.push_back(fields[0]);
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = fuzzing::Parts(fuzzing::Text(data, size), 3);

    size_t polygons = 0;
    ReadPolygonLines(TextLines(parts[0]), [&](int, const std::vector<GeoPoint>& points) {
        ++polygons;
        for (const GeoPoint& p : points) {
            GlobeX(p.Latitude, p.Longitude);
            GlobeY(p.Latitude);
        }
    });

    // One model for all inputs (a fresh one is a large allocation), its
    // indexes emptied as the viewer starts with them empty.
    static NetworkModel& model = *new NetworkModel;
    model.Airports.Clear();
    model.Sectors.Clear();
    const std::vector<std::string> airportLines = TextLines(parts[1]), sectorLines = TextLines(parts[2]);
    ReadAirportLines(airportLines, model.Airports);
    ReadSectorLines(sectorLines, model.Sectors);
    for (const std::string& key : Keys(sectorLines, 1000)) {
        const SectorEntry* sector = model.Sectors.Find(key);
        fuzzing::Require(sector != nullptr && EqualsNoCase(sector->Id, key),
                         "a line of six fields is an entry under its key");
    }

    // Pilots between the loaded airports, towers at them, centres in the
    // loaded sectors.
    const std::vector<std::string> airports = Keys(airportLines, 20), sectors = Keys(sectorLines, 20);
    std::string snapshot = "!GENERAL\r\nRELOAD = 2\r\nUPDATE = 20240101120000\r\nCONNECTED CLIENTS = 99\r\n!CLIENTS\r\n";
    for (size_t i = 0; i < airports.size(); ++i) {
        const std::string& to = airports[(i + 1) % airports.size()];
        snapshot += "P" + std::to_string(i) + ":1:N:PILOT::10:20:35000:450:B744:N0480:" + airports[i] +
                    ":F350:" + to + "::::::::::1200::1:30:::::::::20240101100000\r\n";
        snapshot += airports[i] + "_TWR:2:N:ATC:118.5:1:2\r\n";
    }
    for (const std::string& sector : sectors) snapshot += sector + "_CTR:3:N:ATC:128.5:1:2\r\n";
    DisplayHooks display;
    InterpretSnapshot(model, display, kIvao, snapshot);
    const Snapshot& s = model.Networks[kIvao];
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        LatitudeText(p.DestLatitude);
        LongitudeText(p.DepLongitude);
        FlightStatus(p, s.UpdateStamp);
    }
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        LatitudeText(a.Latitude);
        LongitudeText(a.Longitude);
        float lat = 0, lon = 0;
        if (AirportLatLon(model, a.Location, lat, lon))
            fuzzing::Require(lat == lat && lon == lon, "an airport's position is a number");
    }
    return 0;
}
