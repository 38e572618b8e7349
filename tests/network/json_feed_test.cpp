// The JSON feeds of both networks read into the Snapshot: real captures
// against counts made apart from the program, records field by field, and
// damaged feeds (every wrong type, truncations, flipped bytes, the bad
// inputs a server may send) that must end in a clear status with the
// previous snapshot kept.
#include "kestrav/network/feed.h"
#include "kestrav/network/json_feed.h"
#include "kestrav/network/json_syntax.h"

#include "formats/sector_files.h"
#include "formats/text.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <tuple>

using namespace kestrava;
using networktest::RecordingHooks;

namespace {

struct Fixture {
    NetworkModel model;
    RecordingHooks hooks{model};
    Fixture() {
        ReadAirportFile(testsupport::SourcePath("data/airports.dat"), model.Airports);
        ReadSectorFile(testsupport::SourcePath("data/firlist.dat"), model.Sectors);
    }
    const Snapshot& Read(std::uint8_t net, const std::string& body) {
        InterpretFeed(model, hooks, net, body);
        return model.Networks[net];
    }
};

// Shared by every test: the shipped airports and sectors are read once.
Fixture& Shared() {
    static Fixture* f = new Fixture;
    return *f;
}

std::string Real(const std::string& path) { return testsupport::ReadFile(testsupport::RealDataPath(path)); }

const PilotClient& PilotOf(const Snapshot& s, const std::string& callsign) {
    for (int i = 0; i < s.PilotCount; ++i)
        if (s.Pilots[i].Callsign == callsign) return s.Pilots[i];
    ADD_FAILURE() << "no pilot " << callsign;
    static PilotClient none;
    return none;
}

const AtcClient& AtcOf(const Snapshot& s, const std::string& callsign) {
    for (int i = 0; i < s.AtcCount; ++i)
        if (s.AtcClients[i].Callsign == callsign) return s.AtcClients[i];
    ADD_FAILURE() << "no station " << callsign;
    static AtcClient none;
    return none;
}

// A small feed of either network built from members; values are JSON text.
using Members = std::vector<std::pair<std::string, std::string>>;
std::string Object(const Members& members) {
    std::string text = "{";
    for (const auto& [key, value] : members) text += (text.size() > 1 ? ",\"" : "\"") + key + "\":" + value;
    return text + "}";
}

Members VatsimPlan() {
    return {{"flight_rules", "\"I\""},        {"aircraft", "\"H/B744/L-SDE3FGHIRWY/LB1\""},
            {"aircraft_short", "\"B744\""},   {"departure", "\"EDDF\""},
            {"arrival", "\"KORD\""},          {"alternate", "\"KMDW\""},
            {"cruise_tas", "\"490\""},        {"altitude", "\"34000\""},
            {"deptime", "\"905\""},           {"enroute_time", "\"0845\""},
            {"remarks", "\"/V/ RMK/TCAS\""},  {"route", "\"SULUS DCT\""}};
}
Members VatsimPilot() {
    return {{"cid", "1234567"},          {"name", "\"J\\u00fcrgen M\\u00fcller EDDF\""},
            {"callsign", "\"DLH430\""},  {"server", "\"GERMANY\""},
            {"pilot_rating", "3"},       {"latitude", "55.5"},
            {"longitude", "-20.25"},     {"altitude", "35012"},
            {"groundspeed", "488"},      {"transponder", "\"2231\""},
            {"heading", "271"},          {"flight_plan", Object(VatsimPlan())},
            {"logon_time", "\"2024-02-20T06:28:32.5Z\""}};
}
Members VatsimStation() {
    return {{"cid", "1541976"},        {"name", "\"Christian R.\""}, {"callsign", "\"EDDL_APP\""},
            {"frequency", "\"128.555\""}, {"facility", "5"},         {"rating", "3"},
            {"server", "\"AMSTERDAM\""}, {"visual_range", "150"},
            {"text_atis", "[\"Langen Radar\",\"Gr\\u00fc\\u00dfe \\u6f22\"]"},
            {"logon_time", "\"2024-02-20T17:39:22Z\""}};
}
std::string VatsimFeed(const std::vector<std::string>& pilots, const std::vector<std::string>& stations,
                       const std::vector<std::string>& atis, const std::string& clients = "7") {
    auto list = [](const std::vector<std::string>& items) {
        std::string text = "[";
        for (const auto& item : items) text += (text.size() > 1 ? "," : "") + item;
        return text + "]";
    };
    return "{\"general\":{\"version\":3,\"reload\":1,\"update\":\"20240220231951\",\"connected_clients\":" + clients +
           "},\"pilots\":" + list(pilots) + ",\"controllers\":" + list(stations) + ",\"atis\":" + list(atis) + "}";
}

Members IvaoPilot() {
    return {{"userId", "702880"},
            {"callsign", "\"SVA213\""},
            {"serverId", "\"WS\""},
            {"softwareTypeId", "\"altitude/win\""},
            {"softwareVersion", "\"1.12.0b\""},
            {"rating", "3"},
            {"createdAt", "\"2023-01-04T14:27:58.000Z\""},
            {"lastTrack", "{\"altitude\":37126,\"groundSpeed\":563,\"heading\":106,\"latitude\":25.245342,"
                          "\"longitude\":51.620049,\"transponder\":102}"},
            {"flightPlan", "{\"aircraftId\":\"A320\",\"departureId\":\"OEMA\",\"arrivalId\":\"OMAA\","
                           "\"alternativeId\":\"OMDB\",\"route\":\"MEDRO1J\",\"remarks\":\"PBN/A1\",\"speed\":\"N0431\","
                           "\"level\":\"F370\",\"flightRules\":\"I\",\"flightType\":\"S\",\"eet\":6420,"
                           "\"departureTime\":53700,\"peopleOnBoard\":153,\"aircraftEquipments\":\"SDFGRWY\","
                           "\"aircraftTransponderTypes\":\"S\",\"aircraft\":{\"wakeTurbulence\":\"M\"}}"}};
}
std::string IvaoFeed(const std::vector<std::string>& pilots, const std::string& total = "5") {
    std::string list = "[";
    for (const auto& p : pilots) list += (list.size() > 1 ? "," : "") + p;
    return "{\"updatedAt\":\"2023-01-04T16:04:22.381Z\",\"clients\":{\"pilots\":" + list +
           "],\"atcs\":[],\"observers\":[],\"followMe\":[]},\"connections\":{\"total\":" + total + ",\"followMe\":1}}";
}

}  // namespace

