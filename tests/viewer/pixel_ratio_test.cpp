// A screen of device pixel ratio 2: the frame, its bars and their text are
// twice the size in device pixels with the same layout, and clicks land on
// the popup's buttons where they are drawn.
#include "crafted_viewer.h"
#include "gl_fixture.h"
#include "globe/gl_text.h"
#include "globe/pixel_scale.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/frame.h"
#include "kestrav/render/window_frame.h"
#include "network/recording_hooks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr int kW = 400, kH = 300;  // the window's own pixels

// The frame and the status line drawn over an empty globe at a ratio into a
// window of the device pixels that ratio gives; pixels from the bottom left.
struct RatioPicture {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Rgba;
    std::array<int, 3> At(int x, int y) const {
        const size_t i = static_cast<size_t>((y * Width + x) * 4);
        return {Rgba[i], Rgba[i + 1], Rgba[i + 2]};
    }
    // The box holding every pixel near `ink` in the given rows.
    std::array<int, 4> InkBox(const std::array<int, 3>& ink, int x0, int x1, int y0, int y1) const {
        std::array<int, 4> box{x1, y1, -1, -1};
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (Near(At(x, y), ink, 12)) box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                                                    std::max(box[3], y)};
        return box;
    }
};

RatioPicture Draw(int ratio) {
    RatioPicture p;
    p.Width = kW * ratio;
    p.Height = kH * ratio;
    testsupport::GlWindow window(p.Width, p.Height);
    EXPECT_TRUE(window.Ready());
    if (!window.Ready()) return p;
    SetPixelScale(ratio);
    const ColourTheme theme = LoadColourTheme(testsupport::SourcePath("colours/default.dc"));
    testsupport::PrepareViewerContext(theme);
    BuildWindowFrame(theme, kW, kH);
    BuildStatusLine(lists::Viewer().StatusLine, "Ready", kW, kH);
    Settings settings;
    settings.DisableSmooth = true;
    MapSwitches switches;
    OverlayState overlay;
    Camera camera{0, 0, 0.05f};
    FrameInputs frame{camera, settings, switches, overlay, theme, kIvao, p.Width, p.Height};
    DrawScene(frame);
    p.Rgba.assign(static_cast<size_t>(p.Width * p.Height * 4), 0);
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, p.Width, p.Height, GL_RGBA, GL_UNSIGNED_BYTE, p.Rgba.data());
    ShutdownGlyphSets();
    SetPixelScale(1);
    return p;
}

