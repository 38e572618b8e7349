// The list window's rows, pages and sort, the airport timetable, the radar
// and where clicks land in both panels, without a display.
#include "kestrav/render/panel_rows.h"

#include "formats/text.h"
#include "kestrav/network/whazzup.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;

namespace {

struct Panels : ::testing::Test {
    NetworkModel model;
    void SetUp() override {
        for (Snapshot& s : model.Networks) s.UpdateStamp = "20261208123000";
        model.Airports.Add("EDDF", Airport{"EDDF", "Frankfurt Airport", "Frankfurt am Main", "DE", 50.0333f, 8.5706f});
        model.Airports.Add("YSSY", Airport{"YSSY", "Sydney Kingsford Smith Airport", "Sydney", "New South Wales, Australia", -33.9461f, 151.1772f});
        model.Sectors.Add("EDGG", SectorEntry{"EDGG", "Langen Radar", "DE", 50, 8, 12});
    }
    AtcClient& Atc(int net, const std::string& call, int facility, const std::string& location,
                   const std::string& name, int rating, const std::string& frequency) {
        Snapshot& s = model.Networks[static_cast<size_t>(net)];
        AtcClient& a = s.AtcClients[static_cast<size_t>(s.AtcCount++)];
        a = AtcClient{};
        a.Callsign = call;
        a.MemberId = call;
        a.Facility = static_cast<FacilityKind>(facility);
        a.Location = location;
        a.RealName = name;
        a.Rating = static_cast<std::int16_t>(rating);
        a.Frequency = frequency;
        a.LogonTime = "20261208110500";
        return a;
    }
    PilotClient& Pilot(int net, const std::string& call, const std::string& name = "Ann Example") {
        Snapshot& s = model.Networks[static_cast<size_t>(net)];
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p = PilotClient{};
        p.Callsign = call;
        p.MemberId = call;
        p.RealName = name;
        p.LogonTime = "20261208102000";
        return p;
    }
};

}  // namespace

TEST_F(Panels, TabRowsFillEveryCellToItsWidth) {
    Atc(0, "EDDF_N_TWR", 4, "EDDF", " Bo Tower ", 5, "119.900").AdminRating = 11;
    Atc(0, "EDGG_CTR", 6, "EDGG", "Lu Langen", 10, "127.500");
    Atc(0, "XXXX_APP", 5, "XXXX", "Mo Unknown", 3, "120.000");
    Atc(0, "EDDF_OBS", 0, "", "Cy Watcher", 2, "199.998");
    Atc(0, "EDDF_ATIS", 2, "EDDF", "Robot", 2, "118.025");
    PilotClient& p = Pilot(0, "DLH123");
    p.Rating = 4;
    p.AdminRating = 12;
    p.AircraftType = "B738";
    p.Departure = "EDDF";
    p.Destination = "YSSY";
    EXPECT_EQ(TabRows(model, 0, kControllersTab),
              (std::vector<std::string>{
                  "EDDF_N_TWR    119.900  Bo Tower C1/SUP                      Frankfurt am Main - Frankfurt Airport TWR, DE   01:25",
                  "EDGG_CTR      127.500  Lu Langen I3                         Langen Radar CTR, DE                            01:25",
                  "XXXX_APP      120.000  Mo Unknown S2                        XXXX APP                                        01:25"}));
    EXPECT_EQ(TabRows(model, 0, kObserversTab),
              std::vector<std::string>{
                  "EDDF_OBS      199.998  Cy Watcher S1                        Observer                                        01:25"});
    EXPECT_EQ(TabRows(model, 0, kPilotsTab),
              std::vector<std::string>{
                  "DLH123        B738  Ann Example C/ADM             EDDF (Frankfurt Airport, D)  YSSY (Sydney Kingsford Smi)  02:10"});
    model.Friends.Add("DLH123");
    model.Friends.Add("EDDF_OBS");
    model.Friends.Add("EDDF_ATIS");  // ATIS stations are in no tab
    EXPECT_EQ(TabRows(model, 0, kFriendsTab),
              (std::vector<std::string>{
                  "EDDF_OBS      Cy Watcher S1                        Observing                                                01:25",
                  "DLH123        Ann Example C/ADM                    Flying from EDDF (DE) to YSSY (New South Wales, Austral) 02:10"}));

    // VATSIM: supervisors without the slash, pilots by name alone.
    Atc(1, "LON_SC_CTR", 6, "LON", "Jo Sup", 11, "132.600").AdminRating = 11;
    Pilot(1, "BAW1", "Al Pilot").Rating = 4;
    EXPECT_EQ(TabRows(model, 1, kControllersTab)[0].substr(23, 37), "Jo Sup SUP                           ");
    EXPECT_EQ(TabRows(model, 1, kPilotsTab)[0].substr(20, 30), "Al Pilot                      ");
    // A callsign longer than its column is cut: no row passes 113.
    Pilot(0, "AVERYLONGCALLSIGN42");
    for (int tab = 0; tab < 4; ++tab)
        for (const std::string& row : TabRows(model, 0, tab)) EXPECT_EQ(row.size(), kRowWidth) << row;
}

