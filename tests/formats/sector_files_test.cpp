#include "formats/reference_tables.h"
#include "formats/sector_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace kestrava {
namespace {

std::vector<SectorPolygon> PolygonsOf(const std::vector<std::string>& lines) {
    std::vector<SectorPolygon> polygons;
    ReadPolygonLines(lines, [&](int number, const std::vector<GeoPoint>& points) {
        polygons.push_back(SectorPolygon{number, points});
    });
    return polygons;
}

TEST(PolygonFile, HeaderNumberIsTheRoundedNumberAfterThirteenCharacters) {
    EXPECT_EQ(ReadHeaderNumber("DISPLAY_LIST_612"), 612);
    EXPECT_EQ(ReadHeaderNumber("DISPLAY_LIST_END"), 0);
    EXPECT_EQ(ReadHeaderNumber("DISPLAY_LIST_12.5"), 12);
    EXPECT_EQ(ReadHeaderNumber("DISPLAY_LIST_13.5"), 14);
    // Whatever the first 13 characters say, the number follows them.
    EXPECT_EQ(ReadHeaderNumber("DXXXXXXXXXXXX77"), 77);
    EXPECT_EQ(ReadHeaderNumber("D"), 0);
}

TEST(PolygonFile, EachHeaderHandsOverThePreviousPolygon) {
    auto polygons = PolygonsOf({"DISPLAY_LIST_612", "47.5:8", "48:8.25", "48:9",
                                "DISPLAY_LIST_613", "-33.87:-70.5", "DISPLAY_LIST_END"});
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].Number, 612);
    ASSERT_EQ(polygons[0].Points.size(), 3u);
    EXPECT_FLOAT_EQ(polygons[0].Points[1].Latitude, 48.0f);
    EXPECT_FLOAT_EQ(polygons[0].Points[1].Longitude, 8.25f);
    EXPECT_EQ(polygons[1].Number, 613);
    ASSERT_EQ(polygons[1].Points.size(), 1u);
    EXPECT_FLOAT_EQ(polygons[1].Points[0].Latitude, -33.87f);
    EXPECT_FLOAT_EQ(polygons[1].Points[0].Longitude, -70.5f);
}

TEST(PolygonFile, EndLineCreatesNothingAndTrailingVerticesAreIgnored) {
    EXPECT_TRUE(PolygonsOf({"DISPLAY_LIST_END"}).empty());
    // Without a closing header the last block is never handed over.
    auto polygons = PolygonsOf({"DISPLAY_LIST_5", "1:2", "DISPLAY_LIST_6", "3:4", "5:6"});
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].Number, 5);
    // Vertices before the first header belong to no polygon.
    polygons = PolygonsOf({"9:9", "DISPLAY_LIST_7", "1:2", "DISPLAY_LIST_END", "3:4"});
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].Points.size(), 1u);
}

TEST(PolygonFile, VertexLinesAreReadLeniently) {
    auto polygons = PolygonsOf({"DISPLAY_LIST_1", "", "12.5abc", " -3e1:7,5", "DISPLAY_LIST_END"});
    ASSERT_EQ(polygons.size(), 1u);
    const auto& p = polygons[0].Points;
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].Latitude, 0.0f);  // an empty line is the vertex (0, 0)
    EXPECT_EQ(p[0].Longitude, 0.0f);
    EXPECT_FLOAT_EQ(p[1].Latitude, 12.5f);
    EXPECT_EQ(p[1].Longitude, 0.0f);  // missing field
    EXPECT_FLOAT_EQ(p[2].Latitude, -30.0f);
    EXPECT_FLOAT_EQ(p[2].Longitude, 7.0f);
}

TEST(PolygonFile, ReadsAFileWithCrLfAndReportsAMissingOne) {
    std::string folder = testsupport::MakeTempFolder("polygons");
    testsupport::WriteFile(folder + "/firdisplay.dat",
                           "DISPLAY_LIST_612\r\n47.5:8\r\n48:9\r\n49:8\r\n47.5:8\r\nDISPLAY_LIST_END\r\n");
    std::vector<SectorPolygon> polygons;
    ASSERT_TRUE(ReadPolygonFile(folder + "/firdisplay.dat", polygons));
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].Number, 612);
    EXPECT_EQ(polygons[0].Points.size(), 4u);

    polygons.clear();
    EXPECT_FALSE(ReadPolygonFile(folder + "/missing.dat", polygons));
    EXPECT_TRUE(polygons.empty());
    bool called = false;
    EXPECT_FALSE(ReadPolygonFile(folder + "/missing.dat",
                                 [&](int, const std::vector<GeoPoint>&) { called = true; }));
    EXPECT_FALSE(called);
}

