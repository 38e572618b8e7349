#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>

#include "firforge/conversion.h"
#include "firforge_test_support.h"
#include "support/test_support.h"

namespace kestrava {
namespace {

using firforgetest::CrLfLines;
using firforgetest::RunConversion;
using firforgetest::WriteInput;

TEST(CoordinateText, ReadsDegreesMinutesSecondsToAHundredth) {
    EXPECT_FLOAT_EQ(ReadCoordinateText("N047.30.00.000"), 47.5f);
    EXPECT_FLOAT_EQ(ReadCoordinateText("S033.52.04.200"), -33.87f);
    EXPECT_FLOAT_EQ(ReadCoordinateText("W071.52.25.395"), -71.87f);
    EXPECT_FLOAT_EQ(ReadCoordinateText("E011.48.59.529"), 11.82f);
    // Only the upper-case letters negate; any other letter reads as positive.
    EXPECT_FLOAT_EQ(ReadCoordinateText("s033.52.04.200"), 33.87f);
    EXPECT_FLOAT_EQ(ReadCoordinateText("X000.30.00.000"), 0.5f);
}

TEST(CoordinateText, AnythingElseIsTheMarker) {
    for (const char* text : {"N047.30.00.00", "N047.30.00.0000", "", "N047.3O.00.000", "N47.30.00.0000",
                             "N047:30:00.000", "BOGUS"}) {
        EXPECT_FALSE(IsCoordinateText(text)) << text;
        EXPECT_EQ(ReadCoordinateText(text), kNotACoordinate) << text;
    }
}

TEST(Navaids, EachOfTheThreeColumnLayoutsAddsAName) {
    NavaidTable navaids;
    ReadNavaidLine("MBI 117.000 S064.14.04.999 W056.37.11.999", navaids);   // 3-letter VOR
    ReadNavaidLine("ABCDE 112.300 N048.10.49.418 E011.48.59.529", navaids);  // 5-letter name
    ReadNavaidLine("NAXAV N046.27.50.000 E011.19.19.999", navaids);          // fix
    ReadNavaidLine("MIQ  426.000 N048.34.12.810 E011.35.51.010", navaids);   // fits none
    ReadNavaidLine("NAXAV N001.00.00.000 E001.00.00.000", navaids);          // already there
    ASSERT_EQ(navaids.size(), 3u);
    EXPECT_EQ(navaids.at("MBI").Latitude, "S064.14.04.999");
    EXPECT_EQ(navaids.at("MBI").Longitude, "W056.37.11.999");
    EXPECT_EQ(navaids.at("ABCDE").Latitude, "N048.10.49.418");
    EXPECT_EQ(navaids.at("NAXAV").Latitude, "N046.27.50.000");
    EXPECT_EQ(navaids.at("NAXAV").Longitude, "E011.19.19.999");
}

TEST(OutlineLines, NamedPointsBecomeTheirNavaidCoordinates) {
    NavaidTable navaids;
    navaids["MBI"] = {"S064.14.04.999", "W056.37.11.999"};
    std::string line = "SECTORNAME MBI            MBI            S065.00.00.000 W057.00.00.000 ; rest";
    EXPECT_EQ(NormaliseOutlineLine(line, navaids),
              "SECTORNAME S064.14.04.999 W056.37.11.999 S065.00.00.000 W057.00.00.000");
    // A short line is padded to the layout; an unknown name stays as it is.
    EXPECT_EQ(NormaliseOutlineLine("SECTORNAME XYZ            MBI", navaids),
              "SECTORNAME XYZ            W056.37.11.999" + std::string(30, ' '));
    // A nine-character name shifts the fields: the line does not fit.
    EXPECT_EQ(NormaliseOutlineLine("FIREZEIZA S041.12.19.055 W071.52.25.395 S041.11.29.940 W071.52.59.760",
                                   navaids),
              "");
}

// A sector of four segments around a one-degree box at (lat, lon).
std::string BoxSector(const std::string& name10, const std::string& lat1, const std::string& lat2,
                      const std::string& lon1, const std::string& lon2) {
    std::string s;
    s += name10 + " " + lat1 + " " + lon1 + " " + lat1 + " " + lon2 + "\r\n";
    s += name10 + " " + lat1 + " " + lon2 + " " + lat2 + " " + lon2 + "\r\n";
    s += name10 + " " + lat2 + " " + lon2 + " " + lat2 + " " + lon1 + "\r\n";
    s += name10 + " " + lat2 + " " + lon1 + " " + lat1 + " " + lon1 + "\r\n";
    return s;
}

const std::string kLowSector = BoxSector("LOWSECTOR ", "N010.00.00.000", "N011.00.00.000",
                                         "E020.00.00.000", "E021.00.00.000");
const std::string kHighSector = BoxSector("HIGHSECTOR", "N030.00.00.000", "N031.00.00.000",
                                          "E040.00.00.000", "E041.00.00.000");

TEST(SectorFile, ConvertsOnlyTheChosenArtccSection) {
    std::string input = WriteInput("choice.sct", "; header\r\n[INFO]\r\nX\r\n[ARTCC]\r\n" + kLowSector +
                                                     "[ARTCC HIGH]\r\n" + kHighSector + "[GEO]\r\n");
    auto low = RunConversion(SourceType::SectorFile, input, 0.0, "[ARTCC]");
    ASSERT_TRUE(low.Ok);
    EXPECT_EQ(low.List, "LOWSECTOR:Unknown:ZZ:10.5:20.1:601\r\n");
    EXPECT_EQ(CrLfLines(low.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "10:20", "10:21", "11:21", "11:20", "10:20",
                                        "DISPLAY_LIST_END"}));

