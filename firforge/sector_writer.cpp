#include "firforge/sector_writer.h"

#include "formats/files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "formats/text.h"

namespace kestrava {

namespace {

constexpr const char* kEndOfLine = "\r\n";

bool SamePoint(const GeoPoint& a, const GeoPoint& b) {
    return a.Latitude == b.Latitude && a.Longitude == b.Longitude;
}

void AppendPointLine(std::string& out, float latitude, float longitude) {
    out += FormatSingle(latitude);
    out += ':';
    out += FormatSingle(longitude);
    out += kEndOfLine;
}

// A point c-1 and c on the same meridian or parallel as c-2 makes the
// middle one a copy of c-2, so that the run is drawn as one straight edge.
int StraightenRuns(std::vector<GeoPoint>& points) {
    int changes = 0;
    for (size_t i = 2; i < points.size(); ++i) {
        GeoPoint& middle = points[i - 1];
        const GeoPoint& before = points[i - 2];
        const GeoPoint& after = points[i];
        if (after.Longitude == middle.Longitude && middle.Longitude == before.Longitude) {
            middle.Latitude = before.Latitude;
            ++changes;
        } else if (after.Latitude == middle.Latitude && middle.Latitude == before.Latitude) {
            middle.Longitude = before.Longitude;
            ++changes;
        }
    }
    return changes;
}

// The box centre to 0.1 degree, shifted 0.4 degree west.
void PlaceLabel(const std::vector<GeoPoint>& points, float& latitude, float& longitude) {
    float minLat = points[0].Latitude, maxLat = minLat;
    float minLon = points[0].Longitude, maxLon = minLon;
    for (const GeoPoint& p : points) {
        minLat = std::min(minLat, p.Latitude);
        maxLat = std::max(maxLat, p.Latitude);
        minLon = std::min(minLon, p.Longitude);
        maxLon = std::max(maxLon, p.Longitude);
    }
    float latSum = minLat + maxLat;
    float lonSum = minLon + maxLon - 0.8f;
    latitude = static_cast<float>(RoundHalfEven(latSum * 5.0f) / 10.0);
    longitude = static_cast<float>(RoundHalfEven(lonSum * 5.0f) / 10.0);
}

// Writes the outline; edges longer than 4 degrees get evenly spaced
// intermediate points. Returns the number of intermediate points.
int WriteOutline(const std::vector<GeoPoint>& points, std::string& out) {
    int intermediate = 0;
    GeoPoint previous{0, 0};
    for (const GeoPoint& point : points) {
        if (!SamePoint(point, previous)) {
            if (previous.Latitude != 0 || previous.Longitude != 0) {
                double dLat = static_cast<double>(point.Latitude) - previous.Latitude;
                double dLon = static_cast<double>(point.Longitude) - previous.Longitude;
                double distance = std::sqrt(dLon * dLon + dLat * dLat);
                if (distance > 4) {
                    const double count = std::floor(distance / 4) + 1;
                    const int n = count < kMaxIntermediatePoints ? static_cast<int>(count) : kMaxIntermediatePoints;
                    for (int j = 1; j <= n; ++j) {
                        double lat = ((n - j + 1) * static_cast<double>(previous.Latitude) +
                                      j * static_cast<double>(point.Latitude)) / (n + 1);
                        double lon = ((n - j + 1) * static_cast<double>(previous.Longitude) +
                                      j * static_cast<double>(point.Longitude)) / (n + 1);
                        AppendPointLine(out, RoundTo(lat, 2), RoundTo(lon, 2));
                        ++intermediate;
                    }
                }
            }
            AppendPointLine(out, point.Latitude, point.Longitude);
        }
        previous = point;
    }
    return intermediate;
}

void AppendListLine(std::string& out, const std::string& id, const CurrentSector& sector,
                    float labelLat, float labelLon, int listNumber) {
    out += id + ":" + sector.SectorName + ":" + sector.SectorPlace + ":" + FormatSingle(labelLat) +
           ":" + FormatSingle(labelLon) + ":" + std::to_string(listNumber) + kEndOfLine;
}

// A point's number in a log line, as it was read.
std::string LoggedNumber(float value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-infinity" : "infinity";
    return FormatSingle(value);
}

}  // namespace

float RoundTo(double value, int decimals) {
    double scale = decimals == 1 ? 10.0 : decimals == 2 ? 100.0 : std::pow(10.0, decimals);
    return static_cast<float>(RoundHalfEven(value * scale) / scale);
}

ConversionState StartConversion(SourceType source, double r, LogSink log) {
    ConversionState state;
    state.ListCounter = ListCounterStart(source, r);
    state.Log = std::move(log);
    state.RefuseOutOfRange = source != SourceType::SectorFile;
    return state;
}

const GeoPoint* FirstPointOutOfRange(const std::vector<GeoPoint>& points) {
    for (const GeoPoint& p : points) {
        if (!(p.Latitude >= -90 && p.Latitude <= 90 && p.Longitude >= -360 && p.Longitude <= 360)) return &p;
    }
    return nullptr;
}

void ClearPoints(ConversionState& state) {
    state.PointBuffer.clear();
    state.PointsLeftOut = 0;
}

void StartSector(ConversionState& state, CurrentSector sector) {
    ClearPoints(state);
    state.Sector = std::move(sector);
}

void CollectPoint(ConversionState& state, GeoPoint point) {
    if (state.PointBuffer.size() >= static_cast<size_t>(kPointBufferSize)) {
        ++state.PointsLeftOut;
        return;
    }
    state.PointBuffer.push_back(point);
}

std::string RemoveSuffixes(std::string id) {
    for (const char* suffix : {"_CTR", "_FSS", "_APP", "_TWR", "_GND", "_DEL", "_DEP"})
        if (EndsWith(ToUpper(id), suffix)) id.resize(id.size() - 4);
    return id;
}

bool WriteSector(ConversionState& state) {
    std::vector<GeoPoint> points = state.PointBuffer;
    const std::string& id = state.Sector.Id;
    std::string listedId = RemoveSuffixes(id);
    if (points.size() < 4) return false;
    // Each id is listed once: a repeat of either the full or the shortened
    // id would give firlist.dat a second line under a key already there.
    if (state.WrittenSectors.count(ToUpper(id)) || state.WrittenSectors.count(ToUpper(listedId)))
        return false;
    const auto log = [&](const std::string& line) {
        if (state.Log) state.Log(line);
    };
    if (state.RefuseOutOfRange) {
        if (const GeoPoint* bad = FirstPointOutOfRange(points)) {
            log(" Skipped sector " + id + ": point " + LoggedNumber(bad->Latitude) + ":" +
                LoggedNumber(bad->Longitude) + " is out of range (latitude -90..90, longitude -360..360)");
            return false;
        }
    }

    points.push_back(points.front());
    log(" Read sector " + id + " (" + std::to_string(points.size()) + " points)");
    if (state.PointsLeftOut > 0)
        log("    Truncated " + id + " at " + std::to_string(kPointBufferSize) + " points (" +
            std::to_string(state.PointsLeftOut) + " points left out)");

    int changes = StraightenRuns(points);
    if (changes > 0) log("    Extrapolated " + id + " (" + std::to_string(changes) + " points)");

    float labelLat = state.Sector.LabelLat, labelLon = state.Sector.LabelLon;
    if (labelLat == 0 && labelLon == 0) PlaceLabel(points, labelLat, labelLon);

    int listNumber = ++state.ListCounter;
    state.Display += "DISPLAY_LIST_" + std::to_string(listNumber) + kEndOfLine;
    int intermediate = WriteOutline(points, state.Display);
    if (intermediate > 0)
        log("    Interpolated " + id + " (" + std::to_string(intermediate) + " points)");

    AppendListLine(state.List, listedId, state.Sector, labelLat, labelLon, listNumber);
    ++state.SectorsWritten;
    state.WrittenSectors.insert(ToUpper(listedId));
    return true;
}

void WriteAliasLine(ConversionState& state, const CurrentSector& alias) {
    AppendListLine(state.List, alias.Id, alias, alias.LabelLat, alias.LabelLon, state.ListCounter);
    state.WrittenSectors.insert(ToUpper(alias.Id));
}

void FinishConversion(ConversionState& state) {
    if (state.Log) {
        state.Log("File closed");
        state.Log("Extracted " + std::to_string(state.SectorsWritten) + " sectors");
        state.Log("");
    }
    state.Display += std::string("DISPLAY_LIST_END") + kEndOfLine;
    state.WrittenSectors.clear();
}

namespace {
// The path from the root, for the log.
std::string FullPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}
}  // namespace

