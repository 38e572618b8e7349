// The colour editor's preview: a small map drawn with QPainter in which every
// one of the 27 theme colours has an element of its own, so that every edit
// shows at once.
#pragma once

#include <QRegion>
#include <QWidget>

#include "formats/colour_theme.h"

#include <array>
#include <vector>

class QPainter;

namespace kestrava {

using ThemeColours = std::array<ColourBytes, kColourCount>;  // indexed by Colour

// Where one entry's colour is drawn.
struct MockUpElement {
    Colour Entry;
    QRegion Area;
};

inline constexpr int kMockUpWidth = 380;
inline constexpr int kMockUpHeight = 280;

// Draws the mock-up with its top-left corner at the painter's origin;
// `elements` (when given) receives the area of every element.
void DrawMockUp(QPainter& painter, const ThemeColours& colours, std::vector<MockUpElement>* elements = nullptr);

class MockUpView : public QWidget {
public:
    explicit MockUpView(QWidget* parent = nullptr);
    void SetColours(const ThemeColours& colours);
    // Paints so far, for timing a change to its repaint.
    long Paints() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ThemeColours colours_{};
    long paints_ = 0;
};

}  // namespace kestrava
