// Small shapes lying flat on the globe at their points (the aircraft
// arrowheads, the inbound markers): each in the plane tangent to the globe
// there, turned about its point, made of a few primitives with a colour at
// every point. They are kept in a display list of them all and in one vertex
// buffer; a frame where only a few can reach the window draws those from the
// buffer in their order, leaving out those whose reach lies wholly beyond the
// near or the far plane or off the window, and any other frame calls the
// list, which costs less per shape. Either way: the pixels, and the current
// colour after, of drawing each in its frame one after the other.
#pragma once

#include "globe/sector_lists.h"

#include <array>
#include <vector>

namespace kestrava {

// Into the plane tangent to the globe at a point, +y north and +x east: a
// matrix pushed, to be popped after.
void EnterLocalFrame(float latitude, float longitude);

class PlacedShapes {
public:
    PlacedShapes() = default;
    PlacedShapes(const PlacedShapes&) = delete;
    PlacedShapes& operator=(const PlacedShapes&) = delete;
    PlacedShapes(PlacedShapes&&) = default;
    PlacedShapes& operator=(PlacedShapes&&) = default;
    ~PlacedShapes() = default;  // the buffer goes with its context

    // No shape.
    void Clear();
    // The next shape: at a globe point, turned `turn` degrees clockwise
    // (about -z), its points no further than `reach` (globe units) from
    // there, leaving `leaves` (red, green, blue, alpha) as the current colour.
    void Begin(float latitude, float longitude, float turn, float reach, const std::array<float, 4>& leaves);
    // A primitive of it (a GL mode): `count` points (x, y, z in the tangent
    // plane) and their colours (red, green, blue, alpha).
    void Add(unsigned mode, const float (*points)[3], const float (*colours)[4], int count);
    size_t Size() const { return shapes_.size(); }
    // Compiles the list of every shape and fills the buffer (the context
    // current); a change since leaves nothing to draw until the next.
    void Compile();

    // Draws the shapes in the current transformation into a width x height
    // window (every one where it divides by w). `margin`: pixels past the
    // window a line of a shape may reach from its axis.
    void Draw(int width, int height, double margin) const;
    // Shapes the last Draw left out, and whether it called the list (for the
    // benchmark).
    size_t LastLeftOut() const { return lastLeftOut_; }
    bool LastWhole() const { return lastWhole_; }

private:
    struct Primitive {
        unsigned Mode;
        int First, Count;
    };
    struct Shape {
        float Latitude, Longitude, Turn;
        SectorBox Box;
        size_t FirstPrimitive, Primitives;
        std::array<float, 4> Leaves;
    };
    std::vector<Shape> shapes_;
    std::vector<Primitive> primitives_;
    std::vector<float> points_, colours_;
    // One shape in its frame, from the arrays set up; the colour the last
    // shape leaves.
    void DrawShape(const Shape& shape) const;
    void LeaveColour() const;
    unsigned buffer_ = 0;
    unsigned list_ = 0;
    bool compiled_ = false;  // the list and the buffer, since the last change
    mutable size_t lastLeftOut_ = 0;
    mutable bool lastWhole_ = false;
    mutable std::vector<size_t> kept_;
};

}  // namespace kestrava
