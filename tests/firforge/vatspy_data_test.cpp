// The VAT-Spy data conversion: the real files of the project (counted and
// read back independently, with Python's own JSON reader), the shipped pair
// made again, and the refusals of damaged input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "firforge/vatspy_data.h"
#include "firforge_test_support.h"
#include "formats/keyed_index.h"
#include "formats/sector_files.h"
#include "formats/text.h"
#include "support/test_support.h"

namespace kestrava {
namespace {

using firforgetest::WriteInput;

std::string VatSpyFolder() { return testsupport::RealDataPath("vatspy"); }

#define NEEDS_VATSPY()                                                                               \
    do {                                                                                             \
        SkipWithoutRealData();                                                                   \
        if (!std::filesystem::exists(VatSpyFolder() + "/Boundaries.geojson"))                        \
            GTEST_SKIP() << "The VAT-Spy data are not in " << VatSpyFolder();                        \
    } while (false)

// The output of a Python script (stdout), run on the real data folder.
std::string Python(const std::string& script) {
    const std::string path = testsupport::MakeTempFolder("vatspy-py") + "/count.py";
    testsupport::WriteFile(path, script);
    std::string out;
    FILE* pipe = ::popen(("python3 " + path + " " + VatSpyFolder()).c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

struct RealConversion {
    VatSpyFile File;
    std::vector<BoundaryFeature> Features;
    VatSpyConversion Result;
};

const RealConversion& Real() {
    static RealConversion real = [] {
        RealConversion r;
        std::string error;
        const std::string dat = testsupport::ReadFile(VatSpyFolder() + "/VATSpy.dat");
        const std::string json = testsupport::ReadFile(VatSpyFolder() + "/Boundaries.geojson");
        EXPECT_TRUE(ReadVatSpyDat(dat, r.File, error)) << error;
        EXPECT_TRUE(ReadBoundaries(json, r.Features, error)) << error;
        EXPECT_TRUE(ConvertVatSpyData(r.File, r.Features, testsupport::ReadFile(testsupport::SourcePath("data/airports.dat")),
                                      r.Result, error))
            << error;
        return r;
    }();
    return real;
}

TEST(VatSpyRealData, CountsMatchAnIndependentReading) {
    NEEDS_VATSPY();
    // Counted by Python from the raw files: rows per section, outer rings,
    // and the distinct (id, oceanic) pairs of the features.
    const std::string counts = Python(R"(
import json, sys
folder = sys.argv[1]
rows = {}
section = None
for line in open(folder + "/VATSpy.dat", encoding="utf-8-sig"):
    line = line.strip()
    if line.startswith("["):
        section = line.upper(); continue
    if line and not line.startswith(";"):
        rows[section] = rows.get(section, 0) + 1
d = json.load(open(folder + "/Boundaries.geojson", encoding="utf-8"))
rings = sum(len(f["geometry"]["coordinates"]) if f["geometry"]["type"] == "MultiPolygon" else 1 for f in d["features"])
keys = {(f["properties"]["id"], f["properties"].get("oceanic") == "1") for f in d["features"]}
print(rows["[COUNTRIES]"], rows["[FIRS]"], rows["[UIRS]"], len(d["features"]), rings, len(keys),
      sum(1 for k in keys if k[1]))
)");
    std::istringstream in(counts);
    size_t countries = 0, firs = 0, uirs = 0, features = 0, rings = 0, regions = 0, oceanic = 0;
    ASSERT_TRUE(in >> countries >> firs >> uirs >> features >> rings >> regions >> oceanic) << "python3: " << counts;
    const RealConversion& real = Real();
    EXPECT_EQ(real.File.Countries.size(), countries);
    EXPECT_EQ(real.File.Firs.size(), firs);
    EXPECT_EQ(real.File.Uirs.size(), uirs);
    EXPECT_EQ(real.Features.size(), features);
    size_t readRings = 0;
    for (const BoundaryFeature& f : real.Features) readRings += f.Rings.size();
    EXPECT_EQ(readRings, rings);
    EXPECT_EQ(real.Result.Regions.size(), regions);
    size_t readOceanic = 0;
    for (const VatSpyRegion& r : real.Result.Regions) readOceanic += r.Oceanic;
    EXPECT_EQ(readOceanic, oceanic);
    // Every region is drawn once: the polygons read back are the regions.
    std::vector<SectorPolygon> polygons;
    ReadPolygonLines(firforgetest::CrLfLines(real.Result.Display), [&](int number, const std::vector<GeoPoint>& p) {
        polygons.push_back({number, p});
    });
    EXPECT_EQ(polygons.size(), regions);
}

TEST(VatSpyRealData, SectorsFollowTheirBoundaryPointByPoint) {
    NEEDS_VATSPY();
    // The only ring of each of these boundaries, as Python reads it.
    const std::string rings = Python(R"(
import json, sys
d = json.load(open(sys.argv[1] + "/Boundaries.geojson", encoding="utf-8"))
for wanted in ("EDGG", "LFFF", "LIRR", "EGTT"):
    found = [f for f in d["features"] if f["properties"]["id"] == wanted and f["properties"]["oceanic"] == "0"]
    if len(found) != 1 or len(found[0]["geometry"]["coordinates"]) != 1:
        continue
    print(wanted, " ".join("%r,%r" % (p[1], p[0]) for p in found[0]["geometry"]["coordinates"][0][0]))
)");
    const RealConversion& real = Real();
    KeyedIndex list;
    ReadKeyedLines(firforgetest::CrLfLines(real.Result.List), list);
    std::map<int, std::vector<GeoPoint>> polygons;
    ReadPolygonLines(firforgetest::CrLfLines(real.Result.Display),
                     [&](int number, const std::vector<GeoPoint>& p) { polygons[number] = p; });
    std::istringstream in(rings);
    std::string id, line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        fields >> id;
        const KeyedIndex::Items* items = list.Find(id);
        ASSERT_NE(items, nullptr) << id;
        const std::vector<GeoPoint>& drawn = polygons[ReadListNumber((*items)[4])];
        ASSERT_FALSE(drawn.empty()) << id;
        // Each source point in order among the drawn ones (those added on
        // long edges lie between them).
        size_t at = 0, points = 0;
        std::string pair;
        while (fields >> pair) {
            const size_t comma = pair.find(',');
            const float lat = static_cast<float>(ReadNumber(pair.substr(0, comma)));
            const float lon = static_cast<float>(ReadNumber(pair.substr(comma + 1)));
            while (at < drawn.size() && !(std::fabs(drawn[at].Latitude - lat) < 1e-4f &&
                                          std::fabs(drawn[at].Longitude - lon) < 1e-4f))
                ++at;
            ASSERT_LT(at, drawn.size()) << id << ": source point " << points << " (" << pair << ") not drawn in order";
            ++points;
        }
        EXPECT_GT(points, 3u) << id;
        ++checked;
    }
    EXPECT_GE(checked, 2) << "python3: " << rings;
}

TEST(VatSpyRealData, AUirExpandsToItsFirsAndTheShippedPairIsMadeAgain) {
    NEEDS_VATSPY();
    const RealConversion& real = Real();
    // The boundaries of AFRE_E's FIRs, by Python from the raw lines.
    const std::string expected = Python(R"(
import sys
section, firs, uir = None, {}, None
for line in open(sys.argv[1] + "/VATSpy.dat", encoding="utf-8-sig"):
    line = line.strip()
    if line.startswith("["): section = line.upper(); continue
    if not line or line.startswith(";"): continue
    f = [x.strip() for x in line.split("|")]
    if section == "[FIRS]": firs.setdefault(f[0], []).append(f[3] or f[0])
    if section == "[UIRS]" and f[0] == "AFRE_E": uir = f[2].split(",")
out = []
for icao in uir:
    for b in firs.get(icao, []):
        if b not in out: out.append(b)
print(" ".join(out))
)");
    const VatSpyUir* uir = nullptr;
    for (const VatSpyUir& u : real.File.Uirs)
        if (u.Id == "AFRE_E") uir = &u;
    ASSERT_NE(uir, nullptr);
    std::string joined;
    for (const std::string& b : ExpandUir(real.File, *uir)) joined += (joined.empty() ? "" : " ") + b;
    EXPECT_EQ(joined + "\n", expected);
    // Each of those FIRs has its polygon.
    for (const std::string& b : ExpandUir(real.File, *uir)) {
        bool drawn = false;
        for (const VatSpyRegion& r : real.Result.Regions) drawn = drawn || (r.BoundaryId == b && r.Number > 0);
        EXPECT_TRUE(drawn) << b;
    }

    // The pair written through firforge's request is the shipped one, byte
    // for byte.
    const std::string folder = testsupport::MakeTempFolder("vatspy-out");
    ConversionRequest request;
    request.Source = SourceType::VatSpy;
    request.InputPath = VatSpyFolder() + "/Boundaries.geojson";
    request.OutputFolder = folder;
    request.AirportsPath = testsupport::SourcePath("data/airports.dat");
    std::vector<std::string> log;
    NavaidTable navaids;
    ASSERT_TRUE(Convert(request, navaids, [&](const std::string& l) { log.push_back(l); }, {}));
    EXPECT_TRUE(testsupport::ReadFile(folder + "/firdisplay.dat") ==
                testsupport::ReadFile(testsupport::SourcePath("data/firdisplay.dat")));
    EXPECT_TRUE(testsupport::ReadFile(folder + "/firlist.dat") ==
                testsupport::ReadFile(testsupport::SourcePath("data/firlist.dat")));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], folder + "/firdisplay.dat");
    EXPECT_EQ(log.back(), folder + "/firlist.dat");
}

// --- Made-up input ----------------------------------------------------------

std::string Feature(const std::string& id, const std::string& ring, const std::string& oceanic = "0") {
    return R"({"type":"Feature","properties":{"id":")" + id + R"(","oceanic":")" + oceanic +
           R"(","label_lat":"","label_lon":""},"geometry":{"type":"MultiPolygon","coordinates":[[)" + ring + "]]}}";
}
std::string Collection(const std::string& features) { return R"({"type":"FeatureCollection","features":[)" + features + "]}"; }

