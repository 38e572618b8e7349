#include "aeronautical_data.h"

#include "formats/files.h"

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
    if (!ReadPolygonFile(places.ReadPath("data/firdisplay.dat"), counted))
        Missing(model, display, load, "firdisplay.dat");
    const std::string supplement = places.ReadPath("data/firdisplay.sup");
    if (FileExists(supplement)) ReadPolygonFile(supplement, counted);

    Announce(model, display, "Loading aeronautical data...");
    if (!ReadAirportFile(places.ReadPath("data/airports.dat"), model.Airports))
        Missing(model, display, load, "airports.dat");
    if (!ReadSectorFile(places.ReadPath("data/firlist.dat"), model.Sectors))
        Missing(model, display, load, "firlist.dat");
    return load;
}

}  // namespace kestrava
