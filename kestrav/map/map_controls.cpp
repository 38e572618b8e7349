#include "map_controls.h"

#include "formats/text.h"
#include "kestrav/network/values.h"

#include <cmath>

namespace kestrava {

namespace {

// --- Small pieces -------------------------------------------------------------

OverlayKind& Mode(MapControls& c) { return c.Overlay.OverlayMode; }

int Net(const MapControls& c) { return c.Model.CurrentNetwork; }

bool SingleNetwork(const MapControls& c) { return Net(c) == kIvao || Net(c) == kVatsim; }

Snapshot& Shown(MapControls& c) { return c.Model.Networks[static_cast<size_t>(Net(c))]; }

bool OnBar(const MapControls& c, double y) { return y <= 20 * c.P || y >= c.H - 20 * c.P; }

void Status(MapControls& c, const std::string& text) {
    c.Model.StatusText = text;
    c.Host.BuildStatusLine();
}

void Finish(MapControls& c) {
    c.Host.BuildStatusLine();
    c.Host.DrawScene();
}

// The traffic of the shown network drawn again after the friends filter or
// the friends changed. Every network's lists were built with the old filter.
void RebuildTraffic(MapControls& c) {
    c.Scenes.SceneBuilt[kIvao] = false;
    c.Scenes.SceneBuilt[kVatsim] = false;
    if (SingleNetwork(c)) c.Host.BuildNetworkScene(Net(c));
}

// The mode a popup opens in, over whatever window is open.
void EnterPopupMode(MapControls& c, std::uint8_t kind) {
    OverlayKind& mode = Mode(c);
    if (mode == OverlayKind::AirportWindow || mode == OverlayKind::AirportPopup)
        mode = OverlayKind::AirportPopup;
    else if (mode == OverlayKind::ListWindow || mode == OverlayKind::ListPopup)
        mode = OverlayKind::ListPopup;
    else
        mode = OverlayKind::Popup;
    c.Overlay.PopupKind = kind;
}

bool SameCamera(const Camera& a, const Camera& b) { return a.Spin == b.Spin && a.Tilt == b.Tilt && a.Zoom == b.Zoom; }

// --- Keys ----------------------------------------------------------------------

// Toggles a switch and says so; the caller rebuilds the status line.
void ToggleFlag(MapControls& c, bool& flag, const char* status) {
    flag = !flag;
    c.Model.StatusText = status;
}

void StoreOrRecallView(MapControls& c, int k, int shift) {
    StoredView& view = c.Config.Views[static_cast<size_t>(k - 1)];
    const std::string number = std::to_string(k);
    if (shift == kShiftMask) {
        view = kestrava::StoredView{c.View.Spin, c.View.Tilt, c.View.Zoom};
        c.Model.StatusText = "Current view stored as View " + number;
    } else {
        c.View = Camera{view.X, view.Y, view.Z};
        c.Model.StatusText = "View " + number + " restored";
    }
}

// The keys that work without data: downloads, grid, borders, views.
bool FirstGroup(MapControls& c, int key, int shift) {
    switch (key) {
        case 'I': c.Host.btnDownload(0); return true;
        case 'V': c.Host.btnDownload(1); return true;
        case 'B': c.Host.btnDownload(2); return true;
        case 'R': c.Host.ToggleLive(); return true;
        case 'T': c.Host.ToggleTrails(); return true;
        case 'G':
            ToggleFlag(c, c.Config.Layers.ShowLatLon, "Lat/Lon grid toggle");
            break;
        case 'C':
            if (!c.Config.DisableCountries) ToggleFlag(c, c.Switches.CountriesShown, "Country borders toggle");
            break;
        case '1':
        case '2':
        case '3':
            StoreOrRecallView(c, key - '0', shift);
            break;
        default:
            return false;
    }
    Finish(c);
    return true;
}

// The layer keys, with data of either network.
bool SecondGroup(MapControls& c, int key, int shift) {
    Settings& s = c.Config;
    switch (key) {
        case keys::kF1: {
            if (shift != 0) return true;
            const bool on = !(s.Layers.ShowPlaneLabels || s.Layers.ShowATCLabels || s.Layers.ShowAirportLabels);
            s.Layers.ShowPlaneLabels = s.Layers.ShowATCLabels = s.Layers.ShowAirportLabels = on;
            c.Model.StatusText = "All labels toggle";
            break;
        }
        case keys::kF4:
            if (shift == kShiftMask)
                ToggleFlag(c, s.Layers.ShowAirports, "Airport display toggle");
            else if (shift == 0 && s.Layers.ShowAirports)
                ToggleFlag(c, s.Layers.ShowAirportLabels, "Airport labels toggle");
            break;
        case keys::kF5:
            if (shift == kShiftMask)
                ToggleFlag(c, s.Layers.ShowATC, "ATC display toggle");
            else if (shift == 0 && s.Layers.ShowATC)
                ToggleFlag(c, s.Layers.ShowATCLabels, "ATC labels toggle");
            break;
        case keys::kF6:
            if (shift == kShiftMask) {
                ToggleFlag(c, s.Layers.ShowPlanes, "Plane display toggle");
                c.Host.ClearRouteHighlight();
            } else if (shift == 0 && s.Layers.ShowPlanes) {
                ToggleFlag(c, s.Layers.ShowPlaneLabels, "Plane labels toggle");
            }
            break;
        default:
            return false;
    }
    Finish(c);
    return true;
}

// The keys of one network's data.
void ThirdGroup(MapControls& c, int key, int shift) {
    switch (key) {
        case 'L':
            OpenListWindow(c);
            break;
        case keys::kF2:
            // Off again even when the last friend was removed in this view.
            if (shift == 0 && (!c.Model.Friends.Empty() || c.Switches.FriendsOnly)) FriendsToggle(c);
            break;
        case keys::kF3:
            if (shift == 0 && !c.Switches.FriendsOnly) {
                ToggleFlag(c, c.Config.Layers.ShowInbounds, "Inbounds toggle");
                Finish(c);
            }
            break;
        case '4':
            CentreOnMyself(c);
            break;
        default:
            break;
    }
}

// --- Presses on the overlays -------------------------------------------------

// The pick list is open: a row opens its client, a press elsewhere closes
// the list and counts as a new press.
void PickListPress(MapControls& c, int button, int shift, double x, double y) {
    const double px = (x - c.W / 2) / c.P, py = (c.H / 2 - y) / c.P;
    const PickState& pick = c.Input.Pick;
    if (!pick.Box.Contains(px, py) || pick.Count() == 0) {
        Mode(c) = OverlayKind::Map;
        MouseDown(c, button, shift, x, y);
        return;
    }
    const int row = PickRowAt(pick.Box, pick.Count(), py);
    const int controllers = static_cast<int>(pick.PickAtc.size());
    if (row <= controllers)
        OpenAtcPopup(c, pick.PickAtc[static_cast<size_t>(row - 1)].Record);
    else
        OpenPilotPopup(c, pick.PickPilots[static_cast<size_t>(row - controllers - 1)].Record);
    c.Host.DrawScene();
}

void ReopenPopup(MapControls& c) {
    if (c.Overlay.PopupKind == 0)
        c.Host.BuildAtcPopup(Net(c), c.Input.SelectedAtc);
    else
        c.Host.BuildPilotPopup(Net(c), c.Input.SelectedPilot);
}

void FriendButton(MapControls& c) {
    const ClientRef& client = c.Input.SelectedClient;
    if (client.MemberId.empty()) return;  // nobody to befriend
    const std::string who = client.RealName + " (" + client.MemberId + ")";
    if (IsFriend(c.Model, client.MemberId)) {
        c.Model.Friends.Remove(client.MemberId);
        c.Model.StatusText = who + " removed from friends list";
    } else {
        c.Model.Friends.Add(client.MemberId);
        c.Model.StatusText = who + " added to friends list";
    }
    if (c.Switches.FriendsOnly) RebuildTraffic(c);
    if (Mode(c) == OverlayKind::ListPopup && c.Overlay.PanelTab == kFriendsTab) {
        c.Panel.Rebuild = true;
        BuildList(c);
    }
    c.Host.BuildStatusLine();
    ReopenPopup(c);
    c.Host.DrawScene();
}

void ProfileButton(MapControls& c) {
    const std::string& id = c.Input.SelectedClient.MemberId;
    const std::string address = ProfileAddress(Shown(c).ProfileUrl, id);
    if (address.empty() || !c.Host.OpenUrl(address)) {
        Status(c, "Could not open profile of " + id);
        c.Host.DrawScene();
    }
}

// A popup is open: its close box, its three buttons, or a press outside.
void PopupPress(MapControls& c, int button, int shift, double x, double y) {
    const double p = c.P, cx = c.W / 2, cy = c.H / 2;
    const double h = c.Overlay.PopupKind == 1 ? kPilotPopupHalfHeight : kAtcPopupHalfHeight;
    const bool inside = std::fabs(x - cx) <= kPopupHalfWidth * p && std::fabs(y - cy) <= h * p;
    if (inside) {
        if (x > cx + 110 * p && y < cy - (h - 20) * p) {
            OverlayKind& mode = Mode(c);
            mode = mode == OverlayKind::AirportPopup ? OverlayKind::AirportWindow : mode == OverlayKind::ListPopup ? OverlayKind::ListWindow : OverlayKind::Map;
            c.Overlay.PopupKind = 8;
            c.Host.DrawScene();
        } else if (y > cy + (h - 20) * p) {
            if (x < cx - 44 * p) {
                const ClientRef& client = c.Input.SelectedClient;
                CentreCamera(c.View, client.Latitude, client.Longitude);
                Mode(c) = OverlayKind::Map;
                Status(c, "Centered on " + client.Callsign);
                c.Host.DrawScene();
            } else if (x > cx + 44 * p) {
                ProfileButton(c);
            } else {
                FriendButton(c);
            }
        }
        return;
    }
    OverlayKind& mode = Mode(c);
    if (mode == OverlayKind::Popup || IsOutsidePanel(c, x, y)) {
        mode = OverlayKind::Map;
        MouseDown(c, button, shift, x, y);
        return;
    }
    // Inside the list or airport window: the popup closes back to it, or
    // with the window's close box the window closes under the popup.
    const bool closeBox = y <= cy - (PanelHalfHeight(c.Panel.Rows) - 20) * p && x >= cx + 325 * p;
    mode = closeBox ? OverlayKind::Popup : (mode == OverlayKind::AirportPopup ? OverlayKind::AirportWindow : OverlayKind::ListWindow);
    c.Host.DrawScene();
}

}  // namespace

// --- Events ----------------------------------------------------------------

void KeyDown(MapControls& c, int key, int shift) {
    if (shift == kShiftMask || Mode(c) != OverlayKind::Map) return;
    Camera& v = c.View;
    const float z = v.Zoom > 0 ? v.Zoom : 1;
    switch (key) {
        case keys::kF11: v.Zoom *= 1.1f; break;
        case keys::kF12: v.Zoom /= 1.1f; break;
        case keys::kRight: v.Spin += 5 / z; break;
        case keys::kLeft: v.Spin -= 5 / z; break;
        case keys::kUp: v.Tilt -= 5 / z; break;
        case keys::kDown: v.Tilt += 5 / z; break;
        default: return;
    }
    c.Host.DrawScene();
}

void KeyUp(MapControls& c, int key, int shift) {
    // Nothing answers while the viewer is starting.
    if (Mode(c) == OverlayKind::StartUp) return;
    if (key == keys::kSpace) {
        c.Host.ShowCompanion();
        return;
    }
    if (key == keys::kEscape) {
        if (Mode(c) != OverlayKind::Map) {
            Mode(c) = OverlayKind::Map;
            c.Host.DrawScene();
        }
        return;
    }
    if (Mode(c) != OverlayKind::Map) return;
    if (FirstGroup(c, key, shift)) return;
    if (c.Model.ClientTotal[0] + c.Model.ClientTotal[1] == 0) return;
    if (SecondGroup(c, key, shift)) return;
    if (Net(c) == kMerged) return;
    ThirdGroup(c, key, shift);
}

void MouseDown(MapControls& c, int button, int shift, double x, double y) {
    c.Input.Press.X = x;
    c.Input.Press.Y = y;
    c.Input.Press.OnMap = false;
    if (OnBar(c, y)) {
        if (button == kLeftButton) c.Host.MenuClick(x, y);
        return;
    }
    switch (Mode(c)) {
        case OverlayKind::Map: {
            PressSnapshot& press = c.Input.Press;
            press.X0 = std::llround(x);
            press.Y0 = std::llround(y);
            press.AtPress = c.View;
            press.OnMap = true;
            if (button == kLeftButton) c.Input.DragRotate = true;
            if (button == kRightButton) c.Input.DragZoom = true;
            break;
        }
        case OverlayKind::PickList:
            PickListPress(c, button, shift, x, y);
            break;
        case OverlayKind::Popup:
        case OverlayKind::AirportPopup:
        case OverlayKind::ListPopup:
            PopupPress(c, button, shift, x, y);
            break;
        case OverlayKind::AirportWindow:
        case OverlayKind::ListWindow:
            if (IsOutsidePanel(c, x, y)) {
                Mode(c) = OverlayKind::Map;
                MouseDown(c, button, shift, x, y);
            }
            break;
        default:
            break;
    }
}

void MouseMove(MapControls& c, double x, double y) {
    const PressSnapshot& press = c.Input.Press;
    if (c.Input.DragRotate) {
        DragRotate(c.View, press.AtPress, static_cast<double>(press.X0) - x, static_cast<double>(press.Y0) - y);
        c.Host.DrawScene();
    } else if (c.Input.DragZoom) {
        DragZoom(c.View, press.AtPress, static_cast<double>(press.Y0) - y);
        c.Host.DrawScene();
    }
}

void MouseUp(MapControls& c, int button, int shift, double x, double y) {
    // A drag ends with the release, wherever the pointer is by then.
    const bool pressedOnMap = c.Input.Press.OnMap;
    c.Input.Press.OnMap = false;
    c.Input.DragRotate = false;
    c.Input.DragZoom = false;
    if (OnBar(c, y)) {
        if (Mode(c) == OverlayKind::Map && c.Overlay.PopupKind == 8) c.Overlay.PopupKind = 0;
        return;
    }
    switch (Mode(c)) {
        case OverlayKind::Map: {
            if (c.Overlay.PopupKind == 8) {
                c.Overlay.PopupKind = 0;
                return;
            }
            if (pressedOnMap && SameCamera(c.View, c.Input.Press.AtPress)) {
                const PickedPoint point = PickGlobePoint(c.View, x, y, c.W, c.H);
                if (point.OnGlobe()) {
                    const float n = point.NegatedLatitude, lambda = point.Longitude;
                    if (shift == 0 && button == kLeftButton)
                        MapLeftClick(c, n, lambda, x, y);
                    else if (shift == 0)
                        MapRightClick(c, n, lambda);
                    else if (button == kLeftButton)
                        ShiftLeftClick(c, n, lambda);
                    else
                        ShiftRightClick(c, n, lambda);
                }
            }
            c.Host.DrawScene();
            break;
        }
        case OverlayKind::AirportWindow:
            AirportWindowRelease(c, x, y);
            break;
        case OverlayKind::ListWindow:
            ListWindowRelease(c, x, y);
            break;
        default:
            break;
    }
}

void DblClick(MapControls& c) {
    // Left of the caption's buttons the window goes to full screen and back;
    // elsewhere the press that came with the double click did the work.
    const PressSnapshot& press = c.Input.Press;
    if (press.Y <= 20 * c.P && press.X < c.W - 60 * c.P) c.Host.ToggleFullScreen();
}

void MouseWheel(MapControls& c, int delta) {
    if (Mode(c) != OverlayKind::Map) return;
    const int step = c.Input.Wheel.Step(delta);
    if (step == 0) return;
    WheelStep(c.View, step);
    c.Host.DrawScene();
}

// --- Operations ----------------------------------------------------------------

void MapLeftClick(MapControls& c, float n, float lambda, double x, double y) {
    if (!SingleNetwork(c)) return;
    PickState pick = PickClients(c.Model, Net(c), c.Config, c.Switches.FriendsOnly, n, lambda, c.View.Zoom);
    const int count = pick.Count();
    if (count == 0) return;
    if (count == 1) {
        c.Input.Pick = pick;
        if (!pick.PickAtc.empty())
            OpenAtcPopup(c, pick.PickAtc.front().Record);
        else
            OpenPilotPopup(c, pick.PickPilots.front().Record);
        return;
    }
    pick.Box = PickBoxAt(count, x, y, c.W, c.H, c.P);
    c.Input.Pick = pick;
    c.Host.BuildSelectionList(c.Input.Pick);
    Mode(c) = OverlayKind::PickList;
}

void MapRightClick(MapControls& c, float n, float lambda) {
    if (!SingleNetwork(c)) return;
    const float limit = 20.0f / std::sqrt(c.View.Zoom);
    const int record = c.Config.Layers.ShowPlanes
                           ? NearestPilot(c.Model, Net(c), c.Switches.FriendsOnly, n, lambda, limit)
                           : -1;
    if (record >= 0)
        c.Host.BuildRouteHighlight(Shown(c).Pilots[static_cast<size_t>(record)]);
    else
        c.Host.ClearRouteHighlight();
}

void ShiftRightClick(MapControls& c, float n, float lambda) {
    if (!SingleNetwork(c)) return;
    const float limit = 20.0f / std::sqrt(c.View.Zoom);
    const std::string code = NearestAirport(c.Model, Net(c), c.Switches.FriendsOnly, n, lambda, limit);
    if (!code.empty())
        c.Host.BuildAirportRouteHighlight(Net(c), code);
    else
        c.Host.ClearRouteHighlight();
}

void ShiftLeftClick(MapControls& c, float n, float lambda) {
    if (!SingleNetwork(c) || !c.Config.Layers.ShowPlanes || !c.Config.Layers.ShowAirports) return;
    if (c.Model.ClientTotal[static_cast<size_t>(Net(c))] == 0 || Mode(c) == OverlayKind::AirportWindow || Mode(c) == OverlayKind::AirportPopup) return;
    const float limit = 20.0f / std::sqrt(c.View.Zoom);
    const std::string code = NearestAirport(c.Model, Net(c), c.Switches.FriendsOnly, n, lambda, limit);
    if (code.empty()) return;
    OpenAirportWindow(c, code);
    c.Host.DrawScene();
}

void CentreOnMyself(MapControls& c) {
    if (!SingleNetwork(c)) return;
    const std::string& own = c.Config.UserIds[static_cast<size_t>(Net(c))];
    if (own.empty()) return;
    Snapshot& s = Shown(c);
    const std::string* callsign = nullptr;
    const auto centre = [&](const std::string& call, float lat, float lon) {
        CentreCamera(c.View, lat, lon);
        Mode(c) = OverlayKind::Map;
        callsign = &call;
    };
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        if (a.MemberId != own) continue;
        c.Config.Layers.ShowATC = true;
        centre(a.Callsign, a.Latitude, a.Longitude);
    }
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (p.MemberId != own) continue;
        c.Config.Layers.ShowPlanes = true;
        centre(p.Callsign, p.Latitude, p.Longitude);
    }
    if (!callsign) return;  // not online: nothing to say
    Status(c, "Centered on myself (" + *callsign + ")");
    c.Host.DrawScene();
}

