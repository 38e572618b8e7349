// The feed download end to end against an HTTP server on 127.0.0.1: status
// file, gzip and plain snapshots, the reload interval, failures that keep the
// shown data, the proxy setting and the timers driven with a fake clock.
#include "support/gzip_text.h"
#include "kestrav/network/download.h"

#include "formats/files.h"
#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/transfer.h"
#include "kestrav/network/whazzup.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

using namespace kestrava;
using namespace std::chrono_literals;
using networktest::RecordingHooks;
using networktest::TestHttpProxy;
using networktest::TestHttpServer;

namespace {

using testsupport::Gzip;

std::string RealFile(const std::string& path) { return testsupport::ReadFile(testsupport::RealDataPath(path)); }

// The real IVAO gzip capture: 357 pilots, 22 ATC records (1 observer), 379
// clients, RELOAD 1 (see SOURCES.md; recounted with zcat | awk).
const char* kIvaoGzip = "ivao-whazzup/IVAO-Library__whazzup.txt.gz";
// The real VATSIM plain capture with CR LF ends: 449 pilots, 53 ATC, RELOAD 2.
const char* kVatsimPlain = "vatsim-data-txt/chewwy__vatsim-data.txt";

std::string StatusFile(const std::vector<std::string>& lines) {
    std::string text = "; status file\r\n;\r\n";
    for (const auto& l : lines) text += l + "\r\n";
    return text + ";\r\n; END\r\n";
}

struct DownloadTest : ::testing::Test {
    TestHttpServer server;
    NetworkModel model;
    RecordingHooks hooks{model};
    DownloadOptions options;
    Clock::time_point now = Clock::time_point(std::chrono::hours(24 * 365 * 50));
    std::string folder = testsupport::MakeTempFolder("download");

    DownloadTest() {
        model.Now = [this] { return now; };
        model.StatusUrl = {server.Url("/ivao/status.txt"), server.Url("/vatsim/status.txt")};
        options.DataFolder = folder;
        options.Timeout = 3000ms;
        server.Serve("/ivao/status.txt",
                     StatusFile({"url0=" + server.Url("/ivao/whazzup.txt"), "gzurl0=" + server.Url("/ivao/whazzup.txt.gz"),
                                 "user0=https://example.invalid/member", "msg0=Welcome to the network"}));
        server.Serve("/ivao/whazzup.txt.gz", RealFile(kIvaoGzip));
        server.Serve("/vatsim/status.txt", StatusFile({"url0=" + server.Url("/vatsim/vatsim-data.txt"),
                                                       "user0=https://example.invalid/vatsim"}));
        server.Serve("/vatsim/vatsim-data.txt", RealFile(kVatsimPlain));
    }
    ~DownloadTest() override { std::filesystem::remove_all(folder); }

    // Every file of the data folder with its content.
    std::map<std::string, std::string> DataFiles() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files[entry.path().filename().string()] = testsupport::ReadFile(entry.path().string());
        return files;
    }

    // A first successful IVAO download, then the clock past its RELOAD minute.
    void DownloadIvaoOnce() {
        btnDownload(model, hooks, options, kIvao);
        ASSERT_EQ(model.StatusText, "IVAO data interpreted");
        ASSERT_EQ(model.Networks[kIvao].PilotCount, 357);
        now += 61s;
        hooks.calls.clear();
        hooks.statuses.clear();
    }
};

}  // namespace

