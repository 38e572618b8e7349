// The viewer driven with real X input: a crafted feed, a view centred on
// its one pilot, then drags, the wheel, keys, the pilot's popup and its
// buttons, and what kestrav.ini and friends.dat hold afterwards.
#include "formats/ini_file.h"
#include "network/recording_hooks.h"
#include "crafted_viewer.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

using namespace testsupport;
using networktest::Line;

namespace {

// A snapshot with one pilot at 50N 8E, flying Frankfurt to Budapest, and a
// tower at Frankfurt 22 nm to the east of it.
std::string CraftedSnapshot() {
    const std::string pilot =
        Line(49, {{0, "TEST123"}, {1, "123456"}, {2, "Ann Example EDDF"}, {3, "PILOT"}, {5, "50.0"}, {6, "8.0"},
                  {7, "35000"}, {8, "420"}, {9, "1/B738/M-SDFGRWY/S"}, {10, "N0450"}, {11, "EDDF"}, {12, "F350"},
                  {13, "LHBP"}, {14, "EU2"}, {21, "I"}, {22, "1200"}, {30, "TOBAK Y180 DKB T161 NIGEB"},
                  {37, "20261208120000"}, {38, "IvAp"}, {39, "2.0.2"}, {40, "2"}, {41, "5"}, {43, "S"},
                  {44, "150"}, {45, "90"}});
    const std::string tower =
        Line(48, {{0, "EDDF_TWR"}, {1, "222222"}, {2, "Bo Tower"}, {3, "ATC"}, {4, "119.900"}, {5, "50.0333"},
                  {6, "8.5706"}, {14, "EU1"}, {18, "4"}, {19, "60"},
                  {35, "eu2.ts.ivao.aero/EDDF_TWR^\xA7" "Frankfurt Tower information ECHO"},
                  {37, "20261208110000"}, {38, "IvAc"}, {39, "1.1.12"}, {40, "2"}, {41, "5"}});
    return "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = 20261208123000\r\nCONNECTED CLIENTS = 2\r\n"
           "!CLIENTS\r\n" + pilot + "\r\n" + tower + "\r\n!SERVERS\r\n";
}

// View 1 looks straight down on the pilot from close by.
CraftedViewer Crafted() {
    return CraftedViewer("controls", CraftedSnapshot(),
                         "[User]\r\nIVAO_ID=123456\r\n[Zoom]\r\nX1=800\r\nY1=-5000\r\nZ1=1600\r\n");
}

}  // namespace

TEST(ViewerControls, APopupsFriendAndProfileButtonsReachTheirFiles) {
    CraftedViewer v = Crafted();
    ASSERT_TRUE(v.Start());
    const int cx = v.width / 2, cy = v.height / 2;
    // A right click on the pilot highlights its route, with the codes of
    // both airports; a right click with Shift the airports' traffic.
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy, 3));
    Settle();
    ASSERT_TRUE(v.viewer->Running());
    v.Shot("route.png");
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy, 3, kShift));
    Settle();
    ASSERT_TRUE(v.viewer->Running());
    const auto before = v.viewer->Image();
    // The pilot lies under the centre of the window.
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy));
    Settle();
    v.Shot("pilot-popup.png");
    const auto popup = v.viewer->Image();
    EXPECT_NE(popup.Pixel(cx - 100, cy - 200), before.Pixel(cx - 100, cy - 200)) << "no popup drawn";
    // Profile, at the right end of the button row.
    ASSERT_TRUE(v.viewer->ClickAt(cx + 100, cy + 230));
    EXPECT_TRUE(WaitFor([&] { return ReadFile(v.opened) == "http://127.0.0.1:9/profile?ID=123456"; }, 10))
        << ReadFile(v.opened);
    // The friend button, in the middle of it: added, then kept at exit.
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy + 230));
    Settle();
    v.Shot("pilot-popup-friend.png");
    // Esc closes the popup: the globe shows again where it was.
    ASSERT_TRUE(v.viewer->TypeKey(XK_Escape));
    Settle();
    EXPECT_EQ(v.viewer->Image().Pixel(cx - 100, cy - 200), before.Pixel(cx - 100, cy - 200));
    v.Exit();
    EXPECT_EQ(ReadFile(v.folder + "/data/friends.dat"), "123456\r\n");
}

