// What the popups say and where: the controller and pilot texts, the voice
// and ATIS lines, routes, dial angles and the progress dial.
#include "kestrav/render/popup_text.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrava;

namespace {

struct Popups : ::testing::Test {
    NetworkModel model;
    void SetUp() override {
        model.Networks[0].UpdateStamp = "20261208123000";
        model.Airports.Add("EDDF", Airport{"EDDF", "Frankfurt Airport", "Frankfurt", "DE", 50.0333f, 8.5706f});
        model.Airports.Add("LHBP", Airport{"LHBP", "Budapest Airport", "Budapest", "HU", 47.4369f, 19.2556f});
        model.Sectors.Add("EDGG", SectorEntry{"EDGG", "Langen Radar", "DE", 50, 8, 12});
    }
    // The text drawn at (x, y), or "<none>".
    static std::string At(const PopupLayout& l, int x, int y) {
        for (const PopupText& t : l.Texts)
            if (t.X == x && t.Y == y) return t.Text;
        return "<none>";
    }
    static bool Bold(const PopupLayout& l, int x, int y) {
        for (const PopupText& t : l.Texts)
            if (t.X == x && t.Y == y) return t.Bold;
        return false;
    }
    AtcClient Tower() const {
        AtcClient a;
        a.Callsign = "EDDF_N_TWR";
        a.MemberId = "123456";
        a.RealName = "Bo Tower";
        a.Facility = FacilityKind::Tower;
        a.Rating = 5;
        a.AdminRating = 11;
        a.Location = "EDDF";
        a.Frequency = "119.900";
        a.Server = "EU1";
        a.Software = "IvAc 1.2";
        a.LogonTime = "20261208110500";
        return a;
    }
    PilotClient Pilot() const {
        PilotClient p;
        p.Callsign = "DLH123";
        p.MemberId = "654321";
        p.RealName = "Ann Example";
        p.HomeAirport = "EDDF";
        p.Rating = 4;
        p.AdminRating = 12;
        p.Latitude = 48.7f;
        p.Longitude = 14;
        p.Altitude = 35000;
        p.GroundSpeed = 450;
        p.Departure = "EDDF";
        p.DepLatitude = 50.0333f;
        p.DepLongitude = 8.5706f;
        p.Destination = "LHBP";
        p.DestLatitude = 47.4369f;
        p.DestLongitude = 19.2556f;
        p.PlannedAltitude = "F350";
        p.CruiseSpeed = "N0450";
        p.FlightRules = "I";
        p.FlightKind = "S";
        p.AircraftFull = "B738/M-SDFGRWY/S";
        p.LogonTime = "20261208101500";
        p.Route = "TOBAK Y180 DKB";
        p.PersonsOnBoard = 150;
        return p;
    }
};

}  // namespace