TEST_F(DownloadTest, GzipPathFromStatusFileToScene) {
    SkipWithoutRealData();
    btnDownload(model, hooks, options, kIvao);
    const Snapshot& s = model.Networks[kIvao];
    EXPECT_EQ(hooks.statuses, (std::vector<std::string>{
                                  "Locating IVAO server...",
                                  "Downloading IVAO data from " + server.Url("/ivao/whazzup.txt.gz") + "...",
                                  "IVAO data downloaded, interpreting data...", "IVAO data interpreted"}));
    EXPECT_EQ(s.PilotCount, 357);
    EXPECT_EQ(s.AtcCount, 22);
    EXPECT_EQ(s.ObserverCount, 1);
    EXPECT_EQ(model.ClientTotal[kIvao], 379);
    EXPECT_EQ(s.UpdateStamp, "20190529102721");
    EXPECT_TRUE(s.DataFresh);
    EXPECT_FALSE(s.DownloadFailed);
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(s.ProfileUrl, "https://example.invalid/member");
    EXPECT_EQ(hooks.messages, (std::vector<std::string>{"Welcome to the network"}));
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt"), 0);
    EXPECT_TRUE(FileExists(folder + "/whazzup.txt.gz"));
    // The decompressed text went through data/ and is deleted once shown.
    EXPECT_FALSE(FileExists(folder + "/whazzup.txt"));
    // The window's part, in order.
    std::vector<std::string> window;
    for (const auto& c : hooks.calls)
        if (c != "status" && c != "draw") window.push_back(c);
    EXPECT_EQ(window, (std::vector<std::string>{"close overlays", "discard 0", "marks", "clear built 0",
                                                "clear built 2", "scene 0", "countbar"}));
    EXPECT_EQ(hooks.calls.back(), "draw");
}

TEST_F(DownloadTest, PlainPathKeepsNothingOnDisk) {
    SkipWithoutRealData();
    btnDownload(model, hooks, options, kVatsim);
    const Snapshot& s = model.Networks[kVatsim];
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(model.CurrentNetwork, kVatsim);
    EXPECT_EQ(s.PilotCount, 449);
    EXPECT_EQ(s.AtcCount, 53);
    EXPECT_EQ(s.ReloadMinutes, 2);
    EXPECT_EQ(hooks.statuses[1], "Downloading VATSIM data from " + server.Url("/vatsim/vatsim-data.txt") + "...");
    EXPECT_EQ(hooks.Count("scene 1"), 1);
    EXPECT_FALSE(FileExists(folder + "/whazzup.txt"));
    EXPECT_FALSE(FileExists(folder + "/whazzup.txt.gz"));
}

TEST_F(DownloadTest, TextForceNeverTouchesTheGzipAddresses) {
    SkipWithoutRealData();
    server.Serve("/ivao/whazzup.txt", testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/IVAO-Library__whazzup.txt")));
    options.TextForce = true;
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "IVAO data interpreted");
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 587);
    EXPECT_TRUE(model.Networks[kIvao].GzipUrls.empty());
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), 0);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt"), 1);
}

TEST_F(DownloadTest, StatusFileKeepsNineAddressesOfEachKind) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i) lines.push_back("url0=http://127.0.0.1:1/s" + std::to_string(i));
    for (int i = 1; i <= 10; ++i) lines.push_back("gzurl0=http://127.0.0.1:1/g" + std::to_string(i));
    lines.push_back("url1=http://127.0.0.1:1/other");
    server.Serve("/ivao/status.txt", StatusFile(lines));
    LocateServers(model, hooks, options, kIvao);
    const Snapshot& s = model.Networks[kIvao];
    ASSERT_EQ(s.DataUrls.size(), 9u);
    EXPECT_EQ(s.DataUrls.front(), "http://127.0.0.1:1/s1");
    EXPECT_EQ(s.DataUrls.back(), "http://127.0.0.1:1/s9");
    EXPECT_EQ(s.GzipUrls.size(), 9u);
    EXPECT_EQ(hooks.statuses, (std::vector<std::string>{"Locating IVAO server..."}));

    EXPECT_EQ(ChooseAddress(s.DataUrls, 0.0), "http://127.0.0.1:1/s1");
    EXPECT_EQ(ChooseAddress(s.DataUrls, 0.5), "http://127.0.0.1:1/s5");
    EXPECT_EQ(ChooseAddress(s.DataUrls, 0.9999), "http://127.0.0.1:1/s9");
}

