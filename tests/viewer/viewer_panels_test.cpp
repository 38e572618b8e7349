// The list window and the airport window driven with real X input over a
// crafted feed of 50 pilots around Frankfurt: tabs, pages, the name sort,
// rows opening popups whose friend buttons reach friends.dat, close boxes
// under popups, a press outside, the bottom bar's cell, Shift+click on the
// airport, its radar and a timetable row.
#include "crafted_viewer.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <cstdio>

using namespace testsupport;
using networktest::Line;

namespace {

constexpr double kEddfLat = 50.030241, kEddfLon = 8.561096;

// Pilot i, named "Name (49 - i)" so that the name sort reverses record
// order, around Frankfurt: even ones inbound from Budapest, odd ones
// outbound to it. Pilot 0 is parked at the gate, pilot 2 the nearest
// inbound (10 nm), pilot 4 an inbound 300 nm out.
std::string PilotLine(int i) {
    double d = 20 + i, bearing = i * 37.0;
    if (i == 0) d = 0;
    if (i == 2) d = 10;
    if (i == 4) d = 300, bearing = 90;
    const double k = 3.14159265 / 180;
    char lat[32], lon[32], name[32], call[16], id[16];
    std::snprintf(lat, sizeof lat, "%.5f", kEddfLat + d / 60 * std::cos(bearing * k));
    std::snprintf(lon, sizeof lon, "%.5f", kEddfLon + d / 60 * std::sin(bearing * k) / std::cos(kEddfLat * k));
    std::snprintf(name, sizeof name, "Name %02d", 49 - i);
    std::snprintf(call, sizeof call, "PILOT%02d", i);
    std::snprintf(id, sizeof id, "%d", 100000 + i);
    const bool inbound = i % 2 == 0;
    return Line(49, {{0, call}, {1, id}, {2, name}, {3, "PILOT"}, {5, lat}, {6, lon}, {7, "9000"},
                     {8, i == 0 ? "0" : "300"}, {9, "1/A320/M-SDFGRWY/S"}, {10, "N0450"},
                     {11, inbound ? "LHBP" : "EDDF"}, {12, "F350"}, {13, inbound ? "EDDF" : "LHBP"}, {14, "EU2"},
                     {21, "I"}, {30, "DCT"}, {37, "20261208120000"}, {41, "5"}, {45, "90"}});
}

std::string Snapshot() {
    std::string text = "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = 20261208123000\r\n"
                       "CONNECTED CLIENTS = 52\r\n!CLIENTS\r\n";
    for (int i = 0; i < 50; ++i) text += PilotLine(i) + "\r\n";
    text += Line(48, {{0, "EDDF_TWR"}, {1, "222222"}, {2, "Bo Tower"}, {3, "ATC"}, {4, "119.900"},
                      {5, "50.0333"}, {6, "8.5706"}, {18, "4"}, {19, "60"}, {37, "20261208110000"}, {41, "5"}}) +
            "\r\n";
    text += Line(48, {{0, "EDDF_OBS"}, {1, "333333"}, {2, "Cy Watcher"}, {3, "ATC"}, {4, "199.998"},
                      {5, "50.0333"}, {6, "8.5706"}, {18, "0"}, {37, "20261208110000"}, {41, "2"}}) +
            "\r\n";
    return text + "!SERVERS\r\n";
}

}  // namespace

TEST(ViewerPanels, ListAndAirportWindowsOpenTheirClientsPopups) {
    // View 1 over Frankfurt at zoom 8.
    CraftedViewer v("panels", Snapshot(), "[Zoom]\r\nX1=856\r\nY1=-5003\r\nZ1=800\r\n");
    ASSERT_TRUE(v.Start());
    ASSERT_EQ(v.width, 800);
    ASSERT_EQ(v.height, 600);
    // 600 px give 40 panel rows: a page of 39 lines; the panel reaches from
    // y 39 to 561. Its top band holds the tabs, the bottom band the pages.
    const auto row = [](int i) { return 65 + 12 * i; };  // the middle of list line i
    ProgramProcess& x = *v.viewer;
    const auto map = x.Image();
    ASSERT_TRUE(x.TypeKey(XK_l));
    Settle();
    EXPECT_NE(x.Image().Pixel(100, 300), map.Pixel(100, 300)) << "no list window";
    ASSERT_TRUE(x.ClickAt(480, 49));  // the Pilots tab
    ASSERT_TRUE(x.ClickAt(400, 65));  // the header: sorted by name
    ASSERT_TRUE(x.ClickAt(700, 551)); // next page: sorted rows 40 to 50
    Settle();
    v.Shot("list-pilots-page2.png");
    ASSERT_TRUE(x.ClickAt(400, row(1)));  // the 40th name, "Name 39": pilot 10
    Settle();
    v.Shot("list-popup.png");
    ASSERT_TRUE(x.ClickAt(400, 535));     // its friend button
    ASSERT_TRUE(x.ClickAt(520, 70));      // the popup's cross: back to the list
    ASSERT_TRUE(x.ClickAt(400, row(2)));  // "Name 40": pilot 9
    ASSERT_TRUE(x.ClickAt(735, 49));      // the list's close box: the popup stays
    Settle();
    ASSERT_TRUE(x.ClickAt(400, 535));     // pilot 9 befriended over the map
    ASSERT_TRUE(x.TypeKey(XK_Escape));
    // The bottom bar's list cell; a press outside the list starts a drag.
    ASSERT_TRUE(x.ClickAt(800 - 50, 590));
    Settle();
    EXPECT_NE(x.Image().Pixel(100, 300), map.Pixel(100, 300)) << "no list window from the bar";
    ASSERT_TRUE(x.DragFromTo(20, 300, 20, 200));
    ASSERT_TRUE(x.TypeKey(XK_2, kShift));
    // Shift+click on Frankfurt: its timetable; the radar; a timetable row.
    ASSERT_TRUE(x.TypeKey(XK_1));
    ASSERT_TRUE(x.ClickAt(401, 300, 1, kShift));
    Settle();
    v.Shot("airport-timetable.png");
    ASSERT_TRUE(x.ClickAt(700, 551));  // the Radar tab
    Settle();
    v.Shot("airport-radar.png");
    const auto radar = x.Image();
    ASSERT_TRUE(x.ClickAt(600, 551));  // back to the timetable
    Settle();
    EXPECT_NE(x.Image().Pixels, radar.Pixels);
    ASSERT_TRUE(x.ClickAt(400, 78));  // the first arrival: pilot 0, parked at the gate ("--:--")
    Settle();
    ASSERT_TRUE(x.ClickAt(400, 535));
    ASSERT_TRUE(x.TypeKey(XK_Escape));
    Settle();
    EXPECT_EQ(x.Image().Pixel(100, 300), map.Pixel(100, 300)) << "Esc closes everything";
    const kestrava::IniFile ini = v.Exit();
    EXPECT_EQ(ReadFile(v.folder + "/data/friends.dat"), "100010\r\n100009\r\n100000\r\n");
    EXPECT_NE(ini.Get("Zoom", "Y2", ""), "-5003") << "the press outside the list dragged the globe";
}
