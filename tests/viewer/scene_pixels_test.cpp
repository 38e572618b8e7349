#include "gl_fixture.h"
#include "kestrav/network/values.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/frame.h"
#include "globe/geography.h"
#include "globe/gl_text.h"
#include "kestrav/render/scene.h"
#include "globe/sector_lists.h"
#include "kestrav/render/popups.h"
#include "kestrav/render/window_frame.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr int kW = 600, kH = 600;

struct NoDisplay : DisplayHooks {};

class ScenePixels : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<testsupport::GlWindow>(kW, kH);
        ASSERT_TRUE(window->Ready());
        theme = LoadColourTheme("/nonexistent.dc");
        testsupport::PrepareViewerContext(theme);
        glClearColor(0, 0, 0, 0);
        settings.Layers.ShowActualHeading = true;
        settings.Layers.ShowLatLon = false;
        settings.Layers.ShowPlaneLabels = false;  // labels would cover the symbols
        model.ClientTotal[0] = 10;
        model.Networks[0].UpdateStamp = "20201231143200";
    }
    PilotClient& AddPilot(const std::string& id, float lat, float lon, float speed, int heading) {
        Snapshot& s = model.Networks[0];
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p = PilotClient{};
        p.Callsign = "TEST" + id;
        p.MemberId = id;
        p.Latitude = lat;
        p.Longitude = lon;
        p.GroundSpeed = speed;
        p.Heading = static_cast<std::int16_t>(heading);
        return p;
    }
    AtcClient& AddAtc(const std::string& id, int facility, float lat, float lon, const std::string& location) {
        Snapshot& s = model.Networks[0];
        AtcClient& a = s.AtcClients[static_cast<size_t>(s.AtcCount++)];
        a = AtcClient{};
        a.Callsign = location + "_X";
        a.MemberId = id;
        a.Facility = static_cast<FacilityKind>(facility);
        a.Latitude = lat;
        a.Longitude = lon;
        a.Location = location;
        return a;
    }
    void Build(bool friendsOnly = false) {
        switches.FriendsOnly = friendsOnly;
        state.SceneBuilt = {};
        SceneContext scene{model, display, theme, settings, friendsOnly, state, model.StatusText};
        BuildNetworkScene(scene, 0);
    }
    void Draw() {
        FrameInputs frame{camera, settings, switches, overlay, theme, 0, kW, kH, &state};
        DrawScene(frame);
    }
    // The whole drawn frame.
    std::vector<std::uint8_t> Frame() {
        Draw();
        std::vector<std::uint8_t> rgba(static_cast<size_t>(kW * kH * 4));
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
    // Screen position of a point near the camera's centre (north up).
    std::pair<int, int> Screen(float lat, float lon) const {
        const double k = 3.14159 / 180;
        const double x = std::cos(lat * k) * std::sin((lon - camera.Spin) * k);
        const double y = std::sin((lat + camera.Tilt) * k);
        return {static_cast<int>(kW / 2.0 + x * camera.Zoom * kH), static_cast<int>(kH / 2.0 + y * camera.Zoom * kH)};
    }
    std::array<int, 3> At(float lat, float lon) {
        auto [x, y] = Screen(lat, lon);
        return window->Pixel(x, y);
    }
    bool IsColour(float lat, float lon, Colour c, int tolerance = 6) {
        const Rgb rgb = theme.Get(c);
        return Near(At(lat, lon), Bytes(rgb.Red, rgb.Green, rgb.Blue), tolerance);
    }
    bool AnyNear(float lat, float lon, int radius, Colour c) {
        auto [x, y] = Screen(lat, lon);
        const Rgb rgb = theme.Get(c);
        for (int dx = -radius; dx <= radius; ++dx)
            for (int dy = -radius; dy <= radius; ++dy)
                if (Near(window->Pixel(x + dx, y + dy), Bytes(rgb.Red, rgb.Green, rgb.Blue), 10)) return true;
        return false;
    }
    std::unique_ptr<testsupport::GlWindow> window;
    NetworkModel model;
    NoDisplay display;
    ColourTheme theme;
    Settings settings;
    MapSwitches switches;
    OverlayState overlay;
    SceneState state;
    std::string folder = testsupport::MakeTempFolder("scene");
    Camera camera{10, -20, 50};
};

// Symbol size in degrees of arc: 0.0015 globe radii.
constexpr float kSymbol = 0.0015f / 0.017453f;

}  // namespace

