#define GL_GLEXT_PROTOTYPES 1
#include "globe/blended_sectors.h"

#include "globe/globe_view.h"
#include "globe/sphere.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace kestrava {

std::vector<int> SectorLayers(const std::vector<PixelBounds>& bounds) {
    const size_t n = bounds.size();
    std::vector<int> layer(n, -1);
    // Laid out apart so the test over every earlier sector runs as one
    // plain loop.
    std::vector<int> x0(n), y0(n), x1(n), y1(n), placed(n);
    size_t count = 0;
    for (size_t j = 0; j < n; ++j) {
        const PixelBounds& b = bounds[j];
        if (b.Empty()) continue;
        int below = -1;
        for (size_t i = 0; i < count; ++i) {
            const bool meets = x0[i] < b.X1 && b.X0 < x1[i] && y0[i] < b.Y1 && b.Y0 < y1[i];
            below = meets ? std::max(below, placed[i]) : below;
        }
        layer[j] = below + 1;
        x0[count] = b.X0, y0[count] = b.Y0, x1[count] = b.X1, y1[count] = b.Y1, placed[count] = layer[j];
        ++count;
    }
    return layer;
}

void BlendedSectors::Load(const std::vector<const std::vector<GeoPoint>*>& outlines) {
    first_.clear();
    count_.clear();
    boxes_.clear();
    std::vector<float> points;
    // Each outline as the middle of its points, the points, and the first
    // point again: the fan from the first point and the line loop take the
    // points, the fan from the middle all of them.
    for (const std::vector<GeoPoint>* outline : outlines) {
        const size_t n = outline ? outline->size() : 0;
        SectorBox& box = boxes_.emplace_back();
        const size_t middle = points.size();
        if (n > 0) points.insert(points.end(), 3, 0.0f);
        first_.push_back(static_cast<int>(points.size() / 3));
        count_.push_back(static_cast<int>(n));
        if (n == 0) continue;
        double sum[3] = {0, 0, 0};
        for (const GeoPoint& p : *outline) {
            const float x = GlobeX(p.Latitude, p.Longitude), y = GlobeY(p.Latitude), z = GlobeZ(p.Latitude, p.Longitude);
            points.insert(points.end(), {x, y, z});
            box.Add(x, y, z);
            sum[0] += x, sum[1] += y, sum[2] += z;
        }
        points.insert(points.end(), points.begin() + static_cast<std::ptrdiff_t>(middle) + 3,
                      points.begin() + static_cast<std::ptrdiff_t>(middle) + 6);
        for (int i = 0; i < 3; ++i) points[middle + static_cast<size_t>(i)] = static_cast<float>(sum[i] / static_cast<double>(n));
    }
    if (!buffer_) glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)),
                 points.empty() ? nullptr : points.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void BlendedSectors::Destroy() {
    if (buffer_) glDeleteBuffers(1, &buffer_);
    buffer_ = 0;
    first_.clear();
    count_.clear();
    boxes_.clear();
}

void BlendedSectors::Draw(const std::vector<int>& order, const SectorStyle& style, int width, int height) const {
    lastLayers_ = 0;
    if (order.empty() || !buffer_ || width <= 0 || height <= 0) return;
    const ScreenMapping mapping;
    std::vector<PixelBounds> bounds(order.size());
    std::vector<char> clipped(order.size(), 0);
    for (size_t k = 0; k < order.size(); ++k) {
        const int s = order[k];
        if (s < 0 || s >= static_cast<int>(boxes_.size()) || count_[static_cast<size_t>(s)] == 0) continue;
        bool cut = false;
        bounds[k] = BoundsOf(boxes_[static_cast<size_t>(s)], mapping, width, height, cut);
        clipped[k] = cut;
    }
    const std::vector<int> layers = SectorLayers(bounds);
    const int top = layers.empty() ? -1 : *std::max_element(layers.begin(), layers.end());
    lastLayers_ = top + 1;
    if (top < 0) return;

    // The places of each layer's sectors, layer after layer.
    std::vector<int> start(static_cast<size_t>(top) + 2, 0);
    for (int l : layers)
        if (l >= 0) ++start[static_cast<size_t>(l) + 1];
    for (size_t l = 1; l < start.size(); ++l) start[l] += start[l - 1];
    std::vector<size_t> placed(static_cast<size_t>(start.back()));
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (size_t k = 0; k < order.size(); ++k)
            if (layers[k] >= 0) placed[static_cast<size_t>(next[static_cast<size_t>(layers[k])]++)] = k;
    }

    // A fan from any point covers each pixel as often, mod 2, as the
    // outline winds around it; from the middle of the outline's points its
    // triangles overlap far less than from its first point. Both use the
    // outline's own edges, so both give the same pixels wherever no triangle
    // is clipped; a sector the near or far plane cuts keeps the fan from its
    // first point.
    std::vector<GLint> fanFirsts(placed.size()), lineFirsts(placed.size());
    std::vector<GLsizei> fanCounts(placed.size()), lineCounts(placed.size());
    for (size_t at = 0; at < placed.size(); ++at) {
        const size_t k = placed[at];
        const size_t s = static_cast<size_t>(order[k]);
        lineFirsts[at] = first_[s];
        lineCounts[at] = count_[s];
        fanFirsts[at] = clipped[k] ? first_[s] : first_[s] - 1;
        fanCounts[at] = clipped[k] ? count_[s] : count_[s] + 2;
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    const GLenum blend = style.BlendFill ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO;
    std::vector<GLint> quads;
    for (int l = 0; l <= top; ++l) {
        const size_t from = static_cast<size_t>(start[static_cast<size_t>(l)]);
        const size_t to = static_cast<size_t>(start[static_cast<size_t>(l) + 1]);
        const GLsizei count = static_cast<GLsizei>(to - from);
        // Odd coverage sets the bits; nothing is painted.
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glEnable(GL_STENCIL_TEST);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glStencilFunc(GL_ALWAYS, 0, 1);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        glMultiDrawArrays(GL_TRIANGLE_FAN, fanFirsts.data() + from, fanCounts.data() + from, count);
        // Each pixel with the bit set painted once, the bits cleared: the
        // sectors' bounds, which hold all they set and meet no other's.
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glStencilFunc(GL_EQUAL, 1, 1);
        glColor4f(style.Fill.Red, style.Fill.Green, style.Fill.Blue, style.FillAlpha);
        glBlendFunc(GL_SRC_ALPHA, blend);
        quads.clear();
        for (size_t at = from; at < to; ++at) {
            const PixelBounds& b = bounds[placed[at]];
            quads.insert(quads.end(), {b.X0, b.Y0, b.X1, b.Y0, b.X1, b.Y1, b.X0, b.Y1});
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        {
            const WindowPixels pixels(width, height);
            glVertexPointer(2, GL_INT, 0, quads.data());
            glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size() / 2));
        }
        glDisable(GL_STENCIL_TEST);
        glColor4f(style.Outline.Red, style.Outline.Green, style.Outline.Blue, style.OutlineAlpha);
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glMultiDrawArrays(GL_LINE_LOOP, lineFirsts.data() + from, lineCounts.data() + from, count);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace kestrava