const char* kDat = "[Countries]\nGermany|ED|Centre\n[FIRs]\nEDGG|Langen Radar||EDGG\nNZZO|Auckland Oceanic||NZZO\n"
                   "[UIRs]\nEURW|Europe West|EDGG\n";

TEST(VatSpyConversion, PiecesCutAtTheMeridianJoinAndLongEdgesGoTheShortWay) {
    // Two pieces of one oceanic region beside the 180th meridian: 10..20 N
    // east of it, 5..15 N west of it. Joined, they make one ring that holds
    // points on both sides; the long edges are split the short way round.
    const std::string east = "[[170,10],[180,10],[180,20],[170,20],[170,10]]";
    const std::string west = "[[-180,5],[-170,5],[-170,15],[-180,15],[-180,5]]";
    const std::string json = Collection(Feature("NZZO", east) + "," + Feature("NZZO", west) + "," +
                                        Feature("EDGG", "[[8,49],[9,49],[9,51],[8,51],[8,49]]"));
    VatSpyConversion out;
    std::string error;
    ASSERT_TRUE(ConvertVatSpyTexts(kDat, json, "EDDF:Frankfurt:Frankfurt:DE:50:8.5\r\n", out, error)) << error;
    ASSERT_EQ(out.Regions.size(), 2u);
    const VatSpyRegion& oceanic = out.Regions[0];
    EXPECT_EQ(oceanic.Joins, 1);
    EXPECT_EQ(oceanic.LeftOut, 0);
    EXPECT_TRUE(RingContains(oceanic.Outline, 12, 175));
    EXPECT_TRUE(RingContains(oceanic.Outline, 12, -175));
    EXPECT_FALSE(RingContains(oceanic.Outline, 7, 175));
    EXPECT_NEAR(std::fabs(SignedArea(oceanic.Outline)),
                std::fabs(SignedArea({{10, 170}, {10, 180}, {20, 180}, {20, 170}})) +
                    std::fabs(SignedArea({{5, -180}, {5, -170}, {15, -170}, {15, -180}})),
                1e-9);
    std::vector<SectorPolygon> polygons;
    ReadPolygonLines(firforgetest::CrLfLines(out.Display),
                     [&](int n, const std::vector<GeoPoint>& p) { polygons.push_back({n, p}); });
    ASSERT_EQ(polygons.size(), 2u);
    for (const GeoPoint& p : polygons[1].Points)  // the oceanic region is listed second
        EXPECT_GE(std::fabs(p.Longitude), 170.0f) << p.Latitude << ":" << p.Longitude;
    EXPECT_EQ(out.List, "EDGG:Langen Radar:DE:50:8.5:100\r\nNZZO:Auckland Oceanic:ZZ:12.5:180:101\r\n");
}