TEST_F(ScenePixels, AircraftPointsAlongItsHeading) {
    AddPilot("1", 20, 10, 300, 90);
    Build();
    Draw();
    EXPECT_TRUE(IsColour(20, 10 + 0.4f * kSymbol, Colour::PlaneFill));    // towards the nose, east
    EXPECT_FALSE(IsColour(20 + 0.4f * kSymbol, 10, Colour::PlaneFill));   // not north
    model.Networks[0].Pilots[0].Heading = 0;
    Build();
    Draw();
    EXPECT_TRUE(IsColour(20 + 0.4f * kSymbol, 10, Colour::PlaneFill));
    EXPECT_FALSE(IsColour(20, 10 + 0.4f * kSymbol, Colour::PlaneFill));
}

TEST_F(ScenePixels, SlowAircraftIsHalfSizeWithoutTrail) {
    AddPilot("1", 20, 10, 51, 90);
    Build();
    Draw();
    EXPECT_TRUE(IsColour(20, 10 + 0.7f * kSymbol, Colour::PlaneFill));
    const auto trail = At(20, 10 - 1.2f * kSymbol);  // behind the tail: faint trail
    EXPECT_GT(trail[0] + trail[1] + trail[2], 0);
    model.Networks[0].Pilots[0].GroundSpeed = 49;
    Build();
    Draw();
    EXPECT_FALSE(IsColour(20, 10 + 0.7f * kSymbol, Colour::PlaneFill));
    EXPECT_TRUE(IsColour(20, 10 + 0.2f * kSymbol, Colour::PlaneFill));
    const auto noTrail = At(20, 10 - 1.2f * kSymbol);
    EXPECT_EQ(noTrail[0] + noTrail[1] + noTrail[2], 0);
}

TEST_F(ScenePixels, GroundSpeedIsDrawnLimitedTo2000) {
    AddPilot("1", 20, 10, 3000, 90);
    Build();
    const std::vector<std::uint8_t> fast = Frame();
    model.Networks[0].Pilots[0].GroundSpeed = 2000;
    state.SceneBuilt[0] = false;
    Build();
    EXPECT_EQ(Frame(), fast);
}

TEST_F(ScenePixels, CentreWithoutSectorKeyDrawsNoFill) {
    std::vector<GeoPoint> square{{19.9f, 9.9f}, {19.9f, 10.1f}, {20.1f, 10.1f}, {20.1f, 9.9f}};
    BuildSectorLists(state.Sectors, 512, square, theme);
    model.Sectors.Add("EDMM", SectorEntry{"EDMM", "Munich", "DE", 20, 10, 512});
    AddAtc("9", 6, 20, 10, "XXXX");
    Build();
    Draw();
    EXPECT_FALSE(IsColour(20.05f, 10.05f, Colour::CTRFill));
    model.Networks[0].AtcClients[0].Location = "EDMM";
    Build();
    Draw();
    EXPECT_TRUE(IsColour(20.05f, 10.05f, Colour::CTRFill));
}

TEST_F(ScenePixels, ControllerAtZeroZeroGetsNoLabel) {
    camera = Camera{0, 0, 50};
    AddAtc("1", 4, 0, 0, "ZERO");
    AddAtc("2", 4, 0.1f, 0.1f, "LBL");
    Build();
    Draw();
    EXPECT_TRUE(AnyNear(0.1f, 0.1f, 3, Colour::ATCLabel));  // point and label of the placed one
    EXPECT_FALSE(AnyNear(0, 0, 3, Colour::ATCLabel));
}

TEST_F(ScenePixels, FriendsOnlyHidesStrangersAndTheInboundWedges) {
    settings.Layers.ShowInbounds = true;
    camera = Camera{10, -20.25f, 50};
    model.Friends.Add("111");
    PilotClient& friendPilot = AddPilot("111", 20.5f, 10, 300, 90);
    PilotClient& stranger = AddPilot("222", 20.52f, 10.3f, 300, 90);
    // Both bound for an airport to the south, whose wedges point at them.
    for (PilotClient* p : {&friendPilot, &stranger}) {
        p->DestLatitude = 19.97f;
        p->DestLongitude = 10.0f;
    }
    Build();
    Draw();
    EXPECT_TRUE(IsColour(20.52f, 10.3f + 0.4f * kSymbol, Colour::PlaneFill));
    const auto wedge = At(20.2f, 10.0f);
    EXPECT_GT(wedge[0] + wedge[1], 20);  // the faint yellow wedge
    Build(true);
    Draw();
    EXPECT_TRUE(IsColour(20.5f, 10 + 0.4f * kSymbol, Colour::PlaneFill));
    EXPECT_FALSE(IsColour(20.52f, 10.3f + 0.4f * kSymbol, Colour::PlaneFill));
    const auto noWedge = At(20.2f, 10.0f);
    EXPECT_EQ(noWedge[0] + noWedge[1], 0);
}

