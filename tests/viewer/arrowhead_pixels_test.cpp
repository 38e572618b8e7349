// The aircraft arrowhead drawn from arrays, and the scene's aircraft and
// inbound markers drawn from their placed shapes, against the shapes drawn
// vertex by vertex as they were: the same pixels, and the same colour left
// current.
#include "gl_fixture.h"
#include "globe/pixel_scale.h"
#include "kestrav/render/overlay.h"
#include "kestrav/render/placed_shapes.h"
#include "kestrav/render/scene.h"
#include "globe/globe_view.h"
#include "globe/sphere.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace kestrava;

namespace {

// The arrowhead as it was drawn before it came from arrays.
void ArrowheadVertexByVertex(float s, float speed, const ColourTheme& theme) {
    const float outline[4][2] = {{0, -s}, {-0.5f * s, s}, {0, 0.5f * s}, {0.5f * s, s}};
    SetColour(theme, Colour::PlaneFill);
    glBegin(GL_POLYGON);
    for (auto& v : outline) glVertex3f(v[0], v[1], 0);
    glEnd();
    SetColour(theme, Colour::PlaneBorder);
    glBegin(GL_LINE_STRIP);
    for (auto& v : outline) glVertex3f(v[0], v[1], 0);
    glVertex3f(0, -s, 0);
    glEnd();
    if (speed > 50) {
        glBegin(GL_POLYGON);
        SetColour(theme, Colour::PlaneBorder, 0.2f);
        glVertex3f(0.5f * s, s, 0);
        glVertex3f(0, 0.5f * s, 0);
        glVertex3f(-0.5f * s, s, 0);
        SetColour(theme, Colour::PlaneBorder, 0);
        glVertex3f(0, 0.5f * s + s * std::min(speed, 2000.0f) / 50, 0);
        glEnd();
    }
}

// The inbound marker as it was drawn before it came from arrays.
void InboundVertexByVertex(const PilotClient& p, const ColourTheme& theme) {
    glPushMatrix();
    glTranslatef(GlobeX(p.DestLatitude, p.DestLongitude), GlobeY(p.DestLatitude), GlobeZ(p.DestLatitude, p.DestLongitude));
    glRotatef(p.DestLongitude, 0, 1, 0);
    glRotatef(p.DestLatitude, -1, 0, 0);
    glRotatef(Bearing(p.DestLatitude, p.DestLongitude, p.Latitude, p.Longitude), 0, 0, -1);
    glBegin(GL_POLYGON);
    SetColour(theme, Colour::Highlight, 0.2f);
    glVertex3f(0, 0, 0);
    SetColour(theme, Colour::Highlight, 0);
    glVertex3f(-0.0004f, 0.0095f, 0);
    glVertex3f(0, 0.01f, 0);
    glVertex3f(0.0004f, 0.0095f, 0);
    glEnd();
    glPopMatrix();
}

constexpr int kSide = 300;

// A window of kSide pixels square, blending as the viewer's frames do.
class ArrowheadPixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.Ready());
        glViewport(0, 0, kSide, kSide);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    testsupport::GlWindow window{kSide, kSide};
    const ColourTheme theme = LoadColourTheme("/nonexistent.dc");
};

}  // namespace