bool ShowClient(MapControls& c, const std::string& callsign, const std::string& memberId, bool atc) {
    if (!SingleNetwork(c)) return false;
    const Snapshot& s = Shown(c);
    const auto open = [&](float lat, float lon, int record) {
        CentreCamera(c.View, lat, lon);
        Mode(c) = OverlayKind::Map;
        Status(c, "Centered on " + callsign);
        if (atc) {
            c.Config.Layers.ShowATC = true;
            OpenAtcPopup(c, record);
        } else {
            c.Config.Layers.ShowPlanes = true;
            OpenPilotPopup(c, record);
        }
        c.Host.DrawScene();
        return true;
    };
    if (atc) {
        for (int i = 0; i < s.AtcCount; ++i) {
            const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
            if (a.Callsign == callsign && a.MemberId == memberId) return open(a.Latitude, a.Longitude, i);
        }
    } else {
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (p.Callsign == callsign && p.MemberId == memberId) return open(p.Latitude, p.Longitude, i);
        }
    }
    return false;
}

void FriendsToggle(MapControls& c) {
    if (c.Switches.FriendsOnly) {
        c.Model.StatusText = "Friends toggle";
        c.Switches.FriendsOnly = false;
        RebuildTraffic(c);
    } else {
        const Snapshot& s = Shown(c);
        int online = 0;
        for (int i = 0; i < s.PilotCount; ++i)
            if (IsFriend(c.Model, s.Pilots[static_cast<size_t>(i)].MemberId)) ++online;
        for (int i = 0; i < s.AtcCount; ++i)
            if (IsFriend(c.Model, s.AtcClients[static_cast<size_t>(i)].MemberId)) ++online;
        if (online > 0) {
            c.Model.StatusText = "Friends toggle (" + std::to_string(online) + " online)";
            c.Switches.FriendsOnly = true;
            RebuildTraffic(c);
        } else {
            c.Model.StatusText = "No friends online";
        }
    }
    Finish(c);
}

