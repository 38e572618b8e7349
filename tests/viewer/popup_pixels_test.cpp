// The popups and the pick list as drawn: panel, outline, dividers, close
// cross, the dials' shading and needle, and pick rows where the hit test
// finds them.
#include "gl_fixture.h"
#include "kestrav/render/display_lists.h"
#include "globe/gl_text.h"
#include "kestrav/render/popups.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr int kW = 800, kH = 600;

class PopupPixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Ready());
        model.Networks[0].UpdateStamp = "20261208123000";
    }
    // List 40 over a red window.
    void Draw() { window.Draw(lists::Viewer().Popup, 1, 0, 0); }
    std::array<int, 3> At(double x, double y) const { return window.At(x, y); }
    bool White(const std::array<int, 3>& p) const { return p[0] > 200 && p[1] > 200 && p[2] > 200; }
    bool LineNear(double x, double y) const { return window.LineNear(x, y); }
    // The shading colour at alpha `a` over the body (80 % black over red).
    std::array<int, 3> ShadedBody(float a) const {
        const Rgb s = theme.Get(Colour::WindowShading);
        return Bytes(s.Red * a + 0.2f * (1 - a), s.Green * a, s.Blue * a);
    }
    testsupport::OverlayWindow window{kW, kH};
    ColourTheme theme = LoadColourTheme(testsupport::SourcePath("colours/default.dc"));
    NetworkModel model;
};

}  // namespace

TEST_F(PopupPixels, ControllerPanelHasBodyOutlineDividersAndCross) {
    AtcClient atc;
    atc.Callsign = "EDDF_TWR";
    atc.MemberId = "1234567";
    atc.Facility = FacilityKind::Tower;
    atc.Location = "EDDF";
    atc.AtisText = "Frankfurt Tower information ECHO^\xA7" + std::string(60, 'X');
    BuildAtcPopup(model, 0, atc, theme, kW, kH);
    Draw();
    window.Shot("atc-popup.png");
    EXPECT_TRUE(Near(At(60, -40), Bytes(0.2f, 0, 0), 2)) << "80 % of the body colour over the window";
    EXPECT_TRUE(Near(At(200, 0), Bytes(1, 0, 0), 0)) << "nothing outside the panel";
    EXPECT_TRUE(LineNear(-130, 0) && LineNear(130, 0) && LineNear(0, 110) && LineNear(0, -110));
    EXPECT_TRUE(LineNear(-44, -100) && LineNear(44, -100)) << "the button dividers";
    EXPECT_FALSE(LineNear(-44, -60)) << "dividers stay in the bottom band";
    EXPECT_TRUE(LineNear(120, 100)) << "the close cross's middle";
    EXPECT_FALSE(White(At(112, 100)));
    // The 7-character member id ends where a 6-character one would.
    bool left = false, right = false;
    for (int y = 62; y < 70; ++y) {
        for (int x = 85; x < 91; ++x) left = left || White(At(x, y));
        for (int x = 121; x < 127; ++x) right = right || White(At(x, y));
    }
    EXPECT_TRUE(left && right);
}

TEST_F(PopupPixels, DialsShadeTheirRingAndPointTheNeedle) {
    PilotClient p;
    p.Callsign = "TEST1";
    p.GroundSpeed = 300;       // the speed needle straight up
    p.Altitude = 0;            // the altitude needle at the start
    p.CruiseSpeed = "N0450";   // marker at 75 degrees
    BuildPilotPopup(model, 0, p, theme, kW, kH);
    Draw();
    window.Shot("pilot-dials.png");
    // The altitude dial at (61, 92): faint near the top, strong at the ends.
    const auto ring = [&](double cx, double cy, double degrees) {
        const double a = degrees * 3.14159 / 180;
        return At(cx + 49 * std::sin(a), cy + 49 * std::cos(a));
    };
    EXPECT_TRUE(Near(ring(61, 92, 95), ShadedBody(95.0f / 500 + 0.1f), 6));
    EXPECT_TRUE(Near(ring(61, 92, 145), ShadedBody(145.0f / 500 + 0.1f), 6));
    EXPECT_TRUE(Near(ring(61, 92, 180), Bytes(0.2f, 0, 0), 2)) << "no ring below the centre";
    // Speed needle up from (-61, 92), altitude needle down-left at -150.
    EXPECT_TRUE(LineNear(-61, 92 + 30));
    EXPECT_FALSE(LineNear(-61 + 30, 92));
    EXPECT_TRUE(LineNear(61 - 15, 92 - 26));
    // The planned-speed marker crosses the speed ring at 75 degrees.
    EXPECT_TRUE(LineNear(-61 + 49 * std::sin(75 * 3.14159 / 180), 92 + 49 * std::cos(75 * 3.14159 / 180)));
}

TEST_F(PopupPixels, PickRowsAreDrawnWhereTheHitTestFindsThem) {
    const PickBox box{-100, -60, 187, 5 * 12 + 4};
    const std::vector<std::string> rows{"AAAA", "BBBB", "CCCC", "DDDD", "EEEE"};
    BuildSelectionList(box, rows, theme, kW, kH);
    Draw();
    window.Shot("pick-list.png");
    EXPECT_TRUE(LineNear(box.Left, -40) && LineNear(box.Left + box.Width, -40));
    // Each row's glyphs: the lowest and highest text pixels between x of
    // the box's left edge and 30 px in, one band after the other.
    for (int k = 1; k <= 5; ++k) {
        const float lower = PickRowLowerEdge(box, k);
        int top = -1000, bottom = 1000;
        for (int y = static_cast<int>(lower); y < static_cast<int>(lower) + 12; ++y)
            for (int x = static_cast<int>(box.Left) + 3; x < static_cast<int>(box.Left) + 30; ++x)
                if (White(At(x, y))) {
                    top = std::max(top, y);
                    bottom = std::min(bottom, y);
                }
        ASSERT_LE(bottom, top) << "no text in row " << k;
        EXPECT_EQ(PickRowAt(box, 5, bottom + 0.5), k);
        EXPECT_EQ(PickRowAt(box, 5, top + 0.5), k);
    }
}
