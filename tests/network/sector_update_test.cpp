// The sector update against a loopback server: a new commit fetched,
// converted and written; the same commit fetched no further; every failed
// step keeping the pair there was.
#include <gtest/gtest.h>

#include <functional>

#include "formats/text.h"
#include "kestrav/network/sector_update.h"
#include "network/http_test_server.h"
#include "support/test_support.h"

namespace kestrava {
namespace {

const char* kDat = "[Countries]\nGermany|ED|Centre\n[FIRs]\nEDGG|Langen Radar||EDGG\nEDWW|Bremen Radar||EDWW\n"
                   "[UIRs]\nEURW|Europe West|EDGG,EDWW\n";

std::string Feature(const std::string& id, const std::string& ring) {
    return R"({"type":"Feature","properties":{"id":")" + id +
           R"(","oceanic":"0"},"geometry":{"type":"Polygon","coordinates":[)" + ring + "]}}";
}

std::string Boundaries(const std::string& edggRing) {
    return R"({"type":"FeatureCollection","features":[)" + Feature("EDGG", edggRing) + "," +
           Feature("EDWW", "[[7,52],[11,52],[11,54],[7,54],[7,52]]") + "]}";
}

class SectorUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::MakeTempFolder("sector-update");
        options_.Folder = folder_;
        options_.MapDataUrl = server_.Url("/map_data/");
        options_.ShippedSectors = 2;
        options_.Transfer.Timeout = std::chrono::milliseconds(5000);
        server_.Serve("/VATSpy.dat", kDat);
        server_.Serve("/Boundaries.geojson", Boundaries("[[8,49],[9,49],[9,51],[8,51],[8,49]]"));
        ServeMapData("first", server_.Url("/VATSpy.dat"), server_.Url("/Boundaries.geojson"));
    }

    void ServeMapData(const std::string& hash, const std::string& dat, const std::string& json) {
        server_.Serve("/map_data/", R"({"current_commit_hash":")" + hash + R"(","vatspy_dat_url":")" + dat +
                                        R"(","fir_boundaries_geojson_url":")" + json + R"("})");
    }

    std::string Pair() const {
        return testsupport::ReadFile(folder_ + "/firdisplay.dat") + "|" + testsupport::ReadFile(folder_ + "/firlist.dat") +
               "|" + testsupport::ReadFile(folder_ + "/sectordata.hash");
    }

    networktest::TestHttpServer server_;
    std::string folder_;
    SectorUpdateOptions options_;
};

TEST_F(SectorUpdate, NewCommitIsWrittenAndTheSameOneIsNotFetchedAgain) {
    SectorUpdateResult first = UpdateSectorData(options_);
    ASSERT_EQ(first.Outcome, SectorUpdateOutcome::Updated) << first.Message;
    EXPECT_EQ(first.Sectors, 2);
    EXPECT_EQ(testsupport::ReadFile(folder_ + "/firlist.dat"),
              "EDGG:Langen Radar:ZZ:50:8.5:100\r\nEDWW:Bremen Radar:ZZ:53:9:101\r\n");
    EXPECT_NE(testsupport::ReadFile(folder_ + "/firdisplay.dat").find("DISPLAY_LIST_100\r\n49:8\r\n"), std::string::npos);
    EXPECT_EQ(testsupport::ReadFile(folder_ + "/sectordata.hash"), "first\n");

    SectorUpdateResult same = UpdateSectorData(options_);
    EXPECT_EQ(same.Outcome, SectorUpdateOutcome::UpToDate);
    EXPECT_EQ(same.Message, "Sector data are up to date");
    EXPECT_EQ(server_.Requests("/map_data/"), 2);
    EXPECT_EQ(server_.Requests("/VATSpy.dat"), 1);
    EXPECT_EQ(server_.Requests("/Boundaries.geojson"), 1);

    // A new commit moves EDGG's outline.
    server_.Serve("/Boundaries.geojson", Boundaries("[[1,40],[2,40],[2,42],[1,42],[1,40]]"));
    ServeMapData("second", server_.Url("/VATSpy.dat"), server_.Url("/Boundaries.geojson"));
    SectorUpdateResult second = UpdateSectorData(options_);
    ASSERT_EQ(second.Outcome, SectorUpdateOutcome::Updated) << second.Message;
    EXPECT_EQ(server_.Requests("/Boundaries.geojson"), 2);
    EXPECT_NE(testsupport::ReadFile(folder_ + "/firdisplay.dat").find("DISPLAY_LIST_100\r\n40:1\r\n"), std::string::npos);
    EXPECT_EQ(testsupport::ReadFile(folder_ + "/sectordata.hash"), "second\n");
}

TEST_F(SectorUpdate, EachFailedStepKeepsThePairAndSaysWhichStep) {
    ASSERT_EQ(UpdateSectorData(options_).Outcome, SectorUpdateOutcome::Updated);
    const std::string good = Pair();
    const std::string dat = server_.Url("/VATSpy.dat"), json = server_.Url("/Boundaries.geojson");
    const struct {
        std::function<void()> Arrange;
        std::string Message;
    } cases[] = {
        {[&] { server_.Serve("/map_data/", "<html>"); }, "Sector update failed (reading the map data): the answer is not a JSON object"},
        {[&] { server_.Serve("/map_data/", R"({"current_commit_hash":"x"})"); },
         "Sector update failed (reading the map data): the answer has no \"vatspy_dat_url\""},
        {[&] { ServeMapData("x", "file:///etc/passwd", json); },
         "Sector update failed (reading the map data): \"file:///etc/passwd\" is not an http or https address"},
        {[&] { server_.Serve("/map_data/", {500, "down"}); }, "Sector update failed (fetching the map data): "},
        {[&] { ServeMapData("x", server_.Url("/missing.dat"), json); }, "Sector update failed (fetching VATSpy.dat): "},
        {[&] { ServeMapData("x", dat, server_.Url("/missing.json")); }, "Sector update failed (fetching Boundaries.geojson): "},
        {[&] {
             server_.Serve("/bad.json", "[1]");
             ServeMapData("x", dat, server_.Url("/bad.json"));
         },
         "Sector update failed (converting): Boundaries.geojson is not a GeoJSON object"},
        {[&] {
             server_.Serve("/bad.dat", "[FIRs]\nEDGG\n");
             ServeMapData("x", server_.Url("/bad.dat"), json);
         },
         "Sector update failed (converting): VATSpy.dat line 2: a [FIRs] line needs 4 fields"},
        {[&] {
             ServeMapData("x", dat, json);
             options_.ShippedSectors = 5;
         },
         "Sector update failed (checking): 2 sectors, fewer than half the 5 shipped"},
        {[&] {
             options_.ShippedSectors = 2;
             options_.MapDataUrl = "ftp://127.0.0.1/map_data/";
         },
         "Sector update failed (reading the map data): \"ftp://127.0.0.1/map_data/\" is not an http or https address"},
    };
    for (const auto& c : cases) {
        c.Arrange();
        SectorUpdateResult result = UpdateSectorData(options_);
        EXPECT_EQ(result.Outcome, SectorUpdateOutcome::Failed) << c.Message;
        EXPECT_EQ(result.Message.substr(0, c.Message.size()), c.Message);
        EXPECT_EQ(Pair(), good) << c.Message;
    }
}

}  // namespace
}  // namespace kestrava
