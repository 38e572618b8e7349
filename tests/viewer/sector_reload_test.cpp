// The sector pair updated from a loopback server and read again while the
// scene is shown, through the window's own steps (UpdateSectorData, then
// ReloadSectors and the scene rebuilt): a controller of a changed sector is
// filled on its new outline, and the old sector's lists are gone. With the
// real VAT-Spy files (skipped when absent) the time from the request to the
// redrawn frame is printed.
#include "gl_fixture.h"
#include "kestrav/map/aeronautical_data.h"
#include "kestrav/network/client_rules.h"
#include "kestrav/network/sector_update.h"
#include "kestrav/network/transfer.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/frame.h"
#include "kestrav/render/scene.h"
#include "globe/gl_text.h"
#include "globe/sector_lists.h"
#include "kestrav/render/window_frame.h"
#include "network/http_test_server.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;
using testsupport::WriteFile;

namespace {

constexpr int kW = 600, kH = 600;

struct NoDisplay : DisplayHooks {};

const char* kDat = "[Countries]\nGermany|ED|Centre\n[FIRs]\nEDGG|Langen Radar||EDGG\nEDWW|Bremen Radar||EDWW\n"
                   "[UIRs]\n";

// EDGG's ring as GeoJSON [lon, lat] pairs; EDWW stays where it is.
std::string Boundaries(const std::string& edggRing) {
    const auto feature = [](const std::string& id, const std::string& ring) {
        return R"({"type":"Feature","properties":{"id":")" + id +
               R"(","oceanic":"0"},"geometry":{"type":"Polygon","coordinates":[)" + ring + "]}}";
    };
    return R"({"type":"FeatureCollection","features":[)" + feature("EDGG", edggRing) + "," +
           feature("EDWW", "[[7,53],[8,53],[8,54],[7,54],[7,53]]") + "]}";
}

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class SectorReload : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<testsupport::GlWindow>(kW, kH);
        ASSERT_TRUE(window->Ready());
        theme = LoadColourTheme("/nonexistent.dc");
        testsupport::PrepareViewerContext(theme);
        glClearColor(0, 0, 0, 0);
        settings.Layers.ShowLatLon = false;
        settings.Layers.ShowATCLabels = false;
        model.ClientTotal[0] = 1;
        model.Networks[0].UpdateStamp = "20261208143200";
        server.Serve("/VATSpy.dat", kDat);
        server.Serve("/map_data/", R"({"current_commit_hash":"new","vatspy_dat_url":")" + server.Url("/VATSpy.dat") +
                                       R"(","fir_boundaries_geojson_url":")" + server.Url("/Boundaries.geojson") +
                                       R"("})");
        options.MapDataUrl = server.Url("/map_data/");
        options.Folder = places.ProgramFolder + "/data";
        options.Transfer.Timeout = std::chrono::milliseconds(20000);
    }
    // The start-up load, compiling as the window does.
    void Load() {
        LoadSectorsAndAirports(model, display, places, [&](int number, const std::vector<GeoPoint>& outline) {
            BuildSectorLists(state.Sectors, number, outline, theme);
        });
    }
    AtcClient& AddCentre(const std::string& callsign, float lat, float lon) {
        Snapshot& s = model.Networks[0];
        AtcClient& a = AtcSlot(s, s.AtcCount++);
        a = AtcClient{};
        a.Callsign = callsign;
        a.MemberId = std::to_string(s.AtcCount);
        a.Facility = FacilityKind::Centre;
        a.ReportedLatitude = a.Latitude = lat;
        a.ReportedLongitude = a.Longitude = lon;
        PlaceStation(model, a);
        return a;
    }
    void Build() {
        state.SceneBuilt = {};
        SceneContext scene{model, display, theme, settings, false, state, model.StatusText};
        BuildNetworkScene(scene, 0);
    }
    void Draw() {
        FrameInputs frame{camera, settings, switches, overlay, theme, 0, kW, kH, &state};
        DrawScene(frame);
    }
    std::array<int, 3> At(float lat, float lon) const {
        const double k = 3.14159265 / 180;
        const double x = std::cos(lat * k) * std::sin((lon - camera.Spin) * k);
        const double y = std::sin((lat + camera.Tilt) * k);
        return window->Pixel(static_cast<int>(kW / 2.0 + x * camera.Zoom * kH),
                             static_cast<int>(kH / 2.0 + y * camera.Zoom * kH));
    }
    bool Filled(float lat, float lon) const {
        const Rgb fill = theme.Get(Colour::CTRFill);
        return Near(At(lat, lon), Bytes(fill.Red, fill.Green, fill.Blue), 6);
    }

    std::unique_ptr<testsupport::GlWindow> window;
    NetworkModel model;
    NoDisplay display;
    ColourTheme theme;
    Settings settings;
    MapSwitches switches;
    OverlayState overlay;
    SceneState state;
    FilePlaces places{testsupport::MakeTempFolder("sector-reload"), {}, {}};
    networktest::TestHttpServer server;
    SectorUpdateOptions options;
    Camera camera{9.5f, -50, 5};
};

}  // namespace