TEST_F(Popups, ControllerTextsStandAtTheirPlaces) {
    model.Networks[0].AtcCount = 1;
    PopupLayout l = AtcPopupLayout(model, 0, Tower());
    EXPECT_EQ(l.HalfHeight, 110);
    EXPECT_EQ(At(l, -105, 96), "Facility EDDF_N_TWR");
    EXPECT_TRUE(Bold(l, -105, 96));
    EXPECT_EQ(At(l, -124, 74), "ATC: C1 Bo Tower (SUP)");
    EXPECT_EQ(At(l, 91, 62), "123456");
    EXPECT_EQ(At(l, -120, 62), "Controlling in Frankfurt Airport");
    EXPECT_EQ(At(l, -120, 50), "On EU1 for 01:25, IvAc 1.2");
    EXPECT_EQ(At(l, -124, 26), "Frankfurt Airport N TWR");
    EXPECT_EQ(At(l, -124, 14), "COM: 119.900 MHz");
    EXPECT_EQ(At(l, -105, -104), "Center");
    EXPECT_EQ(At(l, 69, -104), "Profile");
    EXPECT_EQ(At(l, -30, -104), "Add Friend");

    // A 7-character id six pixels further left; a friend; an administrator;
    // a centre in its sector; an unknown place shows its code.
    AtcClient centre = Tower();
    centre.MemberId = "1234567";
    centre.AdminRating = 12;
    centre.Facility = FacilityKind::Centre;
    centre.Location = "EDGG";
    centre.Callsign = "EDGG_CTR";
    model.Friends.Add("1234567");
    l = AtcPopupLayout(model, 1, centre);
    EXPECT_EQ(At(l, 85, 62), "1234567");
    EXPECT_EQ(At(l, -124, 74), "ATC: CTR Bo Tower (ADM)");
    EXPECT_EQ(At(l, -120, 62), "Controlling in Langen Radar");
    EXPECT_EQ(At(l, -27, -104), "Del Friend");
    centre.Location = "XXXX";
    EXPECT_EQ(At(AtcPopupLayout(model, 1, centre), -120, 62), "Controlling in XXXX");

    AtcClient observer = Tower();
    observer.Facility = FacilityKind::Observer;
    observer.Location.clear();
    observer.Callsign = "EDDF_OBS";
    EXPECT_EQ(At(AtcPopupLayout(model, 0, observer), -120, 62), "Position: Frankfurt Airport Observer");
    AtcClient atis = Tower();
    atis.Facility = FacilityKind::Atis;
    atis.Callsign = "EDDF_ATIS";
    l = AtcPopupLayout(model, 0, atis);
    EXPECT_EQ(At(l, -120, 62), "Frankfurt Airport ATIS");
    EXPECT_EQ(At(l, -124, 14), "ATIS: 119.900 MHz");
}

TEST_F(Popups, BesideTheFrequencyTheStationsAtisOrTheVoiceServer) {
    AtcClient tower = Tower();
    tower.AtisText = "eu4.ts.ivao.aero/EDDF_TWR^\xA7" "Frankfurt Tower";
    EXPECT_EQ(At(AtcPopupLayout(model, 0, tower), -1, 14), "Voice: IVATEU4");
    EXPECT_EQ(VoiceLine("eu.ts.ivao.aero/X"), "Voice: IVATEU");
    EXPECT_EQ(VoiceLine("eu16.ts.ivao.aero"), "");
    EXPECT_EQ(VoiceLine("abc.ts"), "");
    EXPECT_EQ(VoiceLine("eu.ts"), "") << "five characters are too short";
    // The station's ATIS, EDDF_ATIS, is online: its frequency instead.
    Snapshot& s = model.Networks[0];
    s.AtcClients[0] = tower;
    s.AtcClients[1].Callsign = "EDDF_ATIS";
    s.AtcClients[1].Frequency = "118.025";
    s.AtcCount = 2;
    EXPECT_EQ(At(AtcPopupLayout(model, 0, tower), -1, 14), "ATIS: 118.025 MHz");
    s.AtcClients[1].Callsign = "EDD_ATIS";  // not the station: EDD is no part of EDDF_N_TWR
    EXPECT_EQ(At(AtcPopupLayout(model, 0, tower), -1, 14), "Voice: IVATEU4");
}

TEST_F(Popups, AtisLinesAreCutJoinedAndStopAboveTheButtons) {
    const std::string sep = "^\xA7";
    EXPECT_EQ(AtisLines("eu2.ts.ivao.aero/EBBR_TWR" + sep + "ARR 25L" + sep + " DEP 25R " + sep + std::string(50, 'Q')),
              (std::vector<std::string>{"ARR 25L / DEP 25R", std::string(39, 'Q') + "..."}));
    EXPECT_TRUE(AtisLines(sep + sep + sep).empty());
    // Twenty lines: eight fit, the eighth ends "...".
    AtcClient tower = Tower();
    for (int i = 0; i < 20; ++i) tower.AtisText += std::string(40, static_cast<char>('A' + i)) + sep;
    const PopupLayout l = AtcPopupLayout(model, 0, tower);
    EXPECT_EQ(At(l, -126, 2), std::string(40, 'A'));
    EXPECT_EQ(At(l, -126, 2 - 12 * 7), std::string(39, 'H') + "...");
    EXPECT_EQ(At(l, -126, 2 - 12 * 8), "<none>");
    // The button band starts at -90.
    for (const PopupText& t : l.Texts) EXPECT_TRUE(t.X != -126 || t.Y > -88) << t.Text;
}

