// Notifications end to end: two viewers on private session buses, one with
// a recording notification service, one without any, their feeds served
// from 127.0.0.1. A friend comes online at the second snapshot: the service
// is sent the text, a click on it centres the map and opens the popup; the
// viewer without a service says it in the status line.
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

std::string Feed(bool withFriend) {
    std::string text = "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = " +
                       std::string(withFriend ? "20261208120100" : "20261208120000") +
                       "\r\nCONNECTED CLIENTS = 2\r\n!CLIENTS\r\n";
    text += Line(49, {{0, "AFR11"}, {1, "222222"}, {2, "Some Pilot"}, {3, "PILOT"}, {5, "48.9"}, {6, "2.3"},
                      {7, "35000"}, {8, "460"}, {11, "LFPG"}, {13, "KJFK"}, {41, "3"}}) + "\r\n";
    if (withFriend)
        text += Line(49, {{0, "DLH123"}, {1, "111111"}, {2, "Fred Friend"}, {3, "PILOT"}, {5, "52.5"}, {6, "-20.0"},
                          {7, "37000"}, {8, "480"}, {11, "EDDF"}, {13, "KJFK"}, {41, "3"}}) + "\r\n";
    return text + "!SERVERS\r\n";
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(200ms);
    return done();
}

int Differences(const WindowImage& a, const WindowImage& b) {
    int count = 0;
    for (int y = 40; y < a.Height - 40 && y < b.Height; ++y)
        for (int x = 0; x < a.Width && x < b.Width; ++x) count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
}

TEST(NotificationWindow, AFriendOnlineIsToldAClickShowsThemAndWithoutAServiceTheStatusLineSaysIt) {
    SessionBus withService, without;
    if (!withService.Problem().empty()) GTEST_SKIP() << withService.Problem();
    const std::string logs = MakeTempFolder("notify-logs");
    ProgramProcess recorder({KESTRAVA_RECORDER, logs + "/notifications.txt"}, withService.Environment(),
                            logs + "/recorder.out");
    ASSERT_TRUE(recorder.WaitForOutput("listening", 10)) << recorder.Output();

    TestHttpServer server;
    server.Serve("/a", Feed(false));
    server.Serve("/b", Feed(false));
    const auto start = [&](const std::string& tag, const std::string& path, int left, SessionBus& bus) {
        const std::string folder = CopyProgramFolder(tag);
        WriteFile(folder + "/data/friends.dat", "111111\r\n");
        WriteFile(folder + "/kestrav.ini", "[Network]\r\nIVAODataUrl=" + server.Url(path) +
                                               "\r\nLiveSeconds=15\r\n[Display]\r\nWindowLeft=" + std::to_string(left) +
                                               "\r\nWindowTop=0\r\nWindowWidth=720\r\nWindowHeight=540\r\n");
        return std::make_unique<ProgramProcess>(std::vector<std::string>{folder + "/kestrav"}, bus.Environment(),
                                                folder + "/output.txt");
    };
    auto told = start("notify-told", "/a", 0, withService);
    auto plain = start("notify-plain", "/b", 800, without);
    ASSERT_TRUE(told->WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(told->WaitForOutput("Ready", 30));
    ASSERT_TRUE(told->TypeKey(XK_i));
    ASSERT_TRUE(plain->WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(plain->WaitForOutput("Ready", 30));
    ASSERT_TRUE(plain->TypeKey(XK_i));
    // The first snapshot after start-up tells nothing.
    ASSERT_TRUE(WaitUntil([&] { return server.Requests("/a") == 1 && server.Requests("/b") == 1; }, 20s));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ReadFile(logs + "/notifications.txt"), "");

    // The friend comes online; live refresh fetches it once the minute the
    // feed asks for has passed.
    server.Serve("/a", Feed(true));
    server.Serve("/b", Feed(true));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(logs + "/notifications.txt").empty(); }, 90s))
        << told->Output();
    EXPECT_EQ(ReadFile(logs + "/notifications.txt"),
              "1\tKestrava\tDLH123 (friend) is online on IVAO, EDDF-KJFK\tdefault,Show\n");
    EXPECT_TRUE(plain->WaitForOutput("Notified in the status line: DLH123 (friend) is online on IVAO, EDDF-KJFK", 30))
        << plain->Output();

    // A click on the notification: the map turns to the friend over the
    // Atlantic and the popup opens.
    std::this_thread::sleep_for(1s);
    const WindowImage before = told->Image();
    ASSERT_EQ(withService.Send({"--type=method_call", "--dest=org.freedesktop.Notifications",
                                "/org/freedesktop/Notifications", "org.freedesktop.Notifications.Click", "uint32:1"}),
              0);
    std::this_thread::sleep_for(2s);
    const WindowImage after = told->Image();
    after.SavePng(logs + "/clicked.png");
    EXPECT_GT(Differences(before, after), 20000);
    // The popup is there: Esc closes it and the picture changes again.
    ASSERT_TRUE(told->TypeKey(XK_Escape));
    std::this_thread::sleep_for(1s);
    EXPECT_GT(Differences(after, told->Image()), 5000);
    EXPECT_EQ(ReadFile(logs + "/notifications.txt").find("\n2\t"), std::string::npos);  // told once

    ASSERT_TRUE(told->RequestClose());
    EXPECT_EQ(told->WaitForExit(10), 0);
    ASSERT_TRUE(plain->RequestClose());
    EXPECT_EQ(plain->WaitForExit(10), 0);
    recorder.Signal(SIGTERM);
    recorder.WaitForExit(5);
}

}  // namespace
