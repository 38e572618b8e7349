// Live mode without a window: the transfer's time-out as time without an
// answer, conditional requests, refreshes against a loopback server whose
// snapshot changes, and the pure rules of the schedule, the data's age,
// motion between snapshots and trails.
#include "kestrav/network/download.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/live.h"
#include "kestrav/network/trails.h"
#include "kestrav/network/transfer.h"
#include "network/http_test_server.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace kestrava;
using namespace std::chrono_literals;
using networktest::Line;
using networktest::RecordingHooks;
using networktest::TestHttpServer;

namespace {

std::string SnapshotText(const std::string& stamp, const std::string& callsign, int reload = 1) {
    const std::string pilot = Line(49, {{0, callsign}, {1, "246810"}, {2, "Flo Feed"}, {3, "PILOT"}, {5, "52.3"},
                                        {6, "4.76"}, {7, "3000"}, {8, "180"}, {11, "EHAM"}, {13, "EDDF"}, {41, "3"}});
    return "!GENERAL\r\nVERSION = 6\r\nRELOAD = " + std::to_string(reload) + "\r\nUPDATE = " + stamp +
           "\r\nCONNECTED CLIENTS = 1\r\n!CLIENTS\r\n" + pilot + "\r\n!SERVERS\r\n";
}

TEST(Transfer, TheTimeOutIsTimeWithoutAnswerNotACapOnTheWholeBody) {
    TestHttpServer server;
    // 2.4 s of a body arriving steadily, with a one-second time-out.
    const std::string body(24000, 'x');
    server.Serve("/slow", TestHttpServer::Reply{200, body, 0ms, false, 2400ms});
    TransferOptions options;
    options.Timeout = 1000ms;
    std::vector<std::size_t> seen;
    options.Progress = [&](std::size_t bytes) { seen.push_back(bytes); };
    EXPECT_EQ(FetchBytes(server.Url("/slow"), options), body);
    ASSERT_GT(seen.size(), 10u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), body.size());

    // A server that says nothing for 3 s fails after about one.
    server.Serve("/silent", TestHttpServer::Reply{200, "late", 3000ms});
    const auto start = std::chrono::steady_clock::now();
    try {
        FetchText(server.Url("/silent"), options);
        ADD_FAILURE() << "a silent server was waited for";
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Request timed out");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2800ms);

    // A cancel ends a slow body at once.
    server.Serve("/long", TestHttpServer::Reply{200, std::string(80000, 'y'), 0ms, false, 8000ms});
    std::atomic<bool> cancel{false};
    options.Cancel = &cancel;
    options.Progress = nullptr;
    std::thread canceller([&] {
        std::this_thread::sleep_for(300ms);
        cancel = true;
    });
    const auto began = std::chrono::steady_clock::now();
    try {
        FetchText(server.Url("/long"), options);
        ADD_FAILURE() << "the cancelled transfer went on";
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Transfer cancelled");
    }
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - began, 1300ms);
}

TEST(Transfer, ConditionalRequestsGetA304AndAStray304IsAFault) {
    TestHttpServer server;
    server.Serve("/feed", TestHttpServer::Reply{200, "body one", 0ms, false, 0ms, "\"v1\""});
    TransferOptions options;
    options.Timeout = 3000ms;
    ConditionalAnswer first = FetchIfChanged(server.Url("/feed"), options, {});
    EXPECT_FALSE(first.NotModified);
    EXPECT_EQ(first.Body, "body one");
    EXPECT_EQ(first.Current.ETag, "\"v1\"");
    ConditionalAnswer second = FetchIfChanged(server.Url("/feed"), options, first.Current);
    EXPECT_TRUE(second.NotModified);
    EXPECT_EQ(second.Body, "");
    EXPECT_EQ(second.Current.ETag, "\"v1\"");
    EXPECT_EQ(server.NotModified("/feed"), 1);

    server.Serve("/odd", TestHttpServer::Reply{304, ""});
    EXPECT_THROW(FetchIfChanged(server.Url("/odd"), options, {}), Fault);
}

struct LiveRefresh : ::testing::Test {
    TestHttpServer server;
    NetworkModel model;
    RecordingHooks hooks{model};
    DownloadOptions options;
    Clock::time_point now = Clock::time_point(std::chrono::hours(24 * 365 * 50));
    LiveState live;

    LiveRefresh() {
        model.Now = [this] { return now; };
        model.DataUrl[kIvao] = server.Url("/whazzup.txt");
        options.DataFolder = testsupport::MakeTempFolder("live");
        options.Timeout = 3000ms;
        live.Seconds = 15;
        live.Active = true;
    }

