#include "scene.h"

#include "globe/pixel_scale.h"
#include "display_lists.h"
#include "globe/geography.h"
#include "globe/gl_text.h"
#include "overlay.h"

#include "formats/sector_files.h"
#include "formats/text.h"
#include "kestrav/network/values.h"
#include "kestrav/network/whazzup.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <tuple>
#include <vector>

namespace kestrava {

namespace {

// The clients one layer covers: network n alone, or both in the merged view.
std::vector<int> NetworksOf(int n) { return n == kMerged ? std::vector<int>{0, 1} : std::vector<int>{n}; }

struct Layers {
    SceneContext& scene;
    int index;  // 0, 1 or 2
    bool filter;

    bool Shown(const std::string& memberId) const {
        return !filter || IsShown(scene.model, true, memberId);
    }
    template <typename F>
    void EachPilot(F&& f) const {
        for (int net : NetworksOf(index)) {
            const Snapshot& s = scene.model.Networks[static_cast<size_t>(net)];
            for (int i = 0; i < s.PilotCount; ++i)
                if (Shown(s.Pilots[static_cast<size_t>(i)].MemberId)) f(s.Pilots[static_cast<size_t>(i)]);
        }
    }
    template <typename F>
    void EachAtc(F&& f) const {
        for (int net : NetworksOf(index)) {
            const Snapshot& s = scene.model.Networks[static_cast<size_t>(net)];
            for (int i = 0; i < s.AtcCount; ++i)
                if (Shown(s.AtcClients[static_cast<size_t>(i)].MemberId)) f(s.AtcClients[static_cast<size_t>(i)]);
        }
    }
};

void Begin(int index, unsigned layer) { glNewList(lists::Viewer().SceneBase(index) + layer, GL_COMPILE); }

bool Placed(float lat, float lon) { return lat != 0 && lon != 0; }

int SectorList(const NetworkModel& model, const AtcClient& a) {
    const SectorEntry* sector = model.Sectors.Find(a.Location);
    return sector ? sector->Polygon : 0;
}

// Opaque things drawn at the same place look the same drawn once: of each
// repeated key only the last copy is drawn (the last one is what shows).
template <typename Key>
class LastCopies {
public:
    // The keys in drawing order; Drawn(i) tells whether copy i is the last.
    void Add(Key key) { keys_.push_back(std::move(key)); }
    void Settle() {
        std::map<Key, size_t> last;
        for (size_t i = 0; i < keys_.size(); ++i) last[keys_[i]] = i;
        drawn_.assign(keys_.size(), false);
        for (const auto& [key, i] : last) drawn_[i] = true;
    }
    bool Drawn(size_t i) const { return drawn_[i]; }

private:
    std::vector<Key> keys_;
    std::vector<bool> drawn_;
};

// A label: its text, place and glyph set.
using LabelKey = std::tuple<std::string, float, float, bool>;

struct Label {
    float Latitude;
    float Longitude;
    std::string Text;
    bool Bold;
};

// Labels placed once each, in their order, at their globe points.
void PlaceLabels(PlacedTexts& placed, const std::vector<Label>& labels) {
    LastCopies<LabelKey> copies;
    for (const Label& l : labels) copies.Add({l.Text, l.Latitude, l.Longitude, l.Bold});
    copies.Settle();
    placed.Clear();
    for (size_t i = 0; i < labels.size(); ++i) {
        if (!copies.Drawn(i)) continue;
        const Label& l = labels[i];
        placed.Add(GlobeX(l.Latitude, l.Longitude), GlobeY(l.Latitude), GlobeZ(l.Latitude, l.Longitude),
                   l.Bold ? lists::Globe().GlyphBold : lists::Globe().GlyphSmall, l.Text);
    }
}

// The planes, their labels and their trails: what a motion step changes.
void CompileAircraftLists(const Layers& l) {
    const ColourTheme& theme = l.scene.theme;
    const NetworkModel& model = l.scene.model;
    const int n = l.index;

    // The planes are drawn by the frame from their shapes (which hold a list
    // of their own).
    Begin(n, lists::kScenePlanes);
    glEndList();
    PlacedShapes& planes = l.scene.state.SceneShapes[static_cast<size_t>(n)].Planes;
    planes.Clear();
    l.EachPilot([&](const PilotClient& p) {
        AddPlaneSymbol(planes, p, l.scene.settings.Layers.ShowActualHeading, theme);
    });
    planes.Compile();

    Begin(n, lists::kScenePlaneLabels);
    SetColour(theme, Colour::PlaneLabel);
    glEndList();
    PlacedTexts& planeLabels = l.scene.state.SceneLabels[static_cast<size_t>(n)].Planes;
    planeLabels.Clear();
    l.EachPilot([&](const PilotClient& p) {
        if (p.GroundSpeed <= 50 && !IsFriend(model, p.MemberId)) return;
        planeLabels.Add(GlobeX(p.Latitude, p.Longitude), GlobeY(p.Latitude), GlobeZ(p.Latitude, p.Longitude),
                        lists::Globe().GlyphSmall, p.Callsign);
    });

    Begin(n, lists::kSceneTrails);
    if (l.scene.trails && !l.scene.trails->empty()) {
        const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(model.Now().time_since_epoch()).count();
        ScaledLineWidth(1);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int net : NetworksOf(n)) {
            const Snapshot& s = model.Networks[static_cast<size_t>(net)];
            for (int i = 0; i < s.PilotCount; ++i) {
                const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
                if (!l.Shown(p.MemberId)) continue;
                if (const Trail* trail = TrailOf(*l.scene.trails, static_cast<std::uint8_t>(net), p))
                    DrawTrail(*trail, p, now, theme);
            }
        }
    }
    glEndList();
}

void CompileLayers(const Layers& l, bool withInbounds) {
    const ColourTheme& theme = l.scene.theme;
    const NetworkModel& model = l.scene.model;
    const int n = l.index;

    CompileAircraftLists(l);

    Begin(n, lists::kSceneAirports);
    SetColour(theme, Colour::Airports);
    glBegin(GL_POINTS);
    l.EachPilot([&](const PilotClient& p) {
        if (Placed(p.DepLatitude, p.DepLongitude)) GlobeVertex(p.DepLatitude, p.DepLongitude);
        if (Placed(p.DestLatitude, p.DestLongitude)) GlobeVertex(p.DestLatitude, p.DestLongitude);
    });
    glEnd();
    glEndList();

    // An airport used by several pilots is labelled once.
    Begin(n, lists::kSceneAirportLabels);
    SetColour(theme, Colour::Airports);
    std::vector<Label> airports;
    l.EachPilot([&](const PilotClient& p) {
        if (Placed(p.DepLatitude, p.DepLongitude)) airports.push_back({p.DepLatitude, p.DepLongitude, p.Departure, false});
        if (Placed(p.DestLatitude, p.DestLongitude))
            airports.push_back({p.DestLatitude, p.DestLongitude, p.Destination, false});
    });
    glEndList();
    PlaceLabels(l.scene.state.SceneLabels[static_cast<size_t>(n)].Airports, airports);

    if (withInbounds) {
        // Every pilot, friends-only or not: the view hides the whole layer.
        Begin(n, lists::kSceneInbounds);
        glEndList();
        PlacedShapes& inbounds = l.scene.state.SceneShapes[static_cast<size_t>(n)].Inbounds;
        inbounds.Clear();
        const Snapshot& s = model.Networks[static_cast<size_t>(n)];
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (Placed(p.DestLatitude, p.DestLongitude)) AddInboundMarker(inbounds, p, theme);
        }
        inbounds.Compile();
    }