TEST_F(Panels, FriendActionsNameThePlacesAndTheFlight) {
    PilotClient& p = Pilot(0, "DLH1");
    EXPECT_EQ(FriendAction(model, p), "Flying (no flight plan sent yet)");
    p.Departure = "EDDF";
    p.Destination = "LHBP";
    EXPECT_EQ(FriendAction(model, p), "Flying from EDDF (DE) to LHBP");
    p.AircraftType = "B738";
    EXPECT_EQ(FriendAction(model, p), "Flying from EDDF (DE) to LHBP with B738");
    AtcClient& a = Atc(0, "EDGG_CTR", 6, "EDGG", "Lu", 5, "127.500");
    EXPECT_EQ(FriendAction(model, a), "Controlling as Langen Radar CTR, DE");
    a.Facility = FacilityKind{1};
    EXPECT_EQ(FriendAction(model, a), "Observing");
}

TEST_F(Panels, PagesKeepToTheRowsAndSaySo) {
    const int perPage = PanelRows(540) - 1;
    EXPECT_EQ(perPage, 34);
    EXPECT_EQ(PanelRows(100), 2) << "a window below the minimum still shows a line a page";
    ListPage page = PageOf(68, perPage, 2, kPilotsTab, "IVAO");  // "next page" from page 1
    EXPECT_EQ(page.Page, 1);
    EXPECT_EQ(page.Summary, "68 pilots on IVAO, displaying 35 - 68");
    page = PageOf(69, perPage, 2, kPilotsTab, "IVAO");
    EXPECT_EQ(page.Summary, "69 pilots on IVAO, displaying 69 - 69");
    page = PageOf(0, perPage, 3, kObserversTab, "VATSIM");
    EXPECT_EQ(page.Summary, "No observers on VATSIM");
    EXPECT_EQ(page.Page, 0);

    // From a long tab to a short one: no row of the former tab remains.
    for (int i = 0; i < 40; ++i) Pilot(0, "P" + std::to_string(i));
    Atc(0, "EDDF_TWR", 4, "EDDF", "Bo", 5, "119.900");
    model.ClientTotal[0] = 41;
    PanelState panel;
    panel.Rebuild = true;
    int listPage = 1;
    PrepareListWindow(panel, listPage, kPilotsTab, model, 540);
    EXPECT_EQ(listPage, 1);
    EXPECT_EQ(panel.Summary, "40 pilots on IVAO, displaying 35 - 40");
    panel.Rebuild = true;
    PrepareListWindow(panel, listPage, kControllersTab, model, 540);
    EXPECT_EQ(panel.Lines.size(), 1u);
    EXPECT_EQ(listPage, 0);
}

TEST_F(Panels, SortingByNameKeepsEqualNamesInOrder) {
    Pilot(0, "C1", "Zoe");
    Pilot(0, "C2", "adam");
    Pilot(0, "C3", "Zoe");
    Pilot(0, "C4", "Adam");
    std::vector<std::string> rows = TabRows(model, 0, kPilotsTab);
    SortRows(rows, kPilotsTab);
    std::vector<std::string> calls;
    for (const std::string& row : rows) calls.push_back(RowCallsign(row));
    EXPECT_EQ(calls, (std::vector<std::string>{"C2", "C4", "C1", "C3"}));
}