TEST_F(DownloadTest, StatusFileLineEndsAndShortFiles) {
    Snapshot s;
    // Lines ending in "\r\r\n" keep no carriage return in the address.
    ReadStatusFile(s, hooks, "a\r\r\nurl0=http://x/1\r\r\nb\r\r\nc\r\r\nd\r\r\n", false);
    EXPECT_EQ(s.DataUrls, (std::vector<std::string>{"http://x/1"}));
    // Fewer than five lines: nothing is read.
    Snapshot t;
    ReadStatusFile(t, hooks, "url0=http://x/1\nmsg0=hello\n", false);
    EXPECT_TRUE(t.DataUrls.empty());
    EXPECT_TRUE(hooks.messages.empty());
}

TEST_F(DownloadTest, ASecondDownloadInsideTheReloadIntervalDoesNothing) {
    SkipWithoutRealData();
    btnDownload(model, hooks, options, kIvao);
    ASSERT_EQ(model.Networks[kIvao].ReloadMinutes, 1);
    now += 59s;
    hooks.statuses.clear();
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), 1);
    EXPECT_TRUE(hooks.statuses.empty());
    EXPECT_TRUE(model.Networks[kIvao].DataFresh);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);

    now += 2s;
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), 2);
    EXPECT_EQ(server.Requests("/ivao/status.txt"), 1);  // read once per run
    EXPECT_EQ(hooks.messages.size(), 1u);
}

TEST_F(DownloadTest, MissingStatusFileCannotContactTheServer) {
    SkipWithoutRealData();
    DownloadIvaoOnce();
    model.Networks[kIvao].DataUrls.clear();
    model.Networks[kIvao].GzipUrls.clear();
    server.Serve("/ivao/status.txt", TestHttpServer::Reply{404, "gone"});
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText,
              "Could not contact server - showing data of " + model.Networks[kIvao].UpdateStamp.substr(8, 4) + "Z");
    EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);  // the previous snapshot stays
    EXPECT_EQ(hooks.Count("marks"), 1);
}

TEST_F(DownloadTest, CorruptGzipIsAnUnzippingErrorThatKeepsTheOldFiles) {
    SkipWithoutRealData();
    DownloadIvaoOnce();
    const auto before = DataFiles();
    ASSERT_EQ(before.size(), 1u);  // whazzup.txt.gz (the text is deleted once shown)
    std::string broken = RealFile(kIvaoGzip);
    for (size_t i = 100; i < 400; ++i) broken[i] = static_cast<char>(broken[i] ^ 0x5A);
    // A body that is not gzip at all once replaced the last good .gz.
    for (const std::string& bytes : {broken, std::string("this is not gzip at all\n")}) {
        server.Serve("/ivao/whazzup.txt.gz", bytes);
        btnDownload(model, hooks, options, kIvao);
        EXPECT_EQ(model.StatusText, "Error unzipping data");
        EXPECT_FALSE(model.Networks[kIvao].DownloadFailed);
        EXPECT_TRUE(model.DownloadIdle);
        EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);
        EXPECT_TRUE(DataFiles() == before);  // nothing replaced, nothing left behind
    }
}

TEST_F(DownloadTest, GzipOfGarbageEndsInNoDataAndKeepsTheOldFiles) {
    SkipWithoutRealData();
    DownloadIvaoOnce();
    const auto before = DataFiles();
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 251);
    const std::string faulty = "!GENERAL\nRELOAD = soon\nUPDATE = 20200101000000\nCONNECTED CLIENTS = 1\n!CLIENTS\n";
    for (const std::string& text : {garbage, faulty}) {
        server.Serve("/ivao/whazzup.txt.gz", Gzip(text));
        btnDownload(model, hooks, options, kIvao);
        EXPECT_TRUE(StartsWith(model.StatusText, "No data to display")) << model.StatusText;
        EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);
        EXPECT_TRUE(model.DownloadIdle);
        EXPECT_TRUE(DataFiles() == before);
    }
}

