// The window frame as the frame draws it over an empty globe: the caption
// and its buttons, the download marks on the network cells, the client-count
// bar and the start-up splash. Expected colours come from the theme and the
// blending of what lies under each piece; places from the frame's layout
// (20-pixel cells along the bars, the bar 10 pixels in and 30 to 50 down).
#include "gl_fixture.h"
#include "kestrav/render/frame.h"
#include "globe/gl_text.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/window_frame.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr int kW = 800, kH = 600;

using Pixel = std::array<int, 3>;

class FramePixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Ready());
        theme = LoadColourTheme(testsupport::SourcePath("colours/default.dc"));
        testsupport::PrepareViewerContext(theme);
        settings.DisableSmooth = true;
        model.ClientTotal = {0, 0, 0};
        BuildWindowFrame(theme, kW, kH);
        Rebuild();
    }
    void Rebuild() {
        BuildNetworkMarks(model, theme, kW, kH);
        BuildClientCountBar(model, theme, kW, kH);
    }
    // One frame; the whole picture read back, pixels from the bottom left.
    void Draw() {
        Camera camera{0, 0, 0.05f};
        FrameInputs frame{camera, settings, switches, overlay, theme, model.CurrentNetwork, kW, kH};
        DrawScene(frame);
        picture.assign(static_cast<size_t>(kW * kH * 4), 0);
        glFinish();
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
    }
    Pixel At(int x, int y) const {
        const size_t i = static_cast<size_t>((y * kW + x) * 4);
        return {picture[i], picture[i + 1], picture[i + 2]};
    }
    Pixel Theme(Colour c) const {
        const Rgb rgb = theme.Get(c);
        return Bytes(rgb.Red, rgb.Green, rgb.Blue);
    }
    // `c` at alpha `a` over `under`.
    Pixel Over(Colour c, float a, const Pixel& under) const {
        const Rgb rgb = theme.Get(c);
        return {static_cast<int>(std::lround(rgb.Red * 255 * a + under[0] * (1 - a))),
                static_cast<int>(std::lround(rgb.Green * 255 * a + under[1] * (1 - a))),
                static_cast<int>(std::lround(rgb.Blue * 255 * a + under[2] * (1 - a)))};
    }
    // Pixels of the theme colour (text ink) in a box, x0 <= x < x1, y0 <= y < y1.
    int Ink(Colour c, int x0, int x1, int y0, int y1) const {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y) n += Near(At(x, y), Theme(c), 10);
        return n;
    }
    int RightmostInk(Colour c, int x0, int x1, int y0, int y1) const {
        int right = -1;
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                if (Near(At(x, y), Theme(c), 10)) right = x;
        return right;
    }

    testsupport::GlWindow window{kW, kH};
    ColourTheme theme;
    Settings settings;
    MapSwitches switches;
    OverlayState overlay;
    NetworkModel model;
    std::vector<unsigned char> picture;
};

// The bars' shading: WindowShading from alpha 0.6 at the window's edge to
// 0.3 twenty pixels in, over the background; `layers` bands lie on top of
// each other (the button cells have a band of their own over the bar's).
Pixel BandAt(const ColourTheme& theme, int pixelsIn, int layers) {
    const float a = 0.6f - 0.3f * (static_cast<float>(pixelsIn) + 0.5f) / 20;
    const Rgb bg = theme.Get(Colour::ScreenBackground), s = theme.Get(Colour::WindowShading);
    std::array<float, 3> c{bg.Red, bg.Green, bg.Blue};
    for (int k = 0; k < layers; ++k) {
        c[0] = s.Red * a + c[0] * (1 - a);
        c[1] = s.Green * a + c[1] * (1 - a);
        c[2] = s.Blue * a + c[2] * (1 - a);
    }
    return Bytes(c[0], c[1], c[2]);
}

}  // namespace

