// refresh through the map window's btnDownload, on a feed served from
// 127.0.0.1: a download, the reload interval, a failure that keeps the data.
#include "console_fixture.h"

#include "kestrav/network/download.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrava;
using namespace companiontest;
using networktest::Line;
using networktest::TestHttpServer;

namespace {

std::string FeedSnapshot() {
    const std::string pilot = Line(49, {{0, "KLM7"}, {1, "246810"}, {2, "Flo Feed"}, {3, "PILOT"}, {5, "52.3"},
                                        {6, "4.76"}, {7, "3000"}, {8, "180"}, {11, "EHAM"}, {13, "EDDF"}, {41, "3"}});
    const std::string tower = Line(48, {{0, "EHAM_TWR"}, {1, "135791"}, {2, "Gus Tower"}, {3, "ATC"}, {4, "118.100"},
                                        {5, "52.31"}, {6, "4.76"}, {18, "4"}, {19, "30"}, {41, "5"}});
    return "!GENERAL\r\nVERSION = 6\r\nRELOAD = 2\r\nUPDATE = 20261208142500\r\nCONNECTED CLIENTS = 2\r\n"
           "!CLIENTS\r\n" + pilot + "\r\n" + tower + "\r\n!SERVERS\r\n";
}

TEST_F(Console, RefreshDownloadsWaitsAndKeepsDataAfterAFailure) {
    TestHttpServer feed;
    feed.Serve("/status.txt", "url0=" + feed.Url("/whazzup.txt") + "\r\n;\r\n;\r\n;\r\n;\r\n");
    feed.Serve("/whazzup.txt", FeedSnapshot());
    model.StatusUrl[kIvao] = feed.Url("/status.txt");
    Clock::time_point now = Clock::now();
    model.Now = [&] { return now; };
    DownloadOptions options;
    options.TextForce = true;
    options.Timeout = std::chrono::seconds(5);
    options.DataFolder = testsupport::MakeTempFolder("companion-refresh");
    networktest::RecordingHooks hooks(model);
    host.download = [&](int n) { btnDownload(model, hooks, options, static_cast<std::uint8_t>(n)); };

    EXPECT_EQ(Run({"refresh"}), "\n> refresh\nDownloading IVAO data...\n IVAO data of 1425Z downloaded - 2 clients online\n");
    EXPECT_EQ(host.calls, std::vector<std::string>{"download 0"});
    EXPECT_EQ(feed.Requests("/whazzup.txt"), 1);
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM7");

    // RELOAD = 2: two minutes before the next one.
    now += std::chrono::seconds(119);
    EXPECT_EQ(Run({"refresh"}), "\n> refresh\nPlease wait at least 120 seconds between two downloads\n");
    EXPECT_EQ(feed.Requests("/whazzup.txt"), 1);

    // The feed fails: the message says so and the records stay.
    now += std::chrono::seconds(1);
    feed.Serve("/whazzup.txt", TestHttpServer::Reply{503, "busy"});
    EXPECT_EQ(Run({"refresh"}), "\n> refresh\nDownloading IVAO data...\n Error downloading IVAO data\n");
    EXPECT_EQ(feed.Requests("/whazzup.txt"), 2);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 1);
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM7");
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(Run({"stat"}), "\n> stat\nIVAO data of 1425Z - 2 clients (1 ATC, 1 planes, 0 observers)\n");
}

}  // namespace
