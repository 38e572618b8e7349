// The viewer's window while a feed trickles in from a loopback server: it
// keeps turning under a drag, the status line counts the bytes, and closing
// it mid-transfer ends the program at once with its settings written.
#include "formats/ini_file.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <thread>

using namespace testsupport;
using namespace std::chrono_literals;
using networktest::Line;
using networktest::TestHttpServer;

namespace {

// A snapshot of many pilots, some 400 kB.
std::string LargeSnapshot() {
    std::string text = "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = 20261208120000\r\nCONNECTED CLIENTS = 2000\r\n!CLIENTS\r\n";
    for (int i = 0; i < 2000; ++i)
        text += Line(49, {{0, "TST" + std::to_string(i)}, {1, std::to_string(300000 + i)}, {2, "Trickle Pilot"},
                          {3, "PILOT"}, {5, std::to_string(-60 + (i % 120))}, {6, std::to_string(-170 + (i % 340))},
                          {7, "31000"}, {8, "450"}, {11, "EHAM"}, {13, "KJFK"}, {29, "Route text for size " + std::string(60, 'x')},
                          {41, "3"}}) + "\r\n";
    return text + "!SERVERS\r\n";
}

// Pixels that differ between two pictures inside a box.
int Differences(const WindowImage& a, const WindowImage& b, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
}

TEST(LiveWindow, DuringASlowTransferTheWindowTurnsCountsBytesAndClosesAtOnce) {
    TestHttpServer server;
    server.Serve("/whazzup.txt", TestHttpServer::Reply{200, LargeSnapshot(), 0ms, false, 8000ms});
    const std::string folder = CopyProgramFolder("live-window");
    WriteFile(folder + "/kestrav.ini", "[Network]\r\nIVAODataUrl=" + server.Url("/whazzup.txt") +
                                           "\r\nTimeout=5\r\n[Display]\r\nWindowLeft=0\r\nWindowTop=0\r\n"
                                           "WindowWidth=900\r\nWindowHeight=650\r\n");
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30)) << "no viewer window";
    int width = 0, height = 0;
    ASSERT_TRUE(viewer.WindowSize(width, height));
    std::this_thread::sleep_for(1500ms);  // start-up's own frames are through

    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(viewer.TypeKey(XK_i));
    std::this_thread::sleep_for(1000ms);
    const WindowImage early = viewer.Image();
    // A drag turns the globe while the bytes arrive.
    ASSERT_TRUE(viewer.DragFromTo(width / 2, height / 2, width / 2 + 220, height / 2 + 60));
    std::this_thread::sleep_for(600ms);
    const WindowImage turned = viewer.Image();
    EXPECT_GT(Differences(early, turned, 40, 40, width - 40, height - 40), 2000) << "the globe did not turn";
    // The status line's byte count goes on.
    std::this_thread::sleep_for(900ms);
    const WindowImage later = viewer.Image();
    EXPECT_GT(Differences(turned, later, 60, height - 20, width / 2, height), 20) << "the status line stood still";
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 7000ms) << "the checks came after the transfer";
    later.SavePng(folder + "/during-transfer.png");

    // Closed mid-transfer: out within a second, the settings written.
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(viewer.RequestClose());
    EXPECT_EQ(viewer.WaitForExit(5), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1000ms);
    EXPECT_EQ(server.Requests("/whazzup.txt"), 1);
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Network", "LiveSeconds", ""), "0");
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "900");
}

}  // namespace
