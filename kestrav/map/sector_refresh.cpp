// The map window's sector update: UpdateSectorData on a thread of its own,
// its result taken back on the window's thread, where the new pair is read,
// the traffic placed on it and the shown scene rebuilt.
#include "kestrav/map/aeronautical_data.h"
#include "kestrav/map/map_window.h"

#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/text.h"

#include <chrono>
#include <filesystem>
#include <memory>

namespace kestrava {

namespace {

// Lines of a sector list (the shipped one: the update wants half as many).
int ListLines(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return 0;
    int lines = 0;
    for (const std::string& line : TextLines(text))
        if (!Trim(line).empty()) ++lines;
    return lines;
}

// When the sector data in use were last updated: the hash file's time, else
// (never updated here) the time of the list that is read.
std::filesystem::file_time_type SectorDataTime(const FilePlaces& places, bool& known) {
    std::error_code ec;
    for (const std::string& path : {places.ReadPath(std::string("data/") + kSectorHashName),
                                    places.ReadPath("data/firlist.dat")}) {
        const auto time = std::filesystem::last_write_time(path, ec);
        if (!ec) {
            known = true;
            return time;
        }
    }
    known = false;
    return {};
}

}  // namespace

bool MapWindow::UpdateSectors() {
    if (sectorUpdating_) {
        ShowStatus("A sector update is running already");
        return false;
    }
    const FilePlaces& places = Places();
    const std::string target = places.WritePath("data/firlist.dat");
    if (target.empty()) {
        ShowStatus("Sector update failed (writing): nothing may be saved in " + places.OwnFolder());
        return false;
    }
    SectorUpdateOptions options;
    options.MapDataUrl = Config.SectorDataUrl;
    options.Folder = std::filesystem::path(target).parent_path().string();
    options.AirportsPath = places.ReadPath("data/airports.dat");
    options.Transfer.Timeout = Download.Timeout;
    options.Transfer.Proxy = Download.Proxy;
    options.Transfer.Cancel = jobs_.Cancelled();
    const std::string shipped = places.ProgramFolder + "/data/firlist.dat";

    sectorUpdating_ = true;
    ShowStatus("Updating sector data...");
    jobs_.Run([this, options, shipped]() mutable -> std::function<void()> {
        options.ShippedSectors = ListLines(shipped);
        auto result = std::make_shared<SectorUpdateResult>(UpdateSectorData(options));
        return [this, result] { FinishSectorUpdate(*result); };
    });
    return true;
}

void MapWindow::FinishSectorUpdate(const SectorUpdateResult& result) {
    sectorUpdating_ = false;
    if (exiting_) return;
    if (result.Outcome != SectorUpdateOutcome::Updated || !MakeCurrent()) {
        ShowStatus(result.Message);
        return;
    }
    GlobeChanged();
    const AeronauticalLoad load = ReloadSectors(Model, Places(), Scenes.Sectors, Theme);
    RebuildShownScene();
    std::string text = "Sector data updated: " + std::to_string(Model.Sectors.Size()) + " sectors";
    for (const std::string& missing : load.Missing) text += ", could not read data/" + missing;
    ShowStatus(text);
}

void MapWindow::CheckSectorsAtStart() {
    if (Config.SectorCheckDays <= 0) return;
    bool known = false;
    const auto updated = SectorDataTime(Places(), known);
    const auto age = std::filesystem::file_time_type::clock::now() - updated;
    if (known && age < std::chrono::days(Config.SectorCheckDays)) return;
    UpdateSectors();
}

}  // namespace kestrava