TEST_F(DownloadTest, TimeOutAnd404OverShownTrafficSayWhyAndKeepTheSnapshot) {
    SkipWithoutRealData();
    DownloadIvaoOnce();
    const std::string firstCallsign = model.Networks[kIvao].Pilots[0].Callsign;
    options.Timeout = 300ms;
    server.Serve("/ivao/whazzup.txt.gz", TestHttpServer::Reply{200, RealFile(kIvaoGzip), 3000ms});
    auto started = std::chrono::steady_clock::now();
    btnDownload(model, hooks, options, kIvao);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2500ms);
    // Over the shown traffic the status line says why, and what is shown.
    const std::string shown = " - showing data of " + model.Networks[kIvao].UpdateStamp.substr(8, 4) + "Z";
    EXPECT_EQ(model.StatusText, "No data to display (Request timed out)" + shown);
    EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, firstCallsign);
    EXPECT_EQ(hooks.Count("scene 0"), 1);  // the kept snapshot is shown again

    server.Serve("/ivao/whazzup.txt.gz", TestHttpServer::Reply{404, "missing"});
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "No data to display (HTTP error 404)" + shown);
    EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);
}

TEST_F(DownloadTest, APartialTransferNeverReplacesTheFileOnDisk) {
    SkipWithoutRealData();
    DownloadIvaoOnce();
    const auto before = DataFiles();
    std::string other = Gzip("!GENERAL\nRELOAD = 1\nUPDATE = 20200101000000\nCONNECTED CLIENTS = 1\n!CLIENTS\n\n");
    server.Serve("/ivao/whazzup.txt.gz", TestHttpServer::Reply{200, other, 0ms, true});
    btnDownload(model, hooks, options, kIvao);
    EXPECT_TRUE(StartsWith(model.StatusText, "No data to display (")) << model.StatusText;
    EXPECT_TRUE(DataFiles() == before);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);
}

TEST_F(DownloadTest, AFileThatCannotBeWrittenIsReported) {
    options.DataFolder = folder + "/no/such/folder";
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "Error creating file");
    EXPECT_FALSE(model.Networks[kIvao].DownloadFailed);
    EXPECT_TRUE(model.DownloadIdle);
}

TEST_F(DownloadTest, AFaultWhileInterpretingEndsTheDownload) {
    server.Serve("/ivao/whazzup.txt.gz",
                 Gzip("!GENERAL\nVERSION = 6\nRELOAD = soon\nUPDATE = 20200101000000\nCONNECTED CLIENTS = 1\n!CLIENTS\n"));
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "No data to display (Type mismatch)");
    EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(hooks.Count("clear built 0"), 1);
}

TEST_F(DownloadTest, BothNetworksMergedSwitchTheAutoDownloadOff) {
    SkipWithoutRealData();
    options.AutoDownload = true;
    btnDownload(model, hooks, options, kMerged);
    EXPECT_EQ(model.CurrentNetwork, kMerged);
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 357);
    EXPECT_EQ(model.Networks[kVatsim].PilotCount, 449);
    EXPECT_EQ(hooks.Count("merged scene"), 1);
    EXPECT_EQ(hooks.Count("scene 0"), 0);
    EXPECT_EQ(hooks.Count("auto timer off"), 1);
    EXPECT_EQ(hooks.Count("auto timer on"), 0);
}

TEST_F(DownloadTest, TheProxySettingCarriesEveryRequest) {
    SkipWithoutRealData();
    TestHttpProxy proxy;
    options.Proxy = "pilot:secret@" + proxy.Address();
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "IVAO data interpreted");
    EXPECT_EQ(proxy.Requests(), 2);  // status file and snapshot
    EXPECT_EQ(proxy.LastAuthorization(), "Basic cGlsb3Q6c2VjcmV0");  // pilot:secret

    // "0" means no proxy, even when the environment names one.
    ::setenv("http_proxy", ("http://" + proxy.Address()).c_str(), 1);
    options.Proxy = "0";
    btnDownload(model, hooks, options, kVatsim);
    ::unsetenv("http_proxy");
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(proxy.Requests(), 2);
}

