// The list window and the airport window (timetable and radar), compiled
// into display list 41 from the panel state of kestrav/render/panel_rows.h;
// the radar's callsigns drawn over it by the frame.
#pragma once

#include "formats/colour_theme.h"
#include "kestrav/render/panel_rows.h"
#include "kestrav/network/model.h"
#include "kestrav/render/overlay.h"
#include "kestrav/render/scene.h"

#include <vector>

namespace kestrava {

// The radar's callsigns, the last of the airport window: runs of them in one
// alpha of the plane label colour, in their order.
struct PanelLabels {
    struct Run {
        float Alpha;
        PlacedTexts Texts;
    };
    std::vector<Run> Runs;
};
// Draws them as the panel list leaves the transformation and viewport, into
// a width x height window (pixels).
void DrawPanelLabels(const PanelLabels& labels, const ColourTheme& theme, int width, int height);

// The list window's tab `tab` at page `page` (made ready by
// PrepareListWindow) for a width x height window.
void BuildListWindow(const PanelState& panel, int tab, int page, const ColourTheme& theme, int width,
                     int height);

// The airport window of panel.Airport on its timetable or radar tab, and
// the radar's callsigns (none on the timetable).
void BuildAirportWindow(const NetworkModel& model, const PanelState& panel, int tab, const ColourTheme& theme,
                        int width, int height, PanelLabels& labels);

// One aircraft of the radar at (x, y) in window coordinates (-1..1), its
// tip along `heading`; `size` in half window heights. The caller has set
// the viewport to a square of the window's height centred in it, so that
// the symbol keeps its shape (the radar sets it once for all symbols).
void DrawRadarSymbol(const OverlayGrid& grid, const ColourTheme& theme, double x, double y, float heading,
                     float speed, float size, ArrowheadArrays& arrays);

}  // namespace kestrava
