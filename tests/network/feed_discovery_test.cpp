// How the JSON feeds are found and fetched, against an HTTP server on
// 127.0.0.1: status.json, json3= addresses over url0=, TextForce, a data
// address without status file, the reader chosen by content, VATSIM's
// transceivers (centre, reuse, failure), gzip bodies, and the settings keys
// that name the addresses.
#include "kestrav/network/download.h"

#include "formats/ini_file.h"
#include "formats/settings.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/transfer.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/gzip_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace kestrava;
using namespace std::chrono_literals;
using networktest::RecordingHooks;
using networktest::TestHttpServer;

namespace {

std::string Real(const std::string& path) { return testsupport::ReadFile(testsupport::RealDataPath(path)); }

// The small real VATSIM v3 capture: 0 pilots, 1 controller (EDFM_TWR at no
// position of its own), 4 ATIS records, 1545 - 4 clients.
const char* kSmallVatsim = "vatsim-json/qutescoop__issue-148__vatsim-data.json";

struct Discovery : ::testing::Test {
    TestHttpServer server;
    NetworkModel model;
    RecordingHooks hooks{model};
    DownloadOptions options;
    Clock::time_point now = Clock::time_point(std::chrono::hours(24 * 365 * 50));

    Discovery() {
        model.Now = [this] { return now; };
        options.Timeout = 3000ms;
        options.DataFolder = testsupport::MakeTempFolder("discovery");
        model.StatusUrl = {server.Url("/ivao/status.txt"), server.Url("/status.json")};
        server.Serve("/status.json", "{\"data\":{\"v3\":[\"" + server.Url("/v3/vatsim-data.json") +
                                         "\"],\"transceivers\":[\"" + server.Url("/v3/transceivers-data.json") +
                                         "\"]},\"user\":[\"https://example.invalid/search_id.php\"]}");
        server.Serve("/v3/vatsim-data.json", Real(kSmallVatsim));
        server.Serve("/v3/transceivers-data.json",
                     "[{\"callsign\":\"EDFM_TWR\",\"transceivers\":[{\"id\":0,\"latDeg\":48,\"lonDeg\":11},"
                     "{\"id\":1,\"latDeg\":49,\"lonDeg\":12.5}]},{\"callsign\":\"X\",\"transceivers\":[]}]");
    }
    const AtcClient& Station(std::uint8_t net, const std::string& callsign) {
        const Snapshot& s = model.Networks[net];
        for (int i = 0; i < s.AtcCount; ++i)
            if (s.AtcClients[i].Callsign == callsign) return s.AtcClients[i];
        static AtcClient none;
        ADD_FAILURE() << callsign;
        return none;
    }
};

}  // namespace

TEST_F(Discovery, StatusJsonLeadsToTheV3FeedAndTheTransceiversPlaceTheControllers) {
    SkipWithoutRealData();
    btnDownload(model, hooks, options, kVatsim);
    const Snapshot& s = model.Networks[kVatsim];
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(s.DataUrls, (std::vector<std::string>{server.Url("/v3/vatsim-data.json")}));
    EXPECT_TRUE(s.GzipUrls.empty());
    EXPECT_EQ(s.ProfileUrl, "https://example.invalid/search_id.php");
    EXPECT_EQ(s.AtcCount, 5);
    EXPECT_EQ(model.ClientTotal[kVatsim], 1541);
    // EDFM_TWR: reported at its transceivers' centre, shown at its airport.
    const AtcClient& twr = Station(kVatsim, "EDFM_TWR");
    EXPECT_FLOAT_EQ(twr.ReportedLatitude, 48.5f);
    EXPECT_FLOAT_EQ(twr.ReportedLongitude, 11.75f);
    EXPECT_EQ(server.Requests("/v3/transceivers-data.json"), 1);

    // Within 5 minutes the transceivers are reused; after them fetched again.
    now += 61s;
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(server.Requests("/v3/vatsim-data.json"), 2);
    EXPECT_EQ(server.Requests("/v3/transceivers-data.json"), 1);
    now += 5min;
    server.Serve("/v3/transceivers-data.json", TestHttpServer::Reply{500, "down"});
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(server.Requests("/v3/transceivers-data.json"), 2);
    // A failed transceiver fetch fails nothing: the controller reports 0, 0.
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(Station(kVatsim, "EDFM_TWR").ReportedLatitude, 0);
    EXPECT_EQ(server.Requests("/status.json"), 1);
}