TEST(VatSpyConversion, DamagedInputIsRefusedWithAClearMessage) {
    const std::string good = Feature("EDGG", "[[8,49],[9,49],[9,51],[8,49]]");
    std::string many = "[";
    for (size_t i = 0; i < kMaxBoundaryPoints + 1; ++i) many += i ? ",[8,49]" : "[8,49]";
    many += "]";
    const struct {
        std::string Dat, Json, Message;
    } cases[] = {
        {kDat, "[1,2]", "Boundaries.geojson is not a GeoJSON object"},
        {kDat, "{\"type\":\"FeatureCollection\"}", "Boundaries.geojson has no \"features\" list"},
        {kDat, Collection(R"({"properties":{"id":"EDGG"}})"), "Boundaries.geojson: feature 1 (EDGG): no geometry"},
        {kDat, Collection(Feature("EDGG", "[[8,49],[9,49],[8,49]]")), "feature 1 (EDGG): a ring of fewer than 3 points"},
        {kDat, Collection(Feature("EDGG", R"([["8","49"],[9,49],[9,51],[8,49]])")), "a coordinate that is not a number"},
        {kDat, Collection(Feature("EDGG", "[[8,91],[9,49],[9,51],[8,91]]")), "lies beyond +-90 latitude or +-180 longitude"},
        {kDat, Collection(Feature("EDGG", "[[181,49],[9,49],[9,51],[181,49]]")), "lies beyond"},
        {kDat, Collection(Feature("EDGG", "[[NaN,49],[9,49],[9,51],[8,49]]")), "Boundaries.geojson is not JSON"},
        {kDat, Collection(Feature("EDGG", many)), "more than 2000000 positions"},
        {kDat, std::string(kMaxBoundaryBytes + 1, ' '), "Boundaries.geojson is larger than 64 MiB"},
        {"EDGG|Langen Radar||EDGG\n", Collection(good), "VATSpy.dat has no [FIRs] section"},
        {"[FIRs]\nEDGG|Langen Radar\n", Collection(good),
         "VATSpy.dat line 2: a [FIRs] line needs 4 fields separated by \"|\", it has 2"},
        {"[FIRs]\nEDGG|Langen||EDGG\n[UIRs]\nEURW\n", Collection(good), "VATSpy.dat line 4: a [UIRs] line needs 3"},
    };
    for (const auto& c : cases) {
        VatSpyConversion out;
        std::string error;
        EXPECT_FALSE(ConvertVatSpyTexts(c.Dat, c.Json, "", out, error)) << c.Message;
        EXPECT_NE(error.find(c.Message), std::string::npos) << "wanted: " << c.Message << "\ngot: " << error;
    }

    // Through firforge: the message is logged and the old pair stays.
    const std::string folder = std::filesystem::path(WriteInput("VATSpy.dat", kDat)).parent_path().string();
    testsupport::WriteFile(folder + "/Boundaries.geojson", "[]");
    testsupport::WriteFile(folder + "/firdisplay.dat", "old display");
    testsupport::WriteFile(folder + "/firlist.dat", "old list");
    ConversionRequest request;
    request.Source = SourceType::VatSpy;
    request.InputPath = folder + "/VATSpy.dat";
    request.OutputFolder = folder;
    std::vector<std::string> log;
    NavaidTable navaids;
    EXPECT_FALSE(Convert(request, navaids, [&](const std::string& l) { log.push_back(l); }, {}));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[log.size() - 2], "Boundaries.geojson is not a GeoJSON object");
    EXPECT_EQ(log.back(), "Nothing written");
    EXPECT_EQ(testsupport::ReadFile(folder + "/firdisplay.dat"), "old display");
    EXPECT_EQ(testsupport::ReadFile(folder + "/firlist.dat"), "old list");

    // No features: an empty pair, said so, the paths last.
    testsupport::WriteFile(folder + "/Boundaries.geojson", Collection(""));
    log.clear();
    EXPECT_TRUE(Convert(request, navaids, [&](const std::string& l) { log.push_back(l); }, {}));
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "No sectors found: the written pair is empty");
    EXPECT_EQ(log.back(), folder + "/firlist.dat");
    EXPECT_EQ(testsupport::ReadFile(folder + "/firdisplay.dat"), "DISPLAY_LIST_END\r\n");
    EXPECT_EQ(testsupport::ReadFile(folder + "/firlist.dat"), "");
}

}  // namespace
}  // namespace kestrava
