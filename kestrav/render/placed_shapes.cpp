#define GL_GLEXT_PROTOTYPES 1
#include "placed_shapes.h"

#include "globe/list_names.h"
#include "globe/screen_bounds.h"
#include "globe/sphere.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace kestrava {

void EnterLocalFrame(float lat, float lon) {
    glPushMatrix();
    glTranslatef(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    glRotatef(lon, 0, 1, 0);
    glRotatef(lat, -1, 0, 0);
}

void PlacedShapes::Clear() {
    shapes_.clear();
    primitives_.clear();
    points_.clear();
    colours_.clear();
    compiled_ = false;
}

void PlacedShapes::Begin(float latitude, float longitude, float turn, float reach, const std::array<float, 4>& leaves) {
    // The box of everything within the reach, a little more for the
    // rounding of the turns.
    const float r = reach * 1.01f + 1e-6f;
    const float x = GlobeX(latitude, longitude), y = GlobeY(latitude), z = GlobeZ(latitude, longitude);
    SectorBox box;
    box.Add(x - r, y - r, z - r);
    box.Add(x + r, y + r, z + r);
    shapes_.push_back({latitude, longitude, turn, box, primitives_.size(), 0, leaves});
    compiled_ = false;
}

void PlacedShapes::Add(unsigned mode, const float (*points)[3], const float (*colours)[4], int count) {
    if (shapes_.empty() || count <= 0) return;
    compiled_ = false;
    primitives_.push_back({mode, static_cast<int>(points_.size() / 3), count});
    ++shapes_.back().Primitives;
    for (int i = 0; i < count; ++i) {
        points_.insert(points_.end(), points[i], points[i] + 3);
        colours_.insert(colours_.end(), colours[i], colours[i] + 4);
    }
}

void PlacedShapes::DrawShape(const Shape& shape) const {
    EnterLocalFrame(shape.Latitude, shape.Longitude);
    glRotatef(shape.Turn, 0, 0, -1);
    for (size_t p = shape.FirstPrimitive; p < shape.FirstPrimitive + shape.Primitives; ++p)
        glDrawArrays(primitives_[p].Mode, primitives_[p].First, primitives_[p].Count);
    glPopMatrix();
}

void PlacedShapes::LeaveColour() const {
    if (shapes_.empty()) return;
    const std::array<float, 4>& c = shapes_.back().Leaves;
    glColor4f(c[0], c[1], c[2], c[3]);
}

void PlacedShapes::Compile() {
    if (!glIsBuffer(buffer_)) glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    const auto pointBytes = static_cast<GLsizeiptr>(points_.size() * sizeof(float));
    const auto colourBytes = static_cast<GLsizeiptr>(colours_.size() * sizeof(float));
    glBufferData(GL_ARRAY_BUFFER, pointBytes + colourBytes, nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, pointBytes, points_.data());
    glBufferSubData(GL_ARRAY_BUFFER, pointBytes, colourBytes, colours_.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    if (!list_) list_ = lists::NewNames(1);
    // From the arrays as they are in memory: the list keeps its own copy.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points_.data());
    glColorPointer(4, GL_FLOAT, 0, colours_.data());
    glNewList(list_, GL_COMPILE);
    for (const Shape& shape : shapes_) DrawShape(shape);
    LeaveColour();
    glEndList();
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    compiled_ = true;
}

void PlacedShapes::Draw(int width, int height, double margin) const {
    lastLeftOut_ = 0;
    lastWhole_ = false;
    if (shapes_.empty() || !compiled_ || !glIsList(list_)) return;
    const ScreenMapping s;
    // Only the globe's affine mapping (no division by w) is tested.
    const bool affine = s.M[3] == 0 && s.M[7] == 0 && s.M[11] == 0 && s.M[15] == 1;
    const WindowSides sides{s, static_cast<double>(width), static_cast<double>(height), margin};
    kept_.clear();
    for (size_t i = 0; i < shapes_.size(); ++i)
        if (!affine || sides.Of(shapes_[i].Box) == 0) kept_.push_back(i);
    // Drawn on its own a shape costs more than in the list: on Mesa's
    // software renderer the list won with half of the aircraft reaching the
    // window, the shapes alone with a tenth.
    if (kept_.size() * 4 > shapes_.size()) {
        lastWhole_ = true;
        glCallList(list_);
        return;
    }
    lastLeftOut_ = shapes_.size() - kept_.size();
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glColorPointer(4, GL_FLOAT, 0, reinterpret_cast<const void*>(points_.size() * sizeof(float)));
    for (size_t i : kept_) DrawShape(shapes_[i]);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    LeaveColour();
}

}  // namespace kestrava