// An X server of its own with a screen large enough for a window of the
// smallest size at ratio 2 (1440 x 1080); the test's programs use it while
// it lives.
class LargeScreen {
public:
    LargeScreen() {
        if (const char* d = std::getenv("DISPLAY")) previous_ = d;
        const int number = 90 + static_cast<int>(getpid() % 100);
        const std::string name = ":" + std::to_string(number);
        pid_ = fork();
        if (pid_ == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1600x1200x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        ready_ = pid_ > 0 && testsupport::WaitFor([&] { return std::filesystem::exists(socket); }, 15);
        if (ready_) setenv("DISPLAY", name.c_str(), 1);
    }
    ~LargeScreen() {
        if (previous_.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", previous_.c_str(), 1);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Ready() const { return ready_; }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
    std::string previous_;
};

}  // namespace

TEST(PixelRatio, AtRatioTwoTheFrameAndItsTextAreTwiceTheSizeWithTheSameLayout) {
    const RatioPicture one = Draw(1), two = Draw(2);
    ASSERT_FALSE(one.Rgba.empty());
    ASSERT_FALSE(two.Rgba.empty());
    // Away from text and edges, every pixel of the frame is where it was,
    // at twice the coordinates: the caption band, its buttons, the bottom
    // bar and its network cells, the globe's background.
    int compared = 0, differ = 0;
    for (int y = 1; y < kH - 1; y += 3)
        for (int x = 1; x < kW - 1; x += 3) {
            const auto a = one.At(x, y);
            bool plain = true;  // no edge near: the pixel's neighbours agree
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) plain = plain && Near(one.At(x + dx, y + dy), a, 3);
            if (!plain) continue;
            ++compared;
            differ += !Near(two.At(2 * x + 1, 2 * y + 1), a, 8);
        }
    EXPECT_GT(compared, 5000);
    EXPECT_EQ(differ, 0) << "of " << compared;
    // The caption's text and the status line: ink twice as wide and as high
    // (glyphs rasterised at twice the size: their hinted advances round a
    // little apart, within a twentieth), at twice the distance from the
    // window's edges.
    const auto white = Bytes(1, 1, 1);
    for (const auto& rows : {std::array<int, 2>{kH - 20, kH}, std::array<int, 2>{0, 20}}) {
        const auto a = one.InkBox(white, 0, kW / 2, rows[0], rows[1]);
        const auto b = two.InkBox(white, 0, kW, 2 * rows[0], 2 * rows[1]);
        ASSERT_GE(a[2], a[0]) << "no text in rows " << rows[0];
        ASSERT_GE(b[2], b[0]) << "no text in rows " << rows[0];
        EXPECT_NEAR(b[0], 2 * a[0], 3);
        const int wide = 2 * (a[2] - a[0]), high = 2 * (a[3] - a[1]);
        EXPECT_NEAR(b[2] - b[0], wide, 2 + wide / 20);
        EXPECT_NEAR(b[3] - b[1], high, 2 + high / 20);
    }
}

// The viewer itself at ratio 2: a tower's popup opens where the tower is
// clicked and its Profile button, clicked where it is drawn, opens the
// member's page.
TEST(PixelRatio, AtRatioTwoThePopupsButtonsAreHitWhereTheyAreDrawn) {
    using namespace testsupport;
    LargeScreen screen;
    ASSERT_TRUE(screen.Ready()) << "Xvfb did not start";
    const std::string tower =
        networktest::Line(48, {{0, "EDDF_TWR"}, {1, "222222"}, {2, "Bo Tower"}, {3, "ATC"}, {4, "119.900"},
                               {5, "50.0333"}, {6, "8.5706"}, {14, "EU1"}, {18, "4"}, {19, "60"},
                               {37, "20261208110000"}, {38, "IvAc"}, {39, "1.1.12"}, {40, "2"}, {41, "5"}});
    CraftedViewer v("ratio", "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = 20261208123000\r\n"
                             "CONNECTED CLIENTS = 1\r\n!CLIENTS\r\n" + tower + "\r\n!SERVERS\r\n",
                    "[Zoom]\r\nX1=857\r\nY1=-5003\r\nZ1=1600\r\n[Display]\r\nWindowLeft=0\r\nWindowTop=0\r\n"
                    "WindowWidth=720\r\nWindowHeight=540\r\n",
                    {"QT_SCALE_FACTOR=2"});
    ASSERT_TRUE(v.Start());
    EXPECT_EQ(v.width, 1440);  // device pixels
    EXPECT_EQ(v.height, 1080);
    const int cx = v.width / 2, cy = v.height / 2;
    const auto before = v.viewer->Image();
    ASSERT_TRUE(v.viewer->ClickAt(cx, cy));
    Settle();
    v.Shot("ratio-two-popup.png");
    // The popup, 260 of the window's pixels wide: its edge at twice 130
    // from the centre, nothing of it at twice 140.
    const auto popup = v.viewer->Image();
    const int y = cy - 2 * 60;  // above the tower's label
    EXPECT_NE(popup.Pixel(cx + 2 * 120, y), before.Pixel(cx + 2 * 120, y)) << "no popup drawn";
    EXPECT_EQ(popup.Pixel(cx + 2 * 140, y), before.Pixel(cx + 2 * 140, y)) << "the popup is not twice the size";
    // Profile: the right end of the button row, 100 right and 100 down.
    ASSERT_TRUE(v.viewer->ClickAt(cx + 2 * 100, cy + 2 * 100));
    EXPECT_TRUE(WaitFor([&] { return ReadFile(v.opened) == "http://127.0.0.1:9/profile?ID=222222"; }, 10))
        << ReadFile(v.opened);
    v.Exit();
}