TEST_F(Panels, ClicksLandOnTabsPagesHeaderAndRows) {
    const int rows = 35, h = PanelHalfHeight(rows);  // 231
    EXPECT_EQ(HitListWindow(-200, h - 10, rows).Part, PanelPart::Tab);
    EXPECT_EQ(HitListWindow(-100, h - 10, rows).Index, 1);
    EXPECT_EQ(HitListWindow(-162.5, h - 10, rows).Part, PanelPart::Nothing) << "an exact boundary";
    EXPECT_EQ(HitListWindow(0, h - 10, rows).Part, PanelPart::Nothing);
    EXPECT_EQ(HitListWindow(330, h - 10, rows).Part, PanelPart::CloseBox);
    EXPECT_EQ(HitListWindow(300, -h + 10, rows).Part, PanelPart::NextPage);
    EXPECT_EQ(HitListWindow(205, -h + 10, rows).Part, PanelPart::PrevPage);
    EXPECT_EQ(HitListWindow(100, -h + 10, rows).Part, PanelPart::Nothing);
    EXPECT_EQ(HitListWindow(0, h - 25, rows).Part, PanelPart::Header);
    // List line i is drawn with its baseline 12 i + 30 px below the top.
    for (int i : {1, 2, 34}) {
        const PanelHit hit = HitListWindow(0, h - (12 * i + 30) + 4, rows);
        EXPECT_EQ(hit.Part, PanelPart::Row);
        EXPECT_EQ(hit.Index, i);
    }
    EXPECT_EQ(HitListWindow(345, 0, rows).Part, PanelPart::Outside);
    EXPECT_EQ(HitListWindow(0, -h, rows).Part, PanelPart::Outside);
    // The airport window: its tabs in the bottom band, timetable row i drawn
    // 12 i + 31 px below the top.
    EXPECT_EQ(HitAirportWindow(200, -h + 10, rows).Index, kTimetableTab);
    EXPECT_EQ(HitAirportWindow(260, -h + 10, rows).Index, kRadarTab);
    EXPECT_EQ(HitAirportWindow(0, h - 10, rows).Part, PanelPart::Nothing);
    EXPECT_EQ(HitAirportWindow(0, h - (12 * 3 + 31) + 4, rows).Index, 3);
    EXPECT_EQ(RowCallsign("SWISSAIR12345X rest"), "SWISSAIR12345X") << "14 characters, not 12";
}

TEST_F(Panels, TimeToGoFollowsTheFiledAndTheGroundSpeed) {
    PilotClient p;
    p.CruiseSpeed = "N0450";
    p.Altitude = 35000;
    p.GroundSpeed = 300;
    EXPECT_EQ(TimeToGo(p, 150), "00:32");  // 150 x 60 / 450 + 35000 / 3000 = 31.7
    p.GroundSpeed = 400;                   // above 0.7 x 450: the ground speed counts
    EXPECT_EQ(TimeToGo(p, 400), "01:12");  // 60 + 11.7
    p.CruiseSpeed = "3000";
    p.GroundSpeed = 0;
    p.Altitude = 0;
    EXPECT_EQ(TimeToGo(p, 300), "00:06");
    p.CruiseSpeed = "3000.5";  // past 3000 it is no speed: n/a
    EXPECT_EQ(TimeToGo(p, 300), "n/a");
    p.CruiseSpeed = "N0100";
    EXPECT_EQ(TimeToGo(p, 8100), "n/a");  // 81 hours
    EXPECT_EQ(TimeToGo(p, 8040), "80:24");
    p.CruiseSpeed = "1E-30";  // tiny but positive: no endless count, no overflow
    EXPECT_EQ(TimeToGo(p, 10), "n/a");
    p.CruiseSpeed = "N0450";
    EXPECT_EQ(TimeToGo(p, 0), "--:--");
}

TEST_F(Panels, TimetableRowsAndTheirPlaces) {
    PilotClient& in = Pilot(0, "DLH4");
    in.AircraftType = "A320";
    in.Rating = 5;
    in.Departure = "YSSY";
    in.Destination = "EDDF";
    in.DestLatitude = 50.0333f;
    in.DestLongitude = 8.5706f;
    in.Latitude = 50.0333f + 150.0f / 60;  // 150 nm north
    in.Longitude = 8.5706f;
    in.Altitude = 35000;
    in.GroundSpeed = 300;
    in.CruiseSpeed = "N0450";
    in.Route = "TOBAK Y180 +UNOKO";
    EXPECT_EQ(FormatTimetableRow(model, 0, in, true),
              "DLH4          A320  Ann Example FC               YSSY (Sydney Kingsford Smith)  UNOKO    35000 0300    150  00:32");
    in.Route = "TOBAK Y180 NINECHARS";
    EXPECT_EQ(FormatTimetableRow(model, 0, in, true).substr(80, 9), "         ");
    in.Latitude = -70;
    EXPECT_EQ(FormatTimetableRow(model, 0, in, true).substr(102, 4), "7207");
    PilotClient parked = in;
    parked.Latitude = 50.0333f + 1.0f / 60;
    parked.GroundSpeed = 0;
    const std::string row = FormatTimetableRow(model, 0, parked, true);
    EXPECT_EQ(row.substr(102, 11), "   0  --:--");
    EXPECT_EQ(row.size(), kRowWidth);
    PilotClient out = in;
    out.Departure = "EDDF";
    out.DepLatitude = in.DestLatitude;
    out.DepLongitude = in.DestLongitude;
    out.Latitude = -50.0333f;  // the far side of the Earth: five digits, "9999"
    out.Longitude = 8.5706f - 180;
    EXPECT_EQ(FormatTimetableRow(model, 0, out, false).substr(102), "9999  ");
}

