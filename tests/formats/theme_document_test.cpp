// The colour editor's theme files: read as the viewer reads them, written in
// place or in the editor's layout, and refused when they hold no theme.
#include "formats/colour_theme.h"
#include "formats/files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace kestrava;

namespace {

ThemeDocument Read(const std::string& text) {
    IniFile ini;
    ini.LoadText(text);
    ThemeDocument document;
    EXPECT_TRUE(ReadThemeDocument(ini, document));
    return document;
}

ColourBytes Bytes(const ColourTheme& theme, Colour entry) {
    const Rgb rgb = theme.Get(entry);
    return {static_cast<std::uint8_t>(std::lround(rgb.Red * 255)),
            static_cast<std::uint8_t>(std::lround(rgb.Green * 255)),
            static_cast<std::uint8_t>(std::lround(rgb.Blue * 255))};
}

}  // namespace

TEST(ThemeDocument, TheEditorListsTheEntriesInItsOwnOrder) {
    const char* labels[kColourCount] = {
        "IVAO", "VATSIM", "Screen Background (behind globe)", "Screen Border and Text",
        "Popup Windows Background", "Windows and Bars Shading", "Globe at Equator", "Globe at Poles",
        "Lat/Lon Grid at Equator", "Lat/Lon Grid at Poles", "Coastline at Equator", "Coastline at Poles",
        "Country Borders", "Airports", "Highlight", "ATC Labels", "CTR Fill", "CTR Border", "APP Fill Center",
        "APP Fill Out", "APP Border", "TWR Fill Center", "TWR Fill Out", "TWR Border", "Plane Labels",
        "Plane Fill", "Plane Border"};
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_STREQ(ColourKeyOf(EditorColourOrder()[static_cast<size_t>(i)]).Label, labels[i]) << i;
}

TEST(ThemeDocument, ANewThemeIsWrittenInTheEditorsLayout) {
    EXPECT_EQ(ThemeDocumentText(ThemeDocument{}),
              "[Description]\r\nThemeName=unknown\r\nAuthor=unknown\r\n"
              "[Screen]\r\nScreenBackground=000000\r\nScreenBorder=000000\r\nWindowBackground=000000\r\n"
              "WindowShading=000000\r\nIVAO=000000\r\nVATSIM=000000\r\n"
              "[Geo]\r\nGlobeEquator=000000\r\nGlobePoles=000000\r\nGridEquator=000000\r\nGridPoles=000000\r\n"
              "CoastEquator=000000\r\nCoastPoles=000000\r\nCountryBorders=000000\r\nAirports=000000\r\n"
              "Highlight=000000\r\n"
              "[ATC]\r\nATCLabel=000000\r\nCTRFill=000000\r\nCTRBorder=000000\r\nAPPFillCenter=000000\r\n"
              "APPFillOut=000000\r\nAPPBorder=000000\r\nTWRFillCenter=000000\r\nTWRFillOut=000000\r\n"
              "TWRBorder=000000\r\n"
              "[PLANES]\r\nPlaneLabel=000000\r\nPlaneFill=000000\r\nPlaneBorder=000000\r\n");
    ThemeDocument red;
    red.Colours[static_cast<size_t>(Colour::CTRFill)] = {0xFF, 0, 0};
    red.Colours[static_cast<size_t>(Colour::PlaneFill)] = {0x80, 0, 0};
    const std::string text = ThemeDocumentText(red);
    EXPECT_NE(text.find("\r\nCTRFill=FF0000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPlaneFill=800000\r\n"), std::string::npos);
}

TEST(ThemeDocument, OpensWhatTheViewerWouldDraw) {
    const std::string text =
        "[Description]\r\nThemeName=Dark, with blue\r\n"
        "[atc]\r\nctrfill = zz254E\r\n  CTRBorder  =  2e5381  \r\nAPPBorder=FFF\r\nTWRBorder=1234567\r\n"
        "[Screen]\r\nIVAO=0A0B0C\r\n[Geo]\r\nHighlight=\r\n";
    const ThemeDocument document = Read(text);
    EXPECT_EQ(document.Name, "Dark, with blue");
    EXPECT_EQ(document.Author, "unknown");
    IniFile ini;
    ini.LoadText(text);
    ColourTheme viewer;  // a fresh start: black where parsing stops
    ReadColourTheme(ini, viewer);
    for (const ColourKeyInfo& key : ColourKeys())
        EXPECT_EQ(document.Colours[static_cast<size_t>(key.Entry)], Bytes(viewer, key.Entry)) << key.Key;
    EXPECT_EQ(document.Colours[static_cast<size_t>(Colour::CTRFill)], (ColourBytes{0, 0, 0}));
    EXPECT_EQ(document.Colours[static_cast<size_t>(Colour::CTRBorder)], (ColourBytes{0x2E, 0x53, 0x81}));
    EXPECT_EQ(document.Colours[static_cast<size_t>(Colour::IVAO)], (ColourBytes{0x0A, 0x0B, 0x0C}));
    // A missing key shows the viewer's default, not an earlier file's colour.
    EXPECT_EQ(ColourHex(document.Colours[static_cast<size_t>(Colour::PlaneLabel)]), "FFFF9C");
}