TEST_F(ArrowheadPixels, ArraysDrawTheVertexByVertexPixelsInAListAndDirectly) {
    // Sizes of the globe and of the radar, slow and fast, past 2000 kt,
    // turned to odd angles between pixels, overlapping their neighbours.
    const auto draw = [&](bool arrays) {
        glClearColor(0.1f, 0.2f, 0.3f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        int k = 0;
        std::optional<ArrowheadArrays> batch;
        if (arrays) batch.emplace();
        for (float size : {0.02f, 0.05f, 0.11f})
            for (float speed : {0.0f, 50.0f, 51.0f, 430.0f, 2500.0f}) {
                glPushMatrix();
                glTranslatef(-0.85f + 0.117f * static_cast<float>(k % 15), -0.8f + 0.4f * static_cast<float>(k / 15) +
                                                                             0.013f * static_cast<float>(k % 3), 0);
                glRotatef(37.3f * static_cast<float>(k), 0, 0, -1);
                if (arrays)
                    batch->Draw(size, speed, theme);
                else
                    ArrowheadVertexByVertex(size, speed, theme);
                glPopMatrix();
                ++k;
            }
    };
    const auto compiled = [&](bool arrays) {
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        draw(arrays);
        glEndList();
        glCallList(list);
        glDeleteLists(list, 1);
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return std::pair{testsupport::ReadPicture(kSide, kSide), std::vector<float>(colour, colour + 4)};
    };
    draw(false);
    const std::vector<unsigned char> before = testsupport::ReadPicture(kSide, kSide);
    draw(true);
    const std::vector<unsigned char> after = testsupport::ReadPicture(kSide, kSide);
    size_t lit = 0;
    for (size_t i = 0; i < before.size(); i += 4) lit += before[i] != 26;  // not the background's red
    EXPECT_GT(lit, 2000u);
    EXPECT_TRUE(before == after) << "drawn directly";

    const auto [listBefore, colourBefore] = compiled(false);
    const auto [listAfter, colourAfter] = compiled(true);
    EXPECT_TRUE(listBefore == before);
    EXPECT_TRUE(listAfter == listBefore) << "from a display list";
    EXPECT_EQ(colourAfter, colourBefore) << "the colour left current";
}

namespace {

struct NoDisplay : DisplayHooks {};

// The aircraft as the scene drew it before its shapes: the arrowhead vertex
// by vertex in the pilot's turned frame.
void PlaneVertexByVertex(const PilotClient& p, const ColourTheme& theme) {
    glPushMatrix();
    glTranslatef(GlobeX(p.Latitude, p.Longitude), GlobeY(p.Latitude), GlobeZ(p.Latitude, p.Longitude));
    glRotatef(p.Longitude, 0, 1, 0);
    glRotatef(p.Latitude, -1, 0, 0);
    glRotatef(static_cast<float>(p.Heading) + 180, 0, 0, -1);
    ArrowheadVertexByVertex(p.GroundSpeed < 50 ? 0.00075f : 0.0015f, p.GroundSpeed, theme);
    glPopMatrix();
}

// Pilots all over the globe, slow and fast (the fastest with trails far
// longer than their symbol), some without a destination, and some two dozen
// bound for one airport from all sides.
void Populate(NetworkModel& model) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    Snapshot& s = model.Networks[0];
    s.Pilots.resize(1436);
    const float speeds[] = {0, 30, 49, 51, 120, 450, 1200, 2000, 5000};
    for (int i = 0; i < 1400; ++i) {
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p = PilotClient{};
        p.Callsign = "P" + std::to_string(i);
        p.MemberId = std::to_string(i);
        p.Latitude = 170 * unit(random) - 85, p.Longitude = 360 * unit(random) - 180;
        p.GroundSpeed = speeds[i % std::size(speeds)];
        p.Heading = static_cast<std::int16_t>(360 * unit(random));
        if (i % 7 == 0) continue;
        if (i % 50 == 1) {
            p.DestLatitude = 50.03f, p.DestLongitude = 8.57f;
            p.Latitude = 50.03f + 3.1f * std::sin(static_cast<float>(i) * 0.27f);
            p.Longitude = 8.57f + 4.3f * std::cos(static_cast<float>(i) * 0.27f);
        } else {
            p.DestLatitude = 170 * unit(random) - 85, p.DestLongitude = 360 * unit(random) - 180;
        }
    }
    // Fast ones round that airport, just off a close view of it, flying
    // away: only their trails reach in.
    for (int k = 0; k < 36; ++k) {
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p = PilotClient{};
        p.Callsign = "R" + std::to_string(k);
        p.MemberId = std::to_string(2000 + k);
        const float away = static_cast<float>(k) * 10, far = 1.3f + 0.04f * static_cast<float>(k);
        p.Latitude = 50.03f + far * std::cos(away * 0.017453f);
        p.Longitude = 8.57f + far * std::sin(away * 0.017453f) / 0.642f;
        p.GroundSpeed = 2000;
        p.Heading = static_cast<std::int16_t>(away);
    }
    model.ClientTotal[0] = s.PilotCount;
    s.UpdateStamp = "20201231143200";
}

}  // namespace