// The caption bar: the shaded band, the caption in bold in the border colour
// from 5 pixels in, and the close, full-screen and minimise symbols in the
// three cells at the right end.
TEST_F(FramePixels, CaptionBarWithTheCaptionAndItsThreeButtons) {
    Draw();
    window.Shot("frame-caption.png");
    const Pixel bg = Theme(Colour::ScreenBackground);
    // The band, away from the text and the buttons, and the globe's
    // background below the bar.
    EXPECT_TRUE(Near(At(kW / 2, kH - 1 - 3), BandAt(theme, 3, 1), 3));
    EXPECT_TRUE(Near(At(kW / 2, kH - 1 - 16), BandAt(theme, 16, 1), 3));
    EXPECT_TRUE(Near(At(kW / 2, kH - 40), bg, 2));
    // The caption: ink from x 5 on in the band's rows, none left of it and
    // none far past its last glyph.
    const int top = kH - 20;
    EXPECT_GT(Ink(Colour::ScreenBorder, 5, 160, top, kH), 60) << kCaption;
    EXPECT_EQ(Ink(Colour::ScreenBorder, 0, 5, top, kH), 0);
    const int right = RightmostInk(Colour::ScreenBorder, 5, 300, top, kH);
    EXPECT_GT(right, 60);
    EXPECT_LT(right, 160);
    EXPECT_EQ(Ink(Colour::ScreenBorder, right + 2, kW - 62, top, kH), 0) << "nothing else in the bar";
    // Close: a cross through the middle of the last cell, its corners free
    // of the middle's colour.
    const Pixel border = Theme(Colour::ScreenBorder);
    EXPECT_TRUE(Near(At(kW - 10, kH - 10), border, 6));
    EXPECT_TRUE(Near(At(kW - 20 + 7, kH - 20 + 7), border, 6));
    EXPECT_FALSE(Near(At(kW - 10, kH - 20 + 7), border, 30));
    // Full screen: a square from 6 to 14.5, hollow.
    EXPECT_GT(Ink(Colour::ScreenBorder, kW - 40 + 5, kW - 40 + 8, kH - 12, kH - 9), 0) << "its left edge";
    EXPECT_FALSE(Near(At(kW - 30, kH - 10), border, 30)) << "its middle";
    // Minimise: a bar along the bottom of its cell only.
    EXPECT_GT(Ink(Colour::ScreenBorder, kW - 55, kW - 45, kH - 20 + 5, kH - 20 + 8), 3);
    EXPECT_EQ(Ink(Colour::ScreenBorder, kW - 55, kW - 45, kH - 20 + 10, kH - 20 + 16), 0);
}

// The marks on the IVAO and VATSIM cells (the bottom bar's first two): a
// cross for a failed download, a tick for fresh data, nothing otherwise;
// half-transparent in the border colour over the cell.
TEST_F(FramePixels, DownloadTickAndCrossOnTheNetworkCells) {
    Draw();
    const std::vector<unsigned char> idle = picture;
    const auto under = [&](int x, int y) {
        const size_t i = static_cast<size_t>((y * kW + x) * 4);
        return Pixel{idle[i], idle[i + 1], idle[i + 2]};
    };
    // Without marks the middle of each network cell is the cell's doubled
    // band: the marks' room is left free by the ring and the diamond.
    for (int cell : {0, 20, 40})
        for (int y = 7; y < 13; ++y)
            for (int x = 7; x < 13; ++x)
                EXPECT_TRUE(Near(At(cell + x, y), BandAt(theme, y, 2), 3)) << cell << " " << x << "," << y;

    // A mark pixel within a pixel of (x, y) in the cell: the border colour
    // at alpha 0.5 over the idle picture.
    const auto marked = [&](int cell, double x, double y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const int px = cell + static_cast<int>(std::floor(x)) + dx, py = static_cast<int>(std::floor(y)) + dy;
                if (At(px, py) != under(px, py) && Near(At(px, py), Over(Colour::ScreenBorder, 0.5f, under(px, py)), 3))
                    return true;
            }
        return false;
    };
    const auto untouched = [&](int cell, double x, double y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const int px = cell + static_cast<int>(std::floor(x)) + dx, py = static_cast<int>(std::floor(y)) + dy;
                if (At(px, py) != under(px, py)) return false;
            }
        return true;
    };
    const auto cross = [&](int cell) {
        return marked(cell, 7.5, 7.5) && marked(cell, 12.5, 12.5) && marked(cell, 12.5, 7.5) &&
               marked(cell, 7.5, 12.5) && marked(cell, 10, 10);
    };
    // The tick: down from (7, 9) to (9, 7), up to (13, 13); its upper left
    // and lower right stay free.
    const auto tick = [&](int cell) {
        return marked(cell, 7.5, 8.5) && marked(cell, 11, 10) && marked(cell, 12.5, 12.5) &&
               untouched(cell, 7.5, 12.5) && untouched(cell, 12.5, 7.5);
    };
    const auto blank = [&](int cell) {
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (At(cell + x, y) != under(cell + x, y)) return false;
        return true;
    };

    model.Networks[0].DownloadFailed = true;
    model.Networks[1].DataFresh = true;
    Rebuild();
    Draw();
    window.Shot("frame-marks.png");
    EXPECT_TRUE(cross(0)) << "IVAO failed";
    EXPECT_FALSE(untouched(0, 7.5, 12.5));
    EXPECT_TRUE(tick(20)) << "VATSIM fresh";
    EXPECT_TRUE(blank(40)) << "the merged cell has no mark";

    // The other way round; a failure shows the cross even over fresh data.
    model.Networks[0] = Snapshot{};
    model.Networks[1] = Snapshot{};
    model.Networks[0].DataFresh = true;
    model.Networks[1].DataFresh = true;
    model.Networks[1].DownloadFailed = true;
    Rebuild();
    Draw();
    EXPECT_TRUE(tick(0));
    EXPECT_TRUE(cross(20));
    EXPECT_FALSE(tick(20));

    // Neither: no mark at all.
    model.Networks[0] = Snapshot{};
    model.Networks[1] = Snapshot{};
    Rebuild();
    Draw();
    EXPECT_TRUE(blank(0) && blank(20) && blank(40));
}

