// metar, taf and shorttaf against a station-file server on 127.0.0.1.
#include "console_fixture.h"

#include "network/http_test_server.h"

#include <gtest/gtest.h>

using namespace kestrava;
using namespace companiontest;
using networktest::TestHttpServer;

namespace {

const std::string kMetar = "/observations/metar/stations/";

class Weather : public Console {
protected:
    void SetUp() override {
        Console::SetUp();
        console.Weather.WeatherUrl = server.Url("/");
        console.Weather.Timeout = std::chrono::seconds(1);
    }
    // One metar command on EDDF answered with `reply`: its transcript, which
    // the fetch must have left with DownloadIdle set again.
    std::string MetarWith(TestHttpServer::Reply reply) {
        server.Serve(kMetar + "EDDF.TXT", std::move(reply));
        const std::string transcript = Run({"metar EDDF"});
        EXPECT_TRUE(model.DownloadIdle);
        return transcript;
    }

    TestHttpServer server;
};

TEST_F(Weather, ReportsFollowTheirDateLineWithCrLfAndShortIndents) {
    server.Serve(kMetar + "EDDF.TXT", "2026/12/08 12:20\nEDDF 081220Z 24010KT 9999 FEW030 08/03 Q1013 NOSIG\n");
    server.Serve("/forecasts/taf/stations/LHBP.TXT",
                 "2026/12/08 11:00\nTAF LHBP 081100Z 0812/0912 27008KT CAVOK\n      TEMPO 0812/0816 BKN020\n"
                 "            BECMG 0900/0902 31012KT\n");
    // A short answer with CR LF line ends and no trailing line end.
    server.Serve("/forecasts/shorttaf/stations/EDDM.TXT", "12:00\r\nEDDM 0812/0821 VRB02KT 5000 BR");
    EXPECT_EQ(Run({"metar eddf", "taf LHBP", "staf eddm"}),
              "\n> metar EDDF\nEDDF 081220Z 24010KT 9999 FEW030 08/03 Q1013 NOSIG\n"
              "\n> taf LHBP\nTAF LHBP 081100Z 0812/0912 27008KT CAVOK\n TEMPO 0812/0816 BKN020\n"
              "  BECMG 0900/0902 31012KT\n"
              "\n> shorttaf EDDM\nEDDM 0812/0821 VRB02KT 5000 BR\n");
    EXPECT_EQ(server.Requests(kMetar + "EDDF.TXT"), 1);
    EXPECT_EQ(server.Requests("/forecasts/taf/stations/LHBP.TXT"), 1);
    EXPECT_EQ(server.Requests("/forecasts/shorttaf/stations/EDDM.TXT"), 1);
    EXPECT_TRUE(model.DownloadIdle);
}

TEST_F(Weather, MissingEmptyOrForeignFilesHaveNoReport) {
    const std::string none = "\n> metar EDDF\nNo METAR for EDDF\n";
    EXPECT_EQ(MetarWith({404, "Not Found"}), none);
    EXPECT_EQ(MetarWith({200, ""}), none);
    EXPECT_EQ(MetarWith({200, "2026/12/08 12:20"}), none);     // 16 bytes, no line break
    EXPECT_EQ(MetarWith({200, "2026/12/08 12:20\n"}), none);   // 17: the date line alone
    EXPECT_EQ(MetarWith({200, "2026/12/08 12:20\nLHBP 081220Z 27008KT CAVOK\n"}), none);
    EXPECT_EQ(MetarWith({200, std::string("2026/12/08 12:20\n\0\0EDDF", 23)}), none);
    // NULs inside a report stay the report's.
    EXPECT_EQ(MetarWith({200, std::string("2026/12/08 12:20\nEDDF \0 NIL\n", 28)}),
              std::string("\n> metar EDDF\nEDDF \0 NIL\n", 25));
}

TEST_F(Weather, TransferFailuresAreDescribed) {
    EXPECT_EQ(MetarWith({503, "busy"}), "\n> metar EDDF\nNo METAR for EDDF (HTTP error 503)\n");
    EXPECT_EQ(MetarWith({200, "2026/12/08 12:20\nEDDF " + std::string(70000, 'x')}),
              "\n> metar EDDF\nNo METAR for EDDF (Response larger than 65536 bytes refused)\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MetarWith({200, "2026/12/08 12:20\nEDDF NIL\n", std::chrono::milliseconds(3000)}),
              "\n> metar EDDF\nNo METAR for EDDF (Request timed out)\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    // Nobody listening: the transfer's own words.
    console.Weather.WeatherUrl = "http://127.0.0.1:9";
    const std::string refused = Run({"taf EDDF"});
    EXPECT_EQ(refused.rfind("\n> taf EDDF\nNo TAF for EDDF (", 0), 0u) << refused;
    EXPECT_EQ(refused.substr(refused.size() - 2), ")\n");
    EXPECT_TRUE(model.DownloadIdle);
}

TEST_F(Weather, CodesOutsideTheIndexOrNotAlphanumericAreNeverFetched) {
    model.Airports.Add("ED-F", Airport{"ED-F", "Odd", "Odd", "DE", 50, 8});
    EXPECT_EQ(Run({"metar ed-f", "taf ZZZZ", "metar EDDFX", "metar EDD"}),
              "\n> metar ED-F\nUnrecognized ICAO code\n\n> taf ZZZZ\nUnrecognized ICAO code\n");
    EXPECT_EQ(server.Requests(kMetar + "ED-F.TXT"), 0);
    EXPECT_EQ(server.Requests("/forecasts/taf/stations/ZZZZ.TXT"), 0);
}

}  // namespace