TEST(ViewerControls, DragWheelKeysAndViewsEndUpInTheSettings) {
    CraftedViewer v = Crafted();
    ASSERT_TRUE(v.Start());
    const int cx = v.width / 2, cy = v.height / 2;
    // Left drag 100 px to the left turns the globe east; a wheel notch away
    // zooms in by 1.2.
    ASSERT_TRUE(v.viewer->DragFromTo(cx, cy, cx - 100, cy));
    ASSERT_TRUE(v.viewer->MoveTo(cx, cy));
    ASSERT_TRUE(v.viewer->Wheel(1));
    ASSERT_TRUE(v.viewer->TypeKey(XK_2, kShift));
    // A drag released outside the window ends there: moving back in turns
    // nothing.
    ASSERT_TRUE(v.viewer->DragFromTo(cx, cy, cx, -40));
    Settle();
    ASSERT_TRUE(v.viewer->TypeKey(XK_3, kShift));
    const auto released = v.viewer->Image();
    ASSERT_TRUE(v.viewer->MoveTo(cx - 200, cy + 100));
    Settle();
    EXPECT_EQ(v.viewer->Image().Pixels, released.Pixels);
    ASSERT_TRUE(v.viewer->TypeKey(XK_g));
    ASSERT_TRUE(v.viewer->TypeKey(XK_F4, kShift));
    ASSERT_TRUE(v.viewer->TypeKey(XK_F5));
    // The crosshair cell of the bottom bar finds the user's own pilot.
    ASSERT_TRUE(v.viewer->ClickAt(v.width - 30, v.height - 10));
    ASSERT_TRUE(v.viewer->TypeKey(XK_1, kShift));
    Settle();
    v.Shot("after-keys.png");
    const kestrava::IniFile ini = v.Exit();
    const double x2 = std::atof(ini.Get("Zoom", "X2", "").c_str());
    EXPECT_GT(x2, 800 + 100) << "the drag turned the globe";
    EXPECT_EQ(ini.Get("Zoom", "Y2", ""), "-5000");
    EXPECT_EQ(ini.Get("Zoom", "Z2", ""), "1920");
    EXPECT_NE(ini.Get("Zoom", "Y3", ""), "-5000") << "the second drag tilted the globe";
    EXPECT_EQ(ini.Get("Zoom", "X1", ""), "800");
    EXPECT_EQ(ini.Get("Zoom", "Y1", ""), "-5000");
    EXPECT_EQ(ini.Get("Zoom", "Z1", ""), "1600");
    EXPECT_EQ(ini.Get("Map", "ShowLatLon", ""), "0");
    EXPECT_EQ(ini.Get("Map", "ShowAirports", ""), "0");
    EXPECT_EQ(ini.Get("Map", "ShowATCLabels", ""), "0");
    EXPECT_EQ(ini.Get("Map", "ShowATC", ""), "1");
}

TEST(ViewerControls, ADoubleClickOnTheCaptionGoesToFullScreenAndBack) {
    CraftedViewer v = Crafted();
    ASSERT_TRUE(v.viewer->WaitForWindow("Kestrava", 30));
    Settle();
    const auto sizeBecomes = [&](int w, int h) {
        int width = 0, height = 0;
        return WaitFor([&] { return v.viewer->WindowSize(width, height) && width == w && height == h; }, 10);
    };
    ASSERT_TRUE(sizeBecomes(800, 600));
    ASSERT_TRUE(v.viewer->DoubleClickAt(200, 10));
    EXPECT_TRUE(sizeBecomes(1600, 1000));
    Settle();
    ASSERT_TRUE(v.viewer->DoubleClickAt(200, 10));
    EXPECT_TRUE(sizeBecomes(800, 600));
    v.Exit();
}

// Dragging the grip resizes the window: an open popup closes (its list was
// laid out for the old size) and the frame is laid out anew for the new
// size, the caption band reaching the new right edge.
TEST(ViewerControls, AResizeClosesThePopupAndTheFrameFitsTheNewSize) {
    CraftedViewer v = Crafted();
    ASSERT_TRUE(v.Start());
    const int cx = v.width / 2, cy = v.height / 2;
    const auto plain = v.viewer->Image();
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy));
    Settle();
    ASSERT_NE(v.viewer->Image().Pixel(cx - 100, cy - 200), plain.Pixel(cx - 100, cy - 200)) << "no popup drawn";

    ASSERT_TRUE(v.viewer->DragFromTo(v.width - 5, v.height - 5, v.width + 195, v.height + 95));
    int width = 0, height = 0;
    ASSERT_TRUE(WaitFor([&] { return v.viewer->WindowSize(width, height) && width == v.width + 200; }, 10))
        << width << "x" << height;
    EXPECT_EQ(height, v.height + 100);
    Settle();
    v.Shot("resized.png");
    const auto resized = v.viewer->Image();
    ASSERT_EQ(resized.Width, width);
    // Esc would close a popup still open: the picture stays as it is.
    ASSERT_TRUE(v.viewer->TypeKey(XK_Escape));
    Settle();
    const auto afterEsc = v.viewer->Image();
    EXPECT_EQ(afterEsc.Pixels, resized.Pixels) << "a popup was still open after the resize";
    // The caption band runs to the new right edge, past the old one.
    const auto band = resized.Pixel(v.width / 2, 3);
    EXPECT_EQ(resized.Pixel(v.width + 100, 3), band);
    EXPECT_NE(resized.Pixel(v.width + 100, 3), plain.Pixel(v.width - 100, 40));
    v.Exit();
}
