#include "formats/friends.h"
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <vector>

using namespace kestrava;

namespace {

// A window far past any screen, in numbers past the int and the double range.
constexpr const char* kHugeWindow = "[Display]\r\nWindowWidth=1e10\r\nWindowHeight=1e400\r\n";

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

TEST(IniFile, AValueSetIsTheValueReadBackQuotesAndBlanksIncluded) {
    IniFile ini;
    for (const std::string value : {"'5'", "\"5\"", " padded ", "plain", "\"", "it's \"x\"", ""}) {
        ini.Set("User", "IVAO_ID", value);
        IniFile reread;
        reread.LoadText(ini.Text());
        EXPECT_EQ(reread.Get("User", "IVAO_ID", "?"), value) << ini.Text();
    }
    ini.Set("User", "IVAO_ID", "123456");
    EXPECT_NE(ini.Text().find("IVAO_ID=123456\r\n"), std::string::npos);  // no quotes where none are needed
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
    EXPECT_TRUE(s.Layers.ShowLatLon && s.Layers.ShowPlanes && s.Layers.ShowPlaneLabels && s.Layers.ShowATC &&
                s.Layers.ShowATCLabels && s.Layers.ShowAirports && s.Layers.ShowAirportLabels);
    EXPECT_FALSE(s.Layers.ShowInbounds);
    EXPECT_FALSE(s.Layers.ShowActualHeading);
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

TEST(Settings, HugeWindowSizesComeBackWithinTheIntRange) {
    IniFile ini;
    ini.LoadText(kHugeWindow);
    ASSERT_EQ(ini.Get("Display", "WindowHeight", ""), "1e400");
    const Settings s = ReadSettings(ini, {1600, 1000});
    constexpr double kLargest = std::numeric_limits<int>::max(), kSmallest = std::numeric_limits<int>::min();
    EXPECT_EQ(s.WindowWidth, kLargest);
    EXPECT_EQ(s.WindowHeight, kLargest);
    for (double placement : {s.WindowLeft, s.WindowTop}) {
        EXPECT_GE(placement, kSmallest);
        EXPECT_LE(placement, kLargest);
    }
    const Settings far = SettingsFrom("[Display]\nWindowLeft=-1e300\nWindowTop=1e400\n");
    EXPECT_EQ(far.WindowLeft, kSmallest);
    EXPECT_EQ(far.WindowTop, kLargest);
}

TEST(WindowPlacement, TheWindowComesUpWhollyOnAScreenAtAUsableSize) {
    const std::vector<PixelRect> one = {{0, 0, 1600, 1000}};
    auto fit = [](double l, double t, double w, double h, const std::vector<PixelRect>& screens) {
        const PixelRect r = FitWindowToScreens(l, t, w, h, screens);
        return std::vector<int>{r.Left, r.Top, r.Width, r.Height};
    };
    using V = std::vector<int>;
    // A window that fits stays where it was put.
    EXPECT_EQ(fit(10, 20, 900, 650, one), (V{10, 20, 900, 650}));
    // The huge window as ReadSettings hands it over: the whole screen.
    IniFile ini;
    ini.LoadText(kHugeWindow);
    const Settings s = ReadSettings(ini, {1600, 1000});
    EXPECT_EQ(fit(s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight, one), (V{0, 0, 1600, 1000}));
    // Off the screen: moved back as little as needed.
    EXPECT_EQ(fit(5000, -300, 800, 600, one), (V{800, 0, 800, 600}));
    EXPECT_EQ(fit(1500, 900, 800, 600, one), (V{800, 400, 800, 600}));
    // Values no int holds, and NaN, which no reader gives but a caller might.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fit(nan, -inf, inf, nan, one), (V{0, 0, 1600, 540}));
    EXPECT_EQ(fit(1e300, 1e300, 1e10, 1e10, one), (V{0, 0, 1600, 1000}));
    // Below the minimum size only where the screen itself is smaller.
    EXPECT_EQ(fit(0, 0, 100, 100, one), (V{0, 0, 720, 540}));
    EXPECT_EQ(fit(0, 0, 800, 600, {{0, 0, 640, 480}}), (V{0, 0, 640, 480}));

    // Two screens, the primary first: the window stays on the one that holds
    // its centre, and goes to the primary one when neither does.
    const std::vector<PixelRect> two = {{0, 0, 1600, 1000}, {1600, -200, 1280, 1024}};
    EXPECT_EQ(fit(2000, -100, 800, 600, two), (V{2000, -100, 800, 600}));
    EXPECT_EQ(fit(2400, 500, 800, 600, two), (V{2080, 224, 800, 600}));
    EXPECT_EQ(fit(9000, 9000, 800, 600, two), (V{800, 400, 800, 600}));
    // Without a screen to go by: the int range and the minimum size.
    EXPECT_EQ(fit(-1e20, 5, 1e20, 2, {}), (V{std::numeric_limits<int>::min(), 5, std::numeric_limits<int>::max(), 540}));
}

TEST(Settings, FlagsReadAsNumbersWithTheDefaultForNonsense) {
    Settings s = SettingsFrom("[Map]\nShowLatLon=0\nShowPlanes=2\nShowInbounds=true\nShowATC=maybe\n"
                              "ShowActualHeading=  1  \n");
    EXPECT_FALSE(s.Layers.ShowLatLon);
    EXPECT_TRUE(s.Layers.ShowPlanes);
    EXPECT_TRUE(s.Layers.ShowInbounds);
    EXPECT_TRUE(s.Layers.ShowATC);  // unreadable: the default
    EXPECT_TRUE(s.Layers.ShowActualHeading);
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

    // A value no float holds reads as the key's default, so that what is
    // written back is what was read (it once came back as 0).
    ini.LoadText("[Zoom]\nY3=-1e400\nX1=1e300\nZ2=1e-400\n");
    s = ReadSettings(ini, {});
    EXPECT_FLOAT_EQ(s.Views[2].Y, -36.71f);
    EXPECT_FLOAT_EQ(s.Views[0].X, 13.34f);
    EXPECT_EQ(s.Views[1].Z, 0);
    WriteSettings(ini, s);
    EXPECT_EQ(ini.Get("Zoom", "Y3", ""), "-3671");
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

TEST(Friends, AHundredThousandIdsLoadInFileOrderWithinAFractionOfASecond) {
    const std::string folder = testsupport::MakeTempFolder("friends");
    const std::string path = folder + "/friends.dat";
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "id" + std::to_string(i * 7 % 100000) + "\r\n";
    text += "ID5\r\n";  // a repeat in other letters
    testsupport::WriteFile(path, text);
    FriendList friends;
    const auto started = std::chrono::steady_clock::now();
    LoadFriends(path, friends);
    const auto took = std::chrono::steady_clock::now() - started;
    std::printf("100000 friends loaded in %.1f ms\n", std::chrono::duration<double, std::milli>(took).count());
    EXPECT_LT(took, std::chrono::seconds(1));
    ASSERT_EQ(friends.Size(), 100000u);
    EXPECT_EQ(friends.Keys()[1], "id7");  // the order of the file
    EXPECT_EQ(friends.Keys().back(), "id99993");
    EXPECT_TRUE(friends.Has("ID99993"));
    EXPECT_FALSE(friends.Has("id100000"));
    // Removing and adding again keep the list and its look-ups in step.
    EXPECT_TRUE(friends.Remove("Id7"));
    EXPECT_FALSE(friends.Has("id7"));
    EXPECT_FALSE(friends.Remove("id7"));
    EXPECT_EQ(friends.Keys()[1], "id14");
    EXPECT_TRUE(friends.Add("ID7"));
    EXPECT_EQ(friends.Keys().back(), "ID7");
    EXPECT_FALSE(friends.Add("id7"));
    friends.Clear();
    EXPECT_FALSE(friends.Has("id14"));
    EXPECT_TRUE(friends.Add("id14"));
}

TEST(Friends, MissingFileGivesAnEmptyList) {
    FriendList friends;
    LoadFriends("/nonexistent/friends.dat", friends);
    EXPECT_TRUE(friends.Empty());
}

TEST(Settings, SectorUpdateAddressAndCheckDaysAreReadAndKept) {
    Settings defaults = SettingsFrom("");
    EXPECT_EQ(defaults.SectorDataUrl, "https://api.vatsim.net/api/map_data/");
    EXPECT_EQ(defaults.SectorCheckDays, 7);
    EXPECT_EQ(SettingsFrom("[Network]\r\nSectorDataUrl=  \r\n").SectorDataUrl, kDefaultSectorDataUrl);
    EXPECT_EQ(SettingsFrom("[Network]\r\nSectorCheckDays=-3\r\n").SectorCheckDays, 0);
    EXPECT_EQ(SettingsFrom("[Network]\r\nSectorCheckDays=1e9\r\n").SectorCheckDays, kSectorCheckDaysHigh);
    EXPECT_EQ(SettingsFrom("[Network]\r\nSectorCheckDays=2.7\r\n").SectorCheckDays, 2);

    IniFile ini;
    ini.LoadText("[Network]\r\nSectorDataUrl=http://127.0.0.1:8080/map_data\r\nSectorCheckDays=0\r\n");
    const Settings s = ReadSettings(ini, {});
    EXPECT_EQ(s.SectorDataUrl, "http://127.0.0.1:8080/map_data");
    EXPECT_EQ(s.SectorCheckDays, 0);
    IniFile written;
    written.LoadText("[Display]\r\nWindowWidth=900\r\n");
    WriteSettings(written, s);
    EXPECT_EQ(written.Get("Network", "SectorDataUrl", ""), "http://127.0.0.1:8080/map_data");
    EXPECT_EQ(written.Get("Network", "SectorCheckDays", ""), "0");
    EXPECT_EQ(ReadSettings(written, {}).SectorDataUrl, s.SectorDataUrl);
}