TEST_F(Popups, PilotTextsStandAtTheirPlaces) {
    PopupLayout l = PilotPopupLayout(model, 0, Pilot());
    EXPECT_EQ(l.HalfHeight, 240);
    EXPECT_EQ(At(l, -105, 226), "Flight DLH123 (Scheduled)");
    EXPECT_EQ(At(l, -124, 204), "Pilot: C Ann Example (ADM)");
    EXPECT_EQ(At(l, 90, 192), "654321");
    EXPECT_EQ(At(l, -120, 192), "Home: Frankfurt Airport, DE");
    EXPECT_EQ(At(l, -124, 156), "Aircraft: B738/M-SDFGRWY/S");
    EXPECT_EQ(At(l, 78, 156), "POB: 150");
    EXPECT_EQ(At(l, -74, 62), "0450");
    EXPECT_EQ(At(l, 45, 62), "35000");
    EXPECT_EQ(At(l, -124, 14), "Flight status: En route");
    EXPECT_EQ(At(l, 102, 14), " IFR");
    EXPECT_EQ(At(l, -120, 1), "Dep: EDDF Frankfurt Airport, DE");
    EXPECT_EQ(At(l, -120, -11), "Arr: LHBP Budapest Airport, HU");
    EXPECT_EQ(At(l, -120, -23), "Total: 450 nm");
    EXPECT_EQ(At(l, -120, -59), " Conn: 1015Z");
    EXPECT_EQ(At(l, -120, -107), "N48*42.0' E14*00.0'");
    EXPECT_EQ(At(l, -126, -144), "TOBAK Y180 DKB");
    EXPECT_EQ(At(l, -105, -234), "Center");

    const char* kinds[][2] = {{"N", " (Non-scheduled)"}, {"G", " (General Aviation)"}, {"M", " (Military)"},
                              {"X", " (Training)"}, {"Q", ""}};
    for (auto [kind, suffix] : kinds) {
        PilotClient p = Pilot();
        p.FlightKind = kind;
        EXPECT_EQ(At(PilotPopupLayout(model, 0, p), -105, 226), "Flight DLH123" + std::string(suffix));
    }
    const char* rules[][2] = {{"V", " VFR"}, {"S", "SVFR"}, {"D", "DVFR"}, {"N", "NVFR"},
                              {"C", "CVFR"}, {"Y", " V>I"}, {"Z", " I>V"}};
    for (auto [rule, text] : rules) {
        PilotClient p = Pilot();
        p.FlightRules = rule;
        EXPECT_EQ(At(PilotPopupLayout(model, 0, p), 102, 14), text);
    }
}

TEST_F(Popups, AUnknownAircraftAirportsAndMissingPlanReadAsSuch) {
    PilotClient p = Pilot();
    p.AircraftFull.clear();
    p.HomeAirport = "ZZZZ";
    p.Destination = "XXXX";
    p.DestLatitude = p.DestLongitude = 0;
    PopupLayout l = PilotPopupLayout(model, 0, p);
    EXPECT_EQ(At(l, -124, 156), "Aircraft: unknown");
    EXPECT_EQ(At(l, -120, 192), "Home: ZZZZ");
    EXPECT_EQ(At(l, -120, -11), "Arr: XXXX");
    EXPECT_EQ(At(l, -120, -23), "Distance: ?");
    EXPECT_EQ(At(l, -120, -47), "Flown: 227 nm");
    EXPECT_EQ(At(l, -120, -71), "To go: ?");
    EXPECT_EQ(At(l, 58, -104), "?");
    PilotClient noPlan;
    noPlan.Callsign = "N123";
    l = PilotPopupLayout(model, 0, noPlan);
    EXPECT_EQ(At(l, -126, -144), "No flight plan received yet");
    EXPECT_EQ(At(l, -120, -47), "Flown: ?");
    // A long route: seven lines, the last one ending "...".
    p.Route.clear();
    for (int i = 0; i < 40; ++i) p.Route += "WAYPT" + std::to_string(i) + " DCT ";
    l = PilotPopupLayout(model, 0, p);
    EXPECT_EQ(At(l, -126, -216).substr(At(l, -126, -216).size() - 3), "...");
    EXPECT_EQ(At(l, -126, -228), "<none>");
}

