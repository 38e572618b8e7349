#include "kestrav/network/sector_update.h"

#include <simdjson.h>

#include <filesystem>
#include <set>
#include <vector>

#include "firforge/sector_writer.h"
#include "firforge/vatspy_data.h"
#include "formats/files.h"
#include "formats/keyed_index.h"
#include "formats/sector_files.h"
#include "formats/text.h"
#include "kestrav/network/fault.h"

namespace kestrava {

namespace {

SectorUpdateResult Failed(const std::string& step, const std::string& why) {
    SectorUpdateResult result;
    result.Message = "Sector update failed (" + step + "): " + why;
    return result;
}

std::string Fetch(const std::string& address, const TransferOptions& options, std::string& error) {
    try {
        return FetchText(address, options);
    } catch (const Fault& fault) {
        error = fault.what();
    }
    return {};
}

}  // namespace

bool ReadMapData(std::string_view json, MapData& data, std::string& error) {
    simdjson::dom::parser parser;
    simdjson::padded_string padded(json);
    simdjson::dom::element root;
    simdjson::dom::object o;
    if (parser.parse(padded).get(root) != simdjson::SUCCESS || root.get_object().get(o) != simdjson::SUCCESS) {
        error = "the answer is not a JSON object";
        return false;
    }
    const auto text = [&](const char* key, std::string& out) {
        std::string_view value;
        if (o[key].get_string().get(value) != simdjson::SUCCESS || value.empty()) {
            error = std::string("the answer has no \"") + key + "\"";
            return false;
        }
        out = Utf8ToCp1252(value);
        return true;
    };
    if (!text("current_commit_hash", data.Hash) || !text("vatspy_dat_url", data.VatSpyUrl) ||
        !text("fir_boundaries_geojson_url", data.BoundariesUrl))
        return false;
    for (const std::string* address : {&data.VatSpyUrl, &data.BoundariesUrl})
        if (!IsWebAddress(*address)) {
            error = "\"" + *address + "\" is not an http or https address";
            return false;
        }
    return true;
}

bool CheckSectorPair(const std::string& display, const std::string& list, int shippedSectors, std::string& error) {
    std::set<int> numbers;
    bool ok = true;
    ReadPolygonLines(TextLines(display), [&](int number, const std::vector<GeoPoint>& points) {
        if (!ok) return;
        numbers.insert(number);
        if (points.size() < 3) {
            error = "polygon " + std::to_string(number) + " has fewer than 3 points";
            ok = false;
        }
        for (const GeoPoint& p : points)
            if (ok && !(p.Latitude >= -90 && p.Latitude <= 90 && p.Longitude >= -180 && p.Longitude <= 180)) {
                error = "polygon " + std::to_string(number) + " has a point beyond the globe's ranges";
                ok = false;
            }
    });
    if (!ok) return false;
    const std::vector<std::string> lines = TextLines(list);
    KeyedIndex index;
    ReadKeyedLines(lines, index);
    int sectors = 0;
    for (const std::string& line : lines) {
        KeyedLine keyed;
        if (!SplitKeyedLine(line, keyed)) {
            error = "the list line \"" + line + "\" does not read back";
            return false;
        }
        if (!numbers.count(ReadListNumber(keyed.Items[4]))) {
            error = "sector " + keyed.Key + " has no polygon";
            return false;
        }
        ++sectors;
    }
    if (index.Size() != static_cast<size_t>(sectors)) {
        error = "the list has repeated ids";
        return false;
    }
    if (sectors * 2 < shippedSectors) {
        error = std::to_string(sectors) + " sectors, fewer than half the " + std::to_string(shippedSectors) +
                " shipped";
        return false;
    }
    return true;
}

SectorUpdateResult UpdateSectorData(const SectorUpdateOptions& options) {
    std::string error;
    if (!IsWebAddress(options.MapDataUrl))
        return Failed("reading the map data", "\"" + options.MapDataUrl + "\" is not an http or https address");
    const std::string answer = Fetch(options.MapDataUrl, options.Transfer, error);
    if (!error.empty()) return Failed("fetching the map data", error);
    MapData data;
    if (!ReadMapData(answer, data, error)) return Failed("reading the map data", error);

    const std::string hashPath = options.Folder + "/" + kSectorHashName;
    std::string kept;
    if (ReadWholeFile(hashPath, kept)) {
        const std::vector<std::string> lines = TextLines(kept);
        kept = lines.empty() ? std::string() : Trim(lines.front());
    }
    if (!kept.empty() && kept == data.Hash) {
        SectorUpdateResult result;
        result.Outcome = SectorUpdateOutcome::UpToDate;
        result.Hash = data.Hash;
        result.Message = "Sector data are up to date";
        return result;
    }

    const std::string vatSpy = Fetch(data.VatSpyUrl, options.Transfer, error);
    if (!error.empty()) return Failed("fetching VATSpy.dat", error);
    const std::string boundaries = Fetch(data.BoundariesUrl, options.Transfer, error);
    if (!error.empty()) return Failed("fetching Boundaries.geojson", error);

    std::string airports;
    ReadWholeFile(options.AirportsPath, airports);
    VatSpyConversion conversion;
    if (!ConvertVatSpyTexts(vatSpy, boundaries, airports, conversion, error)) return Failed("converting", error);
    if (!CheckSectorPair(conversion.Display, conversion.List, options.ShippedSectors, error))
        return Failed("checking", error);

    ConversionState state;
    state.Display = std::move(conversion.Display);
    state.List = std::move(conversion.List);
    std::string writeError;
    state.Log = [&](const std::string& line) { writeError = line; };
    std::error_code ec;
    std::filesystem::create_directories(options.Folder, ec);
    if (!WriteOutputPair(state, options.Folder))
        return Failed("writing", writeError.empty() ? "could not create " + options.Folder : writeError);
    std::string reason;
    if (!WriteFileAtomic(hashPath, data.Hash + "\n", &reason)) return Failed("writing", reason);

    SectorUpdateResult result;
    result.Outcome = SectorUpdateOutcome::Updated;
    result.Hash = data.Hash;
    result.Sectors = conversion.Sectors;
    result.Polygons = conversion.Polygons;
    result.Message = "Sector data updated: " + std::to_string(result.Sectors) + " sectors, " +
                     std::to_string(result.Polygons) + " polygons";
    return result;
}

}  // namespace kestrava
