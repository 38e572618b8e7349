// The parser on real snapshots of both networks from several years.
//
// The expected counts were counted by hand over each file with awk (lines
// split at "\n" with trailing "\r" removed, FS=":"): pilots = lines with
// field 4 (awk numbering) equal to "PILOT" (at most 1400); ATC = lines with
// "ATC" (at most 700); observers = ATC lines whose upper-cased callsign does
// not end in ATIS, _DEL, _GND, _TWR, _DEP, _APP, _CTR or _FSS, or whose text
// before the first "_" is shorter than 2; total = the CONNECTED CLIENTS
// value minus the FOLME lines after it minus the callsigns ending in ATIS.
// The header values were read off the files (grep '^UPDATE\|^RELOAD').
// They agree with the counts in realdata/SOURCES.md.
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

#include "formats/text.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kestrava;
using networktest::RecordingHooks;

namespace {

struct RealSnapshot {
    const char* path;
    std::uint8_t net;
    int pilots, atc, observers, total;
    const char* update;
    int reload;
};

const RealSnapshot kSnapshots[] = {
    {"ivao-whazzup/IVAO-status@ba46473__whazzup.txt", kIvao, 556, 98, 27, 654, "20110718152759", 1},
    {"ivao-whazzup/IVAO-Library__whazzup.txt", kIvao, 587, 76, 11, 663, "20190523193130", 1},  // 1 FOLME
    {"ivao-whazzup/whazzup-parser__whazzup.txt", kIvao, 990, 136, 42, 1126, "20200515213030", 1},  // 1 FOLME
    {"ivao-whazzup/IVAO-Atc-Timer__whazzup.txt", kIvao, 668, 100, 26, 768, "20200729174559", 1},  // 4 FOLME
    {"vatsim-data-txt/VATSIM.TheoBearman.com__vatsim-data.txt", kVatsim, 348, 38, 5, 376, "20160118132142", 2},  // 10 ATIS
    {"vatsim-data-txt/OffsetXX__vatsim-data.txt", kVatsim, 734, 110, 9, 811, "20170812170108", 2},  // 33 ATIS
    {"vatsim-data-txt/chewwy__vatsim-data.txt", kVatsim, 449, 53, 5, 483, "20180307152015", 2},  // 19 ATIS
    {"vatsim-data-txt/avbot-legacy@8ae7101__vatsim-data.txt", kVatsim, 483, 39, 13, 512, "20191231103318", 2},  // 10 ATIS
    {"vatsim-data-txt/avbot-legacy@a59d884__vatsim-data.txt", kVatsim, 989, 162, 24, 1102, "20200101180011", 2},  // 49 ATIS
    {"whazzup-variants/joinfsmap__whazzup.txt", kIvao, 15, 5, 0, 20, "20190209111659", 1},
    {"whazzup-variants/FlightMap2014__whazzup.txt", kIvao, 2, 0, 0, 2, "20220430065735", 1},
};

// The JSON capture is an array of lines, one string per line; joined with
// "\n" it is the original text.
std::string JsonLinesText(const std::string& json) {
    std::string text;
    size_t at = 0;
    while ((at = json.find('"', at)) != std::string::npos) {
        std::string line;
        for (++at; at < json.size() && json[at] != '"'; ++at) {
            if (json[at] == '\\' && at + 1 < json.size()) ++at;
            line += json[at];
        }
        ++at;
        text += line + "\n";
    }
    return text;
}

const PilotClient* FindPilot(const Snapshot& s, const std::string& callsign) {
    for (int i = 0; i < s.PilotCount; ++i)
        if (s.Pilots[i].Callsign == callsign) return &s.Pilots[i];
    return nullptr;
}

const AtcClient* FindAtc(const Snapshot& s, const std::string& callsign) {
    for (int i = 0; i < s.AtcCount; ++i)
        if (s.AtcClients[i].Callsign == callsign) return &s.AtcClients[i];
    return nullptr;
}

}  // namespace

