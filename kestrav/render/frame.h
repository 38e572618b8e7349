// One frame: the globe pass and the flat overlays, drawn from display lists.
#pragma once

#include "globe/camera.h"
#include "formats/colour_theme.h"
#include "formats/settings.h"
#include "scene.h"

#include <cstdint>

namespace kestrava {

// Which overlay is open: 0 plain map, 1 pick list, 2 popup over the map,
// 3 airport window, 4 popup over it, 5 list window, 6 popup over it,
// 8 start-up in progress.
// Which overlay is open; the frame picks the overlay lists by it and the
// mouse routes clicks by it.
enum class OverlayKind : std::uint8_t {
    Map = 0,            // none: the plain map
    PickList = 1,
    Popup = 2,          // over the map
    AirportWindow = 3,
    AirportPopup = 4,   // a popup over the airport window
    ListWindow = 5,
    ListPopup = 6,      // a popup over the list window
    StartUp = 8,
};

struct PanelLabels;

struct OverlayState {
    OverlayKind OverlayMode = OverlayKind::Map;
    std::uint8_t PopupKind = 0;   // 0 controller, 1 pilot, 8 just closed
    std::uint8_t PanelTab = 0;
    int ListPage = 0;             // the list window's page, from 0
    bool AboutVisible = false;    // the start-up splash is shown
};

// Run-time switches of the map that are not saved.
struct MapSwitches {
    bool FriendsOnly = false;
    bool CountriesShown = true;
    bool operator==(const MapSwitches&) const = default;
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
    // The scenes' sectors to fill and their boxes, their labels, and their
    // aircraft and inbound markers; without, none of them is drawn.
    const SceneState* scenes = nullptr;
    // The radar's callsigns over the airport window (panels.h); none
    // without.
    const PanelLabels* panelLabels = nullptr;
};

// Everything the picture under the status line depends on besides the
// contents of its lists: the globe pass, the window frame, and the splash
// with the network marks while it shows. Whoever compiles one of those lists
// bumps Generation.
struct GlobeKey {
    float Spin = 0, Tilt = 0, Zoom = 0;
    int Width = 0, Height = 0;
    std::uint8_t Network = 0;
    MapLayers Layers;
    bool DisableSmooth = false;
    bool DisableCountries = false;
    bool Trails = false;
    MapSwitches Switches;
    bool AboutVisible = false;
    unsigned Generation = 0;
    unsigned Aircraft = 0;  // the aircraft lists' compilations (motion steps)
    bool operator==(const GlobeKey&) const = default;
};

// The last frame's picture under the status line, kept in a texture: a frame
// whose only changes are the status line, the client count bar or an
// overlay (popup, pick list, panel) draws the kept picture and those over
// it, the same pixels as drawing the whole globe again.
struct GlobePicture {
    unsigned Generation = 0;  // bumped by the owner when a globe list changes
    unsigned Texture = 0;
    int Width = 0, Height = 0;
    bool Valid = false;
    GlobeKey Key;
    int FullFrames = 0;  // frames drawn in full, and from the kept picture
    int KeptFrames = 0;
    // The picture under the aircraft (before the trails, planes and their
    // labels), kept by every full frame: a frame where only the aircraft
    // moved draws it and the aircraft over it.
    unsigned UnderTexture = 0;
    int UnderWidth = 0, UnderHeight = 0;
    bool UnderValid = false;
    GlobeKey UnderKey;
    int AircraftFrames = 0;  // frames drawn over the picture under the aircraft
};

// Draws one complete frame into the current context (the caller swaps).
// A zero-sized window draws nothing. With `picture`, a frame whose key is
// the kept one's draws from it, and a full frame is kept for the next.
void DrawScene(FrameInputs& frame, GlobePicture* picture = nullptr);

// The globe pass, inside the globe transformation: everything under the
// aircraft, then the aircraft (trails, planes, their labels).
void DrawCore(const FrameInputs& frame);
void DrawUnderAircraft(const FrameInputs& frame);
void DrawAircraft(const FrameInputs& frame);

}  // namespace kestrava