// Counted with python3's json module, apart from the program: pilots =
// len(pilots) (IVAO clients.pilots); ATC = controllers + atis (IVAO atcs +
// observers); observers = controllers with facility 0, plus records whose
// upper-cased callsign ends in none of ATIS _DEL _GND _TWR _DEP _APP _CTR
// _FSS or has fewer than 2 characters before its first "_" (IVAO: plus every
// observers[] record); total = connected_clients - len(atis) (IVAO:
// connections.total - connections.followMe); stamp = general.update (IVAO:
// updatedAt's digits).
TEST(JsonFeed, RealCapturesCountLikeAnIndependentCount) {
    SkipWithoutRealData();
    struct Case {
        const char* path;
        std::uint8_t net;
        int pilots, atc, observers, total;
        const char* stamp;
    } const cases[] = {
        {"vatsim-json/vatsim-plan-verifier__vatsim-data.json", kVatsim, 702, 97, 29, 764, "20240220231951"},
        {"vatsim-json/vFIDS__vatsim-data.json", kVatsim, 963, 156, 20, 1069, "20210613134523"},
        {"vatsim-json/qutescoop__issue-148__vatsim-data.json", kVatsim, 0, 5, 0, 1541, "20220222193221"},
        {"ivao-json/ivao-statistics__whazzup.json", kIvao, 714, 85, 19, 816, "20230104160422"},
    };
    for (const Case& c : cases) {
        Fixture& f = Shared();
        const Snapshot& s = f.Read(c.net, Real(c.path));
        SCOPED_TRACE(c.path);
        EXPECT_EQ(f.model.StatusText, f.model.NetworkName[c.net] + " data interpreted");
        EXPECT_FALSE(s.DownloadFailed);
        EXPECT_EQ(s.PilotCount, c.pilots);
        EXPECT_EQ(s.AtcCount, c.atc);
        EXPECT_EQ(s.ObserverCount, c.observers);
        EXPECT_EQ(f.model.ClientTotal[c.net], c.total);
        EXPECT_EQ(s.UpdateStamp, c.stamp);
        EXPECT_EQ(s.ReloadMinutes, 1);
    }
}