TEST(RealSnapshots, CountsTotalsAndHeaderValues) {
    SkipWithoutRealData();
    for (const RealSnapshot& r : kSnapshots) {
        std::string text = testsupport::ReadFile(testsupport::RealDataPath(r.path));
        ASSERT_FALSE(text.empty()) << r.path;
        NetworkModel model;
        RecordingHooks hooks(model);
        InterpretSnapshot(model, hooks, r.net, text);
        const Snapshot& s = model.Networks[r.net];
        EXPECT_EQ(s.PilotCount, r.pilots) << r.path;
        EXPECT_EQ(s.AtcCount, r.atc) << r.path;
        EXPECT_EQ(s.ObserverCount, r.observers) << r.path;
        EXPECT_EQ(model.ClientTotal[r.net], r.total) << r.path;
        EXPECT_EQ(s.UpdateStamp, r.update) << r.path;
        EXPECT_EQ(s.ReloadMinutes, r.reload) << r.path;
        EXPECT_EQ(model.StatusText, model.NetworkName[r.net] + " data interpreted") << r.path;
        EXPECT_TRUE(s.DataFresh) << r.path;
    }
}

TEST(RealSnapshots, TheJsonCaptureJoinedIntoLines) {
    SkipWithoutRealData();
    // 355 PILOT and 43 ATC lines, 17 of them observers; 398 clients.
    std::string text = JsonLinesText(
        testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/ivao-whazzup__whazzup-file-lines.json")));
    NetworkModel model;
    RecordingHooks hooks(model);
    InterpretSnapshot(model, hooks, kIvao, text);
    const Snapshot& s = model.Networks[kIvao];
    EXPECT_EQ(s.PilotCount, 355);
    EXPECT_EQ(s.AtcCount, 43);
    EXPECT_EQ(s.ObserverCount, 17);
    EXPECT_EQ(model.ClientTotal[kIvao], 398);
    EXPECT_EQ(s.UpdateStamp, "20200603030835");
}

TEST(RealSnapshots, IvaoRecordsFieldByField) {
    SkipWithoutRealData();
    NetworkModel model;
    RecordingHooks hooks(model);
    InterpretSnapshot(model, hooks, kIvao,
                      testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/whazzup-parser__whazzup.txt")));
    const Snapshot& s = model.Networks[kIvao];

    const PilotClient* p = FindPilot(s, "6VABD");
    ASSERT_NE(p, nullptr);
    EXPECT_FLOAT_EQ(p->Latitude, 11.8543f);
    EXPECT_FLOAT_EQ(p->Longitude, 8.56126f);
    EXPECT_FLOAT_EQ(p->Altitude, 25916);
    EXPECT_FLOAT_EQ(p->GroundSpeed, 445);
    EXPECT_EQ(p->AircraftType, "B738");
    EXPECT_EQ(p->AircraftFull, "B738/M-SDGHIRWXY/S");
    EXPECT_EQ(p->CruiseSpeed, "N0300");
    EXPECT_EQ(p->Departure, "FCBB");
    EXPECT_EQ(p->PlannedAltitude, "F150");
    EXPECT_EQ(p->Destination, "DRRN");
    EXPECT_EQ(p->Server, "EU4");
    EXPECT_EQ(p->Transponder, "7573");
    EXPECT_EQ(p->FlightRules, "I");
    EXPECT_EQ(p->DepartureTime, "1746");
    EXPECT_EQ(p->EnrouteTime, "0035");
    EXPECT_EQ(p->Alternate, "EGSS");
    EXPECT_EQ(p->Remarks, "RMK/TCAS EQUIPPED");
    EXPECT_TRUE(StartsWith(p->Route, "POTAN A604 MISTI"));
    EXPECT_EQ(p->LogonTime, "20200515205656");
    EXPECT_EQ(p->Software, "IvAp 1.6.0");
    EXPECT_EQ(p->AdminRating, 2);
    EXPECT_EQ(p->Rating, 4);
    EXPECT_EQ(p->FlightKind, "S");
    EXPECT_EQ(p->PersonsOnBoard, 125);
    EXPECT_EQ(p->Heading, 340);
    EXPECT_EQ(p->HomeAirport, "");
    EXPECT_EQ(p->DepLatitude, 0);  // no airports loaded

    const AtcClient* a = FindAtc(s, "SBWH_APP");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Facility, FacilityKind::Approach);
    EXPECT_EQ(a->Location, "SBWH");
    EXPECT_EQ(a->Frequency, "129.400");
    EXPECT_FLOAT_EQ(a->Latitude, -19.6244f);
    EXPECT_FLOAT_EQ(a->ReportedLongitude, -43.9719f);
    EXPECT_FLOAT_EQ(a->VisualRange, 200);
    EXPECT_EQ(a->Rating, 5);
    EXPECT_EQ(a->AdminRating, 2);
    EXPECT_EQ(a->AtisText, "eu4.ts.ivao.aero/SBWH_APP");
    EXPECT_EQ(a->LogonTime, "20200515211508");
    EXPECT_EQ(a->Software, "ATCClient 1.1.73 b");

    NetworkModel old;
    RecordingHooks oldHooks(old);
    InterpretSnapshot(old, oldHooks, kIvao,
                      testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/IVAO-status@ba46473__whazzup.txt")));
    const PilotClient* q = FindPilot(old.Networks[kIvao], "AAL199");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->HomeAirport, "LIMC");
    EXPECT_EQ(q->AircraftType, "B752");
    EXPECT_EQ(q->EnrouteTime, "0530");
    EXPECT_EQ(q->FlightKind, "N");
    EXPECT_EQ(q->PersonsOnBoard, 243);
    EXPECT_EQ(q->Heading, 44);
}

TEST(RealSnapshots, VatsimRecordsFieldByFieldWithAirportsAndSectors) {
    SkipWithoutRealData();
    NetworkModel model;
    model.Airports.Add("KJFK", Airport{"KJFK", "KJFK", "New York", "US", 40.6398f, -73.7789f});
    model.Airports.Add("EGLL", Airport{"EGLL", "EGLL", "London", "GB", 51.4706f, -0.461941f});
    model.Airports.Add("KIAD", Airport{"KIAD", "KIAD", "Washington", "US", 38.9445f, -77.4558f});
    model.Sectors.Add("CHI", SectorEntry{"CHI", "Chicago", "US", 41.9f, -87.9f, 7});
    RecordingHooks hooks(model);
    InterpretSnapshot(model, hooks, kVatsim,
                      testsupport::ReadFile(testsupport::RealDataPath("vatsim-data-txt/chewwy__vatsim-data.txt")));
    const Snapshot& s = model.Networks[kVatsim];

    const PilotClient* p = FindPilot(s, "AAL142");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->HomeAirport, "EDDF");
    EXPECT_FALSE(EndsWith(p->RealName, " "));
    EXPECT_EQ(p->AircraftType, "B77W");
    EXPECT_EQ(p->AircraftFull, "B77W/L");
    EXPECT_EQ(p->CruiseSpeed, "483");
    EXPECT_EQ(p->PlannedAltitude, "33000");
    EXPECT_EQ(p->Rating, 1);
    EXPECT_EQ(p->AdminRating, 1);
    EXPECT_EQ(p->Transponder, "1563");
    EXPECT_EQ(p->EnrouteTime, "0608");
    EXPECT_EQ(p->Alternate, "NONE");
    EXPECT_EQ(p->Heading, 171);
    EXPECT_EQ(p->Software, "");
    EXPECT_EQ(p->PersonsOnBoard, 0);
    EXPECT_FLOAT_EQ(p->DepLatitude, 40.6398f);
    EXPECT_FLOAT_EQ(p->DestLongitude, -0.461941f);
    EXPECT_NEAR(p->Course, 51, 1);  // the great circle from New York to London leaves north-east

    const AtcClient* gnd = FindAtc(s, "IAD_GND");
    ASSERT_NE(gnd, nullptr);
    EXPECT_EQ(gnd->Facility, FacilityKind::Ground);
    EXPECT_EQ(gnd->Location, "KIAD");
    EXPECT_FLOAT_EQ(gnd->Latitude, 38.9445f);
    EXPECT_FLOAT_EQ(gnd->ReportedLatitude, 38.94602f);
    EXPECT_EQ(gnd->Rating, 2);

    const AtcClient* atis = FindAtc(s, "EBBR_ATIS");
    ASSERT_NE(atis, nullptr);
    EXPECT_EQ(atis->Facility, FacilityKind::Atis);
    EXPECT_TRUE(StartsWith(atis->AtisText, "$ uk2.voice.vatsim.net/ebbr_atis"));

    const AtcClient* ctr = FindAtc(s, "CHI_35_CTR");
    ASSERT_NE(ctr, nullptr);
    EXPECT_EQ(ctr->Facility, FacilityKind::Centre);
    EXPECT_EQ(ctr->Location, "CHI");
    EXPECT_FLOAT_EQ(ctr->Latitude, 41.9f);
    EXPECT_FLOAT_EQ(ctr->VisualRange, 250);
    EXPECT_EQ(ctr->LogonTime, "20180307143805");
}

