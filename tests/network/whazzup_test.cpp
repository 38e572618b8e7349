// The snapshot parser on hand-made snapshots: line ends, caps, totals, name
// clean-up, aircraft forms, placement of controllers and run-time faults.
#include "kestrav/network/whazzup.h"

#include "formats/text.h"
#include "kestrav/network/values.h"

#include "network/recording_hooks.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;
using networktest::Line;
using networktest::RecordingHooks;

namespace {

const Clock::time_point kNow = Clock::time_point(std::chrono::seconds(1589578230));

struct Fixture {
    NetworkModel model;
    RecordingHooks hooks{model};
    Fixture() {
        model.Now = [] { return kNow; };
        model.Airports.Add("EDDF", Airport{"EDDF", "EDDF", "Frankfurt", "DE", 50.0333f, 8.5706f});
        model.Airports.Add("KJFK", Airport{"KJFK", "KJFK", "New York", "US", 40.6398f, -73.7789f});
        model.Airports.Add("LHBP", Airport{"LHBP", "LHBP", "Budapest", "HU", 47.4369f, 19.2556f});
        // Sectors: name, place, label latitude, label longitude, list number.
        model.Sectors.Add("EDWW", SectorEntry{"EDWW", "Bremen", "DE", 53.0f, 9.5f, 1});
        model.Sectors.Add("EGGX_O", SectorEntry{"EGGX_O", "Shanwick Oceanic", "GB", 55.0f, -20.0f, 2});
        model.Sectors.Add("CZQX_O", SectorEntry{"CZQX_O", "Gander Oceanic", "CA", 50.0f, -40.0f, 3});
        model.Sectors.Add("LPPO", SectorEntry{"LPPO", "Santa Maria", "PT", 38.0f, -28.0f, 4});
        model.Sectors.Add("LPPO_O", SectorEntry{"LPPO_O", "Santa Maria Oceanic", "PT", 35.0f, -30.0f, 5});
    }
};

std::vector<std::string> Header(int total, const std::string& reload = "1") {
    return {"!GENERAL", "VERSION = 6", "RELOAD = " + reload, "UPDATE = 20200515213030",
            "CONNECTED CLIENTS = " + std::to_string(total), "!CLIENTS"};
}

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const auto& l : lines) text += l + end;
    return text;
}

std::string IvaoPilot(const std::string& callsign, std::initializer_list<std::pair<int, std::string>> extra = {}) {
    std::string line = Line(49, {{0, callsign}, {1, "100001"}, {2, "Test Pilot"}, {3, "PILOT"},
                                 {5, "47.5"}, {6, "19.25"}, {7, "35000"}, {8, "450"}});
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t c = line.find(':', start);
        fields.push_back(line.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos) break;
        start = c + 1;
    }
    for (const auto& [i, v] : extra) fields[i] = v;
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) out += (i ? ":" : "") + fields[i];
    return out;
}

std::string Atc(const std::string& callsign, int fields = 49) {
    return Line(fields, {{0, callsign}, {1, "200002"}, {2, "Test Controller"}, {3, "ATC"},
                         {4, "118.500"}, {5, "10.5"}, {6, "20.5"}});
}

}  // namespace

TEST(InterpretSnapshot, ReadsTheSameSnapshotWithAnyLineEnd) {
    std::vector<std::string> lines = Header(3, "3");
    lines.push_back(IvaoPilot("DLH1"));
    lines.push_back(IvaoPilot("DLH2"));
    lines.push_back(Atc("EDDF_TWR"));
    for (std::string end : {"\r\n", "\r", "\n", "\r\r\n"}) {
        Fixture f;
        InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines, end));
        const Snapshot& s = f.model.Networks[kIvao];
        EXPECT_EQ(s.PilotCount, 2) << testing::PrintToString(end);
        EXPECT_EQ(s.AtcCount, 1);
        EXPECT_EQ(s.Pilots[1].Callsign, "DLH2");
        EXPECT_EQ(s.AtcClients[0].Location, "EDDF");
        EXPECT_EQ(s.UpdateStamp, "20200515213030");
        EXPECT_EQ(s.ReloadMinutes, 3);
        EXPECT_EQ(f.model.ClientTotal[kIvao], 3);
        EXPECT_EQ(f.model.StatusText, "IVAO data interpreted");
    }
}

