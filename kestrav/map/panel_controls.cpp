// The list window and the airport window: opening them and what a button
// released over them does.
#include "map_controls.h"

#include "formats/text.h"

#include <cmath>

namespace kestrava {

namespace {

int Net(const MapControls& c) { return c.Model.CurrentNetwork; }

// The released point in pixels from the window's centre, y upwards.
double Px(const MapControls& c, double x) { return (x - c.W / 2) / c.P; }
double Py(const MapControls& c, double y) { return (c.H / 2 - y) / c.P; }

// The release that ends the press on a popup's close box acts no further.
bool EndsAClose(MapControls& c) {
    if (c.Overlay.PopupKind != 8) return false;
    c.Overlay.PopupKind = 0;
    return true;
}

void OpenClientOfRow(MapControls& c, const std::string& row, bool controllers) {
    const std::string callsign = RowCallsign(row);
    if (callsign.empty()) return;
    const Snapshot& s = c.Model.Networks[static_cast<size_t>(Net(c))];
    // The call column holds 14 characters of the callsign.
    const auto same = [&](const std::string& other) { return Trim(other.substr(0, 14)) == callsign; };
    if (controllers)
        for (int i = 0; i < s.AtcCount; ++i)
            if (same(s.AtcClients[static_cast<size_t>(i)].Callsign)) OpenAtcPopup(c, i);
    for (int i = 0; i < s.PilotCount; ++i)
        if (same(s.Pilots[static_cast<size_t>(i)].Callsign)) OpenPilotPopup(c, i);
}

}  // namespace

void OpenListWindow(MapControls& c) {
    const int net = Net(c);
    if (net != kIvao && net != kVatsim) return;
    if (c.Model.ClientTotal[static_cast<size_t>(net)] == 0) return;
    OverlayKind& mode = c.Overlay.OverlayMode;
    if (mode == OverlayKind::ListWindow || mode == OverlayKind::ListPopup) return;
    mode = OverlayKind::ListWindow;
    c.Overlay.PanelTab = kFriendsTab;
    c.Overlay.ListPage = 0;
    c.Panel.Rebuild = true;
    BuildList(c);
    c.Host.DrawScene();
}

void BuildList(MapControls& c) {
    PrepareListWindow(c.Panel, c.Overlay.ListPage, c.Overlay.PanelTab, c.Model, c.H / c.P);
    c.Host.BuildListWindow();
}

void OpenAirportWindow(MapControls& c, const std::string& code) {
    c.Overlay.OverlayMode = OverlayKind::AirportWindow;
    c.Overlay.PanelTab = kTimetableTab;
    c.Panel.Airport = code;
    c.Panel.Rows = AirportPanelRows(c.H / c.P);
    BuildTimetable(c.Panel, c.Model, Net(c), code);
    c.Host.BuildAirportWindow();
}

void ListWindowRelease(MapControls& c, double x, double y) {
    if (EndsAClose(c)) return;
    const PanelHit hit = HitListWindow(Px(c, x), Py(c, y), c.Panel.Rows);
    PanelState& panel = c.Panel;
    OverlayState& o = c.Overlay;
    switch (hit.Part) {
        case PanelPart::Outside:
            return;
        case PanelPart::CloseBox:
            o.OverlayMode = OverlayKind::Map;
            break;
        case PanelPart::Tab:
            if (hit.Index != o.PanelTab) {
                o.PanelTab = static_cast<std::uint8_t>(hit.Index);
                o.ListPage = 0;
                panel.Rebuild = true;
                BuildList(c);
            }
            break;
        case PanelPart::NextPage:
            ++o.ListPage;
            BuildList(c);
            break;
        case PanelPart::PrevPage:
            if (o.ListPage > 0) --o.ListPage;
            BuildList(c);
            break;
        case PanelPart::Header:
            o.ListPage = 0;
            if (panel.Sorted) {
                panel.Sorted = false;  // back to record order
                panel.Rebuild = true;
            } else {
                panel.Sorted = true;
                SortRows(panel.Lines, o.PanelTab);
            }
            BuildList(c);
            break;
        case PanelPart::Row: {
            // Below the page's last line lies no row of this page.
            const int perPage = panel.Rows - 1;
            if (hit.Index > perPage) break;
            const size_t line = static_cast<size_t>(perPage * o.ListPage + hit.Index - 1);
            if (line < panel.Lines.size()) OpenClientOfRow(c, panel.Lines[line], true);
            break;
        }
        default:
            break;
    }
    c.Host.DrawScene();
}

void AirportWindowRelease(MapControls& c, double x, double y) {
    if (EndsAClose(c)) return;
    const PanelHit hit = HitAirportWindow(Px(c, x), Py(c, y), c.Panel.Rows);
    PanelState& panel = c.Panel;
    switch (hit.Part) {
        case PanelPart::Outside:
            return;
        case PanelPart::CloseBox:
            c.Overlay.OverlayMode = OverlayKind::Map;
            break;
        case PanelPart::Tab:
            c.Overlay.PanelTab = static_cast<std::uint8_t>(hit.Index);
            c.Host.BuildAirportWindow();
            break;
        case PanelPart::Row: {
            const int row = hit.Index;
            if (c.Overlay.PanelTab != kTimetableTab || row <= 0 || row == panel.DepartHeaderRow ||
                row >= panel.Rows)
                break;
            if (static_cast<size_t>(row) < panel.Lines.size()) OpenClientOfRow(c, panel.Lines[static_cast<size_t>(row)], false);
            break;
        }
        default:
            break;
    }
    c.Host.DrawScene();
}

}  // namespace kestrava