TEST_F(ScenePixels, SceneStatusLineAndMergedView) {
    AddPilot("1", 20, 10, 300, 90);
    Build();
    EXPECT_EQ(model.StatusText, "IVAO data of 1432Z displayed");
    EXPECT_TRUE(state.SceneBuilt[0]);
    SceneContext scene{model, display, theme, settings, false, state, model.StatusText};
    BuildMergedScene(scene);
    EXPECT_EQ(model.StatusText, "Missing VATSIM data. No comparison possible.");
    EXPECT_FALSE(state.SceneBuilt[2]);
    model.ClientTotal[1] = 5;
    model.Networks[1].UpdateStamp = "20201231150500";
    BuildMergedScene(scene);
    EXPECT_EQ(model.StatusText, "Merged data of 1432Z/1505Z displayed");
    // Clients the caps left out are said for as long as the snapshot shows.
    model.Networks[0].LeftOut = 2;
    Build();
    EXPECT_EQ(model.StatusText, "IVAO data of 1432Z displayed (2 clients left out)");
    EXPECT_EQ(glIsList(lists::Viewer().SceneBase(2) + lists::kSceneInbounds), GL_FALSE);
}

// The scene only reads the model and touches no file: the download deletes
// IVAO's text and limits the ground speeds when it shows a snapshot.
TEST_F(ScenePixels, BuildingASceneLeavesTheModelAndTheFilesAsTheyWere) {
    testsupport::WriteFile(folder + "/whazzup.txt", "x");
    AddPilot("1", 20, 10, 3000, 90);
    Build();
    EXPECT_TRUE(std::filesystem::exists(folder + "/whazzup.txt"));
    EXPECT_EQ(model.Networks[0].Pilots[0].GroundSpeed, 3000);
}

// A frame whose only change is the status line (or the popup over the globe)
// draws the kept globe picture and the same pixels as a full frame; any
// change of the camera, a layer or a globe list draws in full.
TEST_F(ScenePixels, AStatusOnlyFrameDrawsTheKeptGlobeWithTheSamePixelsAsAFullFrame) {
    settings.Layers.ShowPlaneLabels = true;
    settings.Layers.ShowLatLon = true;
    BuildGlobeList(theme);
    BuildGridList(theme);
    const std::vector<GeoPoint> square{{18, 8}, {18, 14}, {23, 14}, {23, 8}};
    BuildSectorLists(state.Sectors, 512, square, theme);
    model.Sectors.Add("EDGG", SectorEntry{"EDGG", "Langen", "DE", 20, 11, 512});
    AddAtc("7", 6, 20, 11, "EDGG");
    PilotClient& pilot = AddPilot("1", 20, 10, 300, 90);
    AddPilot("2", 21, 12, 20, 200);
    Build();
    camera = Camera{10, -20, 4};
    BuildWindowFrame(theme, kW, kH);
    BuildNetworkMarks(model, theme, kW, kH);
    BuildClientCountBar(model, theme, kW, kH);

    const auto frameBytes = [&] {
        std::vector<unsigned char> pixels(static_cast<size_t>(kW * kH * 4));
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const auto differing = [](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); i += 4) n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return n;
    };
    GlobePicture kept;
    const auto drawKept = [&] {
        FrameInputs frame{camera, settings, switches, overlay, theme, 0, kW, kH, &state};
        DrawScene(frame, &kept);
        return frameBytes();
    };
    const auto drawFull = [&] {
        Draw();
        return frameBytes();
    };

    BuildStatusLine(lists::Viewer().StatusLine, "Downloading IVAO data...", kW, kH);
    drawKept();
    EXPECT_EQ(kept.FullFrames, 1);
    BuildStatusLine(lists::Viewer().StatusLine, "IVAO data downloaded, interpreting data...", kW, kH);
    const auto statusOnly = drawKept();
    EXPECT_EQ(kept.KeptFrames, 1);
    EXPECT_EQ(differing(statusOnly, drawFull()), 0);

    // A popup over the kept globe, and the marks of a download in progress.
    BuildPilotPopup(model, 0, pilot, theme, kW, kH);
    overlay.OverlayMode = OverlayKind::Popup;
    model.DownloadIdle = false;
    BuildNetworkMarks(model, theme, kW, kH);
    const auto withPopup = drawKept();
    EXPECT_EQ(kept.KeptFrames, 2);
    EXPECT_EQ(differing(withPopup, drawFull()), 0);

    // Whatever changes the globe draws it in full, and the picture stays exact.
    const auto changes = std::vector<std::function<void()>>{
        [&] { camera.Spin += 1; },
        [&] { settings.Layers.ShowATC = false; },
        [&] { switches.CountriesShown = false; },
        [&] { ++kept.Generation; },
        [&] { Build(); },  // a scene compiled, with nobody to say so
    };
    for (const auto& change : changes) {
        const int full = kept.FullFrames;
        change();
        const auto changed = drawKept();
        EXPECT_EQ(kept.FullFrames, full + 1);
        EXPECT_EQ(differing(changed, drawFull()), 0);
    }
    EXPECT_EQ(kept.KeptFrames, 2);
}

