// ServInfo and IvAe conversions, and what a conversion leaves behind when
// its input or output fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "firforge/conversion.h"
#include "firforge/sector_writer.h"
#include "firforge_test_support.h"
#include "formats/text.h"
#include "support/test_support.h"

namespace kestrava {
namespace {

using firforgetest::CrLfLines;
using firforgetest::RunConversion;
using firforgetest::WriteInput;

const char* kServInfo =
    "; ServInfo sector data\r\n"
    "EGTT_CTR,London,a,b,c,d,Control,51.53,-1.27\r\n"
    "50.001,-5.004,\r\n"
    "50,2,\r\n"
    "55,2,x\r\n"
    "7,7\r\n"
    "55,-5,\r\n"
    "1,2,3,4\r\n"
    "EGGX,Shanwick,a,b,c,d,Shanwick Radio Oo,55.25,-20.25\r\n"
    "50,-10,\r\n"
    "50,-13,\r\n"
    "52,-13,\r\n"
    "52,-10,\r\n";

std::string WithoutListNumbers(const std::string& text) {
    std::string out;
    for (const std::string& line : CrLfLines(text)) {
        if (StartsWith(line, "DISPLAY_LIST_") && line != "DISPLAY_LIST_END")
            out += "DISPLAY_LIST_#\n";
        else if (line.find(':') != std::string::npos && line.rfind(':') != line.find(':'))
            out += line.substr(0, line.rfind(':')) + ":#\n";
        else
            out += line + "\n";
    }
    return out;
}

TEST(ServInfo, ReadsSectorLinesAndPointLines) {
    auto run = RunConversion(SourceType::ServInfo, WriteInput("fir.dat", kServInfo), 0.0);
    ASSERT_TRUE(run.Ok);
    // Labels to 0.1 (halves to even), "_O" for the oceanic sector, suffix removed.
    EXPECT_EQ(run.List, "EGTT:Unknown:ZZ:51.5:-1.3:601\r\nEGGX_O:Unknown:ZZ:55.2:-20.2:602\r\n");
    auto lines = CrLfLines(run.Display);
    ASSERT_EQ(lines.size(), 21u);
    // Points to 0.01; the 7-degree and 5-degree edges get two points each.
    std::vector<std::string> first(lines.begin(), lines.begin() + 14);
    EXPECT_EQ(first, (std::vector<std::string>{"DISPLAY_LIST_601", "50:-5", "50:-2.67", "50:-0.33", "50:2",
                                               "51.67:2", "53.33:2", "55:2", "55:-0.33", "55:-2.67", "55:-5",
                                               "53.33:-5", "51.67:-5", "50:-5"}));
    EXPECT_EQ(lines[14], "DISPLAY_LIST_602");
    EXPECT_EQ(lines.back(), "DISPLAY_LIST_END");
    EXPECT_EQ(run.Log.front(), "File opened - length 0 KB");
    EXPECT_EQ(run.Log[run.Log.size() - 2], "Extracted 2 sectors");
}

TEST(ServInfo, TwoConversionsDifferOnlyInTheirListNumbers) {
    std::string input = WriteInput("fir.dat", kServInfo);
    auto early = RunConversion(SourceType::ServInfo, input, 0.1);
    auto late = RunConversion(SourceType::ServInfo, input, 0.7);
    ASSERT_TRUE(early.Ok);
    ASSERT_TRUE(late.Ok);
    EXPECT_EQ(CrLfLines(early.Display).front(), "DISPLAY_LIST_1401");
    EXPECT_EQ(CrLfLines(late.Display).front(), "DISPLAY_LIST_6201");
    EXPECT_NE(early.Display, late.Display);
    EXPECT_EQ(WithoutListNumbers(early.Display), WithoutListNumbers(late.Display));
    EXPECT_EQ(WithoutListNumbers(early.List), WithoutListNumbers(late.List));
}

const char* kCatalogue =
    "EBBU::BE:Brussels:Control:50.4:4.2\r\n"
    "EBSZ::BE:Belga:Radar:50.5:4.3:EBBU\r\n"
    "EDWW:E:DE:Bremen:Radar:52.5:12.7:EDWW EAST\r\n"
    "EDWW:W:DE:Bremen West:Radar:53:8:EDWW EAST\r\n"
    "XXXX::ZZ:Nolabel:Control\r\n"
    "\r\n"
    "EBSZ2::BE:Belga:Radar:1:1:EBBU\r\n";

const char* kOutlines =
    "!EBBU\r\n50:2\r\n51.005:2\r\n51.005:4\r\n50:4\r\n!EBBU\r\n"
    "!EDWW EAST\r\n54:11\r\n55:12\r\n54:13\r\n31.91:34:88\r\n2.39:-55.73:\r\n!EDWW EAST\r\n"
    "!NOPE\r\n1:1\r\n1:2\r\n2:2\r\n2:1\r\n!NOPE\r\n"
    "!XXXX\r\n10:10\r\n10:12\r\n12:12\r\n12:10\r\n";

// The pair in one folder; the list file need not be called firs.dat.
std::string WriteIvAePair(const std::string& listName, bool withOutlines = true) {
    std::string folder = testsupport::MakeTempFolder("ivae");
    testsupport::WriteFile(folder + "/" + listName, kCatalogue);
    if (withOutlines) testsupport::WriteFile(folder + "/fir.dat", kOutlines);
    return folder + "/" + listName;
}

TEST(IvAe, RepeatedHeadersCloseBlocksAndAliasesShareThePolygon) {
    auto run = RunConversion(SourceType::IvAe, WriteIvAePair("firs.dat"), 0.0);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(CrLfLines(run.List), (std::vector<std::string>{
                                       "EBBU:Brussels:BE:50.4:4.2:600",
                                       "EBSZ:Belga:BE:50.5:4.3:600",
                                       "EBSZ2:Belga:BE:1:1:600",
                                       "XXXX:Nolabel:ZZ:11:10.6:601",
                                   }));
    // Points are written as read, not rounded; EDWW EAST has 3 good points
    // and is left out together with its alias; NOPE matches no entry.
    EXPECT_EQ(CrLfLines(run.Display),
              (std::vector<std::string>{"DISPLAY_LIST_600", "50:2", "51.005:2", "51.005:4", "50:4", "50:2",
                                        "DISPLAY_LIST_601", "10:10", "10:12", "12:12", "12:10", "10:10",
                                        "DISPLAY_LIST_END"}));
    EXPECT_EQ(run.Log, (std::vector<std::string>{"Scanned sector list", "", " Read sector EBBU (5 points)",
                                                 " Aliased sector EBSZ", " Aliased sector EBSZ2",
                                                 " Read sector XXXX (5 points)", "File closed",
                                                 "Extracted 2 sectors", ""}));
}

TEST(IvAe, TheLineAfterARepeatedHeaderIsTakenAsTheNextHeader) {
    std::string folder = testsupport::MakeTempFolder("ivae");
    testsupport::WriteFile(folder + "/firs.dat", "AAAA::ZZ:A:Control:1:1\r\nBBBB::ZZ:B:Control:2:2\r\n");
    // The line after the repeated "!AAAA" names the next key whatever its
    // first character.
    testsupport::WriteFile(folder + "/fir.dat",
                           "!AAAA\r\n1:1\r\n1:2\r\n2:2\r\n2:1\r\n!AAAA\r\n?BBBB\r\n"
                           "5:5\r\n5:6\r\n6:6\r\n6:5\r\n");
    auto run = RunConversion(SourceType::IvAe, folder + "/firs.dat", 0.0);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(CrLfLines(run.List),
              (std::vector<std::string>{"AAAA:A:ZZ:1:1:600", "BBBB:B:ZZ:2:2:601"}));
}

TEST(IvAe, FindsFirDatInTheFolderOfAListOfAnyName) {
    auto run = RunConversion(SourceType::IvAe, WriteIvAePair("sectors-2012.dat"), 0.0);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(CrLfLines(run.List).size(), 4u);
}

TEST(OutOfRangePoints, RefuseTheirSectorWithALogLineAndKeepTheOthers) {
    // Edges out to 1e10 degrees (ServInfo) and 4e7 degrees (an IvAe pair)
    // once wrote 294 MB.
    const std::string farServInfo = "ZZZZ,N,a,b,c,d,Control,0,0\r\n0,1,\r\n0,1e10,\r\n1,1e10,\r\n1,1,\r\n";
    auto servInfo = RunConversion(SourceType::ServInfo, WriteInput("fir.dat", farServInfo), 0.0);
    ASSERT_TRUE(servInfo.Ok);
    EXPECT_EQ(servInfo.Display, "DISPLAY_LIST_END\r\n");
    EXPECT_EQ(servInfo.List, "");
    EXPECT_EQ(std::count(servInfo.Log.begin(), servInfo.Log.end(),
                         " Skipped sector ZZZZ: point 0:1e+10 is out of range (latitude -90..90, longitude -360..360)"),
              1);

    const std::string folder = testsupport::MakeTempFolder("ivae-range");
    testsupport::WriteFile(folder + "/firs.dat", "AAAA::XX:Name:Control:0:0\r\n");
    testsupport::WriteFile(folder + "/fir.dat", "!AAAA\r\n0:1\r\n0:40000000\r\n1:40000000\r\n1:1\r\n!AAAA\r\n");
    auto ivaeRun = RunConversion(SourceType::IvAe, folder + "/firs.dat", 0.0);
    ASSERT_TRUE(ivaeRun.Ok);
    EXPECT_EQ(ivaeRun.Display, "DISPLAY_LIST_END\r\n");
    EXPECT_EQ(std::count(ivaeRun.Log.begin(), ivaeRun.Log.end(),
                         " Skipped sector AAAA: point 0:4e+07 is out of range (latitude -90..90, longitude -360..360)"),
              1);

    // Only the sectors with a bad point go; one drawn across the date line
    // (-184) and one after the refused ones stay.
    auto mixed = RunConversion(SourceType::ServInfo,
                               WriteInput("fir.dat",
                                          "PACIFIC,P,a,b,c,d,Control,11,177\r\n10,170,\r\n10,-184,\r\n12,-184,\r\n12,170,\r\n"
                                          "BAD,B,a,b,c,d,Control,1,1\r\n1,1,\r\n1,2,\r\n91,2,\r\n2,1,\r\n"
                                          "HUGE,H,a,b,c,d,Control,1,1\r\n1,1,\r\n1,2,\r\n1e400,2,\r\n2,1,\r\n"
                                          "GOOD,G,a,b,c,d,Control,1.5,1.5\r\n1,1,\r\n1,2,\r\n2,2,\r\n2,1,\r\n"),
                               0.0);
    EXPECT_EQ(mixed.List, "PACIFIC:Unknown:ZZ:11:177:601\r\nGOOD:Unknown:ZZ:1.5:1.5:602\r\n");
    for (const char* line : {" Skipped sector BAD: point 91:2 is out of range (latitude -90..90, longitude -360..360)",
                             " Skipped sector HUGE: point infinity:2 is out of range (latitude -90..90, longitude -360..360)"})
        EXPECT_EQ(std::count(mixed.Log.begin(), mixed.Log.end(), line), 1) << line;
}

TEST(FailedConversion, MissingFirDatIsLoggedAndTheOldPairStays) {
    std::string list = WriteIvAePair("firs.dat", false);
    std::string out = testsupport::MakeTempFolder("firforge-out");
    testsupport::WriteFile(out + "/firdisplay.dat", "old display");
    testsupport::WriteFile(out + "/firlist.dat", "old list");
    NavaidTable navaids;
    auto run = RunConversion(SourceType::IvAe, list, navaids, 0.0, "", out);
    EXPECT_FALSE(run.Ok);
    std::string firDat = list.substr(0, list.rfind('/')) + "/fir.dat";
    EXPECT_EQ(run.Log.back(), "Could not open " + firDat);
    EXPECT_EQ(run.Display, "old display");
    EXPECT_EQ(run.List, "old list");
}

TEST(FailedConversion, MissingInputWritesNothing) {
    std::string out = testsupport::MakeTempFolder("firforge-out");
    NavaidTable navaids;
    for (SourceType source : {SourceType::SectorFile, SourceType::ServInfo, SourceType::IvAe}) {
        auto run = RunConversion(source, out + "/absent.sct", navaids, 0.0, "[ARTCC]", out);
        EXPECT_FALSE(run.Ok);
        EXPECT_EQ(run.Log, (std::vector<std::string>{"Could not open " + out + "/absent.sct"}));
    }
    // A folder is no input either.
    auto run = RunConversion(SourceType::SectorFile, out, navaids, 0.0, "[ARTCC]", out);
    EXPECT_FALSE(run.Ok);
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST(FailedConversion, UnwritableOutputFolderIsLogged) {
    std::string input = WriteInput("fir.dat", kServInfo);
    NavaidTable navaids;
    std::string folder = testsupport::MakeTempFolder("firforge-out") + "/not-there";
    auto run = RunConversion(SourceType::ServInfo, input, navaids, 0.0, "", folder);
    EXPECT_FALSE(run.Ok);
    EXPECT_EQ(run.Log.back(), "Could not write firdisplay.dat and firlist.dat into " + folder);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(FailedConversion, AListThatCannotBeReplacedKeepsTheOldDisplayToo) {
    std::string out = testsupport::MakeTempFolder("firforge-out");
    testsupport::WriteFile(out + "/firdisplay.dat", "old display");
    std::filesystem::create_directory(out + "/firlist.dat");
    std::vector<std::string> log;
    ConversionState state;
    state.Log = [&log](const std::string& line) { log.push_back(line); };
    state.Display = "DISPLAY_LIST_END\r\n";
    state.List = "new list\r\n";
    EXPECT_FALSE(WriteOutputPair(state, out));
    EXPECT_EQ(log, (std::vector<std::string>{"Could not write firdisplay.dat and firlist.dat into " + out}));
    EXPECT_EQ(testsupport::ReadFile(out + "/firdisplay.dat"), "old display");
    EXPECT_TRUE(std::filesystem::is_directory(out + "/firlist.dat"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator()), 2);
    // Without the folder in the way both are written.
    std::filesystem::remove(out + "/firlist.dat");
    EXPECT_TRUE(WriteOutputPair(state, out));
    EXPECT_EQ(testsupport::ReadFile(out + "/firdisplay.dat"), state.Display);
    EXPECT_EQ(testsupport::ReadFile(out + "/firlist.dat"), state.List);
}

TEST(Output, ReplacesTheOldPairWithCrLfLinesAndLeavesNoTemporaryFiles) {
    std::string out = testsupport::MakeTempFolder("firforge-out");
    testsupport::WriteFile(out + "/firdisplay.dat", "old display");
    testsupport::WriteFile(out + "/firlist.dat", "old list");
    NavaidTable navaids;
    auto run = RunConversion(SourceType::ServInfo, WriteInput("fir.dat", kServInfo), navaids, 0.0, "", out);
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(CrLfLines(run.Display).front(), "DISPLAY_LIST_601");
    for (const std::string& text : {run.Display, run.List}) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
            }
        }
        EXPECT_TRUE(EndsWith(text, "\r\n"));
    }
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u);
}

}  // namespace
}  // namespace kestrava
