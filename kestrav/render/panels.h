// The list window and the airport window (timetable and radar), compiled
// into display list 41 from the panel state of kestrav/map/panel_rows.h.
#pragma once

#include "formats/colour_theme.h"
#include "kestrav/map/panel_rows.h"
#include "kestrav/network/model.h"
#include "kestrav/render/overlay.h"

namespace kestrava {

// The list window's tab `tab` at page `page` (made ready by
// PrepareListWindow) for a width x height window.
void BuildListWindow(const PanelState& panel, int tab, int page, const ColourTheme& theme, int width,
                     int height);

// The airport window of panel.Airport on its timetable or radar tab.
void BuildAirportWindow(const NetworkModel& model, const PanelState& panel, int tab, const ColourTheme& theme,
                        int width, int height);

// One aircraft of the radar at (x, y) in window coordinates (-1..1), its
// tip along `heading`, drawn in a square viewport so it keeps its shape;
// `size` in half window heights.
void DrawRadarSymbol(const OverlayGrid& grid, const ColourTheme& theme, double x, double y, float heading,
                     float speed, float size);

}  // namespace kestrava