TEST_F(Discovery, ATextStatusFilePrefersJson3UnlessTextIsForced) {
    SkipWithoutRealData();
    const std::string status = "; status\r\n120218:NOTCP\r\nurl0=" + server.Url("/vatsim-data.txt") + "\r\njson3=" +
                               server.Url("/v3/vatsim-data.json") + "\r\nuser0=https://example.invalid/u\r\n; END\r\n";
    server.Serve("/status.txt", status);
    server.Serve("/vatsim-data.txt", Real("vatsim-data-txt/chewwy__vatsim-data.txt"));
    model.StatusUrl[kVatsim] = server.Url("/status.txt");
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(server.Requests("/v3/vatsim-data.json"), 1);
    EXPECT_EQ(server.Requests("/vatsim-data.txt"), 0);
    EXPECT_EQ(model.Networks[kVatsim].AtcCount, 5);

    // TextForce: the url0 text, read by the text parser (449 pilots).
    NetworkModel forced;
    forced.StatusUrl = model.StatusUrl;
    options.TextForce = true;
    btnDownload(forced, hooks, options, kVatsim);
    EXPECT_EQ(forced.Networks[kVatsim].PilotCount, 449);
    EXPECT_EQ(server.Requests("/vatsim-data.txt"), 1);

    // A file with json3 alone serves JSON even with TextForce.
    Snapshot only;
    ReadStatusFile(only, hooks, "a\nb\njson3=http://127.0.0.1:1/v3\nc\nd\n", true);
    EXPECT_EQ(only.DataUrls, (std::vector<std::string>{"http://127.0.0.1:1/v3"}));
}

TEST_F(Discovery, ADataAddressSkipsTheStatusFileAndTheReaderFollowsTheContent) {
    SkipWithoutRealData();
    model.DataUrl[kIvao] = server.Url("/v2/tracker/whazzup");
    model.ProfileBase[kIvao] = "https://example.invalid/Member.aspx";
    server.Serve("/v2/tracker/whazzup", Real("ivao-json/ivao-statistics__whazzup.json"));
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "IVAO data interpreted");
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 714);
    EXPECT_EQ(model.Networks[kIvao].ProfileUrl, "https://example.invalid/Member.aspx");
    EXPECT_EQ(server.Requests("/ivao/status.txt"), 0);
    EXPECT_EQ(hooks.statuses.front(), "Downloading IVAO data from " + server.Url("/v2/tracker/whazzup") + "...");

    // The same address serving the whazzup text, then gzip of it: the text
    // parser reads both.
    const std::string text = Real("ivao-whazzup/IVAO-Library__whazzup.txt");
    for (const std::string& body : {text, testsupport::Gzip(text)}) {
        now += 2min;
        server.Serve("/v2/tracker/whazzup", body);
        btnDownload(model, hooks, options, kIvao);
        EXPECT_EQ(model.StatusText, "IVAO data interpreted");
        EXPECT_EQ(model.Networks[kIvao].PilotCount, 587);
    }
    // Damaged gzip text: refused, the snapshot kept.
    now += 2min;
    std::string broken = testsupport::Gzip(text);
    broken.resize(broken.size() / 2);
    server.Serve("/v2/tracker/whazzup", broken);
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "No data to display (Error unzipping data) - showing data of " +
                                    model.Networks[kIvao].UpdateStamp.substr(8, 4) + "Z");
    EXPECT_EQ(model.Networks[kIvao].PilotCount, 587);
}

TEST_F(Discovery, AddressesFromANetworkStatusFileStayOnTheNetworkAndLocalOnesMustBeRegularFiles) {
    SkipWithoutRealData();
    const std::string folder = testsupport::MakeTempFolder("local-feed");
    testsupport::WriteFile(folder + "/feed.json", Real(kSmallVatsim));
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
    // A status file that came over http names local files: none is used.
    server.Serve("/status.json", "{\"data\":{\"v3\":[\"file://" + folder + "/feed.json\",\"FILE://" + folder +
                                     "/feed.json\"],\"transceivers\":[\"file://" + folder +
                                     "/fifo\"]},\"user\":[\"file:///etc/passwd\"]}");
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(model.StatusText, "Could not contact server");
    EXPECT_TRUE(model.Networks[kVatsim].DataUrls.empty());
    EXPECT_TRUE(model.Networks[kVatsim].TransceiverUrls.empty());
    EXPECT_EQ(model.ClientTotal[kVatsim], 0);

    // A local status file (the demo feed) may name local files, but only
    // regular ones: a FIFO is refused at once, without waiting for a writer.
    testsupport::WriteFile(folder + "/status.json", "{\"data\":{\"v3\":[\"file://" + folder + "/fifo\"]}}");
    model.StatusUrl[kVatsim] = "file://" + folder + "/status.json";
    const auto start = std::chrono::steady_clock::now();
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(model.StatusText, "No data to display (Not a regular file: " + folder + "/fifo)");
    for (const char* device : {"file:///dev/zero", "file:///dev/null"}) {
        try {
            FetchText(device, TransferOptions{});
            ADD_FAILURE() << device << " was read";
        } catch (const Fault& fault) {
            EXPECT_NE(std::string(fault.what()).find("Not a regular file"), std::string::npos) << fault.what();
        }
    }
    // ... and a regular one is read, within the same size limit.
    testsupport::WriteFile(folder + "/status.json", "{\"data\":{\"v3\":[\"file://" + folder + "/feed.json\"]}}");
    model.Networks[kVatsim].DataUrls.clear();
    now += 2min;
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(model.ClientTotal[kVatsim], 1541);
    TransferOptions small;
    small.MaxBytes = 100;
    EXPECT_THROW(FetchText("file://" + folder + "/feed.json", small), Fault);
}

