#include "formats/colour_theme.h"
#include "formats/line_files.h"
#include "formats/text.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kestrava;

TEST(ColourTheme, MissingFileGivesTheDefaults) {
    ColourTheme theme = LoadColourTheme("/nonexistent/colours/default.dc");
    Rgb background = theme.Get(Colour::ScreenBackground);
    EXPECT_FLOAT_EQ(background.Red, 16 / 255.0f);
    EXPECT_FLOAT_EQ(background.Green, 16 / 255.0f);
    EXPECT_FLOAT_EQ(background.Blue, 58 / 255.0f);
    EXPECT_FLOAT_EQ(theme.Get(Colour::IVAO).Green, 0x8D / 255.0f);
}

TEST(ColourTheme, ReadsKeysWithoutCaseAndBlanksAroundTheEqualsSign) {
    IniFile ini;
    ini.LoadText("[atc]\nctrfill = a0B1c2\n[Screen]\nIVAO=zz\n");
    ColourTheme theme;
    ReadColourTheme(ini, theme);
    Rgb fill = theme.Get(Colour::CTRFill);
    EXPECT_FLOAT_EQ(fill.Red, 0xA0 / 255.0f);
    EXPECT_FLOAT_EQ(fill.Green, 0xB1 / 255.0f);
    EXPECT_FLOAT_EQ(fill.Blue, 0xC2 / 255.0f);
}

TEST(ColourTheme, ParsingStopsAtTheFirstInvalidComponent) {
    ColourTheme theme;
    ParseColourText(theme, Colour::CTRFill, "zz254E");
    EXPECT_EQ(theme.Get(Colour::CTRFill).Red, 0);
    EXPECT_EQ(theme.Get(Colour::CTRFill).Green, 0);
    EXPECT_EQ(theme.Get(Colour::CTRFill).Blue, 0);
    ParseColourText(theme, Colour::PlaneFill, "1122zz");
    EXPECT_FLOAT_EQ(theme.Get(Colour::PlaneFill).Green, 0x22 / 255.0f);
    EXPECT_EQ(theme.Get(Colour::PlaneFill).Blue, 0);
    // An empty text changes nothing.
    ParseColourText(theme, Colour::PlaneFill, "");
    EXPECT_FLOAT_EQ(theme.Get(Colour::PlaneFill).Red, 0x11 / 255.0f);
}

TEST(ColourTheme, ShippedDefaultThemeHoldsEveryKeyAsTheDefaults) {
    IniFile ini;
    ASSERT_TRUE(ini.Load(std::string(KESTRAVA_SOURCE_DIR) + "/colours/default.dc"));
    for (const ColourKeyInfo& key : ColourKeys()) {
        auto value = ini.Find(key.Section, key.Key);
        ASSERT_TRUE(value.has_value()) << key.Key;
        EXPECT_TRUE(EqualsNoCase(*value, key.Default)) << key.Key;
    }
}

TEST(ColourTheme, BlendsByLatitude) {
    ColourTheme theme;
    ParseColourText(theme, Colour::GlobeEquator, "000000");
    ParseColourText(theme, Colour::GlobePoles, "FF0000");
    EXPECT_FLOAT_EQ(BlendByLatitude(theme, Colour::GlobeEquator, Colour::GlobePoles, -45).Red, 0.5f);
    EXPECT_FLOAT_EQ(BlendByLatitude(theme, Colour::GlobeEquator, Colour::GlobePoles, 90).Red, 1.0f);
}

TEST(LineFiles, EndBreaksThePolyline) {
    auto segments = LineSegmentsFromLines({"10:20", "11:21", "end", "30:40", "31:41"}, false);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].From.Latitude, 10);
    EXPECT_EQ(segments[0].To.Longitude, 21);
    EXPECT_EQ(segments[1].From.Latitude, 30);
    EXPECT_EQ(segments[1].To.Latitude, 31);
}

TEST(LineFiles, APointSummingToZeroEndsThePolylineAfterItself) {
    auto segments = LineSegmentsFromLines({"5:5", "10:-10", "12:12", "13:13"}, false);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].To.Longitude, -10);  // into 10:-10
    EXPECT_EQ(segments[1].From.Latitude, 12);  // nothing out of it
}