TEST(JsonFeed, VatsimRecordsFieldByField) {
    SkipWithoutRealData();
    Fixture& f = Shared();
    const Snapshot& s = f.Read(kVatsim, Real("vatsim-json/vatsim-plan-verifier__vatsim-data.json"));

    const PilotClient& p = PilotOf(s, "SXS2TT");  // with a plan, values read off the capture
    EXPECT_EQ(p.MemberId, "1430970");
    EXPECT_EQ(p.RealName, "Storme Burton");
    EXPECT_EQ(p.HomeAirport, "YMML");
    EXPECT_EQ(p.Rating, 0);
    EXPECT_FLOAT_EQ(p.Latitude, 38.71946f);
    EXPECT_FLOAT_EQ(p.Longitude, 28.42596f);
    EXPECT_EQ(p.Altitude, 35196);
    EXPECT_EQ(p.GroundSpeed, 449);
    EXPECT_EQ(p.Heading, 132);
    EXPECT_EQ(p.Transponder, "7000");
    EXPECT_EQ(p.Server, "USA-WEST");
    EXPECT_EQ(p.LogonTime, "20240220062832");
    EXPECT_EQ(p.AircraftFull, "A320/M-SDE3FGHIRWY/LB1");
    EXPECT_EQ(p.AircraftType, "A320");
    EXPECT_EQ(p.Departure, "EDDL");
    EXPECT_EQ(p.Destination, "LTAI");
    EXPECT_EQ(p.Alternate, "LTBJ");
    EXPECT_EQ(p.CruiseSpeed, "453");
    EXPECT_EQ(p.PlannedAltitude, "35000");
    EXPECT_EQ(p.DepartureTime, "0045");
    EXPECT_EQ(p.EnrouteTime, "0308");
    EXPECT_EQ(p.FlightRules, "I");
    EXPECT_EQ(p.Route.substr(0, 14), "DODEN9T DODEN ");
    EXPECT_FLOAT_EQ(p.DestLatitude, 36.898701f);  // LTAI in the shipped airports
    EXPECT_NE(p.Course, 0);
    EXPECT_EQ(p.PersonsOnBoard, 0);
    EXPECT_EQ(p.Software, "");

    const PilotClient& q = PilotOf(s, "HPAL");  // flight_plan null
    EXPECT_EQ(q.RealName, "Jonas Ferreira");
    EXPECT_EQ(q.HomeAirport, "EDDF");
    EXPECT_EQ(q.Departure, "");
    EXPECT_EQ(q.AircraftType, "");
    EXPECT_EQ(q.Course, 0);
    EXPECT_EQ(q.DepartureTime, "0000");  // as an empty text field reads

    const AtcClient& app = AtcOf(s, "EDDL_APP");
    EXPECT_EQ(app.Facility, FacilityKind::Approach);
    EXPECT_EQ(app.Rating, 3);
    EXPECT_EQ(app.AdminRating, 3);
    EXPECT_EQ(app.Frequency, "128.555");
    EXPECT_EQ(app.VisualRange, 150);
    EXPECT_EQ(app.Location, "EDDL");
    EXPECT_FLOAT_EQ(app.Latitude, 51.289501f);
    EXPECT_EQ(app.AtisText, "Langen Radar^\xA7" "Coverage at vatglasses.uk - PDC/DCL Datalink [EDDL]^\xA7"
                            "You have feedback? Submit it! feedback.vatger.de");
    EXPECT_EQ(app.ReportedLatitude, 0);  // no transceivers in this test

    const AtcClient& atis = AtcOf(s, "EDLV_ATIS");  // facility 4 in the feed: an ATIS record all the same
    EXPECT_EQ(atis.Facility, FacilityKind::Atis);
    EXPECT_EQ(atis.Location, "EDLV");
    EXPECT_EQ(atis.AtisText.substr(0, 43), "WEEZE INFORMATION N MET REPORT TIME 2250^\xA7" "A");

    const AtcClient& obs = AtcOf(s, "AWG4004");
    EXPECT_EQ(obs.Facility, FacilityKind::Observer);
    EXPECT_EQ(obs.Frequency, "199.998");

    const AtcClient& ctr = AtcOf(s, "BOS_CTR");  // a centre at its sector's label
    EXPECT_EQ(ctr.Facility, FacilityKind::Centre);
    EXPECT_EQ(ctr.Location, "BOS");
    EXPECT_FLOAT_EQ(ctr.Latitude, 43.80125f);
    EXPECT_FLOAT_EQ(ctr.Longitude, -71.89584f);
}

