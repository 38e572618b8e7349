// The display-list numbers: one namespace for the whole viewer.
#pragma once

namespace kestrava::lists {

// Scene lists of network n (0 IVAO, 1 VATSIM, 2 merged): 10n+10 .. 10n+18.
constexpr unsigned SceneBase(int network) { return 10u * static_cast<unsigned>(network) + 10u; }
constexpr unsigned kScenePlanes = 0;
constexpr unsigned kScenePlaneLabels = 1;
constexpr unsigned kSceneAirports = 2;
constexpr unsigned kSceneAirportLabels = 3;
constexpr unsigned kSceneInbounds = 4;
constexpr unsigned kSceneAtcFills = 5;
constexpr unsigned kSceneAtcBorders = 6;
constexpr unsigned kSceneAtcLabels = 7;
constexpr unsigned kSceneAtcPoints = 8;
constexpr unsigned kSceneListCount = 9;

constexpr unsigned kPopup = 40;
constexpr unsigned kPanel = 41;           // list window or airport window
constexpr unsigned kRouteHighlight = 42;
// The route highlight's airport codes, drawn right after its lines. Mesa's
// software renderer was seen to crash on one list holding both the lines and
// glyph lists, so the codes have a list of their own.
constexpr unsigned kRouteCodes = 43;
constexpr unsigned kWindowFrame = 50;
constexpr unsigned kGrid = 51;
constexpr unsigned kGlobe = 52;
constexpr unsigned kCoastlines = 53;
constexpr unsigned kBorders = 54;
constexpr unsigned kStatusLine = 55;
constexpr unsigned kClientCountBar = 56;
constexpr unsigned kNetworkMarks = 57;
constexpr unsigned kSplash = 58;

// Coastlines and borders at the coarser levels of detail (line_detail.h),
// level k in list base + k; far from the numbers sector files use.
constexpr unsigned kCoastlineDetail = 60000;
constexpr unsigned kBorderDetail = 60010;

// Sector s: fill list s, outline list s + kSectorOutline, the fill's
// stencil pass alone in s + kSectorStencil, and the same fanned from the
// outline's middle in s + kSectorStencilCentred.
constexpr unsigned kSectorOutline = 10000;
constexpr unsigned kSectorStencil = 20000;
constexpr unsigned kSectorStencilCentred = 30000;

constexpr unsigned kGlyphSmallBase = 64725;
constexpr unsigned kGlyphBoldBase = 65000;
constexpr unsigned kGlyphCount = 255;

}  // namespace kestrava::lists