TEST(KeyedFile, AddsFieldsTwoToSixUnderFieldOne) {
    KeyedIndex index;
    ReadKeyedLines({"EDDM:Munich:Franz Josef Strauss:Munich:48.35:11.78:extra",
                    "", "LFPG:Paris::Paris:49.01",
                    "EDDM:Second:x:y:1:2",
                    "edwwe:Bremen East:DE:53.5:11.2:601"},
                   index);
    EXPECT_EQ(index.Size(), 2u);
    const auto* munich = index.Find("EDDM");
    ASSERT_NE(munich, nullptr);
    EXPECT_EQ(*munich, (KeyedIndex::Items{"Munich", "Franz Josef Strauss", "Munich", "48.35", "11.78"}));
    EXPECT_FALSE(index.Has("LFPG"));          // five fields only
    EXPECT_EQ(index.Item("EDWWE", 4), "601");  // keys are found whatever their case
}

TEST(KeyedFile, ListNumbersGoThroughTheHeaderNumbersRangeCheck) {
    KeyedIndex index;
    ReadKeyedLines({"EDWW:Bremen:DE:53:9:1e30", "EBBU:Brussels:BE:50.4:4.2:602.5", "LFFF:Paris:FR:48:2:-3e9"}, index);
    EXPECT_EQ(ReadListNumber(index.Item("EDWW", 4)), 0);
    EXPECT_EQ(ReadListNumber(index.Item("EBBU", 4)), 602);  // halves to even
    EXPECT_EQ(ReadListNumber(index.Item("LFFF", 4)), 0);
    EXPECT_EQ(ReadListNumber("2147483647"), 2147483647);
    EXPECT_EQ(ReadHeaderNumber("DISPLAY_LIST_1e30"), 0);
}

// Each file is read once into typed records: the first entry of a repeated
// key stays, keys compare without case, numbers are read as the files write
// them, short lines are skipped.
TEST(ReferenceTables, AirportsAndSectorsAreReadOnceIntoTypedRecords) {
    std::string folder = testsupport::MakeTempFolder("tables");
    testsupport::WriteFile(folder + "/airports.dat",
                           "EDDF:Frankfurt Airport:Frankfurt am Main:DE:50.0333:8.5706\r\n"
                           "eddf:Second:Other:XX:1:2\r\nSHORT:a:b:c\r\nXXXX:Nowhere:None:ZZ:0:0\r\n"
                           "HUGE:Far:Away:ZZ:1e39:-7.5\r\n");
    testsupport::WriteFile(folder + "/firlist.dat",
                           "EDWW:Bremen:DE:53:9:601\r\nEBBU:Brussels:BE:50.4:4.2:602.5\r\nLFFF:Paris:FR:48:2:1e30\r\n");
    AirportTable airports;
    SectorTable sectors;
    ASSERT_TRUE(ReadAirportFile(folder + "/airports.dat", airports));
    ASSERT_TRUE(ReadSectorFile(folder + "/firlist.dat", sectors));
    EXPECT_EQ(airports.Size(), 3u);
    const Airport* eddf = airports.Find("Eddf");
    ASSERT_NE(eddf, nullptr);
    EXPECT_EQ(eddf->Code, "EDDF");
    EXPECT_EQ(eddf->Name, "Frankfurt Airport");
    EXPECT_EQ(eddf->Town, "Frankfurt am Main");
    EXPECT_EQ(eddf->Country, "DE");
    EXPECT_EQ(eddf->Latitude, 50.0333f);
    EXPECT_EQ(eddf->Longitude, 8.5706f);
    EXPECT_TRUE(eddf->Placed());
    EXPECT_FALSE(airports.Find("XXXX")->Placed());
    EXPECT_EQ(airports.Find("HUGE")->Latitude, 0);  // beyond a float: no position
    EXPECT_FALSE(airports.Has("SHORT"));
    EXPECT_EQ(sectors.Find("edww")->LabelLatitude, 53);
    EXPECT_EQ(sectors.Find("EDWW")->Polygon, 601);
    EXPECT_EQ(sectors.Find("EBBU")->Polygon, 602);  // halves to even
    EXPECT_EQ(sectors.Find("LFFF")->Polygon, 0);
    EXPECT_FALSE(ReadSectorFile(folder + "/nothing.dat", sectors));
}

TEST(KeyedFile, KeepsTheFirstEntryOfARepeatedKeyAcrossFiles) {
    std::string folder = testsupport::MakeTempFolder("keyed");
    testsupport::WriteFile(folder + "/firlist.dat",
                           "EDWW:Bremen:DE:53:9:601\r\nEDWW:Other:DE:1:1:602\r\nEBBU:Brussels:BE:50.4:4.2:603\r\n");
    KeyedIndex index;
    ASSERT_TRUE(ReadKeyedFile(folder + "/firlist.dat", index));
    EXPECT_EQ(index.Size(), 2u);
    EXPECT_EQ(index.Item("EDWW", 0), "Bremen");
    EXPECT_EQ(index.Item("EDWW", 4), "601");
    EXPECT_EQ(index.Item("EBBU", 4), "603");
    EXPECT_FALSE(ReadKeyedFile(folder + "/nothing.dat", index));
    EXPECT_EQ(index.Size(), 2u);
}

}  // namespace
}  // namespace kestrava
