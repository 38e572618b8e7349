// The settings editor's reading and writing of kestrav.ini, the checks on
// typed text and the running viewer's lock: all without a window.
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "formats/text.h"
#include "formats/typed_text.h"
#include "formats/viewer_lock.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace kestrava;

namespace {

Settings EditorRead(const std::string& text) {
    IniFile ini;
    ini.LoadText(text);
    return ReadEditorSettings(ini);
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size() - 1;
        lines.push_back(text.substr(start, end + 1 - start));
        start = end + 1;
    }
    return lines;
}

bool IsSharedKeyLine(const std::string& line) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    for (const SettingsKey& key : SharedKeys())
        if (EqualsNoCase(Trim(line.substr(0, eq)), key.Name)) return true;
    return false;
}

}  // namespace

TEST(EditorSettings, NumbersAreTruncatedAndLimitedButNotClamped) {
    EXPECT_EQ(EditorRead("[Network]\r\nDownloadMinutes=45\r\nTimeout=2\r\n").DownloadMinutes, 45);
    EXPECT_EQ(EditorRead("[Network]\r\nTimeout=2\r\n").Timeout, 2);
    EXPECT_EQ(EditorRead("[Network]\r\nDownloadMinutes=4.9\r\n").DownloadMinutes, 4);
    EXPECT_EQ(EditorRead("[Network]\r\nDownloadMinutes=-2.5\r\n").DownloadMinutes, -3);
    // Beyond 16 bits: limited, and the keys after it are still read.
    Settings big = EditorRead("[Network]\r\nDownloadMinutes=99999\r\nTimeout=-1e300\r\nProxy=me:pw@h:1\r\n");
    EXPECT_EQ(big.DownloadMinutes, 32767);
    EXPECT_EQ(big.Timeout, -32768);
    EXPECT_EQ(big.Proxy, "me:pw@h:1");
}

TEST(EditorSettings, AnEmptyThemeShowsTheThemeTheViewerDraws) {
    Settings s = EditorRead("[User]\r\nIVAO_ID=123\r\n[Display]\r\nColourTheme=\r\n[Network]\r\nDownloadMinutes=9\r\n");
    EXPECT_EQ(s.ColourTheme, "default.dc");
    EXPECT_EQ(s.UserIds[0], "123");  // the file's other values stay
    EXPECT_EQ(s.DownloadMinutes, 9);
    EXPECT_EQ(EditorRead("").ColourTheme, "default.dc");
}

TEST(EditorSettings, LoadThenSaveChangesOnlyTheNineteenKeysAndNothingTheViewerDoes) {
    const std::string original =
        "; my settings\n[user]\nivao_id = 654321\n[Display]\nwindowwidth=1000.5\nWindowLeft=0.1\n"
        "colourtheme=dark.dc\ndisablesmooth=5\n# a note\n[Network]\nIVAOStatusUrl=file:///feed/status.txt\n"
        "downloadminutes=45\nProxy=me:pw@host:8080\nunknownkey=kept\n[Zoom]\nX1=1234\nz3=43\n"
        "[map]\nshowplanes=2\nShowInbounds=1\n[Mine]\nanything = at all\n";
    IniFile ini;
    ini.LoadText(original);
    const Settings before = ReadSettings(ini, {1600, 1000});
    WriteEditorSettings(ini, ReadEditorSettings(ini));
    const std::string saved = ini.Text();

    // Every line that is not one of the 19 keys is kept byte for byte, in
    // its place; the added keys follow the file's LF line ends.
    std::vector<std::string> kept;
    for (const std::string& line : LinesOf(saved)) {
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;
        if (!IsSharedKeyLine(line)) kept.push_back(line);
    }
    std::vector<std::string> expected;
    for (const std::string& line : LinesOf(original))
        if (!IsSharedKeyLine(line)) expected.push_back(line);
    EXPECT_EQ(kept, expected);

    // Each of the 19 keys is there once.
    std::multiset<std::string> names;
    for (const std::string& line : LinesOf(saved))
        if (IsSharedKeyLine(line)) names.insert(ToLower(Trim(line.substr(0, line.find('=')))));
    for (const SettingsKey& key : SharedKeys()) EXPECT_EQ(names.count(ToLower(key.Name)), 1u) << key.Name;

    EXPECT_EQ(ini.Get("Network", "DownloadMinutes", ""), "45");
    EXPECT_EQ(ini.Get("Map", "ShowPlanes", ""), "1");
    EXPECT_EQ(ini.Get("Display", "DisableSmooth", ""), "1");
    EXPECT_EQ(ini.Get("Network", "TextForce", ""), "0");

    const Settings after = ReadSettings(ini, {1600, 1000});
    EXPECT_EQ(after.UserIds, before.UserIds);
    EXPECT_EQ(after.ColourTheme, before.ColourTheme);
    EXPECT_EQ(after.DisableSmooth, before.DisableSmooth);
    EXPECT_EQ(after.DownloadMinutes, before.DownloadMinutes);
    EXPECT_EQ(after.Proxy, before.Proxy);
    EXPECT_EQ(after.Layers.ShowPlanes, before.Layers.ShowPlanes);
    EXPECT_EQ(after.Layers.ShowInbounds, before.Layers.ShowInbounds);
    EXPECT_EQ(after.WindowWidth, before.WindowWidth);
    EXPECT_EQ(after.StatusUrls, before.StatusUrls);
    EXPECT_FLOAT_EQ(after.Views[2].Z, before.Views[2].Z);
}