TEST(InterpretSnapshot, ReportsProgressAndMarksTheDataFresh) {
    Fixture f;
    std::vector<std::string> lines = Header(1);
    lines.push_back(IvaoPilot("AAL1"));
    InterpretSnapshot(f.model, f.hooks, kVatsim, Join(lines));
    EXPECT_EQ(f.hooks.statuses,
              (std::vector<std::string>{"VATSIM data downloaded, interpreting data...", "VATSIM data interpreted"}));
    EXPECT_EQ(f.hooks.calls, (std::vector<std::string>{"status", "draw", "status"}));
    const Snapshot& s = f.model.Networks[kVatsim];
    EXPECT_TRUE(s.DataFresh);
    EXPECT_FALSE(s.DownloadFailed);
    EXPECT_EQ(s.LastDownload, kNow);
    EXPECT_EQ(f.model.Networks[kIvao].PilotCount, 0);
}

TEST(InterpretSnapshot, KeepsTheEarliestPilotsAndAtcLinesUpToTheCapsAndSaysHowManyWereLeftOut) {
    Fixture f;
    std::vector<std::string> lines = Header(20000);
    for (int i = 1; i <= kMaxPilots + 1; ++i) lines.push_back(IvaoPilot("P" + std::to_string(i)));
    for (int i = 1; i <= kMaxAtcClients; ++i) lines.push_back(Atc("OBS" + std::to_string(i)));
    lines.push_back(Atc("LHBP_ATIS"));  // one past the cap: ignored, so no ATIS reduction
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines));
    const Snapshot& s = f.model.Networks[kIvao];
    ASSERT_EQ(kMaxPilots, 10000);
    ASSERT_EQ(kMaxAtcClients, 4000);
    EXPECT_EQ(s.PilotCount, kMaxPilots);
    EXPECT_EQ(s.Pilots[0].Callsign, "P1");
    EXPECT_EQ(s.Pilots[kMaxPilots - 1].Callsign, "P10000");
    EXPECT_EQ(s.AtcCount, kMaxAtcClients);
    EXPECT_EQ(s.ObserverCount, kMaxAtcClients);
    EXPECT_EQ(s.AtcClients[kMaxAtcClients - 1].Callsign, "OBS4000");
    EXPECT_EQ(f.model.ClientTotal[kIvao], 20000);
    EXPECT_EQ(f.model.StatusText, "IVAO data interpreted (2 clients left out)");
    for (const PilotClient& p : s.Pilots) EXPECT_NE(p.Callsign, "P10001");
}

TEST(InterpretSnapshot, ANewSnapshotReplacesTheCounts) {
    Fixture f;
    std::vector<std::string> big = Header(3);
    for (int i = 1; i <= 3; ++i) big.push_back(IvaoPilot("BIG" + std::to_string(i)));
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(big));
    std::vector<std::string> small = Header(1);
    small.push_back(IvaoPilot("SMALL"));
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(small));
    EXPECT_EQ(f.model.Networks[kIvao].PilotCount, 1);
    EXPECT_EQ(f.model.Networks[kIvao].Pilots[0].Callsign, "SMALL");
    EXPECT_EQ(f.model.ClientTotal[kIvao], 1);
}

TEST(InterpretSnapshot, AtisAndFollowMeLinesLowerTheClientTotal) {
    Fixture f;
    std::vector<std::string> lines = {"!GENERAL", Line(10, {{0, "FM1"}, {3, "FOLME"}})};  // before the header: no effect
    for (const auto& l : Header(10)) lines.push_back(l);
    lines.push_back(Atc("EDDF_ATIS"));
    lines.push_back(Atc("lhbp_atis"));
    lines.push_back(Line(10, {{0, "FM2"}, {3, "FOLME"}}));
    lines.push_back(Atc("EDDF_TWR"));
    InterpretSnapshot(f.model, f.hooks, kVatsim, Join(lines));
    const Snapshot& s = f.model.Networks[kVatsim];
    EXPECT_EQ(f.model.ClientTotal[kVatsim], 7);
    EXPECT_EQ(s.AtcCount, 3);
    EXPECT_EQ(s.AtcClients[1].Callsign, "LHBP_ATIS");
    EXPECT_EQ(s.AtcClients[1].Facility, FacilityKind::Atis);
    EXPECT_EQ(s.AtcClients[1].Location, "LHBP");
    EXPECT_EQ(s.ObserverCount, 0);
}