TEST_F(Popups, DialsPinTheirNeedlesAndPlaceThePlannedMarkers) {
    EXPECT_FLOAT_EQ(SpeedDialAngle(700), 150);
    EXPECT_FLOAT_EQ(SpeedDialAngle(0), -150);
    EXPECT_FLOAT_EQ(SpeedDialAngle(-20), -150);
    EXPECT_FLOAT_EQ(SpeedDialAngle(300), 0);
    EXPECT_FLOAT_EQ(AltitudeDialAngle(45000), 150);
    EXPECT_FLOAT_EQ(AltitudeDialAngle(1e30), 150);
    const auto marker = [&](const std::string& speed, const std::string& level) {
        PilotClient p = Pilot();
        p.CruiseSpeed = speed;
        p.PlannedAltitude = level;
        return PilotPopupLayout(model, 0, p).Dials;
    };
    EXPECT_FLOAT_EQ(marker("M079", "350")[0].Marker, SpeedDialAngle(454.25));
    EXPECT_FLOAT_EQ(marker("N0450", "FL350")[0].Marker, SpeedDialAngle(450));
    EXPECT_NEAR(marker("K0800", "12000")[0].Marker, SpeedDialAngle(800 / 1.85), 1e-4);
    EXPECT_FLOAT_EQ(marker("N0450", "350")[1].Marker, AltitudeDialAngle(35000));
    EXPECT_FLOAT_EQ(marker("N0450", "FL350")[1].Marker, AltitudeDialAngle(35000));
    EXPECT_FLOAT_EQ(marker("N0450", "12000")[1].Marker, AltitudeDialAngle(12000));
    const auto unread = marker("VFR", "VFR");
    EXPECT_FALSE(unread[0].ShowMarker);
    EXPECT_FALSE(unread[1].ShowMarker);
}

TEST_F(Popups, ProgressDialShowsTheShareFlown) {
    PilotClient p = Pilot();
    Progress progress = FlightProgress(p, "20261208123000");
    EXPECT_EQ(progress.Text, "50%");  // 227 of 450 nm
    EXPECT_EQ(progress.TextX, 60);
    EXPECT_NEAR(progress.Needle, 0.5035 * 300 - 150, 0.1);
    // At the gate: nothing flown yet.
    p.Latitude = p.DepLatitude;
    p.Longitude = p.DepLongitude;
    p.GroundSpeed = 0;
    EXPECT_EQ(FlightProgress(p, "20261208123000").Text, "0%");
    // A circuit: departure and destination alike, nothing to divide by.
    p.Destination = "EDDF";
    p.DestLatitude = p.DepLatitude;
    p.DestLongitude = p.DepLongitude;
    progress = FlightProgress(p, "20261208123000");
    EXPECT_EQ(progress.Text, "?");
    EXPECT_FLOAT_EQ(progress.Needle, -150);
    // Beyond the destination the needle stays on the scale.
    p = Pilot();
    p.Latitude = 46;
    p.Longitude = 25;
    EXPECT_FLOAT_EQ(FlightProgress(p, "").Needle, 150);
    EXPECT_EQ(FlightProgress(p, "").Text, "100%");
}

TEST(PopupPieces, SelectionRowsAndWrappedRoutes) {
    EXPECT_EQ(SelectionRow("DLH123", "Ann Example"), "DLH123 Ann Example");
    EXPECT_EQ(SelectionRow("DLH123", std::string(40, 'n')).size(), 30u);
    EXPECT_EQ(WrapRoute(std::string(90, 'R')),
              (std::vector<std::string>{std::string(42, 'R'), std::string(42, 'R'), std::string(6, 'R')}));
    EXPECT_EQ(WrapRoute("  A   B "), std::vector<std::string>{"A B"});
    EXPECT_EQ(FitLines({"x", "y", "z"}, 2), (std::vector<std::string>{"x", "y..."}));
}
