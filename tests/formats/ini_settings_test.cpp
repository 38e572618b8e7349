#include "formats/friends.h"
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrava;

namespace {

Settings SettingsFrom(const std::string& text, ScreenSize screen = {1920, 1080}) {
    IniFile ini;
    ini.LoadText(text);
    return ReadSettings(ini, screen);
}

}  // namespace

TEST(IniFile, MatchesNamesWithoutCaseAndTrimsValues) {
    IniFile ini;
    ini.LoadText("[network]\r\n  timeout =  42  \r\n[Other]\r\nTimeout=7\r\n");
    EXPECT_EQ(ini.Get("Network", "TIMEOUT", "x"), "42");
    EXPECT_EQ(ini.Get("OTHER", "timeout", "x"), "7");
    EXPECT_EQ(ini.Get("Network", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.Get("Nowhere", "Timeout", "fallback"), "fallback");
}

TEST(IniFile, CutsValuesAt255Characters) {
    IniFile ini;
    ini.LoadText("[A]\nKey=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(ini.Get("A", "Key", "").size(), 255u);
}

TEST(IniFile, UpdateReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
    const std::string original =
        "; my notes\r\n[User]\r\nIVAO_ID=1\r\n\r\n[Custom]\nodd line without equals\n  spaced = kept  \n"
        "[Network]\r\nProxy=me:pw@host:8080\r\n";
    IniFile ini;
    ini.LoadText(original);
    ini.Set("user", "ivao_id", "123456");
    ini.Set("User", "VATSIM_ID", "888");
    ini.Set("Zoom", "X1", "1334");
    const std::string expected =
        "; my notes\r\n[User]\r\nivao_id=123456\r\nVATSIM_ID=888\r\n\r\n[Custom]\nodd line without equals\n"
        "  spaced = kept  \n[Network]\r\nProxy=me:pw@host:8080\r\n[Zoom]\r\nX1=1334\r\n";
    EXPECT_EQ(ini.Text(), expected);
}

TEST(IniFile, AddsASectionAfterALastLineWithoutLineEnd) {
    IniFile ini;
    ini.LoadText("[A]\r\nKey=1");
    ini.Set("B", "Other", "2");
    EXPECT_EQ(ini.Text(), "[A]\r\nKey=1\r\n[B]\r\nOther=2\r\n");
}

TEST(Settings, MissingFileGivesTheDefaults) {
    Settings s = SettingsFrom("", {1920, 1080});
    EXPECT_EQ(s.UserIds[0], "100000");
    EXPECT_EQ(s.UserIds[1], "800000");
    EXPECT_EQ(s.ColourTheme, "default.dc");
    EXPECT_EQ(s.WindowWidth, 800);
    EXPECT_EQ(s.WindowHeight, 600);
    EXPECT_EQ(s.WindowLeft, (1920 - 800) / 2);
    EXPECT_EQ(s.WindowTop, (1080 - 600) / 2);
    EXPECT_FALSE(s.AutoDownload);
    EXPECT_EQ(s.DownloadMinutes, 5);
    EXPECT_EQ(s.Timeout, 15);
    EXPECT_FLOAT_EQ(s.Views[0].X, 13.34f);
    EXPECT_FLOAT_EQ(s.Views[0].Y, -54.15f);
    EXPECT_FLOAT_EQ(s.Views[0].Z, 1.49f);
    EXPECT_TRUE(s.ShowLatLon && s.ShowPlanes && s.ShowPlaneLabels && s.ShowATC &&
                s.ShowATCLabels && s.ShowAirports && s.ShowAirportLabels);
    EXPECT_FALSE(s.ShowInbounds);
    EXPECT_FALSE(s.ShowActualHeading);
}

TEST(Settings, ClampsDownloadMinutesAndTimeoutAfterTruncating) {
    EXPECT_EQ(SettingsFrom("[Network]\nDownloadMinutes=1\n").DownloadMinutes, 3);
    EXPECT_EQ(SettingsFrom("[Network]\nDownloadMinutes=45\n").DownloadMinutes, 30);
    EXPECT_EQ(SettingsFrom("[Network]\nDownloadMinutes=4.9\n").DownloadMinutes, 4);
    EXPECT_EQ(SettingsFrom("[Network]\nTimeout=2\n").Timeout, 5);
    EXPECT_EQ(SettingsFrom("[Network]\nTimeout=300\n").Timeout, 120);
    EXPECT_EQ(SettingsFrom("[Network]\nTimeout=abc\n").Timeout, 5);
}

TEST(Settings, WindowGeometryMinimumsAndCentring) {
    Settings s = SettingsFrom("[Display]\nWindowWidth=640\nWindowHeight=300\nWindowLeft=0\nWindowTop=0.1\n",
                              {1000, 800});
    EXPECT_EQ(s.WindowWidth, 720);
    EXPECT_EQ(s.WindowHeight, 540);
    EXPECT_EQ(s.WindowLeft, 0);
    EXPECT_EQ(s.WindowTop, (800 - 540) / 2);
    Settings fractional = SettingsFrom("[Display]\nWindowWidth=800.5\nWindowLeft=80.46667\n");
    EXPECT_EQ(fractional.WindowWidth, 800);  // halves to even
    EXPECT_EQ(fractional.WindowLeft, 80);
}

TEST(Settings, FlagsReadAsNumbersWithTheDefaultForNonsense) {
    Settings s = SettingsFrom("[Map]\nShowLatLon=0\nShowPlanes=2\nShowInbounds=true\nShowATC=maybe\n"
                              "ShowActualHeading=  1  \n");
    EXPECT_FALSE(s.ShowLatLon);
    EXPECT_TRUE(s.ShowPlanes);
    EXPECT_TRUE(s.ShowInbounds);
    EXPECT_TRUE(s.ShowATC);  // unreadable: the default
    EXPECT_TRUE(s.ShowActualHeading);
}

TEST(Settings, ZoomValuesRoundTripAsHundredths) {
    IniFile ini;
    ini.LoadText("[Zoom]\nZ3=43\nX2=-9772\n");
    Settings s = ReadSettings(ini, {});
    EXPECT_FLOAT_EQ(s.Views[2].Z, 0.43f);
    s.Views[0] = StoredView{12.125f, -0.005f, 16.0f};
    WriteSettings(ini, s);
    EXPECT_EQ(ini.Get("Zoom", "Z3", ""), "43");
    EXPECT_EQ(ini.Get("Zoom", "X2", ""), "-9772");
    EXPECT_EQ(ini.Get("Zoom", "X1", ""), "1212");  // 1212.5 rounds to even
    EXPECT_EQ(ini.Get("Zoom", "Z1", ""), "1600");
}

TEST(Settings, SaveNeverWritesProxyOrTextForceAndKeepsUnknownLines) {
    const std::string original = "[Network]\r\nProxy=user:secret@proxy:3128\r\nTextForce=1\r\n"
                                 "; comment kept\r\n[Mine]\r\nanything=goes\r\n";
    IniFile ini;
    ini.LoadText(original);
    Settings s = ReadSettings(ini, {});
    EXPECT_EQ(s.Proxy, "user:secret@proxy:3128");
    EXPECT_TRUE(s.TextForce);
    s.Proxy = "changed";
    s.TextForce = false;
    s.WindowLeft = 80.46667;
    WriteSettings(ini, s);
    EXPECT_EQ(ini.Get("Network", "Proxy", ""), "user:secret@proxy:3128");
    EXPECT_EQ(ini.Get("Network", "TextForce", ""), "1");
    EXPECT_EQ(ini.Get("Display", "WindowLeft", ""), "80.46667");
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "800");
    const std::string text = ini.Text();
    EXPECT_NE(text.find("\r\n; comment kept\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n[Mine]\r\nanything=goes\r\n"), std::string::npos);
}

TEST(Friends, LoadSkipsEmptyFieldsAndSaveWritesOnePerLine) {
    const std::string folder = testsupport::MakeTempFolder("friends");
    const std::string path = folder + "/friends.dat";
    testsupport::WriteFile(path, "123456\r\n\r\n\"234567\", 345678\r\n  456789\r\n123456\r\n");
    FriendList friends;
    LoadFriends(path, friends);
    ASSERT_EQ(friends.Size(), 4u);
    EXPECT_TRUE(friends.Has("345678"));
    friends.Remove("234567");
    friends.Add("999");
    ASSERT_TRUE(SaveFriends(path, friends));
    EXPECT_EQ(testsupport::ReadFile(path), "123456\r\n345678\r\n456789\r\n999\r\n");
}

TEST(Friends, MissingFileGivesAnEmptyList) {
    FriendList friends;
    LoadFriends("/nonexistent/friends.dat", friends);
    EXPECT_TRUE(friends.Empty());
}