TEST(JsonFeed, IvaoRecordsFieldByField) {
    SkipWithoutRealData();
    Fixture& f = Shared();
    const Snapshot& s = f.Read(kIvao, Real("ivao-json/ivao-statistics__whazzup.json"));

    const PilotClient& p = PilotOf(s, "SVA213");
    EXPECT_EQ(p.MemberId, "702880");
    EXPECT_EQ(p.RealName, "");
    EXPECT_EQ(p.Rating, 3);
    EXPECT_EQ(p.AdminRating, 0);
    EXPECT_FLOAT_EQ(p.Latitude, 25.245342f);
    EXPECT_EQ(p.Altitude, 37126);
    EXPECT_EQ(p.GroundSpeed, 563);
    EXPECT_EQ(p.Heading, 106);
    EXPECT_EQ(p.Transponder, "0102");
    EXPECT_EQ(p.Server, "WS");
    EXPECT_EQ(p.LogonTime, "20230104142758");
    EXPECT_EQ(p.Software, "altitude/win 1.12.0b");
    EXPECT_EQ(p.AircraftFull, "A320/M");  // no equipment filed: no tail
    EXPECT_EQ(p.AircraftType, "A320");
    EXPECT_EQ(p.CruiseSpeed, "N0431");
    EXPECT_EQ(p.PlannedAltitude, "F370");
    EXPECT_EQ(p.DepartureTime, "1455");  // 53700 s
    EXPECT_EQ(p.EnrouteTime, "0147");    // 6420 s
    EXPECT_EQ(p.PersonsOnBoard, 153);
    EXPECT_EQ(p.FlightKind, "S");
    EXPECT_EQ(p.Alternate, "OMDB");

    const PilotClient& q = PilotOf(s, "UAL855");  // lastTrack null
    EXPECT_EQ(q.Latitude, 0);
    EXPECT_EQ(q.Longitude, 0);
    EXPECT_EQ(q.Altitude, 0);
    EXPECT_EQ(q.Transponder, "");
    EXPECT_EQ(q.AircraftFull, "B789/H-SDE1E2E3FGHIJ2J3J4J5M1RWXY/LB1D1");
    EXPECT_EQ(q.Departure, "KORD");
    EXPECT_EQ(q.DepartureTime, "1310");  // 47400 s
    EXPECT_EQ(q.EnrouteTime, "0949");    // 35340 s

    const AtcClient& twr = AtcOf(s, "LFBH_TWR");
    EXPECT_EQ(twr.Facility, FacilityKind::Tower);
    EXPECT_EQ(twr.Frequency, "118.000");
    EXPECT_EQ(twr.Rating, 4);
    EXPECT_EQ(twr.AdminRating, 0);
    EXPECT_FLOAT_EQ(twr.ReportedLatitude, 44.961941f);
    EXPECT_FLOAT_EQ(twr.Latitude, 46.179199f);  // at LFBH
    EXPECT_EQ(twr.AtisText.substr(0, 54), "worldserver.ts.ivao.aero/LFBH_TWR^\xA7La Rochelle Tower^\xA7");
    EXPECT_EQ(twr.Software, "aurora/win 1.3.0.19b");

    const AtcClient& obs = AtcOf(s, "SBBS-ACH");
    EXPECT_EQ(obs.Facility, FacilityKind::Observer);
    EXPECT_EQ(obs.Frequency, "122.800");
    EXPECT_FLOAT_EQ(obs.Latitude, -15.8719f);
}