TEST(RealSnapshots, CarriageReturnsLeftAtLineEndsDoNotReachTheRecords) {
    SkipWithoutRealData();
    // Every line of this capture ends in "\r\r\n".
    NetworkModel model;
    RecordingHooks hooks(model);
    InterpretSnapshot(model, hooks, kVatsim,
                      testsupport::ReadFile(testsupport::RealDataPath("vatsim-data-txt/OffsetXX__vatsim-data.txt")));
    const Snapshot& s = model.Networks[kVatsim];
    const AtcClient* a = FindAtc(s, "JAX_10_CTR");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Rating, 5);
    EXPECT_EQ(a->LogonTime, "20170812165850");
    EXPECT_EQ(a->Software, "");
    // The header values would carry the "\r" (and RELOAD would not be a number).
    EXPECT_EQ(s.UpdateStamp, "20170812170108");
    EXPECT_EQ(s.ReloadMinutes, 2);
    EXPECT_EQ(model.StatusText, "VATSIM data interpreted");
}

TEST(RealSnapshots, NumbersAreReadAsTheSharedLenientReaderReadsThem) {
    SkipWithoutRealData();
    // Every pilot position, altitude, speed and heading of two captures, and
    // number forms the captures do not have, against ReadNumber.
    std::vector<std::pair<std::string, std::uint8_t>> texts = {
        {testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/whazzup-parser__whazzup.txt")), kIvao},
        {testsupport::ReadFile(testsupport::RealDataPath("vatsim-data-txt/avbot-legacy@a59d884__vatsim-data.txt")), kVatsim}};
    std::string forms = "!GENERAL\nCONNECTED CLIENTS = 9\n";
    int n = 0;
    for (const char* number : {"-0.5", "+3", "1.", ".5", "-.25", "007", "1e3", "2.5E-1", " 5", "\t-7.75",
                               "12345678901234567", "0.1234567890123456789", "45,5", "-", "x1", "99999.5"})
        forms += "N" + std::to_string(++n) + "::name:PILOT::" + number + ":" + number + ":" + number + ":0\n";
    texts.push_back({forms + "end\n", kIvao});
    for (const auto& [text, net] : texts) {
        NetworkModel model;
        RecordingHooks hooks(model);
        InterpretSnapshot(model, hooks, net, text);
        const Snapshot& s = model.Networks[net];
        int record = 0;
        for (const std::string& line : SplitNetworkLines(text)) {
            if (FieldOf(line, 3) != "PILOT" || record >= s.PilotCount) continue;
            const PilotClient& p = s.Pilots[record++];
            ASSERT_EQ(p.Callsign, FieldOf(line, 0));
            EXPECT_EQ(p.Latitude, static_cast<float>(ReadNumber(FieldOf(line, 5)))) << line;
            EXPECT_EQ(p.Longitude, static_cast<float>(ReadNumber(FieldOf(line, 6)))) << line;
            double altitude = std::clamp(ReadNumber(FieldOf(line, 7)), 0.0, 99999.0);
            EXPECT_EQ(p.Altitude, static_cast<float>(altitude)) << line;
            EXPECT_EQ(p.Heading, ToInt16(ReadNumber(FieldOf(line, net == kIvao ? 45 : 38)))) << line;
        }
        EXPECT_EQ(record, s.PilotCount);
        EXPECT_GE(s.PilotCount, 16);
        EXPECT_EQ(model.StatusText, model.NetworkName[net] + " data interpreted");
    }
}