bool WriteOutputPair(const ConversionState& state, const std::string& folder) {
    const std::string displayPath = folder + "/firdisplay.dat";
    const std::string listPath = folder + "/firlist.dat";
    // Both files or neither: each is written whole first (a folder or a
    // read-only file in the place of either fails here, before anything is
    // replaced), then both are renamed into place. Should the list's rename
    // still fail, the old firdisplay.dat goes back.
    PendingFile display(displayPath), list(listPath);
    bool ok = display.Write(state.Display) && list.Write(state.List);
    if (ok) {
        const std::string kept = display.Path() + ".old" + std::to_string(::getpid());
        const bool hadDisplay = ::link(display.Path().c_str(), kept.c_str()) == 0;
        ok = display.Commit();
        if (ok && !list.Commit()) {
            ok = false;
            if (hadDisplay)
                std::rename(kept.c_str(), display.Path().c_str());
            else
                std::remove(display.Path().c_str());
        }
        if (hadDisplay) std::remove(kept.c_str());
    }
    if (!state.Log) return ok;
    if (!ok) {
        state.Log("Could not write firdisplay.dat and firlist.dat into " + folder);
        return false;
    }
    // The log ends with what was written, where.
    if (state.SectorsWritten == 0) state.Log("No sectors found: the written pair is empty");
    state.Log(FullPath(displayPath));
    state.Log(FullPath(listPath));
    return true;
}

}  // namespace kestrava