// Two controllers of one sector: it is filled once, the same picture as
// filling it twice (the fill is opaque and of one colour).
TEST_F(ScenePixels, ASectorSharedByTwoControllersIsFilledOnceWithTheSamePixelsAsTwice) {
    settings.Layers.ShowATCLabels = false;
    const std::vector<GeoPoint> square{{18, 8}, {18, 14}, {23, 14}, {23, 8}};
    BuildSectorLists(state.Sectors, 512, square, theme);
    model.Sectors.Add("EDGG", SectorEntry{"EDGG", "Langen", "DE", 20, 11, 512});
    AddAtc("7", 6, 20, 11, "EDGG");
    AddAtc("8", 6, 21, 12, "EDGG");
    Build();
    camera = Camera{10, -20, 4};
    ASSERT_EQ(state.FilledSectors[0], std::vector<int>{512});
    const auto frame = [&] {
        Draw();
        std::vector<unsigned char> pixels(static_cast<size_t>(kW * kH * 4));
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const auto once = frame();
    EXPECT_TRUE(IsColour(19, 9, Colour::CTRFill));
    state.FilledSectors[0] = {512, 512};
    EXPECT_EQ(frame(), once);
}

namespace {

// The controllers' shapes around their station, in degrees: the approach
// hexagon 0.7 to its corners (east, west and 30 degrees either side of
// north and south), the tower disc and the ground star 0.25 (the star's
// inner corners 0.07 on the diagonals), the ATIS spokes 0.25 long at 12.25
// degrees and every 22.5 after. North-south offsets are scaled by the
// cosine of the latitude.
constexpr float kApproach = 0.7f, kTower = 0.25f, kStarInner = 0.07f;
constexpr float kLat = 20, kLon = 10;

}  // namespace

// Each facility's shape with its fill running from the centre colour to the
// rim colour and its border in the border colour: a wider shape, a missing
// one or the colours of another would show here.
TEST_F(ScenePixels, ApproachHexagonTowerDiscGroundStarAndAtisSpokes) {
    settings.Layers.ShowATCLabels = false;
    const float c = static_cast<float>(std::cos(kLat * 3.14159 / 180));
    const auto mix = [&](Colour from, Colour to, float f) {
        const Rgb a = theme.Get(from), b = theme.Get(to);
        return Bytes(a.Red + (b.Red - a.Red) * f, a.Green + (b.Green - a.Green) * f, a.Blue + (b.Blue - a.Blue) * f);
    };
    const auto black = [&](float lat, float lon) { return At(lat, lon) == std::array<int, 3>{0, 0, 0}; };

    // Approach: at zoom 8, 0.7 degrees are about 60 pixels.
    camera = Camera{kLon, -kLat, 8};
    AddAtc("1", 5, kLat, kLon, "EDDF");
    Build();
    Draw();
    window->Shot("approach.png");
    // Half way to the east corner: half way between the fill's colours.
    EXPECT_TRUE(Near(At(kLat, kLon + kApproach / 2), mix(Colour::APPFillCenter, Colour::APPFillOut, 0.5f), 8));
    EXPECT_TRUE(Near(At(kLat, kLon + 0.9f * kApproach), mix(Colour::APPFillCenter, Colour::APPFillOut, 0.9f), 8));
    // Flat at the top: its north edge lies at cos 30 of the corners' reach.
    const float north = kApproach * c * 0.866f;
    EXPECT_FALSE(black(kLat + 0.93f * north, kLon));
    EXPECT_TRUE(black(kLat + 1.07f * north, kLon)) << "a hexagon, not a disc";
    EXPECT_TRUE(black(kLat - 1.07f * north, kLon));
    EXPECT_FALSE(black(kLat, kLon - 0.95f * kApproach));
    EXPECT_TRUE(black(kLat, kLon - 1.05f * kApproach));
    EXPECT_TRUE(AnyNear(kLat + north, kLon, 2, Colour::APPBorder));
    EXPECT_TRUE(AnyNear(kLat, kLon + kApproach, 2, Colour::APPBorder));

    // Tower, ground and ATIS at zoom 24: 0.25 degrees are about 63 pixels.
    camera = Camera{kLon, -kLat, 24};
    model.Networks[0].AtcClients[0].Facility = FacilityKind::Tower;
    Build();
    Draw();
    window->Shot("tower.png");
    EXPECT_TRUE(Near(At(kLat, kLon + kTower / 2), mix(Colour::TWRFillCenter, Colour::TWRFillOut, 0.5f), 8));
    const float d = kTower * 0.8f / std::sqrt(2.0f);  // on the diagonal, inside the disc
    EXPECT_TRUE(Near(At(kLat + d * c, kLon + d), mix(Colour::TWRFillCenter, Colour::TWRFillOut, 0.8f), 10));
    EXPECT_TRUE(black(kLat + 1.1f * kTower * c, kLon));
    EXPECT_TRUE(black(kLat, kLon + 1.1f * kTower));
    EXPECT_TRUE(AnyNear(kLat + kTower * c, kLon, 2, Colour::TWRBorder));
    EXPECT_TRUE(AnyNear(kLat - kTower * c * 0.7071f, kLon - kTower * 0.7071f, 2, Colour::TWRBorder));

    model.Networks[0].AtcClients[0].Facility = FacilityKind::Ground;
    Build();
    Draw();
    window->Shot("ground.png");
    // Its four points reach as far as the disc; between them it is narrow.
    EXPECT_TRUE(Near(At(kLat, kLon + kTower / 2), mix(Colour::TWRFillCenter, Colour::TWRFillOut, 0.5f), 10));
    EXPECT_FALSE(black(kLat + 0.8f * kTower * c, kLon));
    EXPECT_FALSE(black(kLat, kLon - 0.8f * kTower));
    EXPECT_TRUE(black(kLat + d * c, kLon + d)) << "a star, not a disc";
    EXPECT_TRUE(black(kLat - d * c, kLon - d));
    EXPECT_FALSE(black(kLat + 0.6f * kStarInner * c, kLon + 0.6f * kStarInner));
    EXPECT_TRUE(AnyNear(kLat + kTower * c, kLon, 2, Colour::TWRBorder));
    EXPECT_TRUE(AnyNear(kLat + kStarInner * c, kLon + kStarInner, 2, Colour::TWRBorder));

    model.Networks[0].AtcClients[0].Facility = FacilityKind::Atis;
    Build();
    Draw();
    window->Shot("atis.png");
    // Sixteen spokes fading in from the centre to the border colour at
    // their ends; dark between them.
    const Rgb border = theme.Get(Colour::TWRBorder);
    const auto spokeNear = [&](double degrees, float r, float alpha) {
        const double a = degrees * 3.14159 / 180;
        auto [x, y] = Screen(kLat + static_cast<float>(r * c * std::cos(a)), kLon + static_cast<float>(r * std::sin(a)));
        const auto want = Bytes(border.Red * alpha, border.Green * alpha, border.Blue * alpha);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (Near(window->Pixel(x + dx, y + dy), want, 12)) return true;
        return false;
    };
    for (int k = 0; k < 16; ++k) {
        EXPECT_TRUE(spokeNear(12.25 + 22.5 * k, 0.9f * kTower, 0.9f)) << "spoke " << k;
        EXPECT_TRUE(spokeNear(12.25 + 22.5 * k, 0.5f * kTower, 0.5f)) << "spoke " << k;
        const double between = (23.5 + 22.5 * k) * 3.14159 / 180;
        EXPECT_TRUE(black(kLat + static_cast<float>(0.8 * kTower * c * std::cos(between)),
                          kLon + static_cast<float>(0.8 * kTower * std::sin(between))))
            << "between spokes " << k << " and " << k + 1;
    }
    EXPECT_TRUE(black(kLat + 1.15f * kTower * c * 0.98f, kLon + 1.15f * kTower * 0.21f)) << "no longer than 0.25";
}

// The route of a selected pilot: a line along the great circle to its
// destination, fading in from alpha 0.15 at the aircraft to 0.4 at the
// airport in the highlight colour; dashed towards its departure. The
// airport highlight draws every shown pilot's line to the airport the same
// way and writes the airport's code there.
TEST_F(ScenePixels, GreatCircleRouteAndTheAirportRouteHighlight) {
    camera = Camera{kLon, -kLat, 6};
    const Rgb h = theme.Get(Colour::Highlight);
    const auto alphaAt = [&](const std::array<int, 3>& p) {  // over black
        return (p[0] + p[1] + p[2]) / (255.0f * (h.Red + h.Green + h.Blue));
    };
    // The brightest pixel across the line at longitude `lon` (within 2
    // pixels of the great circle's latitude there), as its alpha; and
    // whether its colour is the highlight's.
    const auto lineAt = [&](float fromLat, float fromLon, float toLat, float toLon, float lon, bool* highlight) {
        const double k = 3.14159 / 180, f1 = fromLat * k, f2 = toLat * k;
        const double lat = std::atan((std::tan(f1) * std::sin((toLon - lon) * k) + std::tan(f2) * std::sin((lon - fromLon) * k)) /
                                     std::sin((toLon - fromLon) * k)) / k;
        auto [x, y] = Screen(static_cast<float>(lat), lon);
        std::array<int, 3> best{0, 0, 0};
        for (int dy = -2; dy <= 2; ++dy) {
            const auto p = window->Pixel(x, y + dy);
            if (p[0] + p[1] + p[2] > best[0] + best[1] + best[2]) best = p;
        }
        const float a = alphaAt(best);
        if (highlight) *highlight = Near(best, Bytes(h.Red * a, h.Green * a, h.Blue * a), 8);
        return a;
    };

    PilotClient& p = AddPilot("1", kLat, kLon, 300, 90);
    p.Departure = "DEP";
    p.DepLatitude = 19;
    p.DepLongitude = kLon - 3;
    p.Destination = "ARR";
    p.DestLatitude = 21.5f;
    p.DestLongitude = kLon + 3;
    BuildRouteHighlight(model, p, theme);
    Draw();
    window->Shot("route.png");
    // Solid to the destination, brighter towards it.
    float last = 0;
    for (int step = 1; step <= 9; ++step) {
        const float lon = kLon + 0.3f * static_cast<float>(step);
        bool highlight = false;
        const float a = lineAt(kLat, kLon, 21.5f, kLon + 3, lon, &highlight);
        const float expected = 0.15f + (lon - kLon) / 3 / 4;
        EXPECT_NEAR(a, expected, 0.05f) << lon;
        EXPECT_TRUE(highlight) << lon;
        EXPECT_GT(a, last - 0.01f);
        last = a;
    }
    // Dashed to the departure: of the pixels along it, some lit and some
    // dark, in runs a few pixels long.
    int lit = 0, dark = 0;
    for (float lon = kLon - 0.2f; lon > kLon - 2.8f; lon -= 0.02f) {
        const float a = lineAt(kLat, kLon, 19, kLon - 3, lon, nullptr);
        (a > 0.1f ? lit : dark) += 1;
    }
    EXPECT_GT(lit, 30);
    EXPECT_GT(dark, 30);
    // Nothing elsewhere: north of the pilot, south of the destination.
    EXPECT_EQ(At(kLat + 1, kLon), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(At(kLat, kLon + 2), (std::array<int, 3>{0, 0, 0}));

    // The airport highlight at ARR: the inbound pilot's solid line and a
    // departing pilot's dashed one; a pilot bound elsewhere has none.
    model.Airports.Add("ARR", Airport{"ARR", "Arrival Field", "Town", "XX", 20, 11.5f});
    model.Friends.Add("1");
    p.DestLatitude = 20;
    p.DestLongitude = 11.5f;
    PilotClient& leaving = AddPilot("2", 20, 13, 300, 90);
    leaving.Departure = "arr";
    PilotClient& other = AddPilot("3", 19, 11.5f, 300, 90);
    other.Destination = "XYZ";
    BuildAirportRouteHighlight(model, 0, false, "ARR", theme);
    Draw();
    window->Shot("airport-routes.png");
    bool highlight = false;
    EXPECT_NEAR(lineAt(kLat, kLon, 20, 11.5f, 10.75f, &highlight), 0.15f + 0.5f / 4, 0.05f);
    EXPECT_TRUE(highlight);
    int leavingLit = 0, leavingDark = 0;
    for (float lon = 12.9f; lon > 12.0f; lon -= 0.01f) (lineAt(20, 13, 20, 11.5f, lon, nullptr) > 0.1f ? leavingLit : leavingDark) += 1;
    EXPECT_GT(leavingLit, 15);
    EXPECT_GT(leavingDark, 15);
    EXPECT_EQ(At(19.5f, 11.5f), (std::array<int, 3>{0, 0, 0})) << "no line for a pilot bound elsewhere";
    // The code, to the upper right of the airport.
    int code = 0;
    auto [ax, ay] = Screen(20, 11.5f);
    for (int x = ax; x < ax + 30; ++x)
        for (int y = ay; y < ay + 12; ++y) code += Near(window->Pixel(x, y), Bytes(h.Red, h.Green, h.Blue), 10);
    EXPECT_GT(code, 10);

    // Friends only: the stranger's departure is left out.
    BuildAirportRouteHighlight(model, 0, true, "ARR", theme);
    Draw();
    EXPECT_GT(lineAt(kLat, kLon, 20, 11.5f, 10.75f, nullptr), 0.1f);
    for (float lon = 12.9f; lon > 12.0f; lon -= 0.05f) EXPECT_LT(lineAt(20, 13, 20, 11.5f, lon, nullptr), 0.02f) << lon;
}

// Sector numbers are only keys: sectors numbered like the window frame, the
// globe and grid, another sector's outline, a level of detail or the glyph
// sets draw exactly as the same sectors numbered 7001 onwards, with the
// frame, the globe, the grid, a coastline and labels on screen.
TEST_F(ScenePixels, SectorsNumberedLikeTheViewersOwnListsDrawAsAnyOtherNumbers) {
    settings.Layers.ShowLatLon = true;
    settings.Layers.ShowATCLabels = true;
    camera = Camera{12, -17, 1.5f};
    const std::vector<int> clashing{50, 51, 52, 53, 54, 55, 10100, 60000, 64800, 65100};
    const auto picture = [&](const std::vector<int>& numbers) {
        model = NetworkModel{};
        model.ClientTotal[0] = 10;
        model.Networks[0].UpdateStamp = "20201231143200";
        state = SceneState{};
        lists::AllocateViewer();
        BuildGlyphSets();
        BuildGlobeList(theme);
        BuildGridList(theme);
        BuildCoastlineList({{{10, 0}, {20, 25}}, {{20, 25}, {10, 24}}}, theme);
        BuildWindowFrame(theme, kW, kH);
        BuildStatusLine(lists::Viewer().StatusLine, "Ready", kW, kH);
        for (size_t i = 0; i < numbers.size(); ++i) {
            const float lat = 5 + 2.5f * static_cast<float>(i), lon = 2 + 2.2f * static_cast<float>(i);
            BuildSectorLists(state.Sectors, numbers[i], {{lat, lon}, {lat, lon + 2}, {lat + 2, lon + 2}, {lat + 1, lon + 1}, {lat + 2, lon}},
                             theme);
            const std::string id = "SEC" + std::to_string(i);
            model.Sectors.Add(id, SectorEntry{id, "Sector", "XX", static_cast<float>(lat + 1), static_cast<float>(lon + 1), static_cast<int>(numbers[i])});
            AddAtc(std::to_string(100 + i), 6, lat + 1, lon + 1, id).Callsign = id + "_CTR";
        }
        Build();
        return Frame();
    };
    const std::vector<std::uint8_t> own = picture({7001, 7002, 7003, 7004, 7005, 7006, 7007, 7008, 7009, 7010});
    const std::vector<std::uint8_t> clashed = picture(clashing);
    size_t differ = 0;
    for (size_t i = 0; i < own.size(); ++i) differ += own[i] != clashed[i];
    EXPECT_EQ(differ, 0u);
    // The picture holds what was meant: filled sectors and the globe.
    EXPECT_TRUE(IsColour(5.3f, 2.5f, Colour::CTRFill));
}
