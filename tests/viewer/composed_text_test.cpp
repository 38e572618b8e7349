// A text drawn as one composed bitmap against the same text drawn one glyph
// list per character: the same pixels, and the raster position moved alike.
#include "gl_fixture.h"
#include "kestrav/render/display_lists.h"
#include "globe/gl_text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrava;

namespace {

std::vector<unsigned char> Picture(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width * height * 4));
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

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
            pictures[composed] = Picture(400, 100);
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
