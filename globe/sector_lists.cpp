#include "globe/sector_lists.h"

#include "globe/geography.h"
#include "globe/list_names.h"
#include "globe/screen_bounds.h"
#include "globe/sphere.h"

#include <GL/gl.h>

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
        middle[0] += x, middle[1] += y, middle[2] += z;
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
void PaintSet(const PixelBounds& bounds, int width, int height, const GLint* globeViewport) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilMask(0xFF);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRecti(bounds.X0, bounds.Y0, bounds.X1, bounds.Y1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(globeViewport[0], globeViewport[1], globeViewport[2], globeViewport[3]);
}

}  // namespace

void DrawSectorFills(const std::vector<int>& sectors, const CompiledSectors& compiled, const Rgb& fill, int width,
                     int height) {
    if (sectors.empty() || width <= 0 || height <= 0) return;
    const ScreenMapping mapping;
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    const int planes = std::clamp(static_cast<int>(bits), 1, 8);

    struct Batch {
        std::vector<std::pair<int, unsigned>> Fans;  // stencil plane and list
        std::array<std::vector<PixelBounds>, 8> Planes;
        PixelBounds All;
    } batch;

    glEnable(GL_STENCIL_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    const auto flush = [&] {
        if (batch.Fans.empty()) return;
        std::stable_sort(batch.Fans.begin(), batch.Fans.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glStencilFunc(GL_ALWAYS, 0, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        int plane = -1;
        for (const auto& [p, list] : batch.Fans) {
            if (p != plane) glStencilMask(1u << p), plane = p;
            glCallList(list);
        }
        glColor4f(fill.Red, fill.Green, fill.Blue, 1);
        PaintSet(batch.All, width, height, mapping.Viewport);
        batch = Batch{};
    };
    // The fill is opaque and of one colour, so the order of the sectors does
    // not matter: taken in the order of a curve through the window, each
    // batch covers one neighbourhood and its rectangle stays small.
    struct Placed {
        std::uint32_t Order;
        PixelBounds Bounds;
        unsigned List;
    };
    std::vector<Placed> placed;
    placed.reserve(sectors.size());
    for (int s : sectors) {
        const auto found = compiled.find(s);
        if (s <= 0 || found == compiled.end() || found->second.Box.Empty()) continue;
        bool clipped = false;
        const PixelBounds b = BoundsOf(found->second.Box, mapping, width, height, clipped);
        if (b.Empty()) continue;
        placed.push_back({CurveOrder((b.X0 + b.X1) / 2, (b.Y0 + b.Y1) / 2), b,
                          clipped ? found->second.Stencil() : found->second.StencilCentred()});
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
        batch.Fans.emplace_back(plane, sector.List);
        batch.Planes[static_cast<size_t>(plane)].push_back(b);
        batch.All.Join(b);
    }
    flush();
    glStencilMask(0xFF);
    glDisable(GL_STENCIL_TEST);
}

}  // namespace kestrava