// The client-count bar: from 10 pixels in, one pixel for every thousandth of
// the window's half width per client (total / 1000 of the -1..1 width), 20
// pixels high from 30 below the top; the network's colour shaded from alpha
// 0.3 at its top to 0.5 at its bottom, outlined at 0.8, and "NAME: total" in
// bold in the border colour. The merged view shows both, VATSIM's 25 pixels
// lower.
TEST_F(FramePixels, ClientCountBarLengthColoursAndText) {
    Draw();
    const Pixel bg = Theme(Colour::ScreenBackground);
    ASSERT_TRUE(Near(At(300, kH - 40), bg, 2)) << "nothing there without clients";
    const auto barEnd = [](int total) { return 10 + static_cast<int>(std::lround(total / 1000.0 * kW / 2)); };
    // Inside the bar at row y (from the top), past the text.
    const auto fill = [&](Colour c, int rowFromTop, int barTop) {
        const float a = 0.3f + 0.2f * (static_cast<float>(rowFromTop - barTop) + 0.5f) / 20;
        return Over(c, a, bg);
    };
    // The outline at alpha 0.8, within a pixel of x (over the bar's own
    // fill or just outside it).
    const auto outlineNear = [&](Colour c, int x, int y, int barTop = 30) {
        const Pixel overFill = Over(c, 0.8f, fill(c, kH - 1 - y, barTop)), overBg = Over(c, 0.8f, bg);
        for (int dx = -1; dx <= 1; ++dx)
            if (Near(At(x + dx, y), overFill, 4) || Near(At(x + dx, y), overBg, 4)) return true;
        return false;
    };

    model.CurrentNetwork = kIvao;
    model.ClientTotal = {600, 450, 0};
    Rebuild();
    Draw();
    window.Shot("frame-count-bar.png");
    const int end = barEnd(600);  // 250
    EXPECT_TRUE(Near(At(200, kH - 1 - 35), fill(Colour::IVAO, 35, 30), 4));
    EXPECT_TRUE(Near(At(end - 5, kH - 1 - 45), fill(Colour::IVAO, 45, 30), 4));
    EXPECT_TRUE(outlineNear(Colour::IVAO, end, kH - 40)) << "its right end";
    EXPECT_TRUE(outlineNear(Colour::IVAO, 10, kH - 40)) << "its left end";
    EXPECT_TRUE(Near(At(end + 3, kH - 40), bg, 2)) << "nothing past its end";
    EXPECT_TRUE(Near(At(200, kH - 1 - 27), bg, 2) && Near(At(200, kH - 1 - 53), bg, 2)) << "20 pixels high";
    EXPECT_TRUE(Near(At(200, kH - 1 - 64), bg, 2)) << "no second bar outside the merged view";
    // "IVAO: 600" from 15 pixels in, along the bar's lower half.
    const int textBottom = kH - 50, textTop = kH - 32;
    EXPECT_GT(Ink(Colour::ScreenBorder, 15, 120, textBottom, textTop), 40);
    EXPECT_EQ(Ink(Colour::ScreenBorder, 0, 14, textBottom, textTop), 0);
    const int shortText = RightmostInk(Colour::ScreenBorder, 15, 240, textBottom, textTop);

    // Fewer clients, a shorter bar; more digits, a longer text.
    model.ClientTotal = {250, 450, 0};
    Rebuild();
    Draw();
    EXPECT_TRUE(outlineNear(Colour::IVAO, barEnd(250), kH - 40));
    EXPECT_TRUE(Near(At(barEnd(250) + 3, kH - 40), bg, 2));
    EXPECT_TRUE(Near(At(barEnd(600) - 5, kH - 40), bg, 2));
    model.ClientTotal = {1000, 450, 0};
    Rebuild();
    Draw();
    const int longText = RightmostInk(Colour::ScreenBorder, 15, 400, textBottom, textTop);
    EXPECT_GE(longText, shortText + 4) << "one digit more";

    // VATSIM's own bar in its colour.
    model.CurrentNetwork = kVatsim;
    Rebuild();
    Draw();
    EXPECT_TRUE(Near(At(150, kH - 1 - 45), fill(Colour::VATSIM, 45, 30), 4));
    EXPECT_TRUE(outlineNear(Colour::VATSIM, barEnd(450), kH - 40));
    EXPECT_TRUE(Near(At(barEnd(450) + 3, kH - 40), bg, 2));

    // Merged: IVAO's bar on top, VATSIM's 25 pixels below it.
    model.CurrentNetwork = kMerged;
    model.ClientTotal[2] = 1450;
    Rebuild();
    Draw();
    window.Shot("frame-count-bars-merged.png");
    EXPECT_TRUE(Near(At(300, kH - 1 - 45), fill(Colour::IVAO, 45, 30), 4));
    EXPECT_TRUE(Near(At(150, kH - 1 - 70), fill(Colour::VATSIM, 70, 55), 4));
    EXPECT_TRUE(outlineNear(Colour::VATSIM, barEnd(450), kH - 65, 55));
    EXPECT_TRUE(Near(At(barEnd(450) + 3, kH - 65), bg, 2));
    EXPECT_GT(Ink(Colour::ScreenBorder, 15, 120, textBottom - 25, textTop - 25), 40) << "VATSIM's text";

    // A network without clients has no bar and no text.
    model.CurrentNetwork = kIvao;
    model.ClientTotal = {0, 450, 0};
    Rebuild();
    Draw();
    EXPECT_EQ(Ink(Colour::ScreenBorder, 0, kW, kH - 90, kH - 25), 0);
    EXPECT_TRUE(Near(At(100, kH - 40), bg, 2));
}