TEST(InterpretSnapshot, NoClientsLeftIsNoDataAndShowsNothingOfTheRead) {
    Fixture f;
    std::vector<std::string> lines = Header(2);
    lines.push_back(Atc("EDDF_ATIS"));
    lines.push_back(Atc("LHBP_ATIS"));
    lines.push_back(Atc("LHBP_ATIS"));  // never below 0
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines));
    EXPECT_EQ(f.model.ClientTotal[kIvao], 0);
    EXPECT_EQ(f.model.StatusText, "No data to display");
    EXPECT_TRUE(f.model.Networks[kIvao].DownloadFailed);
    EXPECT_FALSE(f.model.Networks[kIvao].DataFresh);
    EXPECT_EQ(f.model.Networks[kIvao].AtcCount, 0);  // nothing of a failed read is shown

    Fixture g;  // no header at all
    InterpretSnapshot(g.model, g.hooks, kIvao, Join({"a", "b", "c", IvaoPilot("X1"), "d"}));
    EXPECT_EQ(g.model.StatusText, "No data to display");
    EXPECT_EQ(g.model.Networks[kIvao].PilotCount, 0);
}

TEST(InterpretSnapshot, TooFewLinesIsNoDataAndKeepsTheShownSnapshot) {
    Fixture f;
    std::vector<std::string> lines = Header(1);
    lines.push_back(IvaoPilot("OLD"));
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines));
    f.hooks.calls.clear();
    f.model.DownloadIdle = false;
    InterpretSnapshot(f.model, f.hooks, kIvao, "a\nb\nc\n");
    EXPECT_EQ(f.model.StatusText, "No data to display");
    EXPECT_TRUE(f.model.Networks[kIvao].DownloadFailed);
    // Not announced as interpreted; the download's end frees it and draws.
    EXPECT_EQ(f.hooks.calls, (std::vector<std::string>{"status"}));
    EXPECT_EQ(f.model.Networks[kIvao].PilotCount, 1);  // the shown snapshot stays
    EXPECT_EQ(f.model.Networks[kIvao].Pilots[0].Callsign, "OLD");
}

TEST(InterpretSnapshot, TheLastLineWithoutALineBreakIsNotInterpreted) {
    Fixture f;
    std::string text = Join(Header(5), "\n") + IvaoPilot("FIRST") + "\n" + IvaoPilot("LAST");
    InterpretSnapshot(f.model, f.hooks, kIvao, text);
    EXPECT_EQ(f.model.Networks[kIvao].PilotCount, 1);
    EXPECT_EQ(f.model.Networks[kIvao].Pilots[0].Callsign, "FIRST");
}

TEST(InterpretSnapshot, AReloadThatIsNotANumberEndsInNoDataWithTheFault) {
    struct Case { std::string reload, status; std::int16_t minutes; };
    for (const Case& c : {Case{"abc", "No data to display (Type mismatch)", 0},
                          Case{"", "No data to display (Type mismatch)", 0},
                          Case{"2x", "No data to display (Type mismatch)", 0},
                          Case{"99999", "No data to display (Overflow)", 0},
                          Case{"2.5", "IVAO data interpreted", 2},
                          Case{" 4 ", "IVAO data interpreted", 4}}) {
        Fixture f;
        std::vector<std::string> lines = {"!GENERAL", "CONNECTED CLIENTS = 5", IvaoPilot("EARLY1"),
                                          IvaoPilot("EARLY2"), "RELOAD = " + c.reload, IvaoPilot("LATE")};
        InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines));
        const Snapshot& s = f.model.Networks[kIvao];
        EXPECT_EQ(f.model.StatusText, c.status) << c.reload;
        if (c.minutes == 0) {
            EXPECT_TRUE(s.DownloadFailed);
            EXPECT_FALSE(s.DataFresh);
            EXPECT_EQ(s.PilotCount, 0);  // records read before the fault are not shown
        } else {
            EXPECT_EQ(s.ReloadMinutes, c.minutes);
            EXPECT_EQ(s.PilotCount, 3);
        }
    }
}