TEST(LineFiles, MalformedLinesReadAsZeroAndFreeFormatCutsAtComma) {
    auto segments = LineSegmentsFromLines({"1:1", "rubbish", "2:2", "3:3"}, false);
    ASSERT_EQ(segments.size(), 2u);  // 1:1 to (0,0), then a break, then 2:2 to 3:3
    EXPECT_EQ(segments[0].To.Latitude, 0);
    auto borders = LineSegmentsFromLines({" 1.5:2 ,junk", "2:3.25"}, true);
    ASSERT_EQ(borders.size(), 1u);
    EXPECT_EQ(borders[0].From.Longitude, 2);
    EXPECT_EQ(borders[0].To.Longitude, 3.25f);
    EXPECT_EQ(ReadLinePoint("47.5").Longitude, 0);
}

TEST(LineFiles, MissingFileIsReported) {
    std::vector<LineSegment> segments;
    EXPECT_FALSE(ReadLineSegments("/nonexistent/coastline.dat", false, segments));
}

TEST(Text, ReadsTheLongestLeadingNumber) {
    EXPECT_EQ(ReadNumber("  -12.5e2xyz"), -1250);
    EXPECT_EQ(ReadNumber("4.9"), 4.9);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("7."), 7);
    EXPECT_EQ(ReadNumber("abc"), 0);
    EXPECT_EQ(ReadNumber("1e"), 1);
    EXPECT_EQ(ReadNumber("+3"), 3);
    EXPECT_EQ(ReadNumber("-"), 0);
}

TEST(Text, ANumberTooSmallForADoubleIsZeroAndOnlyOverflowIsInfinite) {
    const double infinity = std::numeric_limits<double>::infinity();
    for (const char* tiny : {"1e-400", "-1e-400", ".5e-400", "0.0000000001e-320", "123456789e-400",
                             "1e-99999999999999999999", "0e99999999"})
        EXPECT_EQ(ReadNumber(tiny), 0) << tiny;
    EXPECT_EQ(ReadNumber("1e-300"), 1e-300);
    EXPECT_EQ(ReadNumber("0.0001e312"), 1e308);  // large exponent, value in range
    EXPECT_EQ(ReadNumber("1e400"), infinity);
    EXPECT_EQ(ReadNumber("-1e400"), -infinity);
    EXPECT_EQ(ReadNumber("1000e306"), infinity);
    EXPECT_EQ(ReadNumber("0.001e99999999999999999999"), infinity);
}

TEST(Text, ZeroPadWorksForEveryLong) {
    EXPECT_EQ(ZeroPad(5, 2), "05");
    EXPECT_EQ(ZeroPad(-5, 3), "-005");
    EXPECT_EQ(ZeroPad(std::numeric_limits<long>::min(), 2), "-9223372036854775808");
}

TEST(Text, FormatsSinglesWithoutTrailingZeros) {
    EXPECT_EQ(FormatSingle(47.5f), "47.5");
    EXPECT_EQ(FormatSingle(-0.25f), "-0.25");
    EXPECT_EQ(FormatSingle(19.0f), "19");
    EXPECT_EQ(FormatSingle(47.43f), "47.43");
    EXPECT_EQ(FormatSingle(-33.87f), "-33.87");
    EXPECT_EQ(FormatSingle(0.0f), "0");
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(Text, NetworkLineSplitFallsBackToCrThenLf) {
    EXPECT_EQ(SplitNetworkLines("a\r\nb\r\nc\r\nd\r\n").size(), 5u);
    EXPECT_EQ(SplitNetworkLines("a\nb\nc\nd\n").size(), 5u);
    EXPECT_EQ(SplitNetworkLines("a\rb\rc\rd\r").size(), 5u);
    EXPECT_EQ(SplitNetworkLines("a\nb").size(), 2u);
}

TEST(Text, Cp1252RoundTripsThroughUtf8) {
    const std::string ansi = "Z\xFCrich \x80 \xB0";
    EXPECT_EQ(Cp1252ToUtf8(ansi), "Z\xC3\xBCrich \xE2\x82\xAC \xC2\xB0");
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(ansi)), ansi);
}
