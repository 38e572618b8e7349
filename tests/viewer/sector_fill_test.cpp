#include "gl_fixture.h"
#include "kestrav/render/display_lists.h"
#include "globe/sector_lists.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace kestrava;
using testsupport::Bytes;
using testsupport::Near;

namespace {

constexpr float kZoom = 5;
constexpr int kSize = 400;

class SectorFill : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<testsupport::GlWindow>(kSize, kSize);
        ASSERT_TRUE(window->Ready());
        ASSERT_TRUE(window->HasStencil()) << "the fill needs a stencil bit";
        theme = LoadColourTheme("/nonexistent.dc");
        ParseColourText(theme, Colour::CTRFill, "C08040");
        glClearColor(0, 0, 0, 0);
    }
    // The globe seen straight at 0N 0E, magnified.
    void Draw(std::initializer_list<int> sectors) {
        glViewport(0, 0, kSize, kSize);
        glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 1);
        glTranslatef(0, 0, -1);
        glScalef(kZoom, kZoom, kZoom);
        for (int s : sectors) glCallList(compiled.at(s).Fill);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    // Whether the fill colour shows at a latitude and longitude.
    bool Filled(float lat, float lon) {
        const double k = 3.14159 / 180;
        const double x = std::cos(lat * k) * std::sin(lon * k);
        const double y = std::sin(lat * k);
        const int px = static_cast<int>((x * kZoom + 1) / 2 * kSize);
        const int py = static_cast<int>((y * kZoom + 1) / 2 * kSize);
        const Rgb fill = theme.Get(Colour::CTRFill);
        return Near(window->Pixel(px, py), Bytes(fill.Red, fill.Green, fill.Blue));
    }
    std::unique_ptr<testsupport::GlWindow> window;
    ColourTheme theme;
    CompiledSectors compiled;
};

std::vector<GeoPoint> Outline(std::initializer_list<std::pair<float, float>> points) {
    std::vector<GeoPoint> outline;
    for (auto [lat, lon] : points) outline.push_back({lat, lon});
    return outline;
}

}  // namespace

TEST_F(SectorFill, AnLShapeFillsItsInsideAndNotItsNotch) {
    BuildSectorLists(compiled, 700, Outline({{-4, -4}, {-4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, -4}, {-4, -4}}), theme);
    Draw({700});
    EXPECT_TRUE(Filled(-2, 2));
    EXPECT_TRUE(Filled(-2, -2));
    EXPECT_TRUE(Filled(2, -2));
    EXPECT_FALSE(Filled(2, 2));  // the notch
    EXPECT_FALSE(Filled(6, 6));
}

TEST_F(SectorFill, ASelfCrossingOutlineLeavesItsTwiceCoveredRegionEmpty) {
    // A five-pointed star drawn in one stroke covers its centre twice.
    std::vector<GeoPoint> star;
    for (int i = 0; i <= 5; ++i) {
        const double a = (90 + 144 * i) * 3.14159265 / 180;
        star.push_back({static_cast<float>(4 * std::sin(a)), static_cast<float>(4 * std::cos(a))});
    }
    BuildSectorLists(compiled, 701, star, theme);
    Draw({701});
    EXPECT_FALSE(Filled(0, 0));
    EXPECT_TRUE(Filled(3, 0));  // inside the top point
    EXPECT_FALSE(Filled(-3.5f, 0));
}