TEST(ThemeDocument, TheShippedDefaultThemeRoundTripsByteForByte) {
    const std::string path = testsupport::SourcePath("colours/default.dc");
    ThemeDocument document;
    ASSERT_EQ(OpenThemeDocument(path, document), ThemeFileResult::Done);
    EXPECT_EQ(document.Name, "Default");
    EXPECT_EQ(ThemeDocumentText(document), testsupport::ReadFile(path));
}

TEST(ThemeDocument, ASavedThemeIsReadBackExactlyByTheViewerAndKeepsWhatTheFileHeld) {
    const std::string folder = testsupport::MakeTempFolder("theme");
    const std::string path = folder + "/mine.dc";
    testsupport::WriteFile(path, "; my theme\n[Description]\nThemeName=Mine\nAuthor=Me\nNote=kept\n"
                                 "[screen]\nivao=123456\n[Extra]\nx=1\n");
    ThemeDocument document;
    ASSERT_EQ(OpenThemeDocument(path, document), ThemeFileResult::Done);
    std::mt19937 random(7);
    for (ColourBytes& colour : document.Colours)
        colour = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                  static_cast<std::uint8_t>(random())};
    document.Name = "Mine, again";
    const std::string copy = folder + "/copy.dc";
    ASSERT_EQ(SaveThemeDocument(copy, document), ThemeFileResult::Done);

    const ColourTheme viewer = LoadColourTheme(copy);
    for (const ColourKeyInfo& key : ColourKeys()) {
        const ColourBytes saved = document.Colours[static_cast<size_t>(key.Entry)];
        const Rgb read = viewer.Get(key.Entry);
        EXPECT_EQ(read.Red, saved.Red / 255.0f) << key.Key;
        EXPECT_EQ(read.Green, saved.Green / 255.0f) << key.Key;
        EXPECT_EQ(read.Blue, saved.Blue / 255.0f) << key.Key;
    }
    const std::string text = testsupport::ReadFile(copy);
    EXPECT_EQ(text.rfind("; my theme\n[Description]\nThemeName=Mine, again\nAuthor=Me\nNote=kept\n[screen]\nIVAO=", 0),
              0u) << text;
    EXPECT_NE(text.find("\n[Extra]\nx=1\n"), std::string::npos);
    ThemeDocument again;
    ASSERT_EQ(OpenThemeDocument(copy, again), ThemeFileResult::Done);
    EXPECT_EQ(again.Colours, document.Colours);
    EXPECT_EQ(again.Name, "Mine, again");
}

TEST(ThemeDocument, RefusesFilesWithoutAThemeTooLargeOrUnreadableAndFailedWrites) {
    const std::string folder = testsupport::MakeTempFolder("theme-bad");
    ThemeDocument document;
    document.Name = "before";
    testsupport::WriteFile(folder + "/notes.dc", "hello\r\n[Other]\r\nIVAO=FF0000\r\n");
    EXPECT_EQ(OpenThemeDocument(folder + "/notes.dc", document), ThemeFileResult::NoTheme);
    testsupport::WriteFile(folder + "/big.dc", "[Description]\r\nAuthor=x\r\n" + std::string(kMaxThemeFileBytes, ';'));
    EXPECT_EQ(OpenThemeDocument(folder + "/big.dc", document), ThemeFileResult::TooLarge);
    EXPECT_EQ(OpenThemeDocument(folder, document), ThemeFileResult::Unreadable);
    EXPECT_EQ(OpenThemeDocument(folder + "/missing.dc", document), ThemeFileResult::Unreadable);
    EXPECT_EQ(document.Name, "before");
    // A name alone is a theme.
    testsupport::WriteFile(folder + "/named.dc", "[description]\r\nthemename=Only a name\r\n");
    ASSERT_EQ(OpenThemeDocument(folder + "/named.dc", document), ThemeFileResult::Done);
    EXPECT_EQ(document.Name, "Only a name");

    EXPECT_EQ(SaveThemeDocument(folder + "/no/such/folder/x.dc", document), ThemeFileResult::WriteFailed);
    EXPECT_EQ(document.Lines.Text(), "[description]\r\nthemename=Only a name\r\n");
}