    ClearRouteHighlight();

    // A sector shared by several controllers (or both networks) is filled
    // and outlined once: its fill is opaque and of one colour.
    std::vector<int> sectors;
    l.EachAtc([&](const AtcClient& a) { sectors.push_back(a.Facility >= FacilityKind::Centre ? SectorList(model, a) : 0); });
    LastCopies<int> sectorCopies;
    for (int sector : sectors) sectorCopies.Add(sector);
    sectorCopies.Settle();
    const auto sectorDrawn = [&](size_t i) { return sectors[i] != 0 && sectorCopies.Drawn(i); };

    // The sectors are filled by the frame (DrawSectorFills), then this list.
    std::vector<int>& filled = l.scene.state.FilledSectors[static_cast<size_t>(n)];
    filled.clear();
    for (size_t i = 0; i < sectors.size(); ++i)
        if (sectorDrawn(i)) filled.push_back(sectors[i]);
    Begin(n, lists::kSceneAtcFills);
    ScaledLineWidth(2);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    l.EachAtc([&](const AtcClient& a) { if (a.Facility == FacilityKind::Approach) DrawApproachFill(a, theme); });
    l.EachAtc([&](const AtcClient& a) { if (a.Facility == FacilityKind::Tower) DrawTowerFill(a, theme); });
    glEndList();