TEST_F(SectorFill, TwoOverlappingSectorsEachFillTheirOwnArea) {
    BuildSectorLists(compiled, 702, Outline({{-3, -5}, {-3, 1}, {3, 1}, {3, -5}}), theme);
    BuildSectorLists(compiled, 703, Outline({{-2, -1}, {-2, 5}, {2, 5}, {2, -1}}), theme);
    Draw({702, 703});
    EXPECT_TRUE(Filled(0, -4));   // first only
    EXPECT_TRUE(Filled(0, 4));    // second only
    EXPECT_TRUE(Filled(0, 0));    // both: filled, not cancelled
    EXPECT_TRUE(Filled(2.5f, -0.5f));
    EXPECT_FALSE(Filled(2.5f, 3));
    // Each fill leaves the stencil clear, so the next one starts clean.
    std::vector<GLubyte> stencil(static_cast<size_t>(kSize * kSize), 9);
    glReadPixels(0, 0, kSize, kSize, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    EXPECT_EQ(std::count(stencil.begin(), stencil.end(), 0), kSize * kSize);
}

TEST_F(SectorFill, ARepeatedNumberReplacesTheEarlierListsAndOutlineIsDrawn) {
    BuildSectorLists(compiled, 704, Outline({{-3, -3}, {-3, 3}, {3, 3}, {3, -3}}), theme);
    BuildSectorLists(compiled, 704, Outline({{-3, 4}, {-3, 6}, {3, 6}, {3, 4}}), theme);
    Draw({704});
    EXPECT_FALSE(Filled(0, 0));
    EXPECT_TRUE(Filled(0, 5));
    EXPECT_EQ(glIsList(compiled.at(704).Outline()), GL_TRUE);
}

// 1400 sectors, concave, self-crossing, overlapping and repeated, some off
// the window: filled in batches they give the same pixels as their fill
// lists one after the other, and the stencil is clear after.
TEST_F(SectorFill, FilledInBatchesTheSectorsGiveTheSamePixelsAndLeaveTheStencilClear) {
    std::vector<int> sectors;
    unsigned seed = 12345;
    const auto next = [&](float from, float to) {
        seed = seed * 1103515245u + 12345u;
        return from + (to - from) * static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f;
    };
    for (int s = 1000; s < 2400; ++s) {
        const float lat = next(-14, 14), lon = next(-14, 14), size = next(0.1f, s % 50 == 0 ? 8 : 2);
        std::vector<GeoPoint> outline;
        const int points = 3 + s % 9;
        for (int i = 0; i < points; ++i) {
            const float angle = 6.2832f * static_cast<float>(i) / static_cast<float>(points) * (s % 7 == 0 ? 2 : 1);
            const float r = size * (i % 2 && s % 3 == 0 ? 0.4f : 1);
            outline.push_back({lat + r * std::sin(angle), lon + r * std::cos(angle)});
        }
        BuildSectorLists(compiled, s, outline, theme);
        sectors.push_back(s);
        if (s % 100 == 0) sectors.push_back(s - 1);  // a sector filled twice
    }
    sectors.push_back(99999);  // no box: skipped
    // A point no number holds: its box is no help, the sector still drawn as its list draws it.
    BuildSectorLists(compiled, 2400, {{1, 1}, {std::numeric_limits<float>::infinity(), 2}, {2, 3}}, theme);
    sectors.insert(sectors.begin() + 700, 2400);

    const auto frame = [&] {
        std::vector<GLubyte> rgba(static_cast<size_t>(kSize * kSize * 4));
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    std::vector<int> each(sectors.begin(), sectors.end() - 1);
    glViewport(0, 0, kSize, kSize);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 1);
    glTranslatef(0, 0, -1);
    glScalef(kZoom, kZoom, kZoom);
    for (int s : each)  // a number never compiled (999) draws nothing
        if (const auto found = compiled.find(s); found != compiled.end()) glCallList(found->second.Fill);
    const auto oneByOne = frame();

    glClear(GL_COLOR_BUFFER_BIT);
    DrawSectorFills(sectors, compiled, theme.Get(Colour::CTRFill), kSize, kSize);
    const auto batched = frame();
    int differ = 0, filled = 0;
    for (size_t i = 0; i < batched.size(); i += 4) {
        differ += batched[i] != oneByOne[i] || batched[i + 1] != oneByOne[i + 1] || batched[i + 2] != oneByOne[i + 2];
        filled += batched[i] != 0;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(filled, kSize * kSize / 4);
    EXPECT_LT(filled, kSize * kSize);  // gaps remain: a picture to compare
    std::vector<GLubyte> stencil(static_cast<size_t>(kSize * kSize), 9);
    glReadPixels(0, 0, kSize, kSize, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    EXPECT_EQ(std::count(stencil.begin(), stencil.end(), 0), kSize * kSize);
}

TEST_F(SectorFill, AcrossTheFarSideAndAfterARecompileTheBatchesStillGiveTheListsPixels) {
    // Sectors all round the globe, seen tilted so that many cross the far
    // plane and some lie wholly behind it.
    std::vector<int> sectors;
    const auto build = [&](float grow) {
        for (int s = 1; s <= 240; ++s) {
            const float lat = -60 + 120.0f * static_cast<float>(s % 13) / 12, lon = -180 + 1.5f * static_cast<float>(s);
            const float size = (4 + static_cast<float>(s % 5)) * grow;
            std::vector<GeoPoint> outline;
            for (int i = 0; i < 7; ++i) {
                const float angle = 6.2832f * static_cast<float>(i) / 7 * (s % 4 == 0 ? 3 : 1);
                outline.push_back({lat + size * std::sin(angle), lon + size * std::cos(angle)});
            }
            BuildSectorLists(compiled, s, outline, theme);
        }
    };
    build(1);
    for (int s = 1; s <= 240; ++s) sectors.push_back(s);
    const auto picture = [&](bool batched) {
        glViewport(0, 0, kSize, kSize);
        glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 1);
        glTranslatef(0, 0, -1);
        glRotatef(35, -1, 0, 0);
        glRotatef(20, 0, -1, 0);
        glScalef(0.9f, 0.9f, 0.9f);
        if (batched)
            DrawSectorFills(sectors, compiled, theme.Get(Colour::CTRFill), kSize, kSize);
        else
            for (int s : sectors) glCallList(compiled.at(s).Fill);
        std::vector<GLubyte> rgba(static_cast<size_t>(kSize * kSize * 4));
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    const auto filled = [](const std::vector<GLubyte>& rgba) {
        int count = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) count += rgba[i] != 0;
        return count;
    };
    const auto first = picture(false);
    EXPECT_GT(filled(first), kSize * kSize / 10);
    EXPECT_TRUE(picture(true) == first);
    // Grown and compiled again under the same numbers: the batches follow.
    build(1.6f);
    const auto grown = picture(false);
    EXPECT_GT(filled(grown), filled(first));
    EXPECT_TRUE(picture(true) == grown);
}