    // One live refresh of IVAO as the window runs it; false when refused.
    bool Refresh() {
        std::optional<DownloadPlan> plan = PlanDownload(model, options, kIvao, true, live.Prior[kIvao]);
        if (!plan) return false;
        DownloadOutcome outcome = FetchNetwork(*plan, [](const std::string&) {}, {});
        const Validators current = outcome.Current;
        const bool notModified = outcome.NotModified;
        CommitDownload(model, hooks, options, kIvao, std::move(outcome));
        if (!model.Networks[kIvao].DownloadFailed || notModified) live.Prior[kIvao] = current;
        return true;
    }
};

TEST_F(LiveRefresh, AskConditionallyHonourTheReloadIntervalAndReadOnlyChangedSnapshots) {
    server.Serve("/whazzup.txt", TestHttpServer::Reply{200, SnapshotText("20261208120000", "KLM1"), 0ms, false, 0ms, "\"a\""});
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM1");
    EXPECT_EQ(live.Prior[kIvao].ETag, "\"a\"");
    // RELOAD = 1: live refresh every 15 s is held to one a minute.
    EXPECT_EQ(LivePeriod(model, live, kIvao), 60s);
    now += 30s;
    EXPECT_FALSE(Refresh());
    EXPECT_EQ(server.Requests("/whazzup.txt"), 1);

    // Unchanged: a 304, no reading, the records stay as they were.
    now += 31s;
    const PilotClient* records = model.Networks[kIvao].Pilots.data();
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(server.NotModified("/whazzup.txt"), 1);
    EXPECT_EQ(model.StatusText, "IVAO data unchanged");
    EXPECT_EQ(model.Networks[kIvao].Pilots.data(), records);
    EXPECT_EQ(hooks.Count("discard 0"), 1);  // only the first snapshot's
    EXPECT_TRUE(model.DownloadIdle);
    EXPECT_EQ(model.Networks[kIvao].LastDownload, now);

    // Changed: read and shown.
    now += 61s;
    server.Serve("/whazzup.txt", TestHttpServer::Reply{200, SnapshotText("20261208120200", "KLM2"), 0ms, false, 0ms, "\"b\""});
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM2");
    EXPECT_EQ(live.Prior[kIvao].ETag, "\"b\"");

    // A snapshot older than the shown one (a lagging mirror) is ignored.
    now += 61s;
    server.Serve("/whazzup.txt", TestHttpServer::Reply{200, SnapshotText("20261208115900", "OLD1"), 0ms, false, 0ms, "\"c\""});
    ASSERT_TRUE(Refresh());
    EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM2");
    EXPECT_EQ(model.StatusText, "IVAO snapshot older than the shown one ignored");
    EXPECT_TRUE(model.Networks[kIvao].DownloadFailed);  // said over the shown data
    FinishDownload(model, hooks, options, kIvao);
    EXPECT_EQ(model.StatusText, "IVAO snapshot older than the shown one ignored - showing data of 1202Z");

    // A failure keeps the picture; the third in a row is said.
    server.Serve("/whazzup.txt", TestHttpServer::Reply{503, "busy"});
    for (int i = 1; i <= 3; ++i) {
        now += 61s;
        ASSERT_TRUE(Refresh());
        const std::string said = NoteRefresh(live, kIvao, model.Networks[kIvao].DownloadFailed, model.StatusText);
        EXPECT_EQ(said.empty(), i < 3) << said;
        EXPECT_EQ(model.Networks[kIvao].Pilots[0].Callsign, "KLM2");
    }
    EXPECT_EQ(NoteRefresh(live, kIvao, true, "x"), "Live refresh failed 4 times in a row: x");
    EXPECT_EQ(NoteRefresh(live, kIvao, false, ""), "");
    EXPECT_EQ(live.Failures[kIvao], 0);
}