TEST(JsonFeed, TextIsWindows1252AndTheTextRulesApply) {
    Fixture& f = Shared();
    Members pilot = VatsimPilot();
    Members other = VatsimPilot();
    other[1].second = "\"Ann \\u00c9lise\\u00b0 EDDF\"";  // cut at the degree sign
    other[2].second = "\"N123\"";
    other[11].second = "{\"aircraft\":\"C1/X\",\"departure\":\"EDDF\"}";
    Members station = VatsimStation();
    Members ground = VatsimStation();
    ground[2].second = "\"eddl_gnd\"";
    ground[4].second = "0";  // facility 0: an observer whatever the callsign
    const Snapshot& s = f.Read(kVatsim, VatsimFeed({Object(pilot), Object(other)}, {Object(station), Object(ground)},
                                                   {}));
    ASSERT_EQ(s.PilotCount, 2);
    EXPECT_EQ(s.Pilots[0].RealName, "J\xFCrgen M\xFCller");
    EXPECT_EQ(s.Pilots[0].AircraftFull, "B744/L-SDE3FGHIRWY/LB1");
    EXPECT_EQ(s.Pilots[0].AircraftType, "B744");
    EXPECT_EQ(s.Pilots[0].DepartureTime, "0905");
    EXPECT_EQ(s.Pilots[0].LogonTime, "20240220062832");
    EXPECT_EQ(s.Pilots[1].RealName, "Ann \xC9lise");
    EXPECT_EQ(s.Pilots[1].HomeAirport, "");
    EXPECT_EQ(s.Pilots[1].AircraftType, "C1");
    EXPECT_EQ(s.AtcClients[0].AtisText, "Langen Radar^\xA7Gr\xFC\xDF" "e ?");
    EXPECT_EQ(s.AtcClients[1].Callsign, "EDDL_GND");
    EXPECT_EQ(s.AtcClients[1].Facility, FacilityKind::Observer);
    EXPECT_EQ(s.ObserverCount, 1);

    // A byte order mark before the feed is no fault.
    const Snapshot& t = f.Read(kIvao, "\xEF\xBB\xBF" + IvaoFeed({Object(IvaoPilot())}));
    EXPECT_EQ(f.model.StatusText, "IVAO data interpreted");
    EXPECT_EQ(t.PilotCount, 1);
    EXPECT_EQ(t.Pilots[0].AircraftFull, "A320/M-SDFGRWY/S");
    EXPECT_EQ(f.model.ClientTotal[kIvao], 4);  // 5 connections less 1 follow-me car
}

// Every member of a record given every wrong type, or removed: the record
// is still read, its other members as before; a record that is not an object
// is left out. Then absurd numbers, which are clamped or read as 0.
TEST(JsonFeed, WrongTypesReadAsMissing) {
    Fixture& f = Shared();
    const std::vector<std::string> wrong = {"null", "true", "-1e308", "\"x\"", "[1,2]", "{\"a\":{}}", "18446744073709551615"};
    struct Form {
        std::uint8_t net;
        Members record;
        std::function<std::string(const std::string&)> feed;
        int records;  // read from the feed; two more are no objects
    };
    const Form forms[] = {
        {kVatsim, VatsimPilot(), [](const std::string& r) { return VatsimFeed({r, "7", "[]"}, {}, {}); }, 1},
        {kVatsim, VatsimStation(), [](const std::string& r) { return VatsimFeed({}, {r, "null"}, {r, "1"}); }, 2},
        {kIvao, IvaoPilot(), [](const std::string& r) { return IvaoFeed({r, "\"x\"", "false"}); }, 1},
    };
    for (const Form& form : forms) {
        for (size_t k = 0; k < form.record.size(); ++k) {
            for (size_t w = 0; w <= wrong.size(); ++w) {
                Members record = form.record;
                if (w == wrong.size()) record.erase(record.begin() + static_cast<long>(k));
                else record[k].second = wrong[w];
                const Snapshot& s = f.Read(form.net, form.feed(Object(record)));
                SCOPED_TRACE(form.record[k].first + " = " + (w < wrong.size() ? wrong[w] : "(removed)"));
                ASSERT_FALSE(s.DownloadFailed) << f.model.StatusText;
                EXPECT_EQ(f.model.StatusText, f.model.NetworkName[form.net] + " data interpreted (2 clients left out)");
                ASSERT_EQ(s.PilotCount + s.AtcCount, form.records);
                const bool pilot = s.PilotCount > 0;
                const std::string callsign = pilot ? s.Pilots[0].Callsign : s.AtcClients[0].Callsign;
                if (form.record[k].first != "callsign") {
                    EXPECT_FALSE(callsign.empty());
                }
                if (pilot) {
                    EXPECT_TRUE(s.Pilots[0].Latitude >= -90 && s.Pilots[0].Latitude <= 90);
                    EXPECT_TRUE(s.Pilots[0].Altitude >= 0 && s.Pilots[0].Altitude <= 99999);
                }
            }
        }
    }
    // Absurd numbers.
    Members pilot = VatsimPilot();
    pilot[4].second = "1e300";   // rating
    pilot[5].second = "-1000";   // latitude
    pilot[7].second = "1e12";    // altitude
    pilot[8].second = "-5";      // ground speed
    pilot[10].second = "99999";  // heading
    pilot[9].second = "123456";  // transponder as a number beyond four digits
    const Snapshot& s = f.Read(kVatsim, VatsimFeed({Object(pilot)}, {}, {}, "1e30"));
    ASSERT_EQ(s.PilotCount, 1);
    EXPECT_EQ(s.Pilots[0].Rating, 0);
    EXPECT_EQ(s.Pilots[0].Latitude, 0);
    EXPECT_EQ(s.Pilots[0].Altitude, 99999);
    EXPECT_EQ(s.Pilots[0].GroundSpeed, 0);
    EXPECT_EQ(s.Pilots[0].Heading, 0);
    EXPECT_EQ(s.Pilots[0].Transponder, "");
    EXPECT_EQ(f.model.ClientTotal[kVatsim], 2147483647);  // held to the count's range
}