// The start-up splash: a 250 x 270 panel in the middle (the window colour at
// 0.8, shaded with WindowShading from 0.6 at its bottom to 0.3 at its top,
// outlined in the border colour), the emblem's globe in the globe's
// colours, and the name and the credit line in the border colour.
TEST_F(FramePixels, SplashPanelWithEmblemAndText) {
    Draw();
    const std::vector<unsigned char> plain = picture;
    BuildSplash(theme, kW, kH);
    overlay.AboutVisible = true;
    Draw();
    window.Shot("frame-splash.png");
    const int cx = kW / 2, cy = kH / 2;
    const Pixel bg = Theme(Colour::ScreenBackground);
    const auto panel = [&](int y) {  // y from the centre, at x -110
        const float a = 0.6f - 0.3f * (static_cast<float>(y + 135) + 0.5f) / 270;
        return Over(Colour::WindowShading, a, Over(Colour::WindowBackground, 0.8f, bg));
    };
    for (int y : {-120, -60, 0, 60, 120}) EXPECT_TRUE(Near(At(cx - 110, cy + y), panel(y), 4)) << y;
    // The outline at x +-125 and y +-135; outside, the frame as without it.
    const Pixel border = Theme(Colour::ScreenBorder);
    const auto edge = [&](int x, int y) {
        for (int d = -1; d <= 1; ++d)
            if (Near(At(x + d, y), border, 6) || Near(At(x, y + d), border, 6)) return true;
        return false;
    };
    EXPECT_TRUE(edge(cx - 125, cy) && edge(cx + 125, cy) && edge(cx, cy - 135) && edge(cx + 100, cy + 135));
    const auto plainAt = [&](int x, int y) {
        const size_t i = static_cast<size_t>((y * kW + x) * 4);
        return Pixel{plain[i], plain[i + 1], plain[i + 2]};
    };
    for (auto [x, y] : {std::pair{cx - 128, cy}, {cx + 128, cy}, {cx, cy - 138}, {cx, cy + 138}})
        EXPECT_EQ(At(x, y), plainAt(x, y)) << x << "," << y;
    // The emblem's globe, 62 pixels round (0, 28): inside it, a colour
    // between the globe's equator and pole colours; not the panel's.
    const Pixel eq = Theme(Colour::GlobeEquator), pole = Theme(Colour::GlobePoles);
    const auto globeColour = [&](const Pixel& p) {
        for (int i = 0; i < 3; ++i)
            if (p[static_cast<size_t>(i)] < std::min(eq[static_cast<size_t>(i)], pole[static_cast<size_t>(i)]) - 3 ||
                p[static_cast<size_t>(i)] > std::max(eq[static_cast<size_t>(i)], pole[static_cast<size_t>(i)]) + 3)
                return false;
        return true;
    };
    EXPECT_TRUE(globeColour(At(cx - 40, cy + 50)));
    EXPECT_TRUE(globeColour(At(cx + 45, cy)));
    EXPECT_FALSE(globeColour(At(cx - 110, cy + 50)));
    // The name over the credit line, both in the border colour.
    EXPECT_GT(Ink(Colour::ScreenBorder, cx - 50, cx + 60, cy - 105, cy - 92), 40) << "Kestrava v1.0.0";
    EXPECT_GT(Ink(Colour::ScreenBorder, cx - 74, cx + 80, cy - 122, cy - 110), 40) << "by the Kestrava developers";
    EXPECT_EQ(Ink(Colour::ScreenBorder, cx - 120, cx - 80, cy - 100, cy - 60), 0);
}
