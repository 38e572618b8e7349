#define GL_GLEXT_PROTOTYPES 1
#include "globe/sector_lists.h"

#include "globe/geography.h"
#include "globe/globe_view.h"
#include "globe/list_names.h"
#include "globe/screen_bounds.h"
#include "globe/sphere.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace kestrava {

void SectorBox::Add(float x, float y, float z) {
    const float p[3] = {x, y, z};
    const bool first = Empty();
    for (int i = 0; i < 3; ++i) {
        Min[i] = first ? p[i] : std::min(Min[i], p[i]);
        Max[i] = first ? p[i] : std::max(Max[i], p[i]);
    }
}

namespace {
// The outline as one fan from its first point: every pixel ends up covered
// as often as the outline winds around it, which the stencil counts mod 2.
void OutlineFan(const std::vector<GeoPoint>& outline) {
    glBegin(GL_TRIANGLE_FAN);
    for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
}

void OutlineLoop(const std::vector<GeoPoint>& outline, const SectorStyle& style) {
    glColor4f(style.Outline.Red, style.Outline.Green, style.Outline.Blue, style.OutlineAlpha);
    glBegin(GL_LINE_LOOP);
    for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
}
}  // namespace

void BuildSectorLists(unsigned fillList, unsigned outlineList, const std::vector<GeoPoint>& outline,
                      const SectorStyle& style) {
    // The frame clears the stencil once; every fill leaves it clear again
    // (the second pass inverts each bit it finds set), so no fill list has
    // to clear the whole buffer for itself.
    glNewList(fillList, GL_COMPILE);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glColor4f(0, 0, 0, 0);
    glBlendFunc(GL_ZERO, GL_ONE);
    OutlineFan(outline);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glColor4f(style.Fill.Red, style.Fill.Green, style.Fill.Blue, style.FillAlpha);
    glBlendFunc(GL_SRC_ALPHA, style.BlendFill ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO);
    OutlineFan(outline);
    glDisable(GL_STENCIL_TEST);
    if (outlineList == fillList) OutlineLoop(outline, style);
    glEndList();

    if (outlineList == fillList) return;
    glNewList(outlineList, GL_COMPILE);
    OutlineLoop(outline, style);
    glEndList();
}

void BuildSectorLists(CompiledSectors& sectors, int s, const std::vector<GeoPoint>& outline,
                      const ColourTheme& theme) {
    if (s <= 0) return;
    CompiledSector& compiled = sectors[s];
    // A number compiled before keeps its names; a new one gets four.
    if (compiled.Fill == 0) compiled.Fill = lists::NewNames(4);
    SectorBox& box = compiled.Box;
    box = SectorBox{};
    static std::uint64_t compilations = 0;
    compiled.Stamp = ++compilations;
    compiled.Fan.assign(3, 0.0f);
    SectorStyle style;
    style.Fill = theme.Get(Colour::CTRFill);
    style.Outline = theme.Get(Colour::CTRBorder);
    BuildSectorLists(compiled.Fill, compiled.Outline(), outline, style);
    glNewList(compiled.Stencil(), GL_COMPILE);
    OutlineFan(outline);
    glEndList();
    // A fan from any point covers each pixel as often, mod 2, as the outline
    // winds around it; from the middle of the outline's points the triangles
    // overlap far less than from its first point (about 1.13 against 1.4
    // times the area for the shipped sectors). Both use the outline's own
    // edges, so both give the same pixels wherever no triangle is clipped.
    double middle[3] = {0, 0, 0};
    for (const GeoPoint& p : outline) {
        const float x = GlobeX(p.Latitude, p.Longitude), y = GlobeY(p.Latitude), z = GlobeZ(p.Latitude, p.Longitude);
        box.Add(x, y, z);
        compiled.Fan.insert(compiled.Fan.end(), {x, y, z});
        middle[0] += x, middle[1] += y, middle[2] += z;
    }
    if (outline.empty()) {
        compiled.Fan.clear();
    } else {
        const double n = static_cast<double>(outline.size());
        for (size_t i = 0; i < 3; ++i) compiled.Fan[i] = static_cast<float>(middle[i] / n);
        compiled.Fan.insert(compiled.Fan.end(), compiled.Fan.begin() + 3, compiled.Fan.begin() + 6);
    }
    glNewList(compiled.StencilCentred(), GL_COMPILE);
    if (!outline.empty()) {
        const double n = static_cast<double>(outline.size());
        glBegin(GL_TRIANGLE_FAN);
        glVertex3d(middle[0] / n, middle[1] / n, middle[2] / n);
        for (const GeoPoint& p : outline) GlobeVertex(p.Latitude, p.Longitude);
        GlobeVertex(outline.front().Latitude, outline.front().Longitude);
        glEnd();
    }
    glEndList();
}

bool SectorFanBuffer::Update(const std::unordered_map<int, CompiledSector>& sectors) {
    bool current = buffer_ != 0 && runs_.size() == sectors.size();
    for (auto it = sectors.begin(); current && it != sectors.end(); ++it) {
        const auto run = runs_.find(it->first);
        current = run != runs_.end() && run->second.first == it->second.Stamp;
    }
    if (current) return true;
    runs_.clear();
    std::vector<float> points;
    for (const auto& [number, sector] : sectors) {
        runs_[number] = {sector.Stamp, sector.Fan.empty() ? -1 : static_cast<int>(points.size() / 3)};
        points.insert(points.end(), sector.Fan.begin(), sector.Fan.end());
    }
    if (!buffer_) glGenBuffers(1, &buffer_);
    if (!buffer_) return false;
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)),
                 points.empty() ? nullptr : points.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

