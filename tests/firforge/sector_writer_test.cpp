#include "firforge/sector_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "firforge_test_support.h"

namespace kestrava {
namespace {

using firforgetest::Collect;
using firforgetest::CrLfLines;
using firforgetest::StateWithLog;

bool Logged(const std::vector<std::string>& log, const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
}

TEST(ListCounter, StartsInTheRangeOfEachSourceType) {
    EXPECT_EQ(ListCounterStart(SourceType::SectorFile, 0.0), 600);
    EXPECT_EQ(ListCounterStart(SourceType::SectorFile, 0.9999999), 6590);
    EXPECT_EQ(ListCounterStart(SourceType::SectorFile, 0.5), 3600);
    EXPECT_EQ(ListCounterStart(SourceType::ServInfo, 0.0), 600);
    EXPECT_EQ(ListCounterStart(SourceType::ServInfo, 0.9999999), 8590);
    EXPECT_EQ(ListCounterStart(SourceType::IvAe, 0.0), 599);
    EXPECT_EQ(ListCounterStart(SourceType::IvAe, 0.9999999), 8589);
    // Every start is a multiple of ten (less one for IvAe).
    for (double r : {0.013, 0.37, 0.81}) {
        EXPECT_EQ(ListCounterStart(SourceType::ServInfo, r) % 10, 0);
        EXPECT_EQ(ListCounterStart(SourceType::IvAe, r) % 10, 9);
    }
}

TEST(WriteSector, NeedsFourPoints) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    Collect(state, "SHORT", {{10, 10}, {10, 12}, {12, 12}});
    EXPECT_FALSE(WriteSector(state));
    EXPECT_TRUE(state.Display.empty());
    EXPECT_TRUE(state.List.empty());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(state.ListCounter, 600);
    EXPECT_EQ(state.SectorsWritten, 0);
}

TEST(WriteSector, ClosesTheRingAndListsTheSectorUnderTheNextNumber) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    Collect(state, "SQUARE", {{10, 10}, {10, 12}, {12, 12}, {12, 10}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "10:10", "10:12", "12:12", "12:10", "10:10"}));
    // Label: box centre 11, 11; longitude shifted 0.4 west.
    EXPECT_EQ(state.List, "SQUARE:Unknown:ZZ:11:10.6:601\r\n");
    EXPECT_EQ(log, (std::vector<std::string>{" Read sector SQUARE (5 points)"}));
    EXPECT_EQ(state.SectorsWritten, 1);

    Collect(state, "NEXT", {{1, 1}, {1, 2}, {2, 2}, {2, 1}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_NE(state.List.find("NEXT:Unknown:ZZ:1.5:1.1:602\r\n"), std::string::npos);
}

TEST(WriteSector, LabelIsRoundedHalfToEvenAndAGivenLabelIsKept) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    // Latitudes 0..0.5: (0 + 0.5) x 5 = 2.5 rounds to 2, label 0.2.
    Collect(state, "HALF", {{0, 1}, {0, 2}, {0.5f, 2}, {0.5f, 1}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.List).back(), "HALF:Unknown:ZZ:0.2:1.1:601");

    CurrentSector given;
    given.Id = "GIVEN";
    given.SectorName = "Given Name";
    given.SectorPlace = "GN";
    given.LabelLat = -33.9f;
    given.LabelLon = 151.2f;
    StartSector(state, given);
    for (GeoPoint p : {GeoPoint{-30, 150}, GeoPoint{-30, 152}, GeoPoint{-35, 152}, GeoPoint{-35, 150}})
        CollectPoint(state, p);
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.List).back(), "GIVEN:Given Name:GN:-33.9:151.2:602");
}

TEST(WriteSector, StraightensRunsAlongAMeridianOrParallel) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    // (11, 10) lies between two points of meridian 10 and is dropped.
    Collect(state, "RUN", {{10, 10}, {11, 10}, {12, 10}, {12, 12}, {10, 12}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "10:10", "12:10", "12:12", "10:12", "10:10"}));
    EXPECT_TRUE(Logged(log, "    Extrapolated RUN (1 points)"));

    // Along a parallel.
    Collect(state, "PAR", {{20, 0}, {20, 1}, {20, 2}, {22, 2}, {22, 0}});
    ASSERT_TRUE(WriteSector(state));
    auto lines = CrLfLines(state.Display);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
              (std::vector<std::string>{"DISPLAY_LIST_602", "20:0", "20:2", "22:2", "22:0", "20:0"}));
    EXPECT_TRUE(Logged(log, "    Extrapolated PAR (1 points)"));
}

TEST(WriteSector, SubdividesEdgesLongerThanFourDegrees) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    // Two 10-degree edges along parallels get 3 points each, 2.5 degrees apart;
    // the 2-degree edges none.
    Collect(state, "WIDE", {{10, 0}, {10, 10}, {12, 10}, {12, 0}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "10:0", "10:2.5", "10:5", "10:7.5", "10:10",
                                        "12:10", "12:7.5", "12:5", "12:2.5", "12:0", "10:0"}));
    EXPECT_TRUE(Logged(log, "    Interpolated WIDE (6 points)"));

    // Exactly 4 degrees stays one edge; 8 degrees gets 3 points 2 apart;
    // the closing diagonal of 12.65 degrees gets 4 points a fifth apart.
    Collect(state, "EDGES", {{0.5f, 0}, {0.5f, 4}, {4.5f, 4}, {4.5f, 12}});
    ASSERT_TRUE(WriteSector(state));
    auto lines = CrLfLines(state.Display);
    std::vector<std::string> tail(lines.begin() + 12, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"DISPLAY_LIST_602", "0.5:0", "0.5:4", "4.5:4", "4.5:6",
                                              "4.5:8", "4.5:10", "4.5:12", "3.7:9.6", "2.9:7.2",
                                              "2.1:4.8", "1.3:2.4", "0.5:0"}))
        << state.Display;
    EXPECT_TRUE(Logged(log, "    Interpolated EDGES (7 points)"));
}

