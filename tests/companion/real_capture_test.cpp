// The console over a real IVAO capture (2019, written in UTF-8) with the
// shipped airport and sector files. The expected lines were read off the
// capture's own lines by hand (fields numbered from 0): AAL1351 and
// LHBP_TWR as printed by awk -F:, the counts as in the parser's real-data
// tests (76 ATC records, 11 of them observers, no ATIS), the one pilot bound
// for LHBP at 39.5388N 19.9788E.
#include "console_fixture.h"

#include "formats/sector_files.h"
#include "kestrav/network/whazzup.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrava;
using namespace companiontest;

namespace {

TEST(RealCapture, AnswersFromAnIvaoSnapshot) {
    SkipWithoutRealData();
    NetworkModel model;
    ASSERT_TRUE(ReadAirportFile(testsupport::SourcePath("data/airports.dat"), model.Airports));
    ASSERT_TRUE(ReadSectorFile(testsupport::SourcePath("data/firlist.dat"), model.Sectors));
    DisplayHooks display;
    InterpretSnapshot(model, display, kIvao,
                      testsupport::ReadFile(testsupport::RealDataPath("ivao-whazzup/IVAO-Library__whazzup.txt")));
    ASSERT_EQ(model.StatusText, "IVAO data interpreted");
    RecordingHost host;
    Companion console{model, host, host, {}, {}};
    console.Weather.WeatherUrl = "http://127.0.0.1:9";
    for (const char* line : {"stat", "fp AAL1351", "info aal1351", "atis LHBP_TWR", "info LHBP_TWR", "traffic LHBP"})
        ReadText(console, line);
    EXPECT_EQ(host.Take(),
              "\n> stat\nIVAO data of 1931Z - 663 clients (65 ATC, 587 planes, 11 observers)\n"
              "\n> fp AAL1351\n(FPL-AAL1351-IS\n-MD82/M-SDFGHRWY/C\n-KTPA1930\n"
              "-N0453F320 SYKES8 SIMMR DCT CHRGE Y280 REDFN Q105 HRV J58 AEX DCT PNUTS WHINY4\n-KDFW0217 KIAH\n"
              "-PBN/A1B2 DOF/190523 REG/N903RA EET/KZMA0000 KZJX0023 KZHU0044 KZFW0129 OPR/AAL PER/C RMK/TCAS)\n"
              "\n> info AAL1351\nAAL1351 is 313847 FFO (313847)\n Route KTPA-KDFW with MD82, 161 POB\n"
              " 32185 ft, 443 kts, hdg 310\xB0, online for 01:20\n"
              "\n> atis LHBP_TWR\neu17.ts.ivao.aero/LHBP_TWR\nBudapest Tower information DELTA recorded at 1908z\n"
              " LHBP 231900Z 31014KT CAVOK 14/12 Q1013 NOSIG \nARR RWY 31L / DEP RWY 31L / TRL FL120 / TA 10000FT\n"
              "RW 13L/31R closed ---info  Visual contact via TowerView --\nCONFIRM ATIS INFO DELTA on initial contact\n"
              "\n> info LHBP_TWR\nLHBP_TWR is 544975 S3 (544975)\n On 118.100, range 60 nm, online for 00:52\n"
              "\n> traffic LHBP\nAEE2510 265424 (LGKR-LHBP, A320, 474.8 nm)\n\nTotal: 1 aircraft (0 outbound, 1 inbound)\n");
    // Centred on the pilot, then on the tower at its airport.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"centre AAL1351 29.1067 -89.002", "centre LHBP_TWR 47.43018 19.26239"}));
}

}  // namespace