TEST(JsonFeed, TheCapsLeaveOutWhatFollowsAndSaySo) {
    Fixture& f = Shared();
    std::vector<std::string> pilots(kMaxPilots + 1, Object(VatsimPilot()));
    const Snapshot& s = f.Read(kVatsim, VatsimFeed(pilots, {}, {}, "20000"));
    EXPECT_EQ(s.PilotCount, 10000);
    EXPECT_EQ(f.model.StatusText, "VATSIM data interpreted (1 client left out)");
    std::vector<std::string> stations(kMaxAtcClients + 2, Object(VatsimStation()));
    const Snapshot& t = f.Read(kVatsim, VatsimFeed({}, stations, {}, "20000"));
    EXPECT_EQ(t.AtcCount, 4000);
    EXPECT_EQ(f.model.StatusText, "VATSIM data interpreted (2 clients left out)");
}

// Bad bodies: a clear status, DownloadFailed, and the previous snapshot
// (the real IVAO capture) exactly as it was.
TEST(JsonFeed, BadBodiesKeepThePreviousSnapshot) {
    SkipWithoutRealData();
    const std::string real = Real("ivao-json/ivao-statistics__whazzup.json");
    std::string nested(100000, '[');
    nested.insert(0, "{\"clients\":");
    struct Case {
        std::string body, status;
    } const cases[] = {
        {"{\"clients\": {\"pilots\": [}", "No data to display (Invalid JSON at byte 24)"},
        {"{\"general\":{},\"pilots\":[{\"a\":1,}]}", "No data to display (Invalid JSON at byte 31)"},
        {"{\"clients\":{\"pilots\":[\"\xFF\"]}}", "No data to display (Invalid JSON at byte 23)"},
        {"{\"clients\":{}} x", "No data to display (Invalid JSON at byte 15)"},
        {nested, "No data to display (Invalid JSON at byte 1034)"},
        {real.substr(0, 81234), "No data to display (Invalid JSON at byte 81234)"},
        {"{\"clients\":{\"pilots\":[]},\"connections\":{\"total\":0}}", "No data to display"},
        {"{\"clients\":7,\"connections\":{\"total\":9}}", "No data to display"},  // neither form: the text parser's
        {"{\"something\":\"else\"}", "No data to display"},
        {"<!DOCTYPE html>\n<html>\n<head><title>Maintenance</title></head>\n<body>\nBack soon\n</body>\n</html>\n",
         "No data to display"},
        {"", "No data to display"},
        {"   \n", "No data to display"},
    };
    Fixture f;
    for (const Case& c : cases) {
        const Snapshot& s = f.Read(kIvao, real);
        ASSERT_EQ(s.PilotCount, 714);
        const std::string first = s.Pilots[0].Callsign, last = s.AtcClients[84].Callsign;
        f.Read(kIvao, c.body);
        SCOPED_TRACE(c.body.substr(0, 60));
        EXPECT_EQ(f.model.StatusText, c.status);
        EXPECT_TRUE(s.DownloadFailed);
        EXPECT_EQ(s.PilotCount, 714);
        EXPECT_EQ(s.AtcCount, 85);
        EXPECT_EQ(s.ObserverCount, 19);
        EXPECT_EQ(f.model.ClientTotal[kIvao], 816);
        EXPECT_EQ(s.UpdateStamp, "20230104160422");
        EXPECT_EQ(s.Pilots[0].Callsign, first);
        EXPECT_EQ(s.AtcClients[84].Callsign, last);
    }
}

