#include "scene.h"

#include "display_lists.h"
#include "geography.h"
#include "gl_text.h"
#include "overlay.h"

#include "formats/sector_files.h"
#include "formats/text.h"
#include "kestrav/network/values.h"

#include <GL/gl.h>

#include <cstdio>
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
            Snapshot& s = scene.model.Networks[static_cast<size_t>(net)];
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

void Begin(int index, unsigned layer) { glNewList(lists::SceneBase(index) + layer, GL_COMPILE); }

bool Placed(float lat, float lon) { return lat != 0 && lon != 0; }

int SectorList(const NetworkModel& model, const AtcClient& a) {
    const KeyedIndex::Items* items = model.SectorIndex.Find(a.Location);
    if (!items || items->size() < 5) return 0;
    return ReadListNumber((*items)[4]);
}

void CompileLayers(const Layers& l, bool withInbounds) {
    const ColourTheme& theme = l.scene.theme;
    NetworkModel& model = l.scene.model;
    const int n = l.index;

    Begin(n, lists::kScenePlanes);
    l.EachPilot([&](PilotClient& p) { DrawPlaneSymbol(p, l.scene.settings.ShowActualHeading, theme); });
    glEndList();

    Begin(n, lists::kScenePlaneLabels);
    SetColour(theme, Colour::PlaneLabel);
    l.EachPilot([&](PilotClient& p) {
        if (p.GroundSpeed <= 50 && !IsFriend(model, p.MemberId)) return;
        glRasterPos3f(GlobeX(p.Latitude, p.Longitude), GlobeY(p.Latitude), GlobeZ(p.Latitude, p.Longitude));
        DrawTextSmall(p.Callsign);
    });
    glEndList();

    Begin(n, lists::kSceneAirports);
    SetColour(theme, Colour::Airports);
    glBegin(GL_POINTS);
    l.EachPilot([&](PilotClient& p) {
        if (Placed(p.DepLatitude, p.DepLongitude)) GlobeVertex(p.DepLatitude, p.DepLongitude);
        if (Placed(p.DestLatitude, p.DestLongitude)) GlobeVertex(p.DestLatitude, p.DestLongitude);
    });
    glEnd();
    glEndList();

    Begin(n, lists::kSceneAirportLabels);
    SetColour(theme, Colour::Airports);
    const auto label = [](float lat, float lon, const std::string& text) {
        glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
        DrawTextSmall(text);
    };
    l.EachPilot([&](PilotClient& p) {
        if (Placed(p.DepLatitude, p.DepLongitude)) label(p.DepLatitude, p.DepLongitude, p.Departure);
        if (Placed(p.DestLatitude, p.DestLongitude)) label(p.DestLatitude, p.DestLongitude, p.Destination);
    });
    glEndList();

    if (withInbounds) {
        // Every pilot, friends-only or not: the view hides the whole layer.
        Begin(n, lists::kSceneInbounds);
        Snapshot& s = model.Networks[static_cast<size_t>(n)];
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (Placed(p.DestLatitude, p.DestLongitude)) DrawInboundMarker(p, theme);
        }
        glEndList();
    }

    ClearRouteHighlight();

    Begin(n, lists::kSceneAtcFills);
    glLineWidth(2);
    l.EachAtc([&](const AtcClient& a) {
        if (a.Facility != 6 && a.Facility != 7) return;
        if (int s = SectorList(model, a)) glCallList(static_cast<GLuint>(s));
    });
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    l.EachAtc([&](const AtcClient& a) { if (a.Facility == 5) DrawApproachFill(a, theme); });
    l.EachAtc([&](const AtcClient& a) { if (a.Facility == 4) DrawTowerFill(a, theme); });
    glEndList();

    Begin(n, lists::kSceneAtcBorders);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    l.EachAtc([&](const AtcClient& a) {
        switch (a.Facility) {
            case 6:
            case 7:
                glLineWidth(2);
                if (int s = SectorList(model, a)) glCallList(static_cast<GLuint>(s) + lists::kSectorOutline);
                break;
            case 5:
                glLineWidth(1);
                DrawApproachBorder(a, theme);
                break;
            case 4:
                DrawTowerBorder(a, theme);
                break;
            case 3:
                DrawGroundStar(a, theme);
                break;
            case 2:
                DrawAtisSpokes(a, theme);
                break;
            default:
                break;
        }
    });
    glEndList();

    Begin(n, lists::kSceneAtcLabels);
    SetColour(theme, Colour::ATCLabel);
    l.EachAtc([&](const AtcClient& a) {
        if (a.Facility <= 1 || (a.Latitude == 0 && a.Longitude == 0)) return;
        glRasterPos3f(GlobeX(a.Latitude, a.Longitude), GlobeY(a.Latitude), GlobeZ(a.Latitude, a.Longitude));
        if (a.Facility >= 6)
            DrawTextBold(a.Location);
        else
            DrawTextSmall(a.Location);
    });
    glEndList();

    Begin(n, lists::kSceneAtcPoints);
    SetColour(theme, Colour::ATCLabel);
    glBegin(GL_POINTS);
    l.EachAtc([&](const AtcClient& a) {
        if (a.Facility < 2 || a.Facility > 5 || (a.Latitude == 0 && a.Longitude == 0)) return;
        GlobeVertex(a.Latitude, a.Longitude);
    });
    glEnd();
    glEndList();
}

