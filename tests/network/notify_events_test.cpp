// The events a snapshot brings: a friend online, landed, gone and back;
// watched stations opening and closing; the summary; the watch codes.
#include "kestrav/network/notify_events.h"

#include "formats/friends.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrava;

namespace {

struct Sky {
    NetworkModel model;
    NotifyMemory memory;
    NotifyChoices choices;

    Sky() {
        model.Friends.Add("111111");
        model.Watches.Add("EDDF");
        model.Watches.Add("EDGG");
    }
    Snapshot& S() { return model.Networks[kVatsim]; }
    void Clear() {
        S().PilotCount = 0;
        S().AtcCount = 0;
    }
    void Pilot(const std::string& callsign, const std::string& id, float lat, float lon, float speed) {
        PilotClient& p = PilotSlot(S(), S().PilotCount++);
        p = PilotClient{};
        p.Callsign = callsign;
        p.MemberId = id;
        p.ReportedLatitude = p.Latitude = lat;
        p.ReportedLongitude = p.Longitude = lon;
        p.GroundSpeed = speed;
        p.Departure = "EDDF";
        p.Destination = "KJFK";
        p.DestLatitude = 40.64f;
        p.DestLongitude = -73.78f;
    }
    void Atc(const std::string& callsign, const std::string& id, FacilityKind facility, const std::string& location) {
        AtcClient& a = AtcSlot(S(), S().AtcCount++);
        a = AtcClient{};
        a.Callsign = callsign;
        a.MemberId = id;
        a.Facility = facility;
        a.Location = location;
        a.Latitude = 50;
        a.Longitude = 8.6f;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const NotifyEvent& e : SnapshotEvents(memory, model, kVatsim, choices)) texts.push_back(e.Text);
        return texts;
    }
};

using Texts = std::vector<std::string>;

TEST(NotifyEvents, AFriendAppearsStaysLandsLeavesAndReturnsEachToldOnce) {
    Sky sky;
    // The first snapshot after start-up tells nothing, whoever is online.
    sky.Pilot("DLH123", "111111", 50, 8, 450);
    sky.Atc("EDDF_TWR", "222222", FacilityKind::Tower, "EDDF");
    EXPECT_EQ(sky.Texts(), Texts{});
    // Staying on: nothing.
    EXPECT_EQ(sky.Texts(), Texts{});
    // Gone, and back: online again. A stranger and the same callsign
    // under another member tell nothing.
    sky.Clear();
    EXPECT_EQ(sky.Texts(), Texts{});
    sky.Pilot("DLH123", "111111", 50, 8, 450);
    sky.Pilot("DLH999", "333333", 50, 8, 450);
    sky.Pilot("DLH123", "444444", 50, 8, 450);
    EXPECT_EQ(sky.Texts(), Texts{"DLH123 (friend) is online on VATSIM, EDDF-KJFK"});
    // Near the destination on the ground after flying: landed, once.
    sky.Clear();
    sky.Pilot("DLH123", "111111", 40.70f, -73.80f, 12);
    EXPECT_EQ(sky.Texts(), Texts{"DLH123 (friend) landed at KJFK on VATSIM"});
    EXPECT_EQ(sky.Texts(), Texts{});
    // Slow but far from the destination (a taxi at departure) is no landing.
    Sky parked;
    parked.Pilot("DLH123", "111111", 50, 8, 450);
    parked.Texts();
    parked.Clear();
    parked.Pilot("DLH123", "111111", 50.03f, 8.57f, 5);
    EXPECT_EQ(parked.Texts(), Texts{});
    // A friend who appears on the ground near the destination never flew.
    Sky arrived;
    arrived.Texts();
    arrived.Pilot("DLH123", "111111", 40.70f, -73.80f, 0);
    EXPECT_EQ(arrived.Texts(), Texts{"DLH123 (friend) is online on VATSIM, EDDF-KJFK"});
    EXPECT_EQ(arrived.Texts(), Texts{});
}

TEST(NotifyEvents, WatchedStationsOpenAndCloseAsChosen) {
    Sky sky;
    sky.Texts();
    sky.Atc("EDDF_TWR", "222222", FacilityKind::Tower, "EDDF");
    sky.Atc("EDGG_CTR", "555555", FacilityKind::Centre, "EDGG");
    sky.Atc("LFPG_TWR", "666666", FacilityKind::Tower, "LFPG");
    sky.Atc("EDDF_OBS", "777777", FacilityKind::Observer, "EDDF");
    EXPECT_EQ(sky.Texts(), (Texts{"EDDF_TWR opened on VATSIM", "EDGG_CTR opened on VATSIM"}));
    EXPECT_EQ(sky.Texts(), Texts{});
    // Closing tells nothing unless chosen.
    sky.Clear();
    sky.Atc("EDGG_CTR", "555555", FacilityKind::Centre, "EDGG");
    EXPECT_EQ(sky.Texts(), Texts{});
    sky.choices.WatchClosed = true;
    sky.Clear();
    EXPECT_EQ(sky.Texts(), Texts{"EDGG_CTR closed on VATSIM"});
    sky.choices.WatchOpened = false;
    sky.Atc("EDDF_APP", "222222", FacilityKind::Approach, "EDDF");
    EXPECT_EQ(sky.Texts(), Texts{});
}

TEST(NotifyEvents, ManyFriendsAtOnceMakeOneSummary) {
    Sky sky;
    for (int i = 0; i < 37; ++i) sky.model.Friends.Add(std::to_string(500000 + i));
    sky.Texts();
    for (int i = 0; i < 37; ++i) sky.Pilot("F" + std::to_string(i), std::to_string(500000 + i), 50, 8, 300);
    const std::vector<NotifyEvent> events = SnapshotEvents(sky.memory, sky.model, kVatsim, sky.choices);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Kind, NotifyKind::Summary);
    EXPECT_EQ(events[0].Text, "37 friends online on VATSIM");
    EXPECT_EQ(sky.Texts(), Texts{});
}

TEST(NotifyEvents, WatchCodesAreShortLettersAndDigitsAndKeptLikeFriends) {
    std::string upper, refusal;
    EXPECT_TRUE(CheckWatchCode(" eddf ", upper, refusal));
    EXPECT_EQ(upper, "EDDF");
    for (const char* bad : {"", "   ", "ABCDEFGHIJK", "ED_DF", "ED DF", "\xC4" "DDF"}) {
        EXPECT_FALSE(CheckWatchCode(bad, upper, refusal)) << bad;
        EXPECT_FALSE(refusal.empty());
    }
    EXPECT_TRUE(CheckWatchCode("ABCDEFGHIJ", upper, refusal));

    FriendList watches;
    watches.Add("EDDF");
    watches.Add("KZNY");
    const std::string path = testsupport::MakeTempFolder("watches") + "/watches.dat";
    ASSERT_TRUE(SaveFriends(path, watches));
    EXPECT_EQ(testsupport::ReadFile(path), "EDDF\r\nKZNY\r\n");
    FriendList read;
    LoadFriends(path, read);
    EXPECT_EQ(read.Keys(), watches.Keys());
}

}  // namespace