TEST(InterpretSnapshot, NumbersOutOfRangeAreFaultsNotCrashes) {
    Fixture f;
    std::vector<std::string> lines = Header(5);
    lines.push_back(IvaoPilot("OK1"));
    lines.push_back(IvaoPilot("BAD", {{41, "99999"}}));
    InterpretSnapshot(f.model, f.hooks, kIvao, Join(lines));
    EXPECT_EQ(f.model.StatusText, "No data to display (Overflow)");
    EXPECT_EQ(f.model.Networks[kIvao].PilotCount, 0);

    Fixture g;
    lines = Header(5);
    lines.push_back(IvaoPilot("BAD", {{5, "1e39"}}));
    InterpretSnapshot(g.model, g.hooks, kIvao, Join(lines));
    EXPECT_EQ(g.model.StatusText, "No data to display (Overflow)");

    Fixture h;
    // A client count past 16 bits is no fault: it is the network's size.
    lines = {"!GENERAL", "RELOAD = 1", "UPDATE = 20200515213030", "CONNECTED CLIENTS = 40000", "!CLIENTS"};
    InterpretSnapshot(h.model, h.hooks, kIvao, Join(lines));
    EXPECT_EQ(h.model.ClientTotal[kIvao], 40000);
}

TEST(ParsePilotLine, SplitsTheHomeAirportOffTheName) {
    struct Case { std::string name, realName, home; };
    for (const Case& c : {Case{"Hans Meier EDDF", "Hans Meier", "EDDF"},
                          Case{"Hans Meier  EDDF", "Hans Meier", "EDDF"},
                          Case{"Hans Meier eddf", "Hans Meier eddf", ""},
                          Case{"Hans Meier EdDF", "Hans Meier EdDF", ""},
                          Case{"Hans Meier - EDDF", "Hans Meier", ""},
                          Case{"Hans Meier -EDDF", "Hans Meier", ""},
                          Case{" EDDF", " EDDF", ""},
                          Case{"X EDDF", "X", "EDDF"},
                          Case{"Hans Meier", "Hans Meier", ""}}) {
        Fixture f;
        ParsePilotLine(f.model, kIvao, IvaoPilot("DLH1", {{2, c.name}}), 1);
        const PilotClient& p = f.model.Networks[kIvao].Pilots[0];
        EXPECT_EQ(p.RealName, c.realName) << c.name;
        EXPECT_EQ(p.HomeAirport, c.home) << c.name;
    }
}

