// The traffic on the globe: one network's snapshot (or both merged) turned
// into its display lists, labels and placed shapes (the aircraft and the
// inbound markers), the shapes they are made of, and the route highlight.
#pragma once

#include "formats/colour_theme.h"
#include "formats/settings.h"
#include "kestrav/network/model.h"
#include "kestrav/network/trails.h"
#include "globe/gl_text.h"
#include "globe/sector_lists.h"
#include "kestrav/render/placed_shapes.h"

#include <array>
#include <string>
#include <vector>

namespace kestrava {

// Per network index 0, 1 and 2 (merged): its lists match its snapshot.
struct SceneState {
    std::array<bool, 3> SceneBuilt{};
    // Each scene's sectors to fill, in drawing order, each once (by their
    // numbers in the sector file); and every loaded sector's lists and box
    // (sector_lists.h).
    std::array<std::vector<int>, 3> FilledSectors;
    CompiledSectors Sectors;
    // Each scene's labels, drawn together by the frame in the colour their
    // list sets (the list holds nothing else).
    struct Labels {
        PlacedTexts Planes, Airports, Stations;
    };
    std::array<Labels, 3> SceneLabels;
    // Each scene's aircraft and inbound markers, drawn by the frame (their
    // scene lists hold nothing).
    struct Shapes {
        PlacedShapes Planes, Inbounds;
    };
    std::array<Shapes, 3> SceneShapes;
    // Counts the scene compilations: a kept picture of the globe from before
    // one is out of date (frame.h).
    unsigned Compiled = 0;
    // Counts the motion steps' compilations of the aircraft alone.
    unsigned AircraftCompiled = 0;
};

// What the builders read (the model only read), and the status line's text
// they report in (the window's).
struct SceneContext {
    const NetworkModel& model;
    DisplayHooks& display;
    const ColourTheme& theme;
    const Settings& settings;  // ShowActualHeading
    bool friendsOnly;
    SceneState& state;
    std::string& statusText;
    // The aircraft's trails, drawn into the trail list; none without.
    const TrailBook* trails = nullptr;
};

// Rebuilds lists 10n+10 .. 10n+18 of network n (0 or 1) unless they are
// built already, then reports the shown data in the status line.
void BuildNetworkScene(SceneContext& scene, int n);

// Lists 30 .. 38 (no inbound markers) for both networks together.
void BuildMergedScene(SceneContext& scene);

// A motion step: only the aircraft, their labels and their trails of view n
// (0, 1 or 2) compiled again, where they are now.
void CompileAircraft(SceneContext& scene, int n);

// Whether a client passes the friends-only filter.
bool IsShown(const NetworkModel& model, bool friendsOnly, const std::string& memberId);

// Shapes, compiled into the scene lists or added to its placed shapes.

// The aircraft arrowhead of size s around the origin, its tip towards -y,
// with a fading speed trail behind it above 50 kt (speeds past 2000 count
// as 2000; the feed's commit stores them so). Shared by the globe and the airport window's radar.
void DrawArrowhead(float s, float speed, const ColourTheme& theme);
// Arrowheads in a row from arrays of its own, switched on while it lives
// (set up once for all of them); nothing else may draw from arrays
// meanwhile.
class ArrowheadArrays {
public:
    ArrowheadArrays();
    ~ArrowheadArrays();
    ArrowheadArrays(const ArrowheadArrays&) = delete;
    ArrowheadArrays& operator=(const ArrowheadArrays&) = delete;
    // DrawArrowhead's primitives, colours and points.
    void Draw(float s, float speed, const ColourTheme& theme);

private:
    float points_[13][3] = {};
    float colours_[13][4] = {};
};
// The pilot's arrowhead at its place, along its heading (or course), as the
// next of the shapes.
void AddPlaneSymbol(PlacedShapes& shapes, const PilotClient& pilot, bool showActualHeading, const ColourTheme& theme);
void DrawApproachFill(const AtcClient& atc, const ColourTheme& theme);
void DrawApproachBorder(const AtcClient& atc, const ColourTheme& theme);
void DrawTowerFill(const AtcClient& atc, const ColourTheme& theme);
void DrawTowerBorder(const AtcClient& atc, const ColourTheme& theme);
void DrawGroundStar(const AtcClient& atc, const ColourTheme& theme);
void DrawAtisSpokes(const AtcClient& atc, const ColourTheme& theme);
// A faint wedge at the pilot's destination pointing towards the pilot, as
// the next of the shapes.
void AddInboundMarker(PlacedShapes& shapes, const PilotClient& pilot, const ColourTheme& theme);

// A fading line along the great circle from one point to another.
void DrawGreatCircle(float fromLat, float fromLon, float toLat, float toLon, const ColourTheme& theme);

// List 42 for one pilot: dashed to its departure, solid to its destination;
// the airport codes go into list 43.
void BuildRouteHighlight(const NetworkModel& model, const PilotClient& pilot, const ColourTheme& theme);
// List 42 for an airport: every shown pilot leaving it (dashed) or bound for
// it (solid), then its code (list 43).
void BuildAirportRouteHighlight(const NetworkModel& model, int network, bool friendsOnly,
                                const std::string& code, const ColourTheme& theme);
void ClearRouteHighlight();  // deletes lists 42 and 43
// List 42 as the console's airport marker: one Highlight point at the
// airport; its code in list 43, where the route highlight puts codes (over
// the airport's own label).
void BuildAirportMarker(const std::string& code, float latitude, float longitude, const ColourTheme& theme);

// A trail as a thin line through its points to the aircraft, fading with
// age in the aircraft's colour; `now` in seconds since the epoch.
void DrawTrail(const Trail& trail, const PilotClient& pilot, std::int64_t now, const ColourTheme& theme);

// Deletes the scene lists of network index n.
void DiscardSceneLists(int n);

}  // namespace kestrava