// The check that places the error agrees with the parser: a valid text has
// no invalid byte, and every prefix of a valid text ends too early.
TEST(JsonFeed, TheErrorPlaceAgreesWithTheParser) {
    SkipWithoutRealData();
    const std::string real = Real("vatsim-json/qutescoop__issue-148__vatsim-data.json");
    EXPECT_EQ(FirstInvalidJsonByte(real), std::string_view::npos);
    EXPECT_EQ(FirstInvalidJsonByte(" [1, -0.5e+3, \"\\u00e9\\n\", true, false, null, {}] "), std::string_view::npos);
    for (const char* bad : {"[01]", "[1.]", "[\"\\x\"]", "[\"a\x01\"]", "{\"a\" 1}", "[1 2]", "tru", "[\xC0\x80]", "-"})
        EXPECT_NE(FirstInvalidJsonByte(bad), std::string_view::npos) << bad;
    for (size_t cut = 0; cut < real.size(); cut += 97)
        EXPECT_EQ(FirstInvalidJsonByte(std::string_view(real).substr(0, cut)), cut) << cut;
}

// Fixed seeds: 200 truncation points of the largest real capture of each
// network and 200 flipped bytes each. Every outcome is a success or a
// failure that keeps the snapshot before it.
TEST(JsonFeed, TruncatedAndFlippedCapturesNeverHurt) {
    SkipWithoutRealData();
    for (const auto& [path, net] : {std::pair<std::string, std::uint8_t>{"vatsim-json/vatsim-plan-verifier__vatsim-data.json", kVatsim},
                                    {"ivao-json/ivao-statistics__whazzup.json", kIvao}}) {
        const std::string real = Real(path);
        Fixture& f = Shared();
        std::mt19937 random(20261208);
        for (int round = 0; round < 400; ++round) {
            f.Read(net, real);
            const Snapshot& s = f.model.Networks[net];
            const int pilots = s.PilotCount;
            std::string body = real;
            if (round < 200) {
                body.resize(std::uniform_int_distribution<size_t>(0, real.size() - 1)(random));
            } else {
                for (int k = 0; k < 4; ++k)
                    body[std::uniform_int_distribution<size_t>(0, real.size() - 1)(random)] ^=
                        static_cast<char>(1 << std::uniform_int_distribution<int>(0, 7)(random));
            }
            f.Read(net, body);
            if (s.DownloadFailed) {
                EXPECT_EQ(s.PilotCount, pilots) << round;
                EXPECT_TRUE(StartsWith(f.model.StatusText, "No data to display")) << round;
            } else {
                EXPECT_TRUE(StartsWith(f.model.StatusText, f.model.NetworkName[net] + " data interpreted")) << round;
                EXPECT_LE(s.PilotCount, pilots + 1) << round;
            }
        }
    }
}