TEST_F(DownloadTest, FileAddressesWork) {
    SkipWithoutRealData();
    const std::string statusPath = folder + "/status.txt";
    const std::string snapshotPath = folder + "/snapshot.txt";
    testsupport::WriteFile(snapshotPath, RealFile(kVatsimPlain));
    testsupport::WriteFile(statusPath, StatusFile({"url0=file://" + snapshotPath}));
    model.StatusUrl[kVatsim] = "file://" + statusPath;
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(model.Networks[kVatsim].PilotCount, 449);
}

TEST(Transfer, ResponsesOverTheLimitAreRefused) {
    TestHttpServer server;
    server.Serve("/big", std::string(5000, 'x'));
    TransferOptions options;
    options.MaxBytes = 1000;
    try {
        FetchBytes(server.Url("/big"), options);
        FAIL() << "no fault";
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Response larger than 1000 bytes refused");
        EXPECT_GT(fault.Number, 0);
    }
    options.MaxBytes = 5000;
    EXPECT_EQ(FetchBytes(server.Url("/big"), options).size(), 5000u);
    EXPECT_THROW(FetchText("http://127.0.0.1:1/nothing-listens", options), Fault);
    EXPECT_THROW(FetchText("gopher://127.0.0.1/", options), Fault);
}

TEST_F(DownloadTest, AutoDownloadCountsDownAndRetriesEveryFiveSeconds) {
    SkipWithoutRealData();
    options.AutoDownload = true;
    options.DownloadMinutes = 3;
    btnDownload(model, hooks, options, kIvao);
    EXPECT_TRUE(hooks.autoTimer);
    EXPECT_EQ(model.AutoCountdown, 180);
    int downloads = server.Requests("/ivao/whazzup.txt.gz");

    // 179 ticks (seconds) count down without a download.
    for (int i = 0; i < 179; ++i) {
        now += 1s;
        timAutoDownloadTick(model, hooks, options);
    }
    EXPECT_EQ(model.AutoCountdown, 1);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads);
    now += 1s;
    timAutoDownloadTick(model, hooks, options);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads + 1);
    EXPECT_EQ(model.AutoCountdown, 180);

    // A RELOAD interval longer than the countdown: retries every 5 seconds.
    model.Networks[kIvao].ReloadMinutes = 4;
    for (int i = 0; i < 180; ++i) {
        now += 1s;
        timAutoDownloadTick(model, hooks, options);
    }
    EXPECT_EQ(model.AutoCountdown, 5);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads + 1);
    for (int i = 0; i < 5 * 11; ++i) {  // 55 more seconds: 235 s, still inside 240
        now += 1s;
        timAutoDownloadTick(model, hooks, options);
    }
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads + 1);
    for (int i = 0; i < 5; ++i) {  // 240 s: the next retry downloads
        now += 1s;
        timAutoDownloadTick(model, hooks, options);
    }
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads + 2);

    // A download in progress also means a retry in 5 seconds.
    model.AutoCountdown = 1;
    model.DownloadIdle = false;
    now += 300s;
    timAutoDownloadTick(model, hooks, options);
    EXPECT_EQ(model.AutoCountdown, 5);
    EXPECT_EQ(server.Requests("/ivao/whazzup.txt.gz"), downloads + 2);
}

TEST_F(DownloadTest, ReloadTimerEndsTheFreshnessAfterTheReloadMinutes) {
    SkipWithoutRealData();
    btnDownload(model, hooks, options, kIvao);
    ASSERT_TRUE(model.Networks[kIvao].DataFresh);
    hooks.calls.clear();
    now += 58s;
    timDownloadTick(model, hooks);
    EXPECT_TRUE(model.Networks[kIvao].DataFresh);
    EXPECT_TRUE(hooks.calls.empty());
    now += 2s;
    timDownloadTick(model, hooks);
    EXPECT_FALSE(model.Networks[kIvao].DataFresh);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"marks", "draw"}));
}