TEST(EditorSettings, WritesTheNineteenKeysInTheirOrderIntoANewFile) {
    Settings s = ReadEditorSettings(IniFile());
    s.Proxy = "proxy:3128";
    s.Layers.ShowActualHeading = true;
    s.DownloadMinutes = 45;
    IniFile ini;
    WriteEditorSettings(ini, s);
    EXPECT_EQ(ini.Text(),
              "[User]\r\nIVAO_ID=100000\r\nVATSIM_ID=800000\r\n"
              "[Display]\r\nColourTheme=default.dc\r\nDisableSmooth=0\r\nDisableCountries=0\r\n"
              "[Network]\r\nAutoDownload=0\r\nDownloadMinutes=45\r\nTimeout=15\r\nProxy=proxy:3128\r\nTextForce=0\r\n"
              "[Map]\r\nShowLatLon=1\r\nShowPlanes=1\r\nShowPlaneLabels=1\r\nShowATC=1\r\nShowATCLabels=1\r\n"
              "ShowAirports=1\r\nShowAirportLabels=1\r\nShowInbounds=0\r\nShowActualHeading=1\r\n");
}

TEST(TypedText, OnlyWhatAWindows1252ValueCanHoldPasses) {
    std::string bytes;
    EXPECT_EQ(CheckTypedText("caf\xC3\xA9 \xE2\x82\xAC", bytes), TypedTextFault::None);  // "café €"
    EXPECT_EQ(bytes, "caf\xE9 \x80");
    bytes = "unchanged";
    EXPECT_EQ(CheckTypedText("\xC5\x81\xC3\xB3\x64\xC5\xBA", bytes), TypedTextFault::NotWindows1252);  // "Łódź"
    EXPECT_EQ(CheckTypedText("\xF0\x9F\x98\x80", bytes), TypedTextFault::NotWindows1252);  // an emoji
    EXPECT_EQ(CheckTypedText("a\nb", bytes), TypedTextFault::LineBreak);
    EXPECT_EQ(CheckTypedText("a\rb", bytes), TypedTextFault::LineBreak);
    EXPECT_EQ(bytes, "unchanged");
    // However long, a value fits the file.
    EXPECT_EQ(CheckTypedText(std::string(1000, 'x'), bytes), TypedTextFault::None);
    EXPECT_EQ(bytes, std::string(1000, 'x'));
    EXPECT_NE(TypedTextMessage("Proxy", TypedTextFault::LineBreak).find("Proxy"), std::string::npos);
}

TEST(ViewerLock, ARunningViewerIsSeenFromItsFolderOnly) {
    const std::string folder = testsupport::MakeTempFolder("lock");
    const std::string other = testsupport::MakeTempFolder("lock-other");
    EXPECT_FALSE(ViewerRunsIn(folder));
    // The viewer names its folder with links resolved; so does the check.
    ASSERT_TRUE(ClaimViewerLock(std::filesystem::canonical(folder).string()));
    EXPECT_TRUE(ViewerRunsIn(folder));
    EXPECT_TRUE(ViewerRunsIn(folder + "/."));
    EXPECT_FALSE(ClaimViewerLock(std::filesystem::canonical(folder).string()));
    EXPECT_FALSE(ViewerRunsIn(other));
}

TEST(EditorSettings, ASaveKeepsTheFilesPermissions) {
    namespace fs = std::filesystem;
    const std::string path = testsupport::MakeTempFolder("perms") + "/kestrav.ini";
    testsupport::WriteFile(path, "[Network]\r\nProxy=me:secret@host:1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    WriteEditorSettings(ini, ReadEditorSettings(ini));
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ini.Get("Network", "Proxy", ""), "me:secret@host:1");
}
