// Damaged feeds: values the parser accepts but nothing downstream may trust
// (positions of any single-precision size, numbers too small for a double,
// huge RELOAD and client totals), records that fault half-way, and status
// files full of messages. The reproductions come from fuzzing.
#include "kestrav/network/download.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <limits>

#include <algorithm>

using namespace kestrava;
using networktest::Line;
using networktest::RecordingHooks;

namespace {

struct Feed {
    NetworkModel model;
    RecordingHooks hooks{model};
    Feed() { model.Airports.Add("EDDF", Airport{"EDDF", "EDDF", "Frankfurt", "DE", 50.0333f, 8.5706f}); }
    const Snapshot& Ivao() const { return model.Networks[kIvao]; }
    void Interpret(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        InterpretSnapshot(model, hooks, kIvao, text);
    }
};

std::vector<std::string> Header(const std::string& reload = "1") {
    return {"!GENERAL", "RELOAD = " + reload, "UPDATE = 20240101120000", "CONNECTED CLIENTS = 5", "!CLIENTS"};
}

std::string Pilot(const std::string& callsign, const std::string& latitude, const std::string& rating = "5") {
    return Line(49, {{0, callsign}, {1, "100001"}, {2, "Test Pilot EDDF"}, {3, "PILOT"}, {5, latitude},
                     {6, "8.5"}, {7, "35000"}, {8, "450"}, {9, "H/B744/F"}, {10, "N0480"}, {11, "EDDF"},
                     {12, "F350"}, {13, "EDDF"}, {22, "1200"}, {24, "1"}, {25, "30"}, {29, "remarks"},
                     {30, "DCT"}, {37, "20240101100000"}, {38, "IvAp"}, {41, rating}, {43, "S"}, {45, "90"}});
}

std::string Controller(const std::string& callsign, const std::string& latitude) {
    return Line(49, {{0, callsign}, {1, "200002"}, {2, "Test Controller"}, {3, "ATC"}, {4, "118.500"},
                     {5, latitude}, {6, "20.5"}, {19, "50"}, {35, "atis"}, {37, "20240101100000"}});
}

// Every value a popup or a list shows of a pilot.
void ShowEverywhere(const PilotClient& p, const std::string& stamp) {
    LatitudeText(p.Latitude);
    LongitudeText(p.Longitude);
    FlightStatus(p, stamp);
    OnlineTime(p.LogonTime, stamp);
    PilotRatingName(kIvao, p.Rating);
    Distance(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude);
    Bearing(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude);
}

}  // namespace

TEST(DamagedFeed, APositionOfAnySingleSizeIsKeptAndShownWithinItsLimits) {
    // An IVAO pilot at latitude 3e38.
    Feed feed;
    feed.Interpret({"!GENERAL", "RELOAD = 2", "UPDATE = 20240101120000", "CONNECTED CLIENTS = 1", "!CLIENTS",
                   "X:1:N:PILOT::3e38:0"});
    ASSERT_EQ(feed.model.StatusText, "IVAO data interpreted");
    ASSERT_EQ(feed.Ivao().PilotCount, 1);
    const PilotClient& pilot = feed.Ivao().Pilots[0];
    EXPECT_EQ(pilot.Latitude, 3e38f);  // stored as the feed gave it
    EXPECT_EQ(LatitudeText(pilot.Latitude), "N90*00.0'");
    ShowEverywhere(pilot, feed.Ivao().UpdateStamp);

    EXPECT_EQ(LatitudeText(-3.4e38f), "S90*00.0'");
    EXPECT_EQ(LatitudeText(-90.5f), "S90*00.0'");
    EXPECT_EQ(LongitudeText(3.4e38f), "E180*00.0'");
    EXPECT_EQ(LongitudeText(-600), "W180*00.0'");  // -240 after the one turn back
    EXPECT_EQ(LongitudeText(-1e30f), "W180*00.0'");
    EXPECT_EQ(LatitudeText(89.99f), "N89*59.4'");
}

TEST(DamagedFeed, ANumberTooSmallForADoubleIsZeroNotAnOverflow) {
    // A longitude of 1e-400.
    Feed feed;
    feed.Interpret({"!GENERAL", "RELOAD = 2", "UPDATE = 20240101120000", "CONNECTED CLIENTS = 1", "!CLIENTS",
                   "X:1:N:PILOT::50:1e-400"});
    EXPECT_EQ(feed.model.StatusText, "IVAO data interpreted");
    ASSERT_EQ(feed.Ivao().PilotCount, 1);
    EXPECT_EQ(feed.Ivao().Pilots[0].Latitude, 50);
    EXPECT_EQ(feed.Ivao().Pilots[0].Longitude, 0);
}