    Begin(n, lists::kSceneAtcBorders);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    size_t record = 0;
    l.EachAtc([&](const AtcClient& a) {
        const size_t i = record++;
        switch (a.Facility) {
            case FacilityKind::Centre:
            case FacilityKind::FlightService:
                ScaledLineWidth(2);
                if (sectorDrawn(i)) {
                    const auto compiled = l.scene.state.Sectors.find(sectors[i]);
                    if (compiled != l.scene.state.Sectors.end()) glCallList(compiled->second.Outline());
                }
                break;
            case FacilityKind::Approach:
                ScaledLineWidth(1);
                DrawApproachBorder(a, theme);
                break;
            case FacilityKind::Tower:
                DrawTowerBorder(a, theme);
                break;
            case FacilityKind::Ground:
                DrawGroundStar(a, theme);
                break;
            case FacilityKind::Atis:
                DrawAtisSpokes(a, theme);
                break;
            default:
                break;
        }
    });
    glEndList();

    // The stations of one airport or sector share one label.
    Begin(n, lists::kSceneAtcLabels);
    SetColour(theme, Colour::ATCLabel);
    std::vector<Label> stations;
    l.EachAtc([&](const AtcClient& a) {
        if (Observes(a.Facility) || (a.Latitude == 0 && a.Longitude == 0)) return;
        stations.push_back({a.Latitude, a.Longitude, a.Location, a.Facility >= FacilityKind::Centre});
    });
    glEndList();
    PlaceLabels(l.scene.state.SceneLabels[static_cast<size_t>(n)].Stations, stations);

    Begin(n, lists::kSceneAtcPoints);
    SetColour(theme, Colour::ATCLabel);
    glBegin(GL_POINTS);
    l.EachAtc([&](const AtcClient& a) {
        if (a.Facility < FacilityKind::Atis || a.Facility > FacilityKind::Approach || (a.Latitude == 0 && a.Longitude == 0)) return;
        GlobeVertex(a.Latitude, a.Longitude);
    });
    glEnd();
    glEndList();
}

std::string StampTime(const std::string& stamp) { return stamp.size() > 8 ? stamp.substr(8, 4) : std::string(); }

void Report(SceneContext& scene, const std::string& text) {
    scene.statusText = text;
    scene.display.BuildStatusLine();
    scene.display.DrawScene();
}

}  // namespace

bool IsShown(const NetworkModel& model, bool friendsOnly, const std::string& memberId) {
    return !friendsOnly || IsFriend(model, memberId);
}

void BuildNetworkScene(SceneContext& scene, int n) {
    const NetworkModel& model = scene.model;
    const std::int32_t total = model.ClientTotal[static_cast<size_t>(n)];
    if (total == 0) return;
    if (!scene.state.SceneBuilt[static_cast<size_t>(n)]) {
        if (!scene.friendsOnly) Report(scene, "Setting up map...");
        CompileLayers(Layers{scene, n, scene.friendsOnly}, true);
        ++scene.state.Compiled;
    }
    if (total > 0) {
        if (!scene.friendsOnly)
            scene.statusText = model.NetworkName[static_cast<size_t>(n)] + " data of " +
                               StampTime(model.Networks[static_cast<size_t>(n)].UpdateStamp) + "Z displayed" +
                               LeftOutNote(model.Networks[static_cast<size_t>(n)].LeftOut);
    } else {
        scene.statusText = "No data to display";
    }
    scene.display.BuildStatusLine();
    scene.display.DrawScene();
    scene.state.SceneBuilt[static_cast<size_t>(n)] = true;
}