void OpenAtcPopup(MapControls& c, int record) {
    const Snapshot& s = Shown(c);
    if (!SingleNetwork(c) || record < 0 || record >= s.AtcCount) return;
    const AtcClient& a = s.AtcClients[static_cast<size_t>(record)];
    c.Input.SelectedAtc = a;
    c.Input.SelectedClient = ClientRef{a.Callsign, a.RealName, a.MemberId, 0, a.Latitude, a.Longitude, record};
    EnterPopupMode(c, 0);
    c.Host.BuildAtcPopup(Net(c), c.Input.SelectedAtc);
}

void OpenPilotPopup(MapControls& c, int record) {
    const Snapshot& s = Shown(c);
    if (!SingleNetwork(c) || record < 0 || record >= s.PilotCount) return;
    const PilotClient& p = s.Pilots[static_cast<size_t>(record)];
    c.Input.SelectedPilot = p;
    c.Input.SelectedClient = ClientRef{p.Callsign, p.RealName, p.MemberId, 0, p.Latitude, p.Longitude, record};
    EnterPopupMode(c, 1);
    c.Host.BuildPilotPopup(Net(c), c.Input.SelectedPilot);
}

// --- Pieces ----------------------------------------------------------------------

bool IsOutsidePanel(const MapControls& c, double x, double y) {
    const double p = c.P, h = PanelHalfHeight(c.Panel.Rows);
    return x <= c.W / 2 - 345 * p || x >= c.W / 2 + 345 * p || y <= c.H / 2 - h * p || y >= c.H / 2 + h * p;
}

}  // namespace kestrava