TEST_F(Panels, TimetablePlacesArrivalsAndDepartures) {
    const auto flight = [&](const std::string& call, const std::string& from, const std::string& to) {
        PilotClient& p = Pilot(0, call);
        p.Departure = from;
        p.Destination = to;
    };
    for (int i = 0; i < 3; ++i) flight("IN" + std::to_string(i), "LHBP", "EDDF");
    flight("OUT0", "EDDF", "LHBP");
    flight("OUT1", "EDDF", "LHBP");
    flight("CIRCUIT", "EDDF", "EDDF");  // inbound only
    PanelState panel;
    panel.Rows = 35;
    BuildTimetable(panel, model, 0, "EDDF");
    EXPECT_EQ(panel.InboundCount, 4);
    EXPECT_EQ(panel.OutboundCount, 2);
    EXPECT_EQ(panel.DepartHeaderRow, 18);  // 35 / 2 = 17.5, to even
    EXPECT_EQ(RowCallsign(panel.Lines[19]), "OUT0");
    for (int i = 0; i < 37; ++i) flight("LATE" + std::to_string(i), "EDDF", "LHBP");
    BuildTimetable(panel, model, 0, "EDDF");
    EXPECT_EQ(panel.DepartHeaderRow, 5) << "right after the arrivals when the departures do not fit";
    model.Networks[0].PilotCount = 0;
    BuildTimetable(panel, model, 0, "EDDF");
    EXPECT_EQ(panel.DepartHeaderRow, 37) << "no departures: no header for them";
}

TEST_F(Panels, RadarPlacesAircraftByBearingAndDistance) {
    const auto inbound = [&](const std::string& call, float lat, float lon, float speed) -> PilotClient& {
        PilotClient& p = Pilot(0, call);
        p.Destination = "EDDF";
        p.DestLatitude = 50;
        p.DestLongitude = 8;
        p.Latitude = lat;
        p.Longitude = lon;
        p.GroundSpeed = speed;
        p.Heading = 180;
        return p;
    };
    inbound("NORTH", 50 + 50.0f / 60, 8, 300);
    inbound("EAST", 50, 16, 300).Course = 270;
    inbound("PARKED", 50.01f, 8, 40);
    const std::vector<RadarBlip> blips = RadarBlips(model, 0, "EDDF", 200);
    ASSERT_EQ(blips.size(), 2u);
    EXPECT_EQ(blips[0].Callsign, "NORTH");
    EXPECT_NEAR(blips[0].X, 0, 0.5);
    EXPECT_NEAR(blips[0].Y, 100, 0.5);  // 50 nm: half the radius
    EXPECT_FLOAT_EQ(blips[0].Heading, 180);
    EXPECT_EQ(blips[1].Callsign, "EAST");
    EXPECT_NEAR(blips[1].Y, 200 * std::cos(87 * 3.14159 / 180), 3);  // on the ring
    EXPECT_FLOAT_EQ(blips[1].Heading, 270);                           // along its course
    EXPECT_FLOAT_EQ(blips[1].Size, 0.025f);
    EXPECT_FLOAT_EQ(blips[1].LabelAlpha, 0.4f);
}

TEST(PanelsRealData, ABusyAirportsTimetableMatchesAnIndependentCount) {
    SkipWithoutRealData();
    std::string text = testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/whazzup-parser__whazzup.txt"));
    ASSERT_FALSE(text.empty());
    NetworkModel model;
    DisplayHooks none;
    InterpretSnapshot(model, none, 0, text);
    PanelState panel;
    panel.Rows = 57;
    BuildTimetable(panel, model, 0, "SBGR");
    // awk -F: '$4=="PILOT" && $14=="SBGR"' counts 16 arrivals, and
    // '$4=="PILOT" && $12=="SBGR" && $14!="SBGR"' 14 departures.
    EXPECT_EQ(panel.InboundCount, 16);
    EXPECT_EQ(panel.OutboundCount, 14);
    EXPECT_EQ(panel.DepartHeaderRow, 28);  // 57 / 2 = 28.5, to even
}
