// Where the sector viewer's controls lie in its window, in pixels from the
// window's top-left corner: the picture takes all room left of a column of
// fixed width holding the list and the three buttons; the status line runs
// along the bottom.
#pragma once

#include "widgets/layout_box.h"

namespace kestrava::firglass {

inline constexpr int kStartWidth = 1100;
inline constexpr int kStartHeight = 720;
inline constexpr int kMinimumWidth = 560;
inline constexpr int kMinimumHeight = 360;

inline constexpr int kMargin = 8;
inline constexpr int kColumnWidth = 280;
inline constexpr int kButtonHeight = 28;
inline constexpr int kStatusHeight = 22;
// Every line of lstSectors is this high; its box is ticked by a click this
// far right of the list's left edge.
inline constexpr int kRowHeight = 20;
inline constexpr int kTickOffset = 12;

struct WindowLayout {
    Box Picture;     // pic
    Box List;        // lstSectors
    Box Coastlines;  // "Load Coastlines..."
    Box Countries;   // "Load Countries..."
    Box Sectors;     // "Load Sectors..."
    Box Status;      // the status label

    // The centre of list line `row` (from 0) while the list is scrolled to its top.
    int RowCentreY(int row) const { return List.Y + 1 + row * kRowHeight + kRowHeight / 2; }
};

constexpr WindowLayout LayoutFor(int width, int height) {
    WindowLayout l;
    const int statusTop = height - kMargin - kStatusHeight;
    const int columnLeft = width - kMargin - kColumnWidth;
    l.Status = {kMargin, statusTop, width - 2 * kMargin, kStatusHeight};
    l.Picture = {kMargin, kMargin, columnLeft - 2 * kMargin, statusTop - 2 * kMargin};
    const int buttonsTop = statusTop - kMargin - 3 * kButtonHeight - 2 * (kMargin / 2);
    l.List = {columnLeft, kMargin, kColumnWidth, buttonsTop - 2 * kMargin};
    l.Coastlines = {columnLeft, buttonsTop, kColumnWidth, kButtonHeight};
    l.Countries = {columnLeft, buttonsTop + kButtonHeight + kMargin / 2, kColumnWidth, kButtonHeight};
    l.Sectors = {columnLeft, buttonsTop + 2 * (kButtonHeight + kMargin / 2), kColumnWidth, kButtonHeight};
    return l;
}

}  // namespace kestrava::firglass