TEST(LiveSchedule, DueAfterEachPeriodOfTheShownViewAndTheAgeIsSaidWhenStale) {
    NetworkModel model;
    Clock::time_point now = Clock::time_point(std::chrono::hours(24 * 365 * 50));
    model.Now = [&] { return now; };
    LiveState live;
    const SteadyClock::time_point t0{std::chrono::hours(1)};
    EXPECT_TRUE(DueNetworks(model, live, t0).empty());  // off
    live.Seconds = 30;
    EXPECT_TRUE(DueNetworks(model, live, t0).empty());  // no network key pressed yet
    live.Active = true;
    model.CurrentNetwork = kMerged;
    EXPECT_EQ(DueNetworks(model, live, t0), (std::vector<std::uint8_t>{kIvao, kVatsim}));
    live.Tried = {true, true};
    live.LastTry = {t0, t0};
    model.Networks[kVatsim].ReloadMinutes = 2;
    EXPECT_EQ(DueNetworks(model, live, t0 + 30s), (std::vector<std::uint8_t>{kIvao}));
    EXPECT_EQ(DueNetworks(model, live, t0 + 120s), (std::vector<std::uint8_t>{kIvao, kVatsim}));
    model.DownloadIdle = false;
    EXPECT_TRUE(DueNetworks(model, live, t0 + 120s).empty());
    model.DownloadIdle = true;

    // The age: past two periods live, past five minutes without.
    model.CurrentNetwork = kIvao;
    Snapshot& s = model.Networks[kIvao];
    s.ClientTotal = 5;
    s.LastDownload = now;
    now += 59s;
    EXPECT_EQ(AgeNote(model, live, kIvao), "");
    now += 2s;
    EXPECT_EQ(AgeNote(model, live, kIvao), " (1 min old)");
    now += 11min;
    EXPECT_EQ(AgeNote(model, live, kIvao), " (12 min old)");
    live.Seconds = 0;
    EXPECT_EQ(AgeNote(model, live, kIvao), " (12 min old)");
    now -= 8min;
    EXPECT_EQ(AgeNote(model, live, kIvao), "");
    now += 3h;
    EXPECT_EQ(AgeNote(model, live, kIvao), " (3 h old)");
    // A clock set back before the download tells no age.
    now = s.LastDownload - 1h;
    EXPECT_EQ(AgeNote(model, live, kIvao), "");
    // The merged view tells the older network's age.
    now = s.LastDownload + 20min;
    model.Networks[kVatsim].ClientTotal = 3;
    model.Networks[kVatsim].LastDownload = now - 40min;
    EXPECT_EQ(AgeNote(model, live, kMerged), " (40 min old)");
}

TEST(Motion, AircraftFlyTheGreatCircleAtTheirSpeedAndStopRulesHold) {
    float lat = 0, lon = 0;
    // 480 kt east along the equator for an hour: 480 nm, 8 degrees.
    AdvanceAlongTrack(0, 0, 90, 480, 3600, lat, lon);
    EXPECT_NEAR(lat, 0, 1e-4);
    EXPECT_NEAR(lon, 480 / (3440.065 * 3.14159265358979 / 180), 1e-3);
    // North over the pole: the longitude turns round.
    AdvanceAlongTrack(89.5f, 10, 0, 600, 360, lat, lon);  // 60 nm: one degree
    EXPECT_NEAR(lat, 89.5, 0.01);
    EXPECT_NEAR(lon, -170, 0.01);
    // West across the date line.
    AdvanceAlongTrack(0, -179.5f, 270, 600, 360, lat, lon);
    EXPECT_NEAR(lon, 179.5, 0.01);
    // A great circle, not a rhumb line: heading east at 60 N drifts south.
    AdvanceAlongTrack(60, 0, 90, 500, 3600, lat, lon);
    EXPECT_LT(lat, 59.9);

    // Whole seconds, never negative, never past two periods.
    EXPECT_EQ(MotionSeconds(60s, 1500ms), 1);
    EXPECT_EQ(MotionSeconds(60s, -5s), 0);
    EXPECT_EQ(MotionSeconds(60s, 10min), 120);

    Snapshot snapshot;
    snapshot.PilotCount = 3;
    const auto pilot = [&](int i, float speed) -> PilotClient& {
        PilotClient& p = snapshot.Pilots[static_cast<size_t>(i)];
        p.ReportedLatitude = p.Latitude = 50;
        p.ReportedLongitude = p.Longitude = 8;
        p.Heading = 90;
        p.GroundSpeed = speed;
        return p;
    };
    pilot(0, 450);
    pilot(1, 20);   // taxiing
    pilot(2, 0);    // parked
    EXPECT_EQ(PlaceAircraft(snapshot, 60), 1);
    EXPECT_GT(snapshot.Pilots[0].Longitude, 8.1f);
    EXPECT_EQ(snapshot.Pilots[1].Longitude, 8);
    EXPECT_EQ(snapshot.Pilots[2].Longitude, 8);
    // The next snapshot (or live off) puts each back at its report.
    EXPECT_EQ(PlaceAircraft(snapshot, 0), 0);
    EXPECT_EQ(snapshot.Pilots[0].Longitude, 8);
    EXPECT_EQ(snapshot.Pilots[0].Latitude, 50);
}

