#include "aeronautical_data.h"

#include "formats/files.h"
#include "kestrav/network/client_rules.h"

#include <GL/gl.h>

namespace kestrava {

namespace {
void Announce(NetworkModel& model, DisplayHooks& display, const std::string& text) {
    SetStatus(model, display, text);
    display.DrawScene();
}

void Missing(NetworkModel& model, DisplayHooks& display, AeronauticalLoad& load,
             const std::string& name) {
    load.Missing.push_back(name);
    Announce(model, display, "Could not read data/" + name);
}

// firdisplay.dat, then the supplement where there is one; false when the
// first could not be read.
bool ReadOutlines(const FilePlaces& places, const PolygonHandler& counted) {
    const bool read = ReadPolygonFile(places.ReadPath("data/firdisplay.dat"), counted);
    const std::string supplement = places.ReadPath("data/firdisplay.sup");
    if (FileExists(supplement)) ReadPolygonFile(supplement, counted);
    return read;
}
}  // namespace

AeronauticalLoad LoadSectorsAndAirports(NetworkModel& model, DisplayHooks& display,
                                        const FilePlaces& places,
                                        const PolygonHandler& compile) {
    AeronauticalLoad load;
    if (!model.Airports.Empty() || !model.Sectors.Empty()) return load;
    const auto counted = [&](int number, const std::vector<GeoPoint>& points) {
        ++load.Polygons;
        compile(number, points);
    };

    Announce(model, display, "Loading components...");
    if (!ReadOutlines(places, counted)) Missing(model, display, load, "firdisplay.dat");

    Announce(model, display, "Loading aeronautical data...");
    if (!ReadAirportFile(places.ReadPath("data/airports.dat"), model.Airports))
        Missing(model, display, load, "airports.dat");
    if (!ReadSectorFile(places.ReadPath("data/firlist.dat"), model.Sectors))
        Missing(model, display, load, "firlist.dat");
    return load;
}

AeronauticalLoad ReloadSectors(NetworkModel& model, const FilePlaces& places, CompiledSectors& compiled,
                               const ColourTheme& theme) {
    AeronauticalLoad load;
    // The names stay spent (list_names.h): nothing else can ever be drawn
    // under them, so no stale call from an old scene list can draw a sector.
    for (const auto& [number, sector] : compiled)
        if (sector.Fill != 0) glDeleteLists(sector.Fill, 4);
    compiled.clear();
    model.Sectors.Clear();
    if (!ReadOutlines(places, [&](int number, const std::vector<GeoPoint>& points) {
            ++load.Polygons;
            BuildSectorLists(compiled, number, points, theme);
        }))
        load.Missing.push_back("firdisplay.dat");
    if (!ReadSectorFile(places.ReadPath("data/firlist.dat"), model.Sectors)) load.Missing.push_back("firlist.dat");
    for (Snapshot& snapshot : model.Networks)
        for (int i = 0; i < snapshot.AtcCount; ++i) {
            AtcClient& atc = snapshot.AtcClients[static_cast<size_t>(i)];
            // As the feed placed it: from where it reported.
            atc.Latitude = atc.ReportedLatitude;
            atc.Longitude = atc.ReportedLongitude;
            PlaceStation(model, atc);
        }
    return load;
}

}  // namespace kestrava