void BuildMergedScene(SceneContext& scene) {
    const NetworkModel& model = scene.model;
    if (!scene.state.SceneBuilt[kMerged]) {
        for (int n = 0; n < 2; ++n) {
            if (model.ClientTotal[static_cast<size_t>(n)] == 0) {
                Report(scene, "Missing " + model.NetworkName[static_cast<size_t>(n)] +
                                  " data. No comparison possible.");
                return;
            }
        }
        CompileLayers(Layers{scene, kMerged, false}, false);
        ++scene.state.Compiled;
    }
    Report(scene, "Merged data of " + StampTime(model.Networks[0].UpdateStamp) + "Z/" +
                      StampTime(model.Networks[1].UpdateStamp) + "Z displayed" +
                      LeftOutNote(model.Networks[0].LeftOut + model.Networks[1].LeftOut));
    scene.state.SceneBuilt[kMerged] = true;
}

void CompileAircraft(SceneContext& scene, int n) {
    if (n < 0 || n > kMerged || !scene.state.SceneBuilt[static_cast<size_t>(n)]) return;
    CompileAircraftLists(Layers{scene, n, n != kMerged && scene.friendsOnly});
    ++scene.state.AircraftCompiled;
}

void BuildRouteHighlight(const NetworkModel& model, const PilotClient& p, const ColourTheme& theme) {
    glNewList(lists::Viewer().RouteHighlight, GL_COMPILE);
    glEnable(GL_LINE_STIPPLE);
    DrawGreatCircle(p.Latitude, p.Longitude, p.DepLatitude, p.DepLongitude, theme);
    glDisable(GL_LINE_STIPPLE);
    DrawGreatCircle(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude, theme);
    glEndList();
    glNewList(lists::Viewer().RouteCodes(), GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    const auto code = [](float lat, float lon, const std::string& text) {
        glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
        DrawTextSmall(text);
    };
    if (model.Airports.Has(p.Departure)) code(p.DepLatitude, p.DepLongitude, p.Departure);
    if (model.Airports.Has(p.Destination)) code(p.DestLatitude, p.DestLongitude, p.Destination);
    glEndList();
}

void BuildAirportRouteHighlight(const NetworkModel& model, int network, bool friendsOnly,
                                const std::string& code, const ColourTheme& theme) {
    const Airport* airport = model.Airports.Find(code);
    const float lat = airport ? airport->Latitude : 0, lon = airport ? airport->Longitude : 0;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    glNewList(lists::Viewer().RouteHighlight, GL_COMPILE);
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (!IsShown(model, friendsOnly, p.MemberId)) continue;
        if (EqualsNoCase(p.Departure, code)) {
            glEnable(GL_LINE_STIPPLE);
            DrawGreatCircle(p.Latitude, p.Longitude, lat, lon, theme);
            glDisable(GL_LINE_STIPPLE);
        }
        if (EqualsNoCase(p.Destination, code)) DrawGreatCircle(p.Latitude, p.Longitude, lat, lon, theme);
    }
    glEndList();
    glNewList(lists::Viewer().RouteCodes(), GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    DrawTextSmall(code);
    glEndList();
}

void BuildAirportMarker(const std::string& code, float lat, float lon, const ColourTheme& theme) {
    glNewList(lists::Viewer().RouteHighlight, GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glBegin(GL_POINTS);
    glVertex3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    glEnd();
    glEndList();
    glNewList(lists::Viewer().RouteCodes(), GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    DrawTextSmall(code);
    glEndList();
}

void ClearRouteHighlight() { glDeleteLists(lists::Viewer().RouteHighlight, 2); }

void DiscardSceneLists(int n) { glDeleteLists(lists::Viewer().SceneBase(n), lists::kSceneListCount); }

}  // namespace kestrava
