#include "formats/line_files.h"
#include "gl_fixture.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/frame.h"
#include "globe/geography.h"
#include "globe/gl_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr double kDeg = 3.14159 / 180;

// Where a point of the globe lands on screen (pixels from the bottom left),
// following the frame's rotations; false when it faces away.
bool Project(const Camera& c, float lat, float lon, int w, int h, double& px, double& py) {
    double x = std::cos(lat * kDeg) * std::sin(lon * kDeg);
    double y = std::sin(lat * kDeg);
    double z = std::cos(lat * kDeg) * std::cos(lon * kDeg);
    const double s = -c.Spin * kDeg;  // rotation about -y
    double x1 = x * std::cos(s) + z * std::sin(s);
    double z1 = -x * std::sin(s) + z * std::cos(s);
    const double t = -c.Tilt * kDeg;  // rotation about -x
    double y2 = y * std::cos(t) - z1 * std::sin(t);
    double z2 = y * std::sin(t) + z1 * std::cos(t);
    px = w / 2.0 + x1 * c.Zoom * h;
    py = h / 2.0 + y2 * c.Zoom * h;
    return z2 > 0.2;
}

class RenderFrame : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<testsupport::GlWindow>(800, 600);
        ASSERT_TRUE(window->Ready()) << "no OpenGL context";
        theme = LoadColourTheme(testsupport::SourcePath("colours/default.dc"));
        settings.DisableSmooth = true;  // exact colours for the checks
        testsupport::PrepareViewerContext(theme);
        BuildGlobeList(theme);
        BuildGridList(theme);
    }
    void Draw(Camera& camera) {
        FrameInputs frame{camera, settings, switches, overlay, theme, 0, 800, 600};
        DrawScene(frame);
    }
    std::unique_ptr<testsupport::GlWindow> window;
    ColourTheme theme;
    Settings settings;
    MapSwitches switches;
    OverlayState overlay;
};

}  // namespace

TEST_F(RenderFrame, BackgroundInTheCornersAndGlobeAtTheCentre) {
    Camera camera{-25, -5, 0.3f};
    Draw(camera);
    const Rgb bg = theme.Get(Colour::ScreenBackground);
    for (auto [x, y] : {std::pair{2, 2}, {797, 2}, {2, 597}, {797, 597}})
        EXPECT_TRUE(Near(window->Pixel(x, y), Bytes(bg.Red, bg.Green, bg.Blue))) << x << "," << y;
    // The centre shows 5N 25W: between grid lines, the globe's colour of 5N.
    const Rgb globe = BlendByLatitude(theme, Colour::GlobeEquator, Colour::GlobePoles, 4);
    EXPECT_TRUE(Near(window->Pixel(400, 300), Bytes(globe.Red, globe.Green, globe.Blue), 4));
}

TEST_F(RenderFrame, DrawsTheShippedCoastlineWhereTheCoastLies) {
    std::vector<LineSegment> coast;
    ASSERT_TRUE(ReadLineSegments(testsupport::SourcePath("data/coastline.dat"), false, coast));
    ASSERT_GT(coast.size(), 1000u);
    BuildCoastlineList(coast, theme);
    // Look at the Strait of Gibraltar and find a segment drawn in the view.
    Camera camera{-5.5f, -36.0f, 8};
    Draw(camera);
    int checked = 0, found = 0;
    for (const LineSegment& s : coast) {
        if (std::fabs(s.To.Latitude - 36) > 1.5 || std::fabs(s.To.Longitude + 5.5) > 2) continue;
        double px, py;
        if (!Project(camera, s.To.Latitude, s.To.Longitude, 800, 600, px, py)) continue;
        if (px < 30 || px > 770 || py < 30 || py > 570) continue;
        const Rgb expected =
            BlendByLatitude(theme, Colour::CoastEquator, Colour::CoastPoles, s.To.Latitude);
        bool hit = false;
        for (int dx = -2; dx <= 2 && !hit; ++dx)
            for (int dy = -2; dy <= 2 && !hit; ++dy)
                hit = Near(window->Pixel(static_cast<int>(px) + dx, static_cast<int>(py) + dy),
                           Bytes(expected.Red, expected.Green, expected.Blue), 6);
        ++checked;
        found += hit;
        if (checked == 20) break;
    }
    ASSERT_GE(checked, 10);
    EXPECT_GE(found, checked - 1);
}

TEST_F(RenderFrame, StatusLineIsDrawnInTheBorderColourNearTheBottomLeft) {
    Camera camera{-25, -5, 0.3f};
    BuildStatusLine(lists::Viewer().StatusLine, "Ready", 800, 600);
    Draw(camera);
    const Rgb border = theme.Get(Colour::ScreenBorder);
    int lit = 0;
    for (int x = 60; x < 110; ++x)
        for (int y = 3; y < 20; ++y)
            lit += Near(window->Pixel(x, y), Bytes(border.Red, border.Green, border.Blue), 10);
    EXPECT_GT(lit, 20);
    // An empty status line draws nothing.
    BuildStatusLine(lists::Viewer().StatusLine, "", 800, 600);
    Draw(camera);
    lit = 0;
    for (int x = 60; x < 110; ++x)
        for (int y = 3; y < 20; ++y)
            lit += Near(window->Pixel(x, y), Bytes(border.Red, border.Green, border.Blue), 10);
    EXPECT_EQ(lit, 0);
}

TEST_F(RenderFrame, ZeroSizedWindowDrawsNothing) {
    Camera camera{0, 0, 0.1f};
    FrameInputs frame{camera, settings, switches, overlay, theme, 0, 0, 0};
    DrawScene(frame);
    EXPECT_FLOAT_EQ(camera.Zoom, 0.1f);  // not even normalised
}