TEST(WriteSector, AnEdgeOfAnyLengthGetsNoMorePointsThanA360DegreeEdge) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);  // a sector file: points are not range-checked
    // Sector-file coordinates reach 999.99 degrees; the marker 555 can be a point.
    Collect(state, "FAR", {{0.5f, 1}, {0.5f, 999.99f}, {555, 999.99f}, {555, 1}});
    ASSERT_TRUE(WriteSector(state));
    // Four edges of 999, 554.5, 999 and 554.5 degrees: 91 points each.
    EXPECT_TRUE(Logged(log, "    Interpolated FAR (364 points)"));
    EXPECT_EQ(CrLfLines(state.Display).size(), 1u + 5u + 4u * kMaxIntermediatePoints);

    // A 360-degree edge itself still gets its 91 points, 3.9 degrees apart.
    Collect(state, "ROUND", {{0, -180}, {0, 180}, {1, 180}, {1, -180}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_TRUE(Logged(log, "    Interpolated ROUND (182 points)"));
    EXPECT_NE(state.Display.find("\r\n0:-176.09\r\n"), std::string::npos);
}

TEST(WriteSector, LeavesOutConsecutiveDuplicates) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    Collect(state, "DUP", {{1, 1}, {1, 1}, {2, 3}, {3, 1}, {3, 1}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "1:1", "2:3", "3:1", "1:1"}));
}

TEST(WriteSector, ComparesTheFirstPointWithThePointZero) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    // A first point at 0, 0 equals the point before it and is not written,
    // and the edge leaving it is not subdivided.
    Collect(state, "ZERO", {{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(CrLfLines(state.Display),
              (std::vector<std::string>{"DISPLAY_LIST_601", "0:10", "2.5:10", "5:10", "7.5:10", "10:10",
                                        "10:7.5", "10:5", "10:2.5", "10:0", "7.5:0", "5:0", "2.5:0",
                                        "0:0"}));
}

TEST(Suffixes, AreRemovedInTheirOrderEachOnTheShortenedId) {
    EXPECT_EQ(RemoveSuffixes("EDDM_CTR"), "EDDM");
    EXPECT_EQ(RemoveSuffixes("eddm_ctr"), "eddm");
    EXPECT_EQ(RemoveSuffixes("EDDM_APP_CTR"), "EDDM");   // _CTR, then _APP
    EXPECT_EQ(RemoveSuffixes("EDDM_CTR_APP"), "EDDM_CTR");  // _CTR was tested first
    EXPECT_EQ(RemoveSuffixes("EDDM_DEL_GND_TWR"), "EDDM");
    EXPECT_EQ(RemoveSuffixes("EDDMCTR"), "EDDMCTR");
    EXPECT_EQ(RemoveSuffixes("_DEP"), "");
}

TEST(WriteSector, ListsTheShortenedIdOnceWhateverItsSuffixOrCase) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    const std::vector<GeoPoint> box = {{10, 10}, {10, 12}, {12, 12}, {12, 10}};
    Collect(state, "EDDM_CTR", box);
    ASSERT_TRUE(WriteSector(state));
    EXPECT_EQ(state.List, "EDDM:Unknown:ZZ:11:10.6:601\r\n");
    EXPECT_TRUE(Logged(log, " Read sector EDDM_CTR (5 points)"));

    for (const char* repeat : {"EDDM_CTR", "EDDM", "eddm_app"}) {
        Collect(state, repeat, box);
        EXPECT_FALSE(WriteSector(state)) << repeat;
    }
    Collect(state, "EDDM_X", box);
    EXPECT_TRUE(WriteSector(state));
    EXPECT_EQ(state.SectorsWritten, 2);
    EXPECT_EQ(CrLfLines(state.List).size(), 2u);
    EXPECT_EQ(state.ListCounter, 602);
}

TEST(WriteSector, TruncatesASectorBeyondTheBufferWithALogLine) {
    std::vector<std::string> log;
    ConversionState state = StateWithLog(log);
    std::vector<GeoPoint> many;
    // A zigzag: latitudes alternate, so nothing is straightened or repeated.
    for (int k = 0; k < kPointBufferSize + 5; ++k)
        many.push_back({1.0f + static_cast<float>(k % 2), 1.0f + 0.001f * static_cast<float>(k % 1000)});
    Collect(state, "BIG", many);
    EXPECT_EQ(state.PointBuffer.size(), static_cast<size_t>(kPointBufferSize));
    EXPECT_EQ(state.PointsLeftOut, 5);
    ASSERT_TRUE(WriteSector(state));
    EXPECT_TRUE(Logged(log, " Read sector BIG (20001 points)"));
    EXPECT_TRUE(Logged(log, "    Truncated BIG at 20000 points (5 points left out)"));
    auto lines = CrLfLines(state.Display);
    EXPECT_EQ(lines.size(), 1u + 20001u);
    EXPECT_EQ(lines[1], "1:1");
    EXPECT_EQ(lines.back(), "1:1");

    // The next sector starts with an empty buffer.
    Collect(state, "SMALL", {{10, 10}, {10, 12}, {12, 12}, {12, 10}});
    EXPECT_EQ(state.PointsLeftOut, 0);
}

}  // namespace
}  // namespace kestrava