// The demo feed carries the same traffic as text and as JSON: both readers
// must make the same records of it, wherever the JSON holds the value.
TEST(JsonFeed, TheDemoFeedReadsAlikeAsTextAndAsJson) {
    for (const auto& [net, text, json] :
         {std::tuple<std::uint8_t, const char*, const char*>{kIvao, "demo/ivao/whazzup.txt", "demo/ivao/whazzup.json"},
          {kVatsim, "demo/vatsim/whazzup.txt", "demo/vatsim/vatsim-data.json"}}) {
        Fixture a, b;
        const Snapshot& t = a.Read(net, testsupport::ReadFile(testsupport::SourcePath(text)));
        const Snapshot& j = b.Read(net, testsupport::ReadFile(testsupport::SourcePath(json)));
        SCOPED_TRACE(json);
        ASSERT_GT(t.PilotCount, 400);
        ASSERT_EQ(j.PilotCount, t.PilotCount);
        ASSERT_EQ(j.AtcCount, t.AtcCount);
        EXPECT_EQ(j.ObserverCount, t.ObserverCount);
        EXPECT_EQ(b.model.ClientTotal[net], a.model.ClientTotal[net]);
        EXPECT_EQ(j.UpdateStamp, t.UpdateStamp);
        for (int i = 0; i < t.PilotCount; ++i) {
            const PilotClient &x = t.Pilots[i], &y = j.Pilots[i];
            EXPECT_EQ(y.Callsign, x.Callsign);
            EXPECT_EQ(y.MemberId, x.MemberId);
            EXPECT_EQ(y.Rating, x.Rating);
            EXPECT_FLOAT_EQ(y.Latitude, x.Latitude);
            EXPECT_FLOAT_EQ(y.Longitude, x.Longitude);
            EXPECT_EQ(y.Altitude, x.Altitude);
            EXPECT_EQ(y.GroundSpeed, x.GroundSpeed);
            EXPECT_EQ(y.Heading, x.Heading);
            EXPECT_EQ(y.Course, x.Course);
            EXPECT_EQ(y.Transponder, x.Transponder);
            EXPECT_EQ(y.AircraftFull, x.AircraftFull);
            EXPECT_EQ(y.AircraftType, x.AircraftType);
            EXPECT_EQ(y.Departure, x.Departure);
            EXPECT_EQ(y.Destination, x.Destination);
            EXPECT_EQ(y.Alternate, x.Alternate);
            EXPECT_FLOAT_EQ(y.DestLatitude, x.DestLatitude);
            EXPECT_EQ(y.FlightRules, x.FlightRules);
            // The demo text files impossible times ("1986"); IVAO's seconds cannot.
            if (net == kVatsim || x.DepartureTime.substr(2) < "60") {
                EXPECT_EQ(y.DepartureTime, x.DepartureTime);
            }
            EXPECT_EQ(y.EnrouteTime, x.EnrouteTime);
            EXPECT_EQ(y.Route, x.Route);
            EXPECT_EQ(y.Remarks, x.Remarks);
            EXPECT_EQ(y.LogonTime, x.LogonTime);
            EXPECT_EQ(y.Server, x.Server);
            if (net == kIvao) {
                EXPECT_EQ(y.PersonsOnBoard, x.PersonsOnBoard);
                EXPECT_EQ(y.FlightKind, x.FlightKind);
                EXPECT_EQ(y.Software, x.Software);
                EXPECT_EQ(y.CruiseSpeed, x.CruiseSpeed);
                EXPECT_EQ(y.PlannedAltitude, x.PlannedAltitude);
            } else {
                EXPECT_EQ(y.RealName, x.RealName);
            }
        }
        // The JSON lists ATIS records (VATSIM) and observers (IVAO) apart:
        // stations are matched by their member ids, unique in the demo.
        std::map<std::string, const AtcClient*> stations;
        for (int i = 0; i < j.AtcCount; ++i) stations[j.AtcClients[i].MemberId] = &j.AtcClients[i];
        ASSERT_EQ(stations.size(), static_cast<size_t>(t.AtcCount));
        for (int i = 0; i < t.AtcCount; ++i) {
            const AtcClient& x = t.AtcClients[i];
            ASSERT_TRUE(stations.count(x.MemberId)) << x.Callsign;
            const AtcClient& y = *stations[x.MemberId];
            EXPECT_EQ(y.Callsign, x.Callsign);
            EXPECT_EQ(y.Facility, x.Facility);
            EXPECT_EQ(y.Location, x.Location);
            EXPECT_EQ(y.Frequency, x.Frequency);
            EXPECT_EQ(y.AtisText, x.AtisText);
            EXPECT_EQ(y.Rating, x.Rating);
            if (!Observes(x.Facility)) {
                EXPECT_FLOAT_EQ(y.Latitude, x.Latitude) << x.Callsign;
                EXPECT_FLOAT_EQ(y.Longitude, x.Longitude) << x.Callsign;
            }
        }
    }
}