Snapshot Traffic(int pilots, float lonShift, const std::string& prefix = "P") {
    Snapshot s;
    s.PilotCount = static_cast<std::int16_t>(pilots);
    for (int i = 0; i < pilots; ++i) {
        PilotClient& p = PilotSlot(s, i);
        p.Callsign = prefix + std::to_string(i);
        p.MemberId = std::to_string(100000 + i);
        p.ReportedLatitude = 10 + static_cast<float>(i % 60);
        p.ReportedLongitude = lonShift + static_cast<float>(i % 100);
    }
    return s;
}

TEST(Trails, FollowNetworkCallsignAndIdWithinTheirCapsAndFade) {
    TrailBook trails;
    std::int64_t t = 1'000'000;
    Snapshot a = Traffic(2, 0);
    AddSnapshot(trails, kIvao, a, t);
    AddSnapshot(trails, kIvao, a, t);  // the same snapshot again: no point
    a.Pilots[0].ReportedLongitude = 1.5f;
    AddSnapshot(trails, kIvao, a, t + 15);
    ASSERT_NE(TrailOf(trails, kIvao, a.Pilots[0]), nullptr);
    EXPECT_EQ(TrailOf(trails, kIvao, a.Pilots[0])->Size(), 2u);
    EXPECT_EQ(TrailOf(trails, kIvao, a.Pilots[0])->Point(1).Longitude, 1.5f);
    // The same callsign on the other network, or under another member, is
    // another aircraft.
    EXPECT_EQ(TrailOf(trails, kVatsim, a.Pilots[0]), nullptr);
    PilotClient other = a.Pilots[0];
    other.MemberId = "999999";
    EXPECT_EQ(TrailOf(trails, kIvao, other), nullptr);

    // 240 points at most, the newest kept.
    for (int i = 2; i < 300; ++i) AddSnapshot(trails, kIvao, a, t + 15 * i);
    const Trail* trail = TrailOf(trails, kIvao, a.Pilots[0]);
    ASSERT_NE(trail, nullptr);
    EXPECT_EQ(trail->Size(), kTrailPoints);
    EXPECT_EQ(trail->Point(kTrailPoints - 1).Time, t + 15 * 299);
    EXPECT_EQ(trail->Point(0).Time, t + 15 * (300 - 240));

    // Two hours at most: sparse snapshots drop the old points.
    TrailBook sparse;
    for (int i = 0; i < 10; ++i) AddSnapshot(sparse, kVatsim, a, t + 1800 * i);
    EXPECT_EQ(TrailOf(sparse, kVatsim, a.Pilots[0])->Size(), 5u);  // 0, 30, ..., 120 minutes back

    // Gone for ten minutes: the trail goes; the other network's stay.
    AddSnapshot(trails, kVatsim, a, t + 15 * 300);
    Snapshot empty = Traffic(0, 0);
    AddSnapshot(trails, kIvao, empty, t + 15 * 299 + 599);
    EXPECT_NE(TrailOf(trails, kIvao, a.Pilots[0]), nullptr);
    AddSnapshot(trails, kIvao, empty, t + 15 * 299 + 600);
    EXPECT_EQ(TrailOf(trails, kIvao, a.Pilots[0]), nullptr);
    EXPECT_NE(TrailOf(trails, kVatsim, a.Pilots[0]), nullptr);

    // Fading: strong when new, faint at two hours, never gone entirely.
    EXPECT_FLOAT_EQ(TrailAlpha(0), 0.9f);
    EXPECT_GT(TrailAlpha(600), TrailAlpha(3600));
    EXPECT_FLOAT_EQ(TrailAlpha(kTrailSeconds), 0.1f);
    EXPECT_FLOAT_EQ(TrailAlpha(10 * kTrailSeconds), 0.1f);
}

TEST(Trails, MemoryAtFullCapacityStaysBounded) {
    // Two networks at full capacity for two hours of 30-second snapshots,
    // with a fifth of the traffic replaced every ten minutes.
    TrailBook trails;
    std::size_t peak = 0;
    for (int step = 0; step < 240; ++step) {
        const std::string generation = "G" + std::to_string(step / 20) + "-";
        for (std::uint8_t n : {kIvao, kVatsim}) {
            Snapshot s = Traffic(1400, static_cast<float>(step) * 0.01f);
            for (int i = 0; i < 280; ++i) s.Pilots[static_cast<size_t>(i)].Callsign = generation + std::to_string(i);
            AddSnapshot(trails, n, s, 1'000'000 + 30 * step);
        }
        peak = std::max(peak, TrailBytes(trails));
    }
    EXPECT_LT(peak, 64u << 20) << peak;
    RecordProperty("TrailPeakBytes", static_cast<int>(peak));
}

}  // namespace
