// The console's dispatch and every command over the Frankfurt snapshot of
// console_fixture: exact transcripts ("\n" for each CR LF) and the map
// requests each command made.
#include "console_fixture.h"

#include "kestrav/companion/commands.h"

#include <gtest/gtest.h>

using namespace kestrava;
using namespace companiontest;

namespace {

const std::string kHelp =
    "Commands: act atis dist find fp help icao info members metar prof refresh staf stat sups taf traffic unwatch "
    "update vis watch watches";

class Commands : public Console {
protected:
    void SetUp() override {
        Console::SetUp();
        // Nothing here may reach the weather server: a refused port, should
        // a code slip through.
        console.Weather.WeatherUrl = "http://127.0.0.1:9";
        // VATSIM: one pilot over the Atlantic.
        PilotClient& ual = model.Networks[kVatsim].Pilots[0];
        ual.Callsign = "UAL1";
        ual.MemberId = "1234567";
        ual.RealName = "Dee Jones";
        ual.Latitude = 40;
        ual.Longitude = -70;
        ual.Altitude = 35000;
        ual.GroundSpeed = 450;
        ual.Heading = 90;
        ual.Rating = 1;
        ual.Departure = "KJFK";
        ual.Destination = "EDDF";
        ual.AircraftType = "B77W";
        ual.LogonTime = "20261208120000";
        model.Networks[kVatsim].PilotCount = 1;
        model.Networks[kVatsim].UpdateStamp = "20261208123100";
        model.ClientTotal[kVatsim] = 1;
    }
};

TEST_F(Commands, LinesAreNormalisedEchoedOrIgnoredSilently) {
    EXPECT_EQ(Run({"help", "help me", "frobnicate EDDF", "icao EDD", "icao  EDDF", "info", "stat x", "traffic DEU",
                   "dist EDDF", "dist EDDF LHBP KJFK"}),
              "\n> help\n" + kHelp + "\n");
    // The abbreviations, any case, replace only their prefix; the recall
    // line is the line as typed.
    EXPECT_EQ(Run({"WX zz!z", "staf abcd", "Inf n123"}),
              "\n> metar ZZ!Z\nUnrecognized ICAO code\n"
              "\n> shorttaf ABCD\nUnrecognized ICAO code\n"
              "\n> info N123\nN123 is Cal Free  (777777)\n 0 ft, 5 kts, hdg 000\xB0, online for 00:30\n");
    EXPECT_EQ(console.RecallLine, "Inf n123");
    EXPECT_EQ(host.calls, std::vector<std::string>{"centre N123 50 8.5"});
    // No download may run for the weather commands and refresh.
    model.DownloadIdle = false;
    EXPECT_EQ(Run({"metar EDDF", "refresh"}), "");
    model.DownloadIdle = true;
    // The data commands need one network with data; the others do not.
    model.CurrentNetwork = kMerged;
    EXPECT_EQ(Run({"info DLH123", "stat", "find ann", "help"}), "\n> help\n" + kHelp + "\n");
    model.CurrentNetwork = kIvao;
    model.ClientTotal[kIvao] = 0;
    EXPECT_EQ(Run({"info DLH123", "act EDDF"}), "");
}

TEST_F(Commands, UpdateSectorsAsksTheWindowAtAnyTimeAndSaysARefusal) {
    // No data shown and a download running: the update is asked all the same.
    model.ClientTotal[kIvao] = 0;
    model.DownloadIdle = false;
    EXPECT_EQ(Run({"update sectors"}), "\n> update sectors\nUpdating sector data - the status line shows the outcome\n");
    EXPECT_EQ(host.calls, std::vector<std::string>{"update sectors"});
    // Other forms are no command.
    EXPECT_EQ(Run({"update", "update sector", "update sectors now", "updatesectors"}), "");
    EXPECT_EQ(host.calls.size(), 1u);
    // Any case; a refusal answers with the window's reason.
    host.updates = [&] {
        model.StatusText = "A sector update is running already";
        return false;
    };
    EXPECT_EQ(Run({"UPDATE Sectors"}), "\n> update sectors\nNo sector update: A sector update is running already\n");
    EXPECT_EQ(host.calls.size(), 2u);
}

TEST_F(Commands, IcaoMarksAndCentresAndDistWorksWithoutData) {
    model.Networks[kIvao].PilotCount = 0;
    model.ClientTotal[kIvao] = 0;
    EXPECT_EQ(Run({"icao lhbp", "icao ZZZZ", "dist eddf KJFK", "dist EDDF NOWHERE"}),
              "\n> icao LHBP\nLHBP is Budapest Liszt Ferenc (Budapest, HU)\n"
              "\n> icao ZZZZ\nUnrecognized ICAO code\n"
              "\n> dist EDDF KJFK\nDistance: 3340.34 nm\n"
              "\n> dist EDDF NOWHERE\nCallsigns / codes not found\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"marker LHBP 47.5 19.25", "centre LHBP 47.5 19.25 zoom"}));
}

TEST_F(Commands, DistInTheComparisonViewSearchesBothNetworks) {
    model.CurrentNetwork = kMerged;
    EXPECT_EQ(Run({"dist DLH123 UAL1", "dist EDDF_APP EDDF"}),
              "\n> dist DLH123 UAL1\nDistance: 3230.25 nm\n"
              // A controller by the position it reports, not the one shown.
              "\n> dist EDDF_APP EDDF\nDistance: 30.02 nm\n");
}

TEST_F(Commands, AtisFlightPlanAndInfo) {
    model.Networks[kIvao].AtcClients[1].AtisText = "^\xA7^\xA7$x";
    EXPECT_EQ(Run({"atis EDDF_TWR", "atis EDDF_APP", "atis EDGG_CTR", "atis ZZZZ_TWR"}),
              "\n> atis EDDF_TWR\neu2.ts.ivao.aero/EDDF_TWR\nFrankfurt Tower information ECHO\nQNH 1013\n"
              "\n> atis EDDF_APP\n"  // separators and "$" pieces only: just the empty line
              "\n> atis EDGG_CTR\nNo ATIS available\n"
              "\n> atis ZZZZ_TWR\nZZZZ_TWR is not online\n");
    // The filed "0450" is padded to N0450, 35000 ft becomes F350.
    EXPECT_EQ(Run({"fp dlh123", "fp N123", "fp X1"}),
              "\n> fp DLH123\n(FPL-DLH123-IS\n-B738/M-SDFGRWY/S\n-EDDF1200\n-N0450F350 TOBAK Y180\n"
              "-LHBP0130 LHDC\n-PBN/A1)\n"
              "\n> fp N123\nFlight plan not sent yet\n"
              "\n> fp X1\nX1 is not online\n");
    // One member id logged in as observer and as pilot: both, the ATC
    // record first, the map centred on each in turn.
    EXPECT_EQ(Run({"info 123456"}),
              "\n> info 123456\nAB_OBS is Ann Example C1 (123456)\n On , range 0 nm, online for 01:30\n"
              "\nDLH123 is Ann Example FC (123456)\n Route EDDF-LHBP with B738, 150 POB\n"
              " 364 ft, 0 kts, hdg 070\xB0, online for 00:30\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"centre AB_OBS 50.25 8.5", "centre DLH123 50 8.5"}));
    EXPECT_EQ(Run({"info baw1"}), "\n> info BAW1\nBAW1 is Bea Smith  (654321)\n Route LHBP-EDDF with B738\n"
                                  " 12000.5 ft, 250 kts, hdg 005\xB0, online for 00:30\n");
    model.CurrentNetwork = kVatsim;
    EXPECT_EQ(Run({"info UAL1", "info NOBODY"}),
              "\n> info UAL1\nUAL1 is Dee Jones (1234567)\n Route KJFK-EDDF with B77W\n"
              " 35000 ft, 450 kts, hdg 090\xB0, online for 00:31\n"
              "\n> info NOBODY\nNOBODY is not online\n");
}

TEST_F(Commands, FiledSpeedAndLevelArePaddedNotPrefixed) {
    const std::pair<const char*, const char*> speeds[] = {
        {"450", "N0450"}, {"0450", "N0450"}, {"45", "N0045"}, {"1200", "N1200"}, {"12000", "N9999"},
        {"N0450", "N0450"}, {"M079", "M079"}, {"9", "9"}, {"", ""}};
    for (const auto& [filed, shown] : speeds) EXPECT_EQ(companion::FiledSpeed(filed), shown) << filed;
    const std::pair<const char*, const char*> levels[] = {
        {"35000", "F350"}, {"5000", "F050"}, {"350", "F350"}, {"0350", "F350"}, {"50", "F050"},
        {"FL350", "FL350"}, {"A045", "A045"}, {"9", "9"}, {"35050", "F350"}, {"35150", "F352"}};
    for (const auto& [filed, shown] : levels) EXPECT_EQ(companion::FiledLevel(filed), shown) << filed;
}

TEST_F(Commands, ProfilesOpenOnlyCheckedAddresses) {
    const std::string base = "open https://www.ivao.aero/members/person/details.asp?ID=";
    EXPECT_EQ(Run({"prof dlh123", "prof 123456", "prof 2000000", "prof 99999", "prof 2E6"}),
              "\n> prof DLH123\nOpened profile of 123456\n"
              "\n> prof 123456\nOpened profile of 123456\n"
              "\n> prof 2000000\nOpened profile of 2000000\n"
              "\n> prof 99999\n99999 is not online\n"
              "\n> prof 2E6\nCould not open profile of 2E6\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{base + "123456", base + "123456", base + "2000000"}));
    host.calls.clear();
    host.opens = false;
    EXPECT_EQ(Run({"prof BAW1"}), "\n> prof BAW1\nCould not open profile of 654321\n");
    EXPECT_EQ(host.calls, std::vector<std::string>{base + "654321"});
    host.calls.clear();
    model.Networks[kIvao].ProfileUrl = "file:///etc/passwd";
    EXPECT_EQ(Run({"prof BAW1"}), "\n> prof BAW1\nCould not open profile of 654321\n");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Commands, StatSupsVisMembersAndFind) {
    // The client total counts more clients than the caps kept: the ATC
    // count comes from the controller records.
    model.ClientTotal[kIvao] = 2100;
    EXPECT_EQ(Run({"stat", "sups"}),
              "\n> stat\nIVAO data of 1230Z - 2100 clients (4 ATC, 3 planes, 1 observers)\n"
              "\n> sups\nEDGG_CTR Di Centre\n\nTotal: 1 SUP/ADM on IVAO\n");
    // A pilot sees the pilots within 40 nm and the controllers whose own
    // range reaches it (EDDF_APP and EDGG_CTR by their reported positions).
    EXPECT_EQ(Run({"vis DLH123"}),
              "\n> vis DLH123\nEDDF_TWR Bo Tower (0.0 nm)\nEDDF_APP Cy Approach (30.0 nm)\n"
              "EDGG_CTR Di Centre (180.1 nm)\nBAW1 Bea Smith (36.0 nm)\nN123 Cal Free (0.0 nm)\n"
              "\nTotal: 5 clients in visual range of DLH123\n");
    EXPECT_EQ(Run({"members de", "members HU", "find M\xDCL", "find zz"}),
              "\n> members DE\nEDDF_TWR Bo Tower (222222)\nEDDF_APP Cy Approach (333333)\n"
              "EDGG_CTR Di Centre (444444)\nEDMM_CTR Ed M\xFCller (555555)\nDLH123 Ann Example EDDM (123456)\n"
              "\nTotal: 5 members from DE on IVAO\n"
              "\n> members HU\nNo members from HU on IVAO\n"
              "\n> find m\xFCl\nEDMM_CTR Ed M\xFCller (555555)\n\nTotal: 1 matches found\n"
              "\n> find zz\nSearch string does not match with any callsign / name\n");
    model.CurrentNetwork = kVatsim;
    EXPECT_EQ(Run({"vis UAL1", "stat"}), "\n> vis UAL1\nNo clients in visual range of UAL1\n"
                                         "\n> stat\nVATSIM data of 1231Z - 1 clients (0 ATC, 1 planes, 0 observers)\n");
}

TEST_F(Commands, ActivityAndTrafficAroundAnAirport) {
    // Tower and approach by their shown positions, the nearest centre once
    // (by shown positions: EDGG_CTR, though it reports from farther away
    // than EDMM_CTR), pilots leaving or bound within 50 nm, the one without
    // a plan, then the observer.
    EXPECT_EQ(Run({"act eddf", "act KJFK", "act ZZ9Z"}),
              "\n> act EDDF\nEDDF_TWR Bo Tower\nEDDF_APP Cy Approach\nEDGG_CTR Di Centre\n"
              "DLH123 Ann Example (outbound)\nBAW1 Bea Smith (inbound)\nN123 Cal Free (outbound)\nAB_OBS Ann Example\n"
              "\nTotal: 7 clients in vicinity of EDDF (3 ATC, 3 pilots, 1 observers)\n"
              "\n> act KJFK\nNo clients in vicinity of KJFK\n"
              "\n> act ZZ9Z\nUnrecognized ICAO code\n");
    EXPECT_EQ(host.calls, std::vector<std::string>{"centre EDDF 50 8.5 zoom"});
    EXPECT_EQ(Run({"traffic EDDF", "traffic lhbp", "traffic HU", "traffic US", "traffic KJFK"}),
              "\n> traffic EDDF\nDLH123 Ann Example (EDDF-LHBP, B738, departing)\nN123 Cal Free (no fp)\n"
              "BAW1 Bea Smith (LHBP-EDDF, B738, 36.0 nm)\n\nTotal: 3 aircraft (2 outbound, 1 inbound)\n"
              "\n> traffic LHBP\nBAW1 Bea Smith (LHBP-EDDF, B738, 461.6 nm)\n"
              "DLH123 Ann Example (EDDF-LHBP, B738, landed)\n\nTotal: 2 aircraft (1 outbound, 1 inbound)\n"
              "\n> traffic HU\nDLH123 Ann Example (EDDF-LHBP, B738)\nBAW1 Bea Smith (LHBP-EDDF, B738)\n"
              "\nTotal: 2 movements in HU\n"
              "\n> traffic US\nNo movements in US\n"
              "\n> traffic KJFK\nNo traffic at KJFK\n");
}

TEST_F(Commands, OddInputIsAnsweredByTheRules) {
    const std::string longName(100000, 'A');
    EXPECT_EQ(Run({"info " + longName}), "\n> info " + longName + "\n" + longName + " is not online\n");
    EXPECT_EQ(Run({std::string(100000, 'x'), "find " + std::string(100000, 'q')}),
              "\n> find " + std::string(100000, 'q') + "\nSearch string does not match with any callsign / name\n");
    // Bytes of a non-Latin script, as the window would never pass them.
    EXPECT_EQ(Run({"info \xD0\x9F\xD1\x80", "icao \xD0\x9F\xD1\x80"}),
              "\n> info \xD0\x9F\xD1\x80\n\xD0\x9F\xD1\x80 is not online\n"
              "\n> icao \xD0\x9F\xD1\x80\nUnrecognized ICAO code\n");
    model.Networks[kIvao].UpdateStamp = "2026120";
    model.Networks[kIvao].LastDownload = model.Now();
    EXPECT_EQ(Run({"stat", "refresh"}), "\n> stat\nIVAO data of Z - 8 clients (4 ATC, 3 planes, 1 observers)\n"
                                        "\n> refresh\nPlease wait at least 60 seconds between two downloads\n");
}

}  // namespace

TEST_F(Commands, WatchUnwatchAndWatchesWorkAtAnyTimeAndRefuseBadCodes) {
    model.ClientTotal[kIvao] = 0;
    EXPECT_EQ(Run({"watches"}), "\n> watches\nNothing watched\n");
    EXPECT_EQ(Run({"watch eddf", "watch EDDF", "watch EDGG"}),
              "\n> watch EDDF\nWatching EDDF - ATC opening there notifies\n"
              "\n> watch EDDF\nEDDF is watched already\n"
              "\n> watch EDGG\nWatching EDGG - ATC opening there notifies\n");
    EXPECT_EQ(Run({"watches"}), "\n> watches\nEDDF\nEDGG\n\nTotal: 2 watched\n");
    EXPECT_EQ(Run({"watch ABCDEFGHIJK", "watch ED-DF", "watch"}),
              "\n> watch ABCDEFGHIJK\nA watch code has 1 to 10 letters and digits\n"
              "\n> watch ED-DF\nA watch code has only letters and digits\n"
              "\n> watch\nA watch code has 1 to 10 letters and digits\n");
    EXPECT_EQ(Run({"unwatch eddf", "unwatch LFPG"}), "\n> unwatch EDDF\nNo longer watching EDDF\n"
                                                     "\n> unwatch LFPG\nNot watched: LFPG\n");
    EXPECT_EQ(model.Watches.Keys(), std::vector<std::string>{"EDGG"});
    EXPECT_EQ(Run({"watch a b"}), "");
}
