// Coastlines and borders drawn from their arrays, the segments that cannot
// reach the window left out, against their display lists.
#include "gl_fixture.h"
#include "globe/camera.h"
#include "globe/geography.h"
#include "globe/globe_view.h"
#include "globe/list_names.h"
#include "globe/pixel_scale.h"
#include "globe/segment_arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace kestrava;

namespace {

// The segments as one display list of separate lines, each in the colour
// of its end point's latitude: what the viewer drew before the arrays.
void BuildSegmentList(unsigned list, const std::vector<LineSegment>& segments, float width,
                      const LatitudeColour& colourOfEnd) {
    glNewList(list, GL_COMPILE);
    ScaledLineWidth(width);
    glBegin(GL_LINES);
    for (const LineSegment& s : segments) {
        const Rgb c = colourOfEnd(s.To.Latitude);
        glColor3f(c.Red, c.Green, c.Blue);
        GlobeVertex(s.From.Latitude, s.From.Longitude);
        GlobeVertex(s.To.Latitude, s.To.Longitude);
    }
    glEnd();
    glEndList();
}

// Short segments all over the globe, chained as a coastline's are, and long
// ones across the limb and round the far side.
std::vector<LineSegment> Crafted() {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0, 1);
    std::vector<LineSegment> segments;
    for (int chain = 0; chain < 400; ++chain) {
        LinePoint p{180 * unit(random) - 90, 360 * unit(random) - 180};
        for (int i = 0; i < 40; ++i) {
            const LinePoint q{std::clamp(p.Latitude + 0.6f * (unit(random) - 0.5f), -90.0f, 90.0f),
                              p.Longitude + 0.6f * (unit(random) - 0.5f)};
            segments.push_back({p, q});
            p = q;
        }
    }
    for (int i = 0; i < 60; ++i)
        segments.push_back({{120 * unit(random) - 60, 360 * unit(random) - 180},
                            {120 * unit(random) - 60, 360 * unit(random) - 180}});
    return segments;
}

}  // namespace

TEST(SegmentArrays, DrawTheListsPixelsAndLeaveItsColourAndWidthFromAnyView) {
    constexpr int kWidth = 480, kHeight = 300;
    testsupport::GlWindow window(kWidth, kHeight);
    ASSERT_TRUE(window.Ready());
    lists::AllocateGlobe();
    const std::vector<LineSegment> segments = Crafted();
    // The arrays under the viewer's numbers, the lists under two of their own.
    const unsigned coast = lists::Globe().Coastlines, borders = lists::Globe().Borders;
    const unsigned coastList = lists::NewNames(2), bordersList = coastList + 1;
    const LatitudeColour byLatitude = [](float latitude) {
        return Rgb{0.5f + latitude / 200, 0.3f, 0.9f - latitude / 300};
    };
    BuildSegmentList(coastList, segments, 2, byLatitude);
    BuildSegmentArrays(coast, segments, 2, byLatitude);
    BuildSegmentList(bordersList, segments, 1, Rgb{0.9f, 0.8f, 0.1f});
    BuildSegmentArrays(borders, segments, 1, Rgb{0.9f, 0.8f, 0.1f});
    glEnable(GL_BLEND);

    struct View {
        float Spin, Tilt, Zoom;
    };
    // The whole globe, half of it off the window, and close in (most
    // segments off the window or beyond the far plane).
    const View views[] = {{0, 0, 0.45f}, {100, 35, 0.9f}, {-40, -70, 3}, {200, 20, 25}, {17, 52, 160}};
    int lit = 0;
    for (const View& v : views)
        for (unsigned list : {coast, borders})
            for (bool smooth : {true, false}) {
                const auto draw = [&](bool fromArrays, float state[5]) {
                    glClearColor(0, 0, 0, 0);
                    glColor3f(0.2f, 0.2f, 0.2f);
                    glLineWidth(7);
                    Camera camera;
                    camera.Spin = v.Spin, camera.Tilt = v.Tilt, camera.Zoom = v.Zoom;
                    BeginGlobeView(camera, kWidth, kHeight);
                    if (smooth) glEnable(GL_LINE_SMOOTH);
                    if (fromArrays)
                        DrawSegmentList(list, kWidth, kHeight);
                    else
                        glCallList(list == coast ? coastList : bordersList);
                    glDisable(GL_LINE_SMOOTH);
                    glPopMatrix();
                    glGetFloatv(GL_CURRENT_COLOR, state);
                    glGetFloatv(GL_LINE_WIDTH, state + 4);
                    return testsupport::ReadPicture(kWidth, kHeight);
                };
                float listState[5], arrayState[5];
                const std::vector<unsigned char> fromList = draw(false, listState);
                const std::vector<unsigned char> fromArrays = draw(true, arrayState);
                size_t differing = 0;
                for (size_t i = 0; i < fromList.size(); ++i) {
                    lit += fromList[i] != 0;
                    differing += fromList[i] != fromArrays[i];
                }
                EXPECT_EQ(differing, 0u) << "view zoom " << v.Zoom << " list " << list << " smooth " << smooth;
                for (int i = 0; i < 5; ++i) EXPECT_EQ(listState[i], arrayState[i]) << i;
            }
    EXPECT_GT(lit, 100000);

    // In a projection of its own every run is drawn; without arrays nothing.
    enum class Source { List, Arrays, Nothing };
    for (bool perspective : {true, false}) {
        const auto draw = [&](Source source) {
            glClear(GL_COLOR_BUFFER_BIT);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            if (perspective) glFrustum(-0.5, 0.5, -0.3, 0.3, 1, 5);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glTranslatef(0, 0, -2.2f);
            glRotatef(30, 1, 0.2f, 0);
            if (source == Source::Arrays) DrawSegmentList(coast, kWidth, kHeight);
            if (source == Source::List) glCallList(coastList);
            return testsupport::ReadPicture(kWidth, kHeight);
        };
        if (!perspective) ForgetSegmentArrays();
        const std::vector<unsigned char> expected = draw(perspective ? Source::List : Source::Nothing);
        const std::vector<unsigned char> fromArrays = draw(Source::Arrays);
        size_t differing = 0;
        for (size_t i = 0; i < expected.size(); ++i) differing += expected[i] != fromArrays[i];
        EXPECT_EQ(differing, 0u) << perspective;
        if (perspective) {
            EXPECT_NE(expected, draw(Source::Nothing));
        }
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}