TEST(DamagedFeed, ReloadMinutesOutsideOneToSixtyReadAsTheNearest) {
    struct Case { std::string reload; std::int16_t minutes; };
    for (const Case& c : {Case{"32767", 60}, Case{"61", 60}, Case{"60", 60}, Case{"7", 7}, Case{"1", 1},
                          Case{"0", 1}, Case{"-32768", 1}}) {
        Feed feed;
        feed.Interpret(Header(c.reload));
        EXPECT_EQ(feed.Ivao().ReloadMinutes, c.minutes) << c.reload;
    }
    // Nothing was read yet: the first download is never refused.
    EXPECT_EQ(NetworkModel().Networks[kIvao].ReloadMinutes, 0);
}

// A read that faults half-way shows nothing of itself: the snapshot shown
// before stays whole, field by field.
TEST(DamagedFeed, ARecordThatFaultsHalfWayLeavesTheShownSnapshotWhole) {
    Feed feed;
    std::vector<std::string> lines = Header();
    lines.push_back(Pilot("FIRST", "50.5"));
    lines.push_back(Controller("EDDF_TWR", "50.1"));
    feed.Interpret(lines);
    ASSERT_EQ(feed.Ivao().Pilots[0].Route, "DCT");
    ASSERT_EQ(feed.Ivao().AtcClients[0].AtisText, "atis");
    const Snapshot before = feed.Ivao();
    const auto total = feed.model.ClientTotal[kIvao];

    // The pilot faults at its rating, the controller at its latitude.
    for (const std::string& bad : {Pilot("SECOND", "40", "99999"), Controller("LHBP_APP", "1e39")}) {
        lines = Header();
        lines.push_back(bad);
        feed.Interpret(lines);
        EXPECT_EQ(feed.model.StatusText, "No data to display (Overflow)");
        const Snapshot& s = feed.Ivao();
        EXPECT_EQ(s.PilotCount, before.PilotCount);
        EXPECT_EQ(s.AtcCount, before.AtcCount);
        EXPECT_EQ(s.UpdateStamp, before.UpdateStamp);
        EXPECT_EQ(feed.model.ClientTotal[kIvao], total);
        EXPECT_EQ(s.Pilots[0].Callsign, "FIRST");
        EXPECT_EQ(s.Pilots[0].Route, "DCT");
        EXPECT_EQ(s.Pilots[0].Latitude, before.Pilots[0].Latitude);
        EXPECT_EQ(s.AtcClients[0].Callsign, "EDDF_TWR");
        EXPECT_EQ(s.AtcClients[0].AtisText, "atis");
    }
}

TEST(DamagedFeed, ClientCountsPast32767AreKeptWholeAndMergedWide) {
    Feed f;
    NetworkModel& model = f.model;
    std::vector<std::string> lines = Header();
    lines[3] = "CONNECTED CLIENTS = 40000";
    lines.push_back(Pilot("DLH1", "50.1"));
    f.Interpret(lines);
    EXPECT_EQ(model.ClientTotal[kIvao], 40000);
    model.ClientTotal[kVatsim] = 32767;
    EXPECT_EQ(MergedClientTotal(model), 72767);
    model.ClientTotal = {2147483647, 2147483647, 0};
    EXPECT_EQ(MergedClientTotal(model), 2147483647);
    model.ClientTotal = {1200, 845, 0};
    EXPECT_EQ(MergedClientTotal(model), 2045);
    EXPECT_EQ(ClientCount(-5), 0);
    EXPECT_EQ(ClientCount(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(DamagedFeed, AllMessagesOfAStatusFileShareOneBox) {
    Snapshot s;
    NetworkModel model;
    RecordingHooks hooks{model};
    std::string file = "url0=http://127.0.0.1/a\r\n";
    for (int i = 0; i < 10000; ++i) file += "msg0=message " + std::to_string(i) + "\r\n";
    ReadStatusFile(s, hooks, file, false);
    ASSERT_EQ(hooks.messages.size(), 1u);
    const std::string& box = hooks.messages[0];
    EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 20);  // 20 lines, then "..."
    EXPECT_TRUE(box.starts_with("message 0\nmessage 1\n")) << box.substr(0, 40);
    EXPECT_TRUE(box.ends_with("\nmessage 19\n...")) << box.substr(box.size() - 40);
    EXPECT_EQ(s.DataUrls.size(), 1u);

    // Few short messages come whole; a long one stops at 2,000 characters.
    EXPECT_EQ(JoinNetworkMessages({"first", "", "third"}), "first\n\nthird");
    const std::string cut = JoinNetworkMessages({"a", std::string(5000, 'x'), "c"});
    EXPECT_EQ(cut.size(), 2003u);
    EXPECT_TRUE(cut.starts_with("a\nxxx"));
    EXPECT_TRUE(cut.ends_with("x..."));
    EXPECT_EQ(JoinNetworkMessages(std::vector<std::string>(20, "m")).find("..."), std::string::npos);

    // A status file without msg0 lines opens no box.
    RecordingHooks quiet{model};
    ReadStatusFile(s, quiet, "url0=http://127.0.0.1/a\r\n;\r\n;\r\n;\r\n;\r\n", false);
    EXPECT_TRUE(quiet.messages.empty());
}