int SectorFanBuffer::First(int s) const {
    const auto run = runs_.find(s);
    return run == runs_.end() ? -1 : run->second.second;
}

namespace {

// A point's place along a Z-order curve through the window.
std::uint32_t CurveOrder(int x, int y) {
    std::uint32_t order = 0;
    for (int bit = 0; bit < 16; ++bit) {
        order |= ((static_cast<std::uint32_t>(x) >> bit) & 1u) << (2 * bit);
        order |= ((static_cast<std::uint32_t>(y) >> bit) & 1u) << (2 * bit + 1);
    }
    return order;
}

// Paints every pixel of `bounds` (window pixels) with a stencil bit set,
// clearing the bits.
void PaintSet(const PixelBounds& bounds, int width, int height) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilMask(0xFF);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
    const WindowPixels pixels(width, height);
    glRecti(bounds.X0, bounds.Y0, bounds.X1, bounds.Y1);
}

}  // namespace

void DrawSectorFills(const std::vector<int>& sectors, const CompiledSectors& compiled, const Rgb& fill, int width,
                     int height) {
    if (sectors.empty() || width <= 0 || height <= 0) return;
    const ScreenMapping mapping;
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    const int planes = std::clamp(static_cast<int>(bits), 1, 8);

    // The fans come from one buffer, many in a call; from each sector's own
    // list when there is none.
    const bool buffered = compiled.Fans.Update(compiled);
    struct Fan {
        int Plane;
        unsigned List;
        GLint First;  // in the buffer
        GLsizei Count;
    };
    struct Batch {
        std::vector<Fan> Fans;
        std::array<std::vector<PixelBounds>, 8> Planes;
        PixelBounds All;
    } batch;
    std::vector<GLint> firsts;
    std::vector<GLsizei> counts;

    glEnable(GL_STENCIL_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    const auto flush = [&] {
        if (batch.Fans.empty()) return;
        std::stable_sort(batch.Fans.begin(), batch.Fans.end(),
                         [](const Fan& a, const Fan& b) { return a.Plane < b.Plane; });
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glStencilFunc(GL_ALWAYS, 0, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        if (buffered) {
            glBindBuffer(GL_ARRAY_BUFFER, compiled.Fans.Buffer());
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, nullptr);
            for (size_t from = 0; from < batch.Fans.size();) {
                size_t to = from;
                firsts.clear();
                counts.clear();
                for (; to < batch.Fans.size() && batch.Fans[to].Plane == batch.Fans[from].Plane; ++to) {
                    firsts.push_back(batch.Fans[to].First);
                    counts.push_back(batch.Fans[to].Count);
                }
                glStencilMask(1u << batch.Fans[from].Plane);
                glMultiDrawArrays(GL_TRIANGLE_FAN, firsts.data(), counts.data(), static_cast<GLsizei>(firsts.size()));
                from = to;
            }
            glDisableClientState(GL_VERTEX_ARRAY);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
        } else {
            int plane = -1;
            for (const Fan& fan : batch.Fans) {
                if (fan.Plane != plane) glStencilMask(1u << fan.Plane), plane = fan.Plane;
                glCallList(fan.List);
            }
        }
        glColor4f(fill.Red, fill.Green, fill.Blue, 1);
        PaintSet(batch.All, width, height);
        batch = Batch{};
    };
    // The fill is opaque and of one colour, so the order of the sectors does
    // not matter: taken in the order of a curve through the window, each
    // batch covers one neighbourhood and its rectangle stays small.
    struct Placed {
        std::uint32_t Order;
        PixelBounds Bounds;
        unsigned List;
        GLint First;
        GLsizei Count;
    };
    std::vector<Placed> placed;
    placed.reserve(sectors.size());
    for (int s : sectors) {
        const auto found = compiled.find(s);
        if (s <= 0 || found == compiled.end() || found->second.Box.Empty()) continue;
        bool clipped = false;
        const PixelBounds b = BoundsOf(found->second.Box, mapping, width, height, clipped);
        if (b.Empty()) continue;
        // The fan from the first point where a plane cuts the sector, else
        // the one from the middle (the lists alike).
        const GLint first = buffered ? compiled.Fans.First(s) : -1;
        const GLsizei points = static_cast<GLsizei>(found->second.Fan.size() / 3);
        if (buffered && first < 0) continue;  // no points, no pixels
        placed.push_back({CurveOrder((b.X0 + b.X1) / 2, (b.Y0 + b.Y1) / 2), b,
                          clipped ? found->second.Stencil() : found->second.StencilCentred(),
                          clipped ? first + 1 : first, clipped ? points - 2 : points});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.Order < b.Order; });
    for (const Placed& sector : placed) {
        const PixelBounds& b = sector.Bounds;
        // The first plane none of whose sectors meets this one.
        int plane = -1;
        for (int p = 0; p < planes && plane < 0; ++p) {
            const auto& taken = batch.Planes[static_cast<size_t>(p)];
            if (std::none_of(taken.begin(), taken.end(), [&](const PixelBounds& o) { return o.Meets(b); }))
                plane = p;
        }
        if (plane < 0) {
            flush();
            plane = 0;
        }
        batch.Fans.push_back({plane, sector.List, sector.First, sector.Count});
        batch.Planes[static_cast<size_t>(plane)].push_back(b);
        batch.All.Join(b);
    }
    flush();
    glStencilMask(0xFF);
    glDisable(GL_STENCIL_TEST);
}

}  // namespace kestrava
