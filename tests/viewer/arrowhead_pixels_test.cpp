// The aircraft arrowhead and the inbound marker drawn from arrays against
// the shapes drawn vertex by vertex as they were: the same pixels, in a
// display list and directly, and the same colour left current.
#include "gl_fixture.h"
#include "kestrav/render/overlay.h"
#include "kestrav/render/scene.h"
#include "globe/globe_view.h"
#include "globe/sphere.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
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

TEST_F(ArrowheadPixels, InboundMarkersFromArraysDrawTheVertexByVertexPixels) {
    // Pilots bound for one airport from all sides, seen close up.
    std::vector<PilotClient> pilots;
    for (int i = 0; i < 24; ++i) {
        PilotClient p;
        p.DestLatitude = 50.03f;
        p.DestLongitude = 8.57f;
        p.Latitude = 50.03f + 3.1f * static_cast<float>(std::sin(i * 0.27)) + 0.01f * static_cast<float>(i);
        p.Longitude = 8.57f + 4.3f * static_cast<float>(std::cos(i * 0.27));
        pilots.push_back(p);
    }
    const auto draw = [&](bool arrays, bool listed) {
        glClearColor(0.1f, 0.2f, 0.3f, 1);
        Camera camera{8.57f, -50.03f, 40};
        if (!BeginGlobeView(camera, kSide, kSide)) return std::pair{std::vector<unsigned char>{}, std::vector<float>{}};
        const GLuint list = listed ? glGenLists(1) : 0;
        if (listed) glNewList(list, GL_COMPILE);
        for (const PilotClient& p : pilots) arrays ? DrawInboundMarker(p, theme) : InboundVertexByVertex(p, theme);
        if (listed) {
            glEndList();
            glCallList(list);
            glDeleteLists(list, 1);
        }
        glPopMatrix();
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return std::pair{testsupport::ReadPicture(kSide, kSide), std::vector<float>(colour, colour + 4)};
    };
    const auto [before, colourBefore] = draw(false, false);
    size_t lit = 0;
    for (size_t i = 0; i < before.size(); i += 4) lit += before[i] != 26;
    EXPECT_GT(lit, 500u);
    for (bool listed : {false, true}) {
        const auto [after, colourAfter] = draw(true, listed);
        EXPECT_TRUE(after == before) << (listed ? "from a display list" : "drawn directly");
        EXPECT_EQ(colourAfter, colourBefore);
    }
}
