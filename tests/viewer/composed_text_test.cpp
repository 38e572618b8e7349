// A text drawn as one composed bitmap against the same text drawn one glyph
// list per character: the same pixels, and the raster position moved alike.
#include "gl_fixture.h"
#include "kestrav/render/display_lists.h"
#include "globe/camera.h"
#include "globe/gl_text.h"
#include "globe/globe_view.h"
#include "globe/sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace kestrava;

namespace {


}  // namespace

TEST(ComposedText, DrawsTheGlyphListsPixelsAndMovesAlike) {
    testsupport::GlWindow window(400, 100);
    ASSERT_TRUE(window.Ready());
    lists::AllocateGlobe();
    ASSERT_TRUE(BuildGlyphSets());
    glViewport(0, 0, 400, 100);
    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Both sets, characters above 127, a control character and code 255
    // (neither has a glyph), a space, and a raster position between pixels.
    const std::string text = "DLH123 W\xC4\xE9\xA7 \x01gjy\xFF|";
    for (unsigned base : {lists::Globe().GlyphSmall, lists::Globe().GlyphBold}) {
        std::vector<unsigned char> pictures[2];
        float moved[2][4];
        for (int composed = 0; composed < 2; ++composed) {
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
            glColor4f(1, 1, 0.5f, 1);
            glRasterPos2f(-0.8037f, 0.1234f);
            if (composed)
                DrawGlyphs(base, text);
            else
                DrawGlyphLists(base, text);
            glGetFloatv(GL_CURRENT_RASTER_POSITION, moved[composed]);
            // A second text continues on the same line.
            if (composed)
                DrawGlyphs(base, "AB");
            else
                DrawGlyphLists(base, "AB");
            pictures[composed] = testsupport::ReadPicture(400, 100);
        }
        EXPECT_EQ(moved[0][0], moved[1][0]);
        EXPECT_EQ(moved[0][1], moved[1][1]);
        EXPECT_GT(moved[0][0], 60) << "the text moved the raster position";
        size_t lit = 0, differing = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) {
            lit += pictures[0][i] != 0;
            differing += pictures[0][i] != pictures[1][i];
        }
        EXPECT_GT(lit, 200u);
        EXPECT_EQ(differing, 0u);
    }
}

TEST(RasterMapping, PlacesGlobePointsWhereTheContextsRasterPositionLandsBitForBit) {
    testsupport::GlWindow window(640, 400);
    ASSERT_TRUE(window.Ready());
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);
    int placed = 0, clipped = 0;
    for (int view = 0; view < 24; ++view) {
        // Whole globes, and views zoomed far in where most points lie off
        // the viewport or beyond the far plane.
        Camera camera;
        camera.Spin = 360 * unit(random);
        camera.Tilt = 180 * unit(random) - 90;
        camera.Zoom = view < 8 ? 0.5f + unit(random) : std::pow(2.0f, 8 * unit(random));
        glMatrixMode(GL_MODELVIEW);
        ASSERT_TRUE(BeginGlobeView(camera, 640, 400, false));
        const RasterMapping mapping;
        for (int i = 0; i < 1500; ++i) {
            const float lat = 180 * unit(random) - 90, lon = 360 * unit(random) - 180;
            const float point[3] = {GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon)};
            glRasterPos3fv(point);
            GLboolean valid = GL_FALSE;
            glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
            GLfloat position[4] = {};
            glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
            float x = 0, y = 0;
            const RasterMapping::Place place = mapping.PlaceOf(point, x, y);
            ASSERT_NE(place, RasterMapping::Place::AskTheContext);
            ASSERT_EQ(place == RasterMapping::Place::Placed, valid == GL_TRUE) << lat << " " << lon;
            if (!valid) {
                ++clipped;
                continue;
            }
            ++placed;
            ASSERT_EQ(x, position[0]) << lat << " " << lon << " view " << view;
            ASSERT_EQ(y, position[1]) << lat << " " << lon << " view " << view;
        }
        glPopMatrix();
    }
    EXPECT_GT(placed, 3000);
    EXPECT_GT(clipped, 3000);
    // A projection of its own: the sum alone is not enough there.
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    const float point[3] = {0, 0, -2};
    float x = 0, y = 0;
    EXPECT_EQ(RasterMapping().PlaceOf(point, x, y), RasterMapping::Place::AskTheContext);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