TEST(ParsePilotLine, CutsTheNameBeforeTheDegreeSign) {
    struct Case { std::string name, realName, home; };
    for (const Case& c : {Case{"Hans Meier \xB0" "EDDF", "Hans Meier ", ""},           // Windows-1252
                          Case{"Hans Meier \xC2\xB0" "EDDF", "Hans Meier ", ""},       // UTF-8
                          Case{"Hans\xB0 Meier EDDF", "Hans", ""},
                          // Cyrillic "Иван" in UTF-8 ends in 0xD0 0xB0: not a degree sign.
                          Case{"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD UUEE", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "UUEE"},
                          Case{"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xC2\xB0X", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD ", ""}}) {
        Fixture f;
        ParsePilotLine(f.model, kIvao, IvaoPilot("DLH1", {{2, c.name}}), 1);
        const PilotClient& p = f.model.Networks[kIvao].Pilots[0];
        EXPECT_EQ(p.RealName, c.realName);
        EXPECT_EQ(p.HomeAirport, c.home);
    }
    Fixture f;
    ParseAtcLine(f.model, kIvao, Line(49, {{0, "EDDF_TWR"}, {2, "Anna Berg \xB0 x"}, {3, "ATC"}}), 1);
    EXPECT_EQ(f.model.Networks[kIvao].AtcClients[0].RealName, "Anna Berg");
    ParseAtcLine(f.model, kIvao, Line(49, {{0, "EDDF_TWR"}, {2, " Anna Berg "}, {3, "ATC"}}), 2);
    EXPECT_EQ(f.model.Networks[kIvao].AtcClients[1].RealName, " Anna Berg ");
}

TEST(ParsePilotLine, AircraftTypeAndFullForms) {
    struct Case { std::string field, type, full; };
    for (const Case& c : {Case{"H/B744/F", "B744", "B744/F"}, Case{"B73/L", "B73", "B73/L"},
                          Case{"C1/X", "C1", "C1/X"}, Case{"1/SF34/L-SDFGR/S", "SF34", "SF34/L-SDFGR/S"},
                          Case{"A320", "A320", "A320"}, Case{"B-767ER", "B-76", "B-767ER"},
                          Case{"", "", ""}, Case{"H/", "", ""}}) {
        Fixture f;
        ParsePilotLine(f.model, kIvao, IvaoPilot("DLH1", {{9, c.field}}), 1);
        const PilotClient& p = f.model.Networks[kIvao].Pilots[0];
        EXPECT_EQ(p.AircraftType, c.type) << c.field;
        EXPECT_EQ(p.AircraftFull, c.full) << c.field;
    }
}

TEST(ParsePilotLine, FieldsDifferBetweenTheNetworks) {
    Fixture f;
    // IVAO: ratings 40/41, heading 45, software 38 and 39, persons on board 44, kind 43.
    std::string ivao = IvaoPilot("DLH1", {{16, "9"}, {38, "IvAp"}, {39, "2.0.2"}, {40, "2"}, {41, "5"},
                                          {43, "S"}, {44, "125"}, {45, "340.5"}});
    ParsePilotLine(f.model, kIvao, ivao, 1);
    const PilotClient& i = f.model.Networks[kIvao].Pilots[0];
    EXPECT_EQ(i.Rating, 5);
    EXPECT_EQ(i.AdminRating, 2);
    EXPECT_EQ(i.Heading, 340);  // halves to even
    EXPECT_EQ(i.Software, "IvAp 2.0.2");
    EXPECT_EQ(i.PersonsOnBoard, 125);
    EXPECT_EQ(i.FlightKind, "S");

    // VATSIM: both ratings from 16, heading 38, no software or persons.
    ParsePilotLine(f.model, kVatsim, ivao, 1);
    const PilotClient& v = f.model.Networks[kVatsim].Pilots[0];
    EXPECT_EQ(v.Rating, 9);
    EXPECT_EQ(v.AdminRating, 9);
    EXPECT_EQ(v.Heading, 0);  // "IvAp" is no number
    EXPECT_EQ(v.Software, "");
    EXPECT_EQ(v.PersonsOnBoard, 0);
    EXPECT_EQ(v.FlightKind, "");
}

TEST(ParsePilotLine, AltitudeAndSpeedAreClamped) {
    Fixture f;
    ParsePilotLine(f.model, kIvao, IvaoPilot("A", {{7, "123456"}, {8, "-5"}}), 1);
    ParsePilotLine(f.model, kIvao, IvaoPilot("B", {{7, "-100"}, {8, "12000"}}), 2);
    const auto& pilots = f.model.Networks[kIvao].Pilots;
    EXPECT_EQ(pilots[0].Altitude, 99999);
    EXPECT_EQ(pilots[0].GroundSpeed, 0);
    EXPECT_EQ(pilots[1].Altitude, 0);
    EXPECT_EQ(pilots[1].GroundSpeed, 9999);
}

TEST(ParsePilotLine, AirportPositionsAndCourse) {
    Fixture f;
    // Between Frankfurt and New York: the course points at New York.
    ParsePilotLine(f.model, kIvao, IvaoPilot("A", {{5, "52"}, {6, "-20"}, {11, "eddf"}, {13, "KJFK"}}), 1);
    // Destination unknown: the course is the one flown from the departure.
    ParsePilotLine(f.model, kIvao, IvaoPilot("B", {{5, "48"}, {6, "8.5706"}, {11, "EDDF"}, {13, "XXXX"}}), 2);
    // A departure that is not four characters gives no course.
    ParsePilotLine(f.model, kIvao, IvaoPilot("C", {{5, "52"}, {6, "-20"}, {11, "EDF"}, {13, "KJFK"}}), 3);
    const auto& pilots = f.model.Networks[kIvao].Pilots;
    EXPECT_FLOAT_EQ(pilots[0].DepLatitude, 50.0333f);
    EXPECT_FLOAT_EQ(pilots[0].DepLongitude, 8.5706f);
    EXPECT_FLOAT_EQ(pilots[0].DestLatitude, 40.6398f);
    EXPECT_FLOAT_EQ(pilots[0].DestLongitude, -73.7789f);
    // West-south-west, not normalised: the course from 52N 20W to 40.64N 73.78W.
    const double r = M_PI / 180, lat1 = 52 * r, lat2 = 40.6398 * r, dLon = (-73.7789 + 20) * r;
    const double course = std::atan2(std::sin(dLon) * std::cos(lat2),
                                     std::cos(lat1) * std::sin(lat2) -
                                         std::sin(lat1) * std::cos(lat2) * std::cos(dLon)) / r;
    EXPECT_LT(pilots[0].Course, 0);
    EXPECT_NEAR(pilots[0].Course, course, 1);
    EXPECT_EQ(pilots[1].DestLatitude, 0);
    EXPECT_EQ(pilots[1].DestLongitude, 0);
    EXPECT_EQ(pilots[1].Course, 180);  // due south of Frankfurt
    EXPECT_EQ(pilots[2].Course, 0);
    EXPECT_FLOAT_EQ(pilots[2].DestLatitude, 40.6398f);
}

TEST(ParsePilotLine, TimesArePaddedOrLeftEmpty) {
    Fixture f;
    ParsePilotLine(f.model, kIvao, IvaoPilot("A", {{22, "905"}, {24, "1"}, {25, "5"}}), 1);
    ParsePilotLine(f.model, kIvao, IvaoPilot("B", {{22, ""}, {24, ""}, {25, ""}}), 2);
    ParsePilotLine(f.model, kIvao, IvaoPilot("C", {{22, "12345"}, {24, "123"}, {25, "5"}}), 3);
    const auto& pilots = f.model.Networks[kIvao].Pilots;
    EXPECT_EQ(pilots[0].DepartureTime, "0905");
    EXPECT_EQ(pilots[0].EnrouteTime, "0105");
    EXPECT_EQ(pilots[1].DepartureTime, "0000");
    EXPECT_EQ(pilots[1].EnrouteTime, "0000");
    EXPECT_EQ(pilots[2].DepartureTime, "");
    EXPECT_EQ(pilots[2].EnrouteTime, "");
}

TEST(ParseAtcLine, FacilityFromTheCallsignSuffix) {
    struct Case { std::string callsign; int facility; std::string location; };
    Fixture f;
    const std::vector<Case> cases = {
        {"EDDF_ATIS", 2, "EDDF"}, {"EDDF_DEL", 3, "EDDF"}, {"EDDF_GND", 3, "EDDF"},
        {"EDDF_TWR", 4, "EDDF"},  {"EDDF_DEP", 5, "EDDF"}, {"eddf_app", 5, "EDDF"},
        {"EDWW_CTR", 6, "EDWW"},  {"EGGX_FSS", 7, "EGGX_O"}, {"EDDF_OBS", 0, ""},
        {"E_TWR", 0, "E"},         {"EDDFATIS", 0, ""},     {"TWR", 0, ""}};
    int record = 0;
    for (const Case& c : cases) ParseAtcLine(f.model, kIvao, Atc(c.callsign), ++record);
    const Snapshot& s = f.model.Networks[kIvao];
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(static_cast<int>(s.AtcClients[i].Facility), cases[i].facility) << cases[i].callsign;
        EXPECT_EQ(s.AtcClients[i].Location, cases[i].location) << cases[i].callsign;
    }
    EXPECT_EQ(s.AtcClients[5].Callsign, "EDDF_APP");
    EXPECT_EQ(s.ObserverCount, 4);
}

TEST(ParseAtcLine, AirportStationsSitAtTheirAirportWithTheUsK) {
    Fixture f;
    ParseAtcLine(f.model, kVatsim, Atc("JFK_TWR"), 1);     // KJFK is known
    ParseAtcLine(f.model, kVatsim, Atc("XYZ_TWR"), 2);     // KXYZ is not
    ParseAtcLine(f.model, kVatsim, Atc("LHBP_APP"), 3);
    ParseAtcLine(f.model, kVatsim, Atc("LHBP_W_APP"), 4);
    const auto& atc = f.model.Networks[kVatsim].AtcClients;
    EXPECT_EQ(atc[0].Location, "KJFK");
    EXPECT_FLOAT_EQ(atc[0].Latitude, 40.6398f);
    EXPECT_FLOAT_EQ(atc[0].Longitude, -73.7789f);
    EXPECT_FLOAT_EQ(atc[0].ReportedLatitude, 10.5f);
    EXPECT_EQ(atc[1].Location, "XYZ");
    EXPECT_FLOAT_EQ(atc[1].Latitude, 10.5f);
    EXPECT_FLOAT_EQ(atc[1].Longitude, 20.5f);
    EXPECT_FLOAT_EQ(atc[2].Latitude, 47.4369f);
    EXPECT_EQ(atc[3].Location, "LHBP");
    EXPECT_FLOAT_EQ(atc[3].Longitude, 19.2556f);
}

TEST(ParseAtcLine, CentresAndFlightServiceSitAtTheirSector) {
    Fixture f;
    const std::vector<std::string> callsigns = {
        "EDWW_CTR",    // the sector itself
        "EDWW_E_CTR",  // a sub-sector not listed: cut back to EDWW
        "EGGX_FSS",    // flight service: the oceanic form
        "CZQX_N_FSS",  // first four letters and "_O"
        "LPPO_FSS",    // the key with "_O" added
        "LPPO_CTR",    // a centre never tries "_O"
        "ZZZZ_CTR"};   // unknown: reported position
    int record = 0;
    for (const auto& c : callsigns) ParseAtcLine(f.model, kIvao, Atc(c), ++record);
    const auto& atc = f.model.Networks[kIvao].AtcClients;
    EXPECT_EQ(atc[0].Location, "EDWW");
    EXPECT_FLOAT_EQ(atc[0].Latitude, 53.0f);
    EXPECT_FLOAT_EQ(atc[0].Longitude, 9.5f);
    EXPECT_EQ(atc[1].Location, "EDWW");
    EXPECT_FLOAT_EQ(atc[1].Latitude, 53.0f);
    EXPECT_EQ(atc[2].Location, "EGGX_O");
    EXPECT_FLOAT_EQ(atc[2].Longitude, -20.0f);
    EXPECT_EQ(atc[3].Location, "CZQX_O");
    EXPECT_FLOAT_EQ(atc[3].Longitude, -40.0f);
    EXPECT_EQ(atc[4].Location, "LPPO_O");
    EXPECT_FLOAT_EQ(atc[4].Latitude, 35.0f);
    EXPECT_EQ(atc[5].Location, "LPPO");
    EXPECT_FLOAT_EQ(atc[5].Latitude, 38.0f);
    EXPECT_EQ(atc[6].Location, "ZZZZ");
    EXPECT_FLOAT_EQ(atc[6].Latitude, 10.5f);
    EXPECT_FLOAT_EQ(atc[6].Longitude, 20.5f);
}

TEST(InterpretSnapshot, LinesAreTheElementsOfTheSharedLineSplit) {
    // Mixed line ends: which lines are examined follows SplitNetworkLines.
    const std::string p = IvaoPilot("P");
    const std::vector<std::string> texts = {
        "CONNECTED CLIENTS = 9\r\nA\r\nB\r\nC\r\n" + p + "\n" + p + "\n",           // 4 x CR LF: the pilots are the last element
        "CONNECTED CLIENTS = 9\r\nA\r\nB\r\n" + p + "\n" + p + "\n" + p + "\n",     // 3 x CR LF: split at LF
        "CONNECTED CLIENTS = 9\rA\rB\r" + p + "\r" + p + "\n" + p + "\r\n",        // split at CR
        "CONNECTED CLIENTS = 9\nA\nB\n" + p + "\n" + p,                            // no final line break
        "CONNECTED CLIENTS = 9\r\n\r\n\r\n\r\n" + p + "\r\n"};
    for (const std::string& text : texts) {
        std::vector<std::string> lines = SplitNetworkLines(text);
        int expected = 0;
        for (size_t i = 0; i + 1 < lines.size(); ++i) expected += FieldOf(lines[i], 3) == "PILOT";
        Fixture f;
        InterpretSnapshot(f.model, f.hooks, kIvao, text);
        EXPECT_EQ(f.model.Networks[kIvao].PilotCount, expected) << testing::PrintToString(text.substr(0, 40));
    }
}
