// Conversions of real sector data, read back with the viewer's readers.
//
// The expected counts were derived by hand with a separate script written
// from the format description (regular expressions for the column layouts,
// Python's decimal rounding, its own straightening and subdivision count),
// run once over the same files; they are not outputs of this converter.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "firforge/conversion.h"
#include "firforge_test_support.h"
#include "formats/sector_files.h"
#include "formats/text.h"
#include "support/test_support.h"

namespace kestrava {
namespace {

using firforgetest::ConversionRun;
using firforgetest::RunConversion;

struct Expected {
    int Sectors;             // polygons written
    int CollectedPoints;     // sum of " Read sector" counts (ring closed)
    int WrittenVertices;     // vertex lines in firdisplay.dat
    size_t ListLines;        // sectors plus aliases
};

// Points collected per sector, from the " Read sector <id> (<n> points)" lines.
std::map<std::string, int> CollectedPerSector(const ConversionRun& run) {
    std::map<std::string, int> counts;
    for (const std::string& line : run.Log) {
        if (!StartsWith(line, " Read sector ")) continue;
        size_t open = line.rfind(" (");
        counts[line.substr(13, open - 13)] = static_cast<int>(ReadNumber(line.substr(open + 2)));
    }
    return counts;
}

// Reads the pair back as the viewer does and checks it against the counts:
// every listed id has its polygon, every polygon is listed, numbers are
// consecutive from the first.
void CheckReadBack(const ConversionRun& run, const Expected& expected, int firstNumber) {
    ASSERT_TRUE(run.Ok);
    std::vector<SectorPolygon> polygons;
    ASSERT_TRUE(ReadPolygonFile(run.Folder + "/firdisplay.dat", polygons));
    KeyedIndex sectors;
    ASSERT_TRUE(ReadKeyedFile(run.Folder + "/firlist.dat", sectors));

    ASSERT_EQ(polygons.size(), static_cast<size_t>(expected.Sectors));
    int vertices = 0;
    std::set<int> numbers;
    for (size_t i = 0; i < polygons.size(); ++i) {
        EXPECT_EQ(polygons[i].Number, firstNumber + static_cast<int>(i));
        EXPECT_GE(polygons[i].Points.size(), 4u);
        // The ring is closed.
        EXPECT_EQ(polygons[i].Points.front().Latitude, polygons[i].Points.back().Latitude);
        EXPECT_EQ(polygons[i].Points.front().Longitude, polygons[i].Points.back().Longitude);
        vertices += static_cast<int>(polygons[i].Points.size());
        numbers.insert(polygons[i].Number);
    }
    EXPECT_EQ(vertices, expected.WrittenVertices);

    // Each id is listed once and names a polygon of the file.
    std::vector<std::string> listLines = firforgetest::CrLfLines(run.List);
    EXPECT_EQ(listLines.size(), expected.ListLines);
    EXPECT_EQ(sectors.Size(), expected.ListLines);
    std::set<int> listed;
    for (const std::string& line : listLines) {
        std::string id = line.substr(0, line.find(':'));
        ASSERT_TRUE(sectors.Has(id)) << id;
        int number = static_cast<int>(ReadNumber(sectors.Item(id, 4)));
        EXPECT_TRUE(numbers.count(number)) << line;
        listed.insert(number);
    }
    EXPECT_EQ(listed, numbers);

    int collected = 0;
    for (const auto& [id, count] : CollectedPerSector(run)) collected += count;
    EXPECT_EQ(collected, expected.CollectedPoints);
    EXPECT_EQ(run.Log[run.Log.size() - 2], "Extracted " + std::to_string(expected.Sectors) + " sectors");
}

const std::string kArgentina = "sct/SectorFile__VATSIM-Argentina.sct";

TEST(RealInputs, ArgentinaSectorFileInEachArtccSection) {
    SkipWithoutRealData();
    // Only names of exactly ten characters fit the fixed columns, so of the
    // five FIR outlines of [ARTCC] only FIRMendoza and FIRCORDOBA are read.
    auto artcc = RunConversion(SourceType::SectorFile, testsupport::RealDataPath(kArgentina), 0.5, "[ARTCC]");
    CheckReadBack(artcc, {2, 844, 756, 2}, 3601);
    auto collected = CollectedPerSector(artcc);
    EXPECT_EQ(collected, (std::map<std::string, int>{{"FIRMendoza", 640}, {"FIRCORDOBA", 204}}));
    EXPECT_EQ(artcc.Log.front(), "File opened - length 2820 KB");  // 2887890 bytes

    auto high = RunConversion(SourceType::SectorFile, testsupport::RealDataPath(kArgentina), 0.0, "[ARTCC HIGH]");
    CheckReadBack(high, {11, 452, 439, 11}, 601);
    auto low = RunConversion(SourceType::SectorFile, testsupport::RealDataPath(kArgentina), 0.0, "[ARTCC LOW]");
    CheckReadBack(low, {5, 239, 207, 5}, 601);
    std::set<std::string> lowIds;
    for (const auto& [id, count] : CollectedPerSector(low)) lowIds.insert(id);
    EXPECT_EQ(lowIds, (std::set<std::string>{"CTRCordoba", "ATZPalomar", "CTRTucuman", "CTRMendoza",
                                             "CTRFormosa"}));
}

TEST(RealInputs, EdmmFixtureHasEmptyArtccSectionsAndOneFittingNavaid) {
    SkipWithoutRealData();
    NavaidTable navaids;
    std::string out = testsupport::MakeTempFolder("firforge-out");
    auto run = RunConversion(SourceType::SectorFile, testsupport::RealDataPath("sct/vatsim-parser__EDMM.sct"),
                             navaids, 0.0, "[ARTCC]", out);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.Display, "DISPLAY_LIST_END\r\n");
    EXPECT_EQ(run.List, "");
    EXPECT_EQ(run.Log.front(), "File opened - length 1 KB");  // 573 bytes
    // Its VOR and NDB lines have a blank after the 3-letter name and a
    // 7-character frequency, so only the fix NAXAV fits a layout.
    ASSERT_EQ(navaids.size(), 1u);
    EXPECT_EQ(navaids.at("NAXAV").Latitude, "N046.27.50.000");
    EXPECT_EQ(navaids.at("NAXAV").Longitude, "E011.19.19.999");
}

TEST(RealInputs, IvAePairWithAliasesRepeatedHeadersAndMalformedPoints) {
    SkipWithoutRealData();
    auto run = RunConversion(SourceType::IvAe,
                             testsupport::RealDataPath("ivae-firs-fir-dat/IVAO-status/firs.dat"), 0.0);
    // 452 outlines matched by the catalogue, 21 further entries alias them.
    CheckReadBack(run, {452, 31563, 30639, 473}, 600);
    auto collected = CollectedPerSector(run);
    // Blocks with malformed point lines ("31.91:34:88", "2.39:-55.73:",
    // "64.84:72:34"): only their 2-field lines count, plus the closing point.
    EXPECT_EQ(collected["LLSC"], 65 + 1);
    EXPECT_EQ(collected["SBAZ"], 208 + 1);
    EXPECT_EQ(collected["USHH"], 26 + 1);
    // EBBU closes with its own header; EBSZ shares its polygon.
    EXPECT_EQ(collected["EBBU"], 203 + 1);
    KeyedIndex sectors;
    ASSERT_TRUE(ReadKeyedFile(run.Folder + "/firlist.dat", sectors));
    EXPECT_EQ(sectors.Item("EBSZ", 4), sectors.Item("EBBU", 4));
    EXPECT_EQ(sectors.Item("EBSZ", 0), "Belga");
    EXPECT_EQ(sectors.Item("EDWW_E", 0), "Bremen");
    // A catalogue line without a label position gets the computed one.
    EXPECT_NE(sectors.Item("RJCG", 2), "0");
    EXPECT_EQ(std::count(run.Log.begin(), run.Log.end(), " Aliased sector EBSZ"), 1);
}

}  // namespace
}  // namespace kestrava
