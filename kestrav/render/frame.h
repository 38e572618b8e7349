// One frame: the globe pass and the flat overlays, drawn from display lists.
#pragma once

#include "camera.h"
#include "formats/colour_theme.h"
#include "formats/settings.h"

#include <cstdint>

namespace kestrava {

// Which overlay is open: 0 plain map, 1 pick list, 2 popup over the map,
// 3 airport window, 4 popup over it, 5 list window, 6 popup over it,
// 8 start-up in progress.
struct OverlayState {
    std::uint8_t OverlayMode = 0;
    std::uint8_t PopupKind = 0;   // 0 controller, 1 pilot, 8 just closed
    std::uint8_t PanelTab = 0;
    int ListPage = 0;             // the list window's page, from 0
    bool AboutVisible = false;    // the start-up splash is shown
};

// Run-time switches of the map that are not saved.
struct MapSwitches {
    bool FriendsOnly = false;
    bool CountriesShown = true;
};

struct FrameInputs {
    Camera& camera;  // normalised by the frame
    const Settings& settings;
    const MapSwitches& switches;
    const OverlayState& overlay;
    const ColourTheme& theme;
    std::uint8_t network;  // CurrentNetwork
    int width;             // window size in pixels
    int height;
};

// Draws one complete frame into the current context (the caller swaps).
// A zero-sized window draws nothing.
void DrawScene(FrameInputs& frame);

// The globe pass, inside the globe transformation.
void DrawCore(const FrameInputs& frame);

}  // namespace kestrava
