// The viewer's display lists, named by the globe library's counter
// (globe/list_names.h) when the window's context is set up: the scene lists
// of each network, the overlays and the window frame's lists.
#pragma once

#include "globe/list_names.h"

namespace kestrava::lists {

// The scene lists of network n (0 IVAO, 1 VATSIM, 2 merged): SceneBase(n)
// + one of these.
constexpr unsigned kScenePlanes = 0;
constexpr unsigned kScenePlaneLabels = 1;
constexpr unsigned kSceneAirports = 2;
constexpr unsigned kSceneAirportLabels = 3;
constexpr unsigned kSceneInbounds = 4;
constexpr unsigned kSceneAtcFills = 5;
constexpr unsigned kSceneAtcBorders = 6;
constexpr unsigned kSceneAtcLabels = 7;
constexpr unsigned kSceneAtcPoints = 8;
constexpr unsigned kSceneTrails = 9;
constexpr unsigned kSceneListCount = 10;

struct ViewerNames {
    unsigned Scenes = 0;  // kSceneListCount names for each of the three views
    unsigned SceneBase(int network) const { return Scenes + kSceneListCount * static_cast<unsigned>(network); }
    unsigned Popup = 0;
    unsigned Panel = 0;  // list window or airport window
    // The route highlight's lines, and its airport codes in the name after
    // it: Mesa's software renderer was seen to crash on one list holding
    // both the lines and glyph lists.
    unsigned RouteHighlight = 0;
    unsigned RouteCodes() const { return RouteHighlight + 1; }
    unsigned WindowFrame = 0;
    unsigned StatusLine = 0;
    unsigned ClientCountBar = 0;
    unsigned NetworkMarks = 0;
    unsigned Splash = 0;
};
const ViewerNames& Viewer();
// Names the viewer's lists and the globe library's (AllocateGlobe) for the
// context that is current.
void AllocateViewer();

}  // namespace kestrava::lists
