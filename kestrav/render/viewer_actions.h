// The one port from the map's controls and the Companion console to the
// viewer's window. Its base, DisplayHooks (network/model.h), is the part the
// download and the feed's commit ask for (status line, marks, scenes,
// overlays, timers); the rest is what a click, a key or a console command
// asks. The map window implements it; tests record the calls.
#pragma once

#include "kestrav/network/model.h"
#include "kestrav/render/picking.h"

#include <functional>
#include <string>

namespace kestrava {

class ViewerActions : public DisplayHooks {
public:
    // The window's download of network 0, 1 or 2 (both compared).
    virtual void btnDownload(int /*network*/) {}
    // The same, and `done` once its outcome is shown (also when it was
    // refused). The window's download runs beside it, so this returns first.
    virtual void DownloadThen(int network, std::function<void()> done) {
        btnDownload(network);
        if (done) done();
    }
    // `work` beside the window (a transfer); the function it returns runs on
    // the window's thread once it is done. Here both run in a row.
    virtual void RunBeside(std::function<std::function<void()>()> work) {
        if (std::function<void()> commit = work()) commit();
    }
    // Live refresh on or off; trails shown or not.
    virtual void ToggleLive() {}
    virtual void ToggleTrails() {}
    // A left press on the caption or the bottom bar, in twips.
    virtual void MenuClick(double /*x*/, double /*y*/) {}
    virtual void ToggleFullScreen() {}
    // The Companion console: shown, created first when needed.
    virtual void ShowCompanion() {}
    // The panel list compiled from the panel state: the list window or the
    // airport window.
    virtual void BuildListWindow() {}
    virtual void BuildAirportWindow() {}
    // The popup list: a popup of network `network`, or the pick list.
    virtual void BuildAtcPopup(int /*network*/, const AtcClient& /*atc*/) {}
    virtual void BuildPilotPopup(int /*network*/, const PilotClient& /*pilot*/) {}
    virtual void BuildSelectionList(const PickState& /*pick*/) {}
    // The route highlight.
    virtual void BuildRouteHighlight(const PilotClient& /*pilot*/) {}
    virtual void BuildAirportRouteHighlight(int /*network*/, const std::string& /*code*/) {}
    virtual void ClearRouteHighlight() {}
    // The console's airport marker (where the route highlight goes): a
    // Highlight point with the code beside it.
    virtual void BuildAirportMarker(const std::string& /*code*/, float /*latitude*/, float /*longitude*/) {}
    // Turns the map onto a point, says "Centered on " + label in the status
    // line and draws. zoomIn: zoom 16 and every overlay closed as well.
    virtual void CentreMap(float /*latitude*/, float /*longitude*/, const std::string& /*label*/, bool /*zoomIn*/) {}
    // The sector update ([Network] SectorDataUrl), run beside the window; its
    // outcome is said in the status line. False when it was refused (one is
    // running already, said there too).
    virtual bool UpdateSectors() { return false; }
    // Opens a checked http/https address in the user's web browser; false
    // when that failed.
    virtual bool OpenUrl(const std::string& /*url*/) { return false; }
};

}  // namespace kestrava
