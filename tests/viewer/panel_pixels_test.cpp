// The list window and the radar as drawn at the smallest window, 720 x 540.
#include "gl_fixture.h"
#include "kestrav/render/panel_rows.h"
#include "kestrav/render/display_lists.h"
#include "globe/gl_text.h"
#include "kestrav/render/overlay.h"
#include "kestrav/render/panels.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr int kW = 720, kH = 540;

class PanelPixels : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Ready()); }
    void Draw() { window.Draw(lists::Viewer().Panel, 0, 0, 0); }
    std::array<int, 3> At(double x, double y) const { return window.At(x, y); }
    bool White(double x, double y) const { return window.White(x, y); }
    int Brightness(double x, double y) const {
        const auto p = At(x, y);
        return p[0] + p[1] + p[2];
    }
    bool Colour(double x, double y, kestrava::Colour c, int radius = 0) const {
        const Rgb rgb = theme.Get(c);
        for (int dx = -radius; dx <= radius; ++dx)
            for (int dy = -radius; dy <= radius; ++dy)
                if (Near(At(x + dx, y + dy), Bytes(rgb.Red, rgb.Green, rgb.Blue), 4)) return true;
        return false;
    }
    // The airport window of EDDF on its radar tab, its callsigns into
    // `labels`.
    PanelState BuildRadar(const NetworkModel& model, PanelLabels& labels) const {
        PanelState panel;
        panel.Rows = AirportPanelRows(kH);
        panel.Airport = "EDDF";
        BuildTimetable(panel, model, 0, "EDDF");
        BuildAirportWindow(model, panel, kRadarTab, theme, kW, kH, labels);
        return panel;
    }
    testsupport::OverlayWindow window{kW, kH};
    ColourTheme theme = LoadColourTheme(testsupport::SourcePath("colours/default.dc"));
};

}  // namespace

TEST_F(PanelPixels, ListWindowFitsItsRowsInsideThePanel) {
    PanelState panel;
    panel.Rows = PanelRows(kH);  // 35
    const int h = PanelHalfHeight(panel.Rows);
    ASSERT_EQ(h, 231);
    panel.Lines.assign(3, std::string(kRowWidth, 'W'));
    panel.Summary = "3 pilots on IVAO, displaying 1 - 3";
    BuildListWindow(panel, kPilotsTab, 0, theme, kW, kH);
    Draw();
    window.Shot("list-window.png");
    // The outline at the panel's four edges, nothing outside.
    EXPECT_TRUE(White(-345, 0) || White(-346, 0));
    EXPECT_TRUE(White(344, 0) || White(345, 0));
    EXPECT_TRUE(White(0, h - 1) || White(0, h));
    EXPECT_EQ(Brightness(-350, 0), 0);
    // The current tab (Pilots, 0 to 162.5) shaded in the border colour,
    // brighter than its neighbours.
    EXPECT_GT(Brightness(140, h - 3), Brightness(-140, h - 3) + 100);
    EXPECT_GT(Brightness(140, h - 3), Brightness(200, h - 3) + 100);
    // A row of 113 glyphs: its band holds text from x -339 on, the last
    // glyph ends inside the panel; the gap between two rows stays dark.
    const auto rowHasText = [&](int line, double x0, double x1) {
        const double baseline = h - (12.0 * line + 30);
        for (double y = baseline; y < baseline + 9; ++y)
            for (double x = x0; x < x1; ++x)
                if (White(x, y)) return true;
        return false;
    };
    EXPECT_TRUE(rowHasText(1, -339, -330));
    EXPECT_TRUE(rowHasText(3, 330, 339));
    EXPECT_FALSE(rowHasText(3, 341, 343)) << "113 glyphs end inside the outline";
    EXPECT_FALSE(rowHasText(4, -339, 339)) << "no fourth row";
}