    auto high = RunConversion(SourceType::SectorFile, input, 0.0, "[ARTCC HIGH]");
    ASSERT_TRUE(high.Ok);
    EXPECT_EQ(high.List, "HIGHSECTOR:Unknown:ZZ:30.5:40.1:601\r\n");
    EXPECT_EQ(high.Log.front(), "File opened - length 1 KB");
    EXPECT_EQ(std::vector<std::string>(high.Log.end() - 3, high.Log.end()),
              (std::vector<std::string>{"File closed", "Extracted 1 sectors", ""}));
}

TEST(SectorFile, ASectorOfOneLineIsNotWritten) {
    std::string oneLine = "SINGLELINE N050.00.00.000 E010.00.00.000 N051.00.00.000 E010.00.00.000\r\n";
    std::string input = WriteInput("short.sct", "[ARTCC]\r\n" + oneLine + kLowSector + oneLine);
    auto run = RunConversion(SourceType::SectorFile, input);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.List, "LOWSECTOR:Unknown:ZZ:10.5:20.1:601\r\n");
    EXPECT_EQ(run.Log[run.Log.size() - 2], "Extracted 1 sectors");
}

TEST(SectorFile, WithoutArtccLinesWritesOnlyTheEndLine) {
    std::string input = WriteInput("empty.sct", "[VOR]\r\nMBI 117.000 S064.14.04.999 W056.37.11.999\r\n"
                                                "[ARTCC]\r\n; nothing here\r\n[ARTCC HIGH]\r\n" + kHighSector);
    auto run = RunConversion(SourceType::SectorFile, input);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.Display, "DISPLAY_LIST_END\r\n");
    EXPECT_EQ(run.List, "");
    EXPECT_EQ(run.Log[run.Log.size() - 2], "Extracted 0 sectors");
    // The log ends by saying the pair is empty, and where it went.
    const std::string folder = std::filesystem::weakly_canonical(run.Folder).string();
    EXPECT_EQ(run.Written, (std::vector<std::string>{"No sectors found: the written pair is empty",
                                                     folder + "/firdisplay.dat", folder + "/firlist.dat"}));
}

TEST(SectorFile, BlankNamesContinueTheSectorAndNavaidsStandForPoints) {
    std::string blank(10, ' ');
    std::string text =
        "[FIXES]\r\n"
        "CORNR N012.00.00.000 E022.00.00.000\r\n"
        "[ARTCC]\r\n"
        + blank + " N001.00.00.000 E001.00.00.000 N002.00.00.000 E001.00.00.000\r\n"  // no sector yet
        "NAVSECTOR  N010.00.00.000 E020.00.00.000 N010.00.00.000 E022.00.00.000\r\n"
        + blank + " N010.00.00.000 E022.00.00.000 CORNR          CORNR         \r\n"
        + blank + " CORNR          CORNR          N012.00.00.000 E020.00.00.000\r\n"
        "NAVSECTOR  N012.00.00.000 E020.00.00.000 N010.00.00.000 E020.00.00.000\r\n"
        "[SID]\r\n"
        "NAVSECTOR  N050.00.00.000 E050.00.00.000 N051.00.00.000 E050.00.00.000\r\n";
    auto run = RunConversion(SourceType::SectorFile, WriteInput("navaids.sct", text));
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.List, "NAVSECTOR:Unknown:ZZ:11:20.6:601\r\n");
    EXPECT_EQ(CrLfLines(run.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "10:20", "10:22", "12:22", "12:20", "10:20",
                                        "DISPLAY_LIST_END"}));
    EXPECT_NE(std::find(run.Log.begin(), run.Log.end(), " Read sector NAVSECTOR (6 points)"), run.Log.end());
}

TEST(SectorFile, NavaidsAreKeptForLaterConversions) {
    NavaidTable navaids;
    std::string folder = testsupport::MakeTempFolder("firforge-out");
    auto first = RunConversion(SourceType::SectorFile,
                               WriteInput("first.sct", "[FIXES]\r\nCORNR N012.00.00.000 E022.00.00.000\r\n"),
                               navaids, 0.0, "[ARTCC]", folder);
    ASSERT_TRUE(first.Ok);
    std::string second =
        "[ARTCC]\r\n"
        "NAVSECTOR  N010.00.00.000 E020.00.00.000 N010.00.00.000 E022.00.00.000\r\n"
        "NAVSECTOR  CORNR          CORNR          N012.00.00.000 E020.00.00.000\r\n";
    auto run = RunConversion(SourceType::SectorFile, WriteInput("second.sct", second), navaids, 0.0,
                             "[ARTCC]", folder);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.List, "NAVSECTOR:Unknown:ZZ:11:20.6:601\r\n");
}

TEST(SectorFile, FileLengthIsLoggedInKilobytesRoundedHalfToEven) {
    std::string filler = ";" + std::string(1533, 'x') + "\r\n";  // 1536 bytes
    auto run = RunConversion(SourceType::SectorFile, WriteInput("a.sct", filler));
    EXPECT_EQ(run.Log.front(), "File opened - length 2 KB");
    filler = ";" + std::string(2557, 'x') + "\r\n";  // 2560 bytes
    run = RunConversion(SourceType::SectorFile, WriteInput("b.sct", filler));
    EXPECT_EQ(run.Log.front(), "File opened - length 2 KB");
}

}  // namespace
}  // namespace kestrava