TEST_F(SectorReload, AControllerOfAChangedSectorIsFilledOnItsNewOutline) {
    // The pair there was: EDGG over 49..51N 8..9E under number 7.
    WriteFile(options.Folder + "/firdisplay.dat", "DISPLAY_LIST_7\r\n49:8\r\n49:9\r\n51:9\r\n51:8\r\n49:8\r\n"
                                                  "DISPLAY_LIST_END\r\n");
    WriteFile(options.Folder + "/firlist.dat", "EDGG:Langen Radar:DE:50:8.5:7\r\n");
    Load();
    ASSERT_EQ(state.Sectors.count(7), 1u);
    const unsigned oldFill = state.Sectors[7].Fill;
    const AtcClient& edgg = AddCentre("EDGG_CTR", 30, 30);  // reports far away: placed at its sector
    AddCentre("XXXX_CTR", 50, 10.5f);                        // of no sector: stays where it reported
    EXPECT_FLOAT_EQ(edgg.Longitude, 8.5f);
    Build();
    Draw();
    EXPECT_TRUE(Filled(50, 8.5f));
    EXPECT_FALSE(Filled(50, 10.5f));

    // The update moves EDGG to 49..51N 10..11E.
    server.Serve("/Boundaries.geojson", Boundaries("[[10,49],[11,49],[11,51],[10,51],[10,49]]"));
    options.ShippedSectors = 1;
    const SectorUpdateResult result = UpdateSectorData(options);
    ASSERT_EQ(result.Outcome, SectorUpdateOutcome::Updated) << result.Message;
    const AeronauticalLoad load = ReloadSectors(model, places, state.Sectors, theme);
    EXPECT_TRUE(load.Missing.empty());
    EXPECT_EQ(load.Polygons, 2);
    Build();
    Draw();
    EXPECT_TRUE(Filled(50, 10.5f));
    EXPECT_FALSE(Filled(50, 8.5f));

    // The old number and its lists are gone; the controllers were placed
    // again from where they reported.
    EXPECT_EQ(state.Sectors.count(7), 0u);
    EXPECT_EQ(state.Sectors.size(), 2u);
    EXPECT_FALSE(glIsList(oldFill));
    ASSERT_NE(model.Sectors.Find("EDGG"), nullptr);
    EXPECT_EQ(state.Sectors.count(model.Sectors.Find("EDGG")->Polygon), 1u);
    EXPECT_FLOAT_EQ(edgg.Latitude, model.Sectors.Find("EDGG")->LabelLatitude);
    EXPECT_FLOAT_EQ(edgg.Longitude, model.Sectors.Find("EDGG")->LabelLongitude);
    EXPECT_GT(edgg.Longitude, 10.f);
    const AtcClient& other = model.Networks[0].AtcClients[1];
    EXPECT_FLOAT_EQ(other.Latitude, 50);
    EXPECT_FLOAT_EQ(other.Longitude, 10.5f);
    window->Shot("sector_reload.png");
}

TEST_F(SectorReload, TheRealDataFromTheServerToTheRedrawnFrame) {
    const std::string real = KESTRAVA_REALDATA_DIR "/vatspy";
    if (!std::filesystem::exists(real + "/Boundaries.geojson") || !std::filesystem::exists(real + "/VATSpy.dat"))
        GTEST_SKIP() << "no VAT-Spy data in " << real;
    // The shipped pair and airports, as the program folder holds them.
    std::filesystem::create_directories(options.Folder);
    for (const char* name : {"firdisplay.dat", "firlist.dat", "airports.dat"})
        std::filesystem::copy_file(KESTRAVA_SOURCE_DIR "/data/" + std::string(name),
                                   options.Folder + "/" + name);
    server.Serve("/VATSpy.dat", testsupport::ReadFile(real + "/VATSpy.dat"));
    server.Serve("/Boundaries.geojson", testsupport::ReadFile(real + "/Boundaries.geojson"));
    Load();
    const size_t shipped = model.Sectors.Size();
    options.ShippedSectors = static_cast<int>(shipped);
    options.AirportsPath = options.Folder + "/airports.dat";
    ASSERT_NE(model.Sectors.Find("EDGG"), nullptr);
    const AtcClient& edgg = AddCentre("EDGG_CTR", 0, 0);
    camera = Camera{model.Sectors.Find("EDGG")->LabelLongitude, -model.Sectors.Find("EDGG")->LabelLatitude, 2};
    Build();
    Draw();
    ASSERT_TRUE(Filled(edgg.Latitude, edgg.Longitude));

    using Clock = std::chrono::steady_clock;
    // The transfer alone, for comparison.
    const Clock::time_point fetching = Clock::now();
    FetchText(server.Url("/map_data/"), options.Transfer);
    FetchText(server.Url("/VATSpy.dat"), options.Transfer);
    FetchText(server.Url("/Boundaries.geojson"), options.Transfer);
    const double transfer = Milliseconds(Clock::now() - fetching);

    const Clock::time_point start = Clock::now();
    const SectorUpdateResult result = UpdateSectorData(options);
    const Clock::time_point updated = Clock::now();
    ASSERT_EQ(result.Outcome, SectorUpdateOutcome::Updated) << result.Message;
    const AeronauticalLoad load = ReloadSectors(model, places, state.Sectors, theme);
    Build();
    Draw();
    glFinish();
    const Clock::time_point drawn = Clock::now();
    EXPECT_TRUE(load.Missing.empty());
    EXPECT_EQ(model.Sectors.Size(), static_cast<size_t>(result.Sectors));
    EXPECT_GE(model.Sectors.Size() * 2, shipped);
    EXPECT_EQ(state.Sectors.size(), static_cast<size_t>(result.Polygons));
    EXPECT_FLOAT_EQ(edgg.Latitude, model.Sectors.Find("EDGG")->LabelLatitude);
    EXPECT_TRUE(Filled(edgg.Latitude, edgg.Longitude));
    std::printf("sector update from 127.0.0.1: transfer alone %.0f ms; fetch, convert, check, write %.0f ms; "
                "reload of %d polygons, scene and frame %.0f ms; %d sectors; request to frame %.0f ms\n",
                transfer, Milliseconds(updated - start), load.Polygons, Milliseconds(drawn - updated), result.Sectors,
                Milliseconds(drawn - start));
}
