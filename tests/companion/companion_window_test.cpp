// The console window in a running viewer, driven with real X input: Space
// opens it near the map's lower-left corner, its commands reach the weather
// server and the map, closing only hides it.
#include "formats/colour_theme.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/program_process.h"
#include "support/test_support.h"
#include "viewer/crafted_viewer.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>

using namespace testsupport;
using networktest::Line;

namespace {

std::string OnePilotSnapshot() {
    const std::string pilot =
        Line(49, {{0, "DLH123"}, {1, "123456"}, {2, "Ann M\xFCller"}, {3, "PILOT"}, {5, "50.0"}, {6, "8.0"},
                  {7, "35000"}, {8, "420"}, {9, "1/B738/M-SDFGRWY/S"}, {11, "EDDF"}, {13, "LHBP"},
                  {37, "20261208120000"}, {41, "5"}, {45, "90"}});
    return "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = 20261208123000\r\nCONNECTED CLIENTS = 1\r\n"
           "!CLIENTS\r\n" + pilot + "\r\n!SERVERS\r\n";
}

// The output box's whole text, as a paste would get it.
std::string ResponseText(ProgramProcess& p) {
    p.ClickAt(40, 40);
    p.TypeKey(XK_a, kCtrl);
    return p.CopyText();
}

void Shot(ProgramProcess& p, const std::string& name) {
    if (const char* dir = std::getenv("KESTRAVA_SHOTS")) p.Image().SavePng(std::string(dir) + "/" + name);
}

// True when a pixel within 2 of the point has the colour.
bool ColourNear(const WindowImage& image, int x, int y, const kestrava::Rgb& colour) {
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const auto px = image.Pixel(x + dx, y + dy);
            if (std::abs(px[0] - std::lround(colour.Red * 255)) <= 8 && std::abs(px[1] - std::lround(colour.Green * 255)) <= 8 &&
                std::abs(px[2] - std::lround(colour.Blue * 255)) <= 8)
                return true;
        }
    return false;
}

TEST(CompanionWindow, SpaceOpensItNearTheMapAndItsCommandsReachTheServerAndTheMap) {
    networktest::TestHttpServer weather;
    const std::string station = "/observations/metar/stations/EDDF.TXT";
    weather.Serve(station, "2026/12/08 12:20\nEDDF 081220Z 24010KT 9999 FEW030 08/03 Q1013 NOSIG\n");
    CraftedViewer v("companion-window", OnePilotSnapshot(), "WeatherUrl=" + weather.Url("/") + "\r\n");
    ASSERT_TRUE(v.Start());
    ProgramProcess& p = *v.viewer;
    int mx = 0, my = 0, mw = 0, mh = 0;
    ASSERT_TRUE(p.WindowGeometry(mx, my, mw, mh));
    const WindowImage before = p.Image();

    ASSERT_TRUE(p.TypeKey(XK_space));
    ASSERT_TRUE(p.WaitForWindow("Kestrava Companion", 10));
    Settle();
    // 120 twips in from the map's left and bottom edges: 8 pixels at 96 dpi.
    int cx = 0, cy = 0, cw = 0, ch = 0;
    ASSERT_TRUE(p.WindowGeometry(cx, cy, cw, ch));
    EXPECT_EQ(cx, mx + 8);
    EXPECT_EQ(cy + ch, my + mh - 8);

    ASSERT_TRUE(p.TypeText("metar eddf\n"));
    EXPECT_TRUE(WaitFor([&] { return weather.Requests(station) == 1; }, 10));
    ASSERT_TRUE(p.TypeText("icao lhbp\n"));
    Settle();
    Shot(p, "companion.png");
    EXPECT_EQ(weather.Requests(station), 1);
    const std::string transcript =
        "Welcome to the Kestrava Companion\n Refer to companion.txt for list of functions\n"
        "\n> metar EDDF\nEDDF 081220Z 24010KT 9999 FEW030 08/03 Q1013 NOSIG\n"
        "\n> icao LHBP\nLHBP is Budapest Liszt Ferenc International Airport (Budapest, HU)\n";
    EXPECT_EQ(ResponseText(p), transcript);

    // The map turned onto Budapest, its marker in the middle.
    ASSERT_TRUE(p.WaitForWindow("Kestrava", 5));
    const kestrava::Rgb highlight = kestrava::LoadColourTheme(BinPath("colours/default.dc")).Get(kestrava::Colour::Highlight);
    EXPECT_FALSE(ColourNear(before, mw / 2, mh / 2, highlight));
    EXPECT_TRUE(ColourNear(p.Image(), mw / 2, mh / 2, highlight));
    v.Shot("companion-icao.png");

    // Closed, it only hides: the viewer runs on, Space brings back its text,
    // and Up the last line. The snapshot's Windows-1252 name and the degree
    // sign reach the box (and the clipboard) as UTF-8.
    ASSERT_TRUE(p.WaitForWindow("Kestrava Companion", 5));
    ASSERT_TRUE(p.RequestClose());
    ASSERT_TRUE(p.WaitForWindowGone("Kestrava Companion", 5));
    Settle();
    ASSERT_TRUE(p.Running());
    ASSERT_TRUE(p.WaitForWindow("Kestrava", 5));
    ASSERT_TRUE(p.TypeKey(XK_space));
    ASSERT_TRUE(p.WaitForWindow("Kestrava Companion", 10));
    Settle();
    ASSERT_TRUE(p.TypeKey(XK_Up));
    ASSERT_TRUE(p.TypeKey(XK_Return));
    ASSERT_TRUE(p.TypeText("inf dlh123\n"));
    Settle();
    EXPECT_EQ(ResponseText(p), transcript +
                                   "\n> icao LHBP\nLHBP is Budapest Liszt Ferenc International Airport (Budapest, HU)\n"
                                   "\n> info DLH123\nDLH123 is Ann M\xC3\xBCller FC (123456)\n Route EDDF-LHBP with B738\n"
                                   " 35000 ft, 420 kts, hdg 090\xC2\xB0, online for 00:30\n");
    Shot(p, "companion-again.png");
    // The viewer still ends normally, the user's WeatherUrl line kept.
    ASSERT_TRUE(p.WaitForWindow("Kestrava", 5));
    EXPECT_TRUE(v.Exit().Find("Network", "WeatherUrl").has_value());
}

}  // namespace