TEST(PlacedTexts, DrawThePixelsOfARasterPositionAndTextEachWhereverTheyLand) {
    testsupport::GlWindow window(400, 300);
    ASSERT_TRUE(window.Ready());
    lists::AllocateGlobe();
    ASSERT_TRUE(BuildGlyphSets());
    glViewport(-100, -150, 600, 600);  // larger than the window, as the globe's
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Texts close together and on top of each other, at depths all
    // different, some beyond the far plane or off the window, in both sets.
    struct Text {
        float X, Y, Z;
        bool Bold;
        std::string Words;
    };
    std::vector<Text> texts;
    for (int i = 0; i < 120; ++i) {
        const float t = static_cast<float>(i);
        texts.push_back({-1.05f + 0.0179f * t, 0.93f - 0.0151f * t * (i % 2 ? 1.0f : 0.5f), -0.9f + 0.016f * t,
                         i % 3 == 0, "DLH" + std::to_string(100 + i * 7)});
    }
    texts.push_back({0.1f, 0.1f, 0.3f, false, "OVER\xC4"});
    texts.push_back({-0.3f, -0.4f, 0.1f, true, "SOFT\xAD" "HYPHEN"});  // a glyph of no pixels, very wide
    texts.push_back({0.1003f, 0.1002f, -0.2f, false, "UNDER"});
    texts.push_back({0.2f, 0.2f, 5.0f, false, "CLIPPED"});
    texts.push_back({0.2f, -0.2f, -11.0f, false, ""});
    // The ortho in the model-view matrix, as the globe's views have it
    // (positions summed here), and in the projection (asked of the context).
    const auto transform = [](bool inProjection) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (inProjection) glOrtho(-1, 1, -1, 1, -10, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (!inProjection) glOrtho(-1, 1, -1, 1, -10, 1);
        glRotatef(23.7f, 0.3f, 1, 0.1f);
    };
    // One set of texts throughout, filled anew each time: its texture must
    // follow the texts.
    PlacedTexts placed;
    float alpha = 1;  // blending then changes nothing, and may be left out
    const auto draw = [&](bool together) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 0.9f, 0.5f, alpha);
        if (together) {
            placed.Clear();
            for (const Text& t : texts)
                placed.Add(t.X, t.Y, t.Z, t.Bold ? lists::Globe().GlyphBold : lists::Globe().GlyphSmall, t.Words);
            placed.Draw(400, 300);
            if (alpha == 1) placed.Draw(400, 300);  // again from the same texture, over itself
        } else {
            for (const Text& t : texts) {
                glRasterPos3f(t.X, t.Y, t.Z);
                t.Bold ? DrawTextBold(t.Words) : DrawTextSmall(t.Words);
            }
        }
        return testsupport::ReadPicture(400, 300);
    };
    // Texts changed between the cases; the last one blended.
    const struct {
        bool InProjection;
        float Alpha;
    } cases[] = {{false, 1}, {true, 1}, {false, 0.6f}};
    for (const auto [inProjection, caseAlpha] : cases) {
        transform(inProjection);
        alpha = caseAlpha;
        for (Text& t : texts) t.Words = t.Words.empty() ? t.Words : "Q" + t.Words;
        const std::vector<unsigned char> each = draw(false);
        const std::vector<unsigned char> together = draw(true);
        size_t lit = 0, differing = 0;
        for (size_t i = 0; i < each.size(); ++i) {
            lit += each[i] != 0;
            differing += each[i] != together[i];
        }
        EXPECT_GT(lit, 3000u) << inProjection << " " << caseAlpha;
        EXPECT_EQ(differing, 0u) << inProjection << " " << caseAlpha;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

TEST(FittedText, AnyLengthIsCutWithDotsInsideItsRoom) {
    std::vector<GlyphRaster> glyphs(255);
    for (GlyphRaster& g : glyphs) {
        g.Present = true;
        g.Advance = 7;
    }
    glyphs['.'].Advance = 3;
    glyphs['W'].Advance = 12;
    auto width = [&](const std::string& text) {
        int pixels = 0;
        for (unsigned char c : text) pixels += glyphs[c].Advance;
        return pixels;
    };
    const std::string callsign(10000, 'W');
    const std::string fitted = FitGlyphs(glyphs, "Flight " + callsign, 215);
    EXPECT_LE(width(fitted), 215);
    EXPECT_GT(width(fitted), 215 - 12);  // no room wasted
    EXPECT_EQ(fitted.rfind("Flight WWW", 0), 0u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_EQ(FitGlyphs(glyphs, "AB", 14), "AB");     // fits exactly: whole
    EXPECT_EQ(FitGlyphs(glyphs, "ABC", 18), "A...");  // 7 + 9
    EXPECT_EQ(FitGlyphs(glyphs, "ABC", 8), "");       // not even the dots
}
