// The sector viewer's loads without a display: what a sector pair and the
// line files give, and the status texts that say so.
#include "firglass/sector_data.h"
#include "firglass_test_support.h"
#include "formats/text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestrava::firglass;
using firglasstest::WritePair;

TEST(SectorPairLoad, CountsPolygonsAndEdgesSkipsBadOnesAndKeepsEveryLineWithItsIdAndNumber) {
    const SectorPair pair = SectorPairFromLines(
        kestrava::TextLines(firglasstest::DisplayText({{612, {{1, 1}, {1, 2}, {2, 2}, {1, 1}}},
                                                        {0, {{5, 5}, {6, 6}}},
                                                        {-3, {{7, 7}}},
                                                        {613, {{3, 3}, {3, 4}, {4, 4}, {4, 3}, {3, 3}}}})),
        {"LHCC:Budapest Radar:HU:47.43:19.26:612", "", "LHCC_U:Budapest Upper:HU:47.5:19.3:612",
         "SHORT:Only:Four:Fields", "EDMM:M\xFCnchen Radar:DE:48.1:11.6:0613.4:extra",
         "LHCC:Budapest again:HU:10:10:613", "NONE:No polygon:ZZ:0:0:999"});

    ASSERT_EQ(pair.Polygons.size(), 2u);
    EXPECT_EQ(pair.Polygons[0].Number, 612);
    EXPECT_EQ(pair.Polygons[1].Number, 613);
    EXPECT_EQ(pair.Edges, 9u);
    EXPECT_EQ(pair.SkippedPolygons, 2);

    // One line per kept firlist.dat line, the empty and the short one left out.
    ASSERT_EQ(pair.Lines.size(), 5u);
    EXPECT_EQ(pair.SkippedLines, 1);
    EXPECT_EQ(pair.Lines[0].Text, "LHCC / Budapest Radar (612)");
    EXPECT_EQ(pair.Lines[1].Text, "LHCC_U / Budapest Upper (612)");
    EXPECT_EQ(pair.Lines[2].Text, "EDMM / M\xFCnchen Radar (0613.4)");
    EXPECT_EQ(pair.Lines[2].ListNumber, 613);
    EXPECT_EQ(pair.Lines[2].Id, "EDMM");

    // A repeated id is listed with its own number, and labelled where it was
    // first listed.
    EXPECT_EQ(pair.Lines[3].Text, "LHCC / Budapest again (613)");
    EXPECT_EQ(pair.Lines[3].ListNumber, 613);
    EXPECT_EQ(pair.RepeatedIds, 1);
    EXPECT_EQ(pair.Table.Size(), 4u);
    EXPECT_EQ(pair.Table.Item("LHCC", 2), "47.43");
    EXPECT_EQ(pair.Lines[4].ListNumber, 999);

    EXPECT_EQ(PairLoadedText(pair),
              "firdisplay.dat loaded (2 polygons, 9 edges); skipped 2 polygons numbered 0 or below, "
              "1 firlist.dat line with fewer than six fields; 1 repeated id labelled where first listed");
    SectorPair clean;
    clean.Polygons.resize(1);
    clean.Edges = 5;
    EXPECT_EQ(PairLoadedText(clean), "firdisplay.dat loaded (1 polygons, 5 edges)");
}

TEST(SectorPairLoad, FindsFirdisplayBesideTheChosenFileWhateverItIsCalled) {
    const std::string folder = testsupport::MakeTempFolder("fg-pair");
    EXPECT_EQ(DisplayPathFor("/a/b c/sectors.txt"), "/a/b c/firdisplay.dat");
    EXPECT_EQ(DisplayPathFor("/a/b/firlist.dat"), "/a/b/firdisplay.dat");

    SectorPair pair;
    testsupport::WriteFile(folder + "/mine.lst", "X:Name:ZZ:1:2:5\r\n");
    EXPECT_EQ(ReadSectorPair(folder + "/mine.lst", pair), PairRead::DisplayMissing);

    const std::string list = WritePair(folder, {{5, {{0, 0}, {1, 1}, {1, 0}}}}, {"X:Name:ZZ:1:2:5"}, "mine.lst");
    ASSERT_EQ(ReadSectorPair(list, pair), PairRead::Read);
    EXPECT_EQ(pair.Polygons.size(), 1u);
    ASSERT_EQ(pair.Lines.size(), 1u);
    EXPECT_EQ(pair.Lines[0].Text, "X / Name (5)");

    // A list that cannot be read leaves the pair as it was.
    std::filesystem::create_directory(folder + "/firlist.dat");
    EXPECT_EQ(ReadSectorPair(folder + "/firlist.dat", pair), PairRead::ListUnreadable);
    EXPECT_EQ(pair.Lines.size(), 1u);
    EXPECT_EQ(UnreadableText("/x/firlist.dat"), "Could not read /x/firlist.dat");
}

TEST(SectorPairLoad, TheShippedPairGivesAPolygonForEveryHeaderAndALineForEveryListLine) {
    const std::string list = testsupport::SourcePath("data/firlist.dat");
    SectorPair pair;
    ASSERT_EQ(ReadSectorPair(list, pair), PairRead::Read);
    // Counted here from the raw lines: headers other than the closing one,
    // vertex lines, and list lines.
    size_t headers = 0, vertices = 0, listLines = 0;
    for (const std::string& line : kestrava::TextLines(testsupport::ReadFile(testsupport::SourcePath("data/firdisplay.dat"))))
        (line.rfind("DISPLAY_LIST_", 0) == 0 ? headers : vertices) += 1;
    for (const std::string& line : kestrava::TextLines(testsupport::ReadFile(list))) listLines += !line.empty();
    EXPECT_EQ(pair.Polygons.size(), headers - 1);
    EXPECT_EQ(pair.Edges, vertices);
    EXPECT_EQ(pair.Lines.size(), listLines);
    EXPECT_EQ(pair.SkippedPolygons + pair.SkippedLines + pair.RepeatedIds, 0);
}

TEST(LineFileLoad, NamesColoursAndStatusTexts) {
    EXPECT_STREQ(InfoOf(LineFile::Coastlines).Name, "coastline.dat");
    EXPECT_STREQ(InfoOf(LineFile::Countries).Name, "countries.dat");
    EXPECT_FLOAT_EQ(InfoOf(LineFile::Coastlines).Colour.Blue, 0.6f);
    EXPECT_FLOAT_EQ(InfoOf(LineFile::Countries).Colour.Red, 0.4f);
    EXPECT_EQ(LoadingText("coastline.dat"), "Loading coastline.dat...");
    EXPECT_EQ(LinesLoadedText("countries.dat", 47000), "countries.dat loaded (47000 lines)");
}
