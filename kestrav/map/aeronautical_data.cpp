#include "aeronautical_data.h"

#include "formats/files.h"
#include "formats/reference_tables.h"
#include "kestrav/network/client_rules.h"

#include <GL/gl.h>

#include <filesystem>
#include <system_error>

namespace kestrava {

namespace {
void Announce(NetworkModel& model, DisplayHooks& display, const std::string& text) {
    SetStatus(model, display, text);
    display.DrawScene();
}

void Missing(NetworkModel& model, DisplayHooks& display, AeronauticalLoad& load, const std::string& name,
             const std::string& path, const std::string& layer) {
    load.Missing.push_back(name);
    load.Problems.push_back(DataFileProblem(path, name, layer));
    Announce(model, display, load.Problems.back());
}

// A file that read only in part: how much of it.
void Damaged(AeronauticalLoad& load, const std::string& name, int lines, int damaged) {
    if (damaged <= 0) return;
    load.Problems.push_back(name + " is damaged: " + std::to_string(lines - damaged) + " of " +
                            std::to_string(lines) + " lines read");
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

std::string DataFileProblem(const std::string& path, const std::string& name, const std::string& layer) {
    std::error_code error;
    const bool there = std::filesystem::exists(path, error);
    return name + (there ? " could not be read: no " : " not found: no ") + layer;
}

std::string StartUpStatus(const std::vector<std::string>& problems) {
    if (problems.empty()) return "Ready";
    std::string text;
    for (const std::string& problem : problems) text += (text.empty() ? "" : "; ") + problem;
    return text;
}

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
    const std::string outlines = places.ReadPath("data/firdisplay.dat");
    if (!ReadOutlines(places, counted)) Missing(model, display, load, "firdisplay.dat", outlines, "sector outlines");

    Announce(model, display, "Loading aeronautical data...");
    int lines = 0, damaged = 0;
    const std::string airports = places.ReadPath("data/airports.dat");
    if (!ReadAirportFile(airports, model.Airports, &lines, &damaged))
        Missing(model, display, load, "airports.dat", airports, "airports");
    else
        Damaged(load, "airports.dat", lines, damaged);
    lines = damaged = 0;
    const std::string sectors = places.ReadPath("data/firlist.dat");
    if (!ReadSectorFile(sectors, model.Sectors, &lines, &damaged))
        Missing(model, display, load, "firlist.dat", sectors, "sector names");
    else
        Damaged(load, "firlist.dat", lines, damaged);
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