TEST(FeedTransfer, GzipTextOverTheLimitIsRefused) {
    const std::string zeros(kMaxTransferBytes + 1, '0');
    const std::string packed = testsupport::Gzip(zeros);
    EXPECT_LT(packed.size(), 1u << 20);
    try {
        GunzipText(packed);
        FAIL() << "no fault";
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Response larger than 64 MiB refused");
    }
    EXPECT_EQ(GunzipText(testsupport::Gzip("plain")), "plain");
}

// The feed keys of kestrav.ini: defaults, an older file naming only the
// status address, every key kept on save, and the demo switch.
TEST(FeedSettings, KeysDefaultsAndTheDemoSwitch) {
    const Settings fresh = ReadSettings(IniFile(), {});
    EXPECT_EQ(fresh.DataUrls[0], "https://api.ivao.aero/v2/tracker/whazzup");
    EXPECT_EQ(fresh.StatusUrls[1], "https://status.vatsim.net/status.json");
    EXPECT_FALSE(fresh.DemoFeed);

    IniFile older;
    older.Set("Network", "IVAOStatusUrl", "file:///mirror/status.txt");
    EXPECT_EQ(ReadSettings(older, {}).DataUrls[0], "");

    Settings s = fresh;
    s.DataUrls = {"http://127.0.0.1:1/a", "http://127.0.0.1:1/b"};
    s.TransceiverUrls = {"", "http://127.0.0.1:1/t"};
    s.ProfileUrls = {"http://127.0.0.1:1/p", "http://127.0.0.1:1/q"};
    s.DemoFeed = true;
    IniFile ini;
    WriteSettings(ini, s);
    const Settings back = ReadSettings(ini, {});
    EXPECT_EQ(back.DataUrls, s.DataUrls);
    EXPECT_EQ(back.TransceiverUrls, s.TransceiverUrls);
    EXPECT_EQ(back.ProfileUrls, s.ProfileUrls);
    EXPECT_TRUE(back.DemoFeed);

    NetworkModel model;
    ConfigureFeeds(model, back, "/opt/kestrava/demo");
    EXPECT_EQ(model.DataUrl[kIvao], "file:///opt/kestrava/demo/ivao/whazzup.json");
    EXPECT_EQ(model.DataUrl[kVatsim], "");
    EXPECT_EQ(model.StatusUrl[kVatsim], "file:///opt/kestrava/demo/status.json");
    EXPECT_EQ(model.ProfileBase[kVatsim], "http://127.0.0.1:1/q");
    ConfigureFeeds(model, fresh, "/opt/kestrava/demo");
    EXPECT_EQ(model.DataUrl[kIvao], "https://api.ivao.aero/v2/tracker/whazzup");
}

TEST(FeedAddresses, ARelativeAddressNamesAFileBesideTheStatusFile) {
    EXPECT_EQ(ResolveAddress("file:///opt/k/demo/status.json", "vatsim/data.json"), "file:///opt/k/demo/vatsim/data.json");
    EXPECT_EQ(ResolveAddress("file:///opt/k/demo/status.json", "./a.txt"), "file:///opt/k/demo/a.txt");
    EXPECT_EQ(ResolveAddress("https://h.example/feeds/status.json", "v3/d.json"), "https://h.example/feeds/v3/d.json");
    // Addresses with a scheme, and absolute paths, stay as they are.
    EXPECT_EQ(ResolveAddress("file:///opt/k/status.json", "https://h.example/d.json"), "https://h.example/d.json");
    EXPECT_EQ(ResolveAddress("file:///opt/k/status.json", "FILE:///x/d.json"), "FILE:///x/d.json");
    EXPECT_EQ(ResolveAddress("file:///opt/k/status.json", "/x/d.json"), "/x/d.json");
    // A base without a folder gives nothing to resolve against.
    EXPECT_EQ(ResolveAddress("https://h.example", "d.json"), "d.json");
    EXPECT_EQ(ResolveAddress("", "d.json"), "d.json");
}

TEST(FeedAddresses, TheShippedDemoFeedIsReadFromWhereverItsFolderLies) {
    // The demo folder copied to a fresh place: its status files lead to the
    // snapshots of the copy.
    const std::string folder = testsupport::MakeTempFolder("moved-demo");
    std::filesystem::copy(testsupport::SourcePath("demo"), folder, std::filesystem::copy_options::recursive);
    NetworkModel model;
    RecordingHooks hooks{model};
    DownloadOptions options;
    options.Timeout = 3000ms;
    options.DataFolder = testsupport::MakeTempFolder("moved-demo-data");
    model.StatusUrl = {"file://" + folder + "/ivao-status.txt", "file://" + folder + "/status.json"};
    btnDownload(model, hooks, options, kVatsim);
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
    EXPECT_EQ(model.Networks[kVatsim].DataUrls, (std::vector<std::string>{"file://" + folder + "/vatsim/vatsim-data.json"}));
    EXPECT_GT(model.ClientTotal[kVatsim], 0);
    btnDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.Networks[kIvao].GzipUrls, (std::vector<std::string>{"file://" + folder + "/ivao/whazzup.txt.gz"}));
    EXPECT_GT(model.ClientTotal[kIvao], 0);
}
