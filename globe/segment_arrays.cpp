#define GL_GLEXT_PROTOTYPES 1
#include "globe/segment_arrays.h"

#include "globe/pixel_scale.h"
#include "globe/screen_bounds.h"
#include "globe/sector_lists.h"
#include "globe/sphere.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <map>
#include <optional>

namespace kestrava {

namespace {

constexpr size_t kRun = 32;  // segments a box holds

struct SegmentArrays {
    unsigned Buffer = 0;  // positions, then colours (rgb), two vertices a segment
    size_t Segments = 0;
    std::vector<float> Points;    // x, y, z of each end, as in the buffer
    std::vector<SectorBox> Runs;  // the box of each kRun segments in turn
    float Width = 1;
    // The current colour the segments leave: their one colour, or the last
    // segment's (none without segments).
    std::optional<Rgb> Last;
};

std::map<unsigned, SegmentArrays>& Arrays() {
    static std::map<unsigned, SegmentArrays> arrays;
    return arrays;
}

}  // namespace

void BuildSegmentArrays(unsigned list, const std::vector<LineSegment>& segments, float width,
                        const LatitudeColour& colourOfEnd) {
    SegmentArrays& a = Arrays()[list];
    a.Segments = segments.size();
    a.Width = width;
    a.Last.reset();
    a.Runs.assign((segments.size() + kRun - 1) / kRun, SectorBox{});
    std::vector<float> data(segments.size() * 12);
    float* points = data.data();
    float* colours = points + segments.size() * 6;
    for (size_t i = 0; i < segments.size(); ++i) {
        const LineSegment& s = segments[i];
        for (const LinePoint& p : {s.From, s.To}) {
            const float x = GlobeX(p.Latitude, p.Longitude), y = GlobeY(p.Latitude), z = GlobeZ(p.Latitude, p.Longitude);
            *points++ = x, *points++ = y, *points++ = z;
            a.Runs[i / kRun].Add(x, y, z);
        }
        const Rgb c = colourOfEnd(s.To.Latitude);
        for (int end = 0; end < 2; ++end) *colours++ = c.Red, *colours++ = c.Green, *colours++ = c.Blue;
        a.Last = c;
    }
    a.Points.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(segments.size() * 6));
    if (!glIsBuffer(a.Buffer)) glGenBuffers(1, &a.Buffer);
    glBindBuffer(GL_ARRAY_BUFFER, a.Buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.empty() ? nullptr : data.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void BuildSegmentArrays(unsigned list, const std::vector<LineSegment>& segments, float width, const Rgb& colour) {
    BuildSegmentArrays(list, segments, width, [&colour](float) { return colour; });
    Arrays()[list].Last = colour;
}

bool HasSegmentArrays(unsigned list) { return Arrays().count(list) > 0; }

void ForgetSegmentArrays() { Arrays().clear(); }

void DrawSegmentList(unsigned list, int width, int height) {
    const auto found = Arrays().find(list);
    if (found == Arrays().end()) return;
    const SegmentArrays& a = found->second;
    ScaledLineWidth(a.Width);
    if (a.Segments > 0 && glIsBuffer(a.Buffer)) {
        const ScreenMapping s;
        // Only the globe's affine mapping (no division by w) is tested; any
        // other draws every run.
        const bool affine = s.M[3] == 0 && s.M[7] == 0 && s.M[11] == 0 && s.M[15] == 1;
        const WindowSides sides{s, static_cast<double>(width), static_cast<double>(height),
                                4 + 2 * static_cast<double>(DevicePixels(a.Width))};
        // The runs whose box may reach the window, and of those the segments
        // whose ends are not both beyond one side or plane.
        std::vector<unsigned> drawn;
        for (size_t r = 0; r < a.Runs.size(); ++r) {
            if (affine && sides.Of(a.Runs[r]) != 0) continue;
            const size_t end = std::min(a.Segments, (r + 1) * kRun);
            for (size_t i = r * kRun; i < end; ++i) {
                const float* p = &a.Points[6 * i];
                if (affine && (sides.Of(p[0], p[1], p[2]) & sides.Of(p[3], p[4], p[5])) != 0) continue;
                drawn.insert(drawn.end(), {static_cast<unsigned>(2 * i), static_cast<unsigned>(2 * i + 1)});
            }
        }
        if (!drawn.empty()) {
            glBindBuffer(GL_ARRAY_BUFFER, a.Buffer);
            glEnableClientState(GL_VERTEX_ARRAY);
            glEnableClientState(GL_COLOR_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, nullptr);
            glColorPointer(3, GL_FLOAT, 0, reinterpret_cast<const void*>(a.Segments * 6 * sizeof(float)));
            glDrawElements(GL_LINES, static_cast<GLsizei>(drawn.size()), GL_UNSIGNED_INT, drawn.data());
            glDisableClientState(GL_COLOR_ARRAY);
            glDisableClientState(GL_VERTEX_ARRAY);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
        }
    }
    if (a.Last) glColor3f(a.Last->Red, a.Last->Green, a.Last->Blue);
}

}  // namespace kestrava