// The scene's aircraft and inbound markers, from their list or with those
// that cannot reach the window left out, against the lists of the shapes
// drawn vertex by vertex: the same pixels from any view, and the same colour
// left current.
TEST_F(ArrowheadPixels, PlacedShapesLeftOutOffTheWindowDrawTheVertexByVertexListsPixels) {
    constexpr int kWidth = 300, kHeight = 200;
    NetworkModel model;
    Populate(model);
    Settings settings;
    settings.Layers.ShowActualHeading = true;
    NoDisplay display;
    SceneState state;
    testsupport::PrepareViewerContext(theme);
    SceneContext scene{model, display, theme, settings, false, state, model.StatusText};
    BuildNetworkScene(scene, 0);
    const Snapshot& s = model.Networks[0];
    const GLuint lists = glGenLists(2);
    glNewList(lists, GL_COMPILE);
    for (int i = 0; i < s.PilotCount; ++i) PlaneVertexByVertex(s.Pilots[static_cast<size_t>(i)], theme);
    glEndList();
    glNewList(lists + 1, GL_COMPILE);
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (p.DestLatitude != 0 && p.DestLongitude != 0) InboundVertexByVertex(p, theme);
    }
    glEndList();
    const PlacedShapes* const shapes[] = {&state.SceneShapes[0].Planes, &state.SceneShapes[0].Inbounds};
    ASSERT_EQ(shapes[0]->Size(), 1436u);
    ASSERT_EQ(shapes[1]->Size(), 1200u);

    // The whole globe, half of it off the window, close in (the trails of
    // some reaching in from off the window), the one airport from near, and
    // a projection of its own where every shape is drawn.
    const Camera views[] = {{0, 0, 0.45f}, {100, 35, 0.9f}, {-40, -70, 3}, {200, 20, 25}, {17, 52, 60},
                            {-75, 10, 160}, {8.57f, -50.03f, 40}, {8.57f, -50.03f, 400}};
    const double margin = 4 + 2 * DevicePixels(2);
    size_t lit = 0, leftOut = 0, drawn = 0, whole = 0;
    for (int view = 0; view <= static_cast<int>(std::size(views)); ++view)
        for (int kind = 0; kind < 2; ++kind) {
            const auto draw = [&](bool placed) {
                glClearColor(0.1f, 0.2f, 0.3f, 1);
                glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
                Camera camera = view < static_cast<int>(std::size(views)) ? views[view] : Camera{30, -20, 1};
                BeginGlobeView(camera, kWidth, kHeight);
                if (view == static_cast<int>(std::size(views))) {
                    glMatrixMode(GL_PROJECTION);
                    glLoadIdentity();
                    glFrustum(-0.5, 0.5, -0.3, 0.3, 1, 5);
                    glMatrixMode(GL_MODELVIEW);
                    glTranslatef(0, 0, -2.2f);
                }
                if (placed)
                    shapes[kind]->Draw(kWidth, kHeight, margin);
                else
                    glCallList(lists + static_cast<GLuint>(kind));
                glPopMatrix();
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                glMatrixMode(GL_MODELVIEW);
                float colour[4];
                glGetFloatv(GL_CURRENT_COLOR, colour);
                return std::pair{testsupport::ReadPicture(kWidth, kHeight), std::vector<float>(colour, colour + 4)};
            };
            const auto [expected, colourExpected] = draw(false);
            const auto [fromShapes, colourFromShapes] = draw(true);
            if (shapes[kind]->LastWhole()) {
                ++whole;
            } else {
                leftOut += shapes[kind]->LastLeftOut();
                drawn += shapes[kind]->Size() - shapes[kind]->LastLeftOut();
            }
            size_t differing = 0;
            for (size_t i = 0; i < expected.size(); i += 4) {
                lit += expected[i] != 26;  // not the background's red
                differing += expected[i] != fromShapes[i] || expected[i + 1] != fromShapes[i + 1] ||
                             expected[i + 2] != fromShapes[i + 2];
            }
            EXPECT_EQ(differing, 0u) << "view " << view << " kind " << kind;
            EXPECT_EQ(colourFromShapes, colourExpected) << "view " << view << " kind " << kind;
        }
    EXPECT_GT(lit, 10000u);
    // Views drawn from the list of them all, and views from the shapes that
    // reach the window, most left out: the pictures held both ways.
    EXPECT_GE(whole, 4u);
    EXPECT_GT(leftOut, 10 * drawn);
    EXPECT_GT(drawn, 50u);
    glDeleteLists(lists, 2);
}