TEST_F(PanelPixels, RadarPlacesNearAircraftInsideAndFarOnesOnTheRing) {
    NetworkModel model;
    model.Airports.Add("EDDF", Airport{"EDDF", "Frankfurt Airport", "Frankfurt", "DE", 50, 8});
    const auto pilot = [&](const std::string& call, float lat, float lon, float speed) {
        Snapshot& s = model.Networks[0];
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p.Callsign = call;
        p.Destination = "EDDF";
        p.DestLatitude = 50;
        p.DestLongitude = 8;
        p.Latitude = lat;
        p.Longitude = lon;
        p.GroundSpeed = speed;
        p.Heading = 180;
        p.Course = 270;
    };
    pilot("NORTH", 50 + 50.0f / 60, 8, 300);
    pilot("EAST", 50, 16, 300);
    pilot("PARKED", 50 - 20.0f / 60, 8, 0);
    PanelLabels labels;
    const PanelState panel = BuildRadar(model, labels);
    Draw();
    DrawPanelLabels(labels, theme, kW, kH);
    window.Shot("radar.png");
    const double r = std::min(PanelHalfHeight(panel.Rows) - 25, 335);  // 206
    // 50 nm north: half the radius above the centre, a full-size symbol.
    EXPECT_TRUE(Colour(-2, r / 2 - 2, Colour::PlaneFill, 1));
    EXPECT_TRUE(Colour(-2, r / 2 + 6, Colour::PlaneFill, 1)) << "13 px long at size 0.05";
    // 300 nm east, bearing 87: on the ring, a half-size symbol.
    const double b = 87 * 3.14159 / 180;
    EXPECT_TRUE(Colour(r * std::sin(b), r * std::cos(b), Colour::PlaneFill, 2));
    EXPECT_FALSE(Colour(r * std::sin(b) - 8, r * std::cos(b), Colour::PlaneFill, 1));
    // Parked: not on the radar.
    EXPECT_FALSE(Colour(0, -r / 5, Colour::PlaneFill, 4));
}

// The callsigns drawn by the frame over the radar, against the bitmaps the
// panel list held before: the same pixels where they overlap each other and
// the symbols, in both alphas, and none on the timetable.
TEST_F(PanelPixels, RadarCallsignsDrawTheBitmapsPixels) {
    NetworkModel model;
    model.Airports.Add("EDDF", Airport{"EDDF", "Frankfurt Airport", "Frankfurt", "DE", 50, 8});
    Snapshot& s = model.Networks[0];
    for (int i = 0; i < 300; ++i) {
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p.Callsign = "DLH" + std::to_string(100 + i);
        p.Destination = "EDDF";
        p.DestLatitude = 50;
        p.DestLongitude = 8;
        // Near ones on spirals round the airport, every fourth far away.
        const double far = i % 4 == 0 ? 4 + 0.01 * i : 0.05 + 0.005 * i;
        p.Latitude = static_cast<float>(50 + far * std::cos(i * 0.7));
        p.Longitude = static_cast<float>(8 + far * std::sin(i * 0.7) * 1.5);
        p.GroundSpeed = 280;
        p.Heading = static_cast<std::int16_t>(i * 7);
        p.Course = p.Heading;
    }
    PanelLabels labels;
    PanelState panel = BuildRadar(model, labels);
    ASSERT_EQ(labels.Runs.size(), 2u);

    // The callsigns as the list drew them, in the viewport it leaves.
    const GLuint bitmaps = glGenLists(1);
    glNewList(bitmaps, GL_COMPILE);
    const OverlayGrid g{kW, kH};
    float alpha = -1;
    for (const RadarBlip& blip : RadarBlips(model, 0, "EDDF", std::min(PanelHalfHeight(panel.Rows) - 25, 335))) {
        if (blip.LabelAlpha != alpha) SetColour(theme, Colour::PlaneLabel, alpha = blip.LabelAlpha);
        glRasterPos2f(g.X(blip.X), g.Y(blip.Y));
        DrawTextSmall(blip.Callsign);
    }
    glEndList();
    const auto picture = [&](bool placed) {
        Draw();
        if (placed)
            DrawPanelLabels(labels, theme, kW, kH);
        else
            glCallList(bitmaps);
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return std::pair{testsupport::ReadPicture(kW, kH), std::vector<float>(colour, colour + 4)};
    };
    const auto [expected, colourExpected] = picture(false);
    const auto [fromTexts, colourFromTexts] = picture(true);
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += expected[i] != fromTexts[i];
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(colourFromTexts, colourExpected);
    Draw();
    const std::vector<unsigned char> withoutCallsigns = testsupport::ReadPicture(kW, kH);
    size_t callsignBytes = 0;
    for (size_t i = 0; i < expected.size(); ++i) callsignBytes += expected[i] != withoutCallsigns[i];
    EXPECT_GT(callsignBytes, 20000u);
    glDeleteLists(bitmaps, 1);

    BuildAirportWindow(model, panel, kTimetableTab, theme, kW, kH, labels);
    EXPECT_TRUE(labels.Runs.empty());
}