std::string StampTime(const std::string& stamp) { return stamp.size() > 8 ? stamp.substr(8, 4) : std::string(); }

void Report(SceneContext& scene, const std::string& text) {
    SetStatus(scene.model, scene.display, text);
    scene.display.DrawScene();
}

}  // namespace

bool IsShown(const NetworkModel& model, bool friendsOnly, const std::string& memberId) {
    return !friendsOnly || IsFriend(model, memberId);
}

void BuildNetworkScene(SceneContext& scene, int n) {
    NetworkModel& model = scene.model;
    const std::int16_t total = model.ClientTotal[static_cast<size_t>(n)];
    if (total == 0) return;
    if (!scene.state.SceneBuilt[static_cast<size_t>(n)]) {
        if (!scene.friendsOnly) Report(scene, "Setting up map...");
        CompileLayers(Layers{scene, n, scene.friendsOnly}, true);
    }
    if (total > 0) {
        if (!scene.friendsOnly)
            model.StatusText = model.NetworkName[static_cast<size_t>(n)] + " data of " +
                               StampTime(model.Networks[static_cast<size_t>(n)].UpdateStamp) + "Z displayed";
        if (n == kIvao) std::remove((scene.dataFolder + "/whazzup.txt").c_str());
    } else {
        model.StatusText = "No data to display";
    }
    scene.display.BuildStatusLine();
    scene.display.DrawScene();
    scene.state.SceneBuilt[static_cast<size_t>(n)] = true;
}

void BuildMergedScene(SceneContext& scene) {
    NetworkModel& model = scene.model;
    if (!scene.state.SceneBuilt[kMerged]) {
        for (int n = 0; n < 2; ++n) {
            if (model.ClientTotal[static_cast<size_t>(n)] == 0) {
                Report(scene, "Missing " + model.NetworkName[static_cast<size_t>(n)] +
                                  " data. No comparison possible.");
                return;
            }
        }
        model.ClientTotal[kMerged] = MergedClientTotal(model);
        CompileLayers(Layers{scene, kMerged, false}, false);
    }
    Report(scene, "Merged data of " + StampTime(model.Networks[0].UpdateStamp) + "Z/" +
                      StampTime(model.Networks[1].UpdateStamp) + "Z displayed");
    scene.state.SceneBuilt[kMerged] = true;
}

void BuildRouteHighlight(const NetworkModel& model, const PilotClient& p, const ColourTheme& theme) {
    glNewList(lists::kRouteHighlight, GL_COMPILE);
    glEnable(GL_LINE_STIPPLE);
    DrawGreatCircle(p.Latitude, p.Longitude, p.DepLatitude, p.DepLongitude, theme);
    glDisable(GL_LINE_STIPPLE);
    DrawGreatCircle(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude, theme);
    glEndList();
    glNewList(lists::kRouteCodes, GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    const auto code = [](float lat, float lon, const std::string& text) {
        glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
        DrawTextSmall(text);
    };
    if (model.AirportIndex.Has(p.Departure)) code(p.DepLatitude, p.DepLongitude, p.Departure);
    if (model.AirportIndex.Has(p.Destination)) code(p.DestLatitude, p.DestLongitude, p.Destination);
    glEndList();
}

void BuildAirportRouteHighlight(const NetworkModel& model, int network, bool friendsOnly,
                                const std::string& code, const ColourTheme& theme) {
    const std::string position = AirportPosition(model, code);
    const float lat = static_cast<float>(ReadNumber(FieldOf(position, 0)));
    const float lon = static_cast<float>(ReadNumber(FieldOf(position, 1)));
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    glNewList(lists::kRouteHighlight, GL_COMPILE);
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
    glNewList(lists::kRouteCodes, GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    DrawTextSmall(code);
    glEndList();
}

void BuildAirportMarker(const std::string& code, float lat, float lon, const ColourTheme& theme) {
    glNewList(lists::kRouteHighlight, GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glBegin(GL_POINTS);
    glVertex3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    glEnd();
    glEndList();
    glNewList(lists::kRouteCodes, GL_COMPILE);
    SetColour(theme, Colour::Highlight);
    glRasterPos3f(GlobeX(lat, lon), GlobeY(lat), GlobeZ(lat, lon));
    DrawTextSmall(code);
    glEndList();
}

void ClearRouteHighlight() { glDeleteLists(lists::kRouteHighlight, 2); }

void DiscardSceneLists(int n) { glDeleteLists(lists::SceneBase(n), lists::kSceneListCount); }

}  // namespace kestrava
