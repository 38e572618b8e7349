#include "frame.h"

#include "display_lists.h"
#include "geography.h"
#include "globe_view.h"

#include <GL/gl.h>

#include <cmath>

namespace kestrava {

void DrawCore(const FrameInputs& f) {
    const Settings& s = f.settings;
    const unsigned base = lists::SceneBase(f.network);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(3.0f * std::pow(2.0f * f.camera.Zoom, 0.2f));
    if (!s.DisableSmooth) glEnable(GL_LINE_SMOOTH);
    glCallList(lists::kGlobe);
    if (s.ShowLatLon) glCallList(lists::kGrid);
    // Coastlines and borders at the detail that is exact to half a pixel.
    const unsigned coastlines = CoastlineListFor(f.camera.Zoom, f.height);
    if (f.switches.CountriesShown && !s.DisableCountries) glCallList(BorderListFor(f.camera.Zoom, f.height));
    glDisable(GL_LINE_SMOOTH);
    if (s.ShowATC) {
        glCallList(base + lists::kSceneAtcFills);
        glCallList(base + lists::kSceneAtcBorders);
    }
    if (!s.DisableSmooth) {
        glEnable(GL_LINE_SMOOTH);
        glCallList(coastlines);
        glDisable(GL_LINE_SMOOTH);
    } else {
        glCallList(coastlines);
    }
    glLineWidth(1);
    if (s.ShowAirports) {
        glCallList(base + lists::kSceneAirports);
        if (s.ShowAirportLabels) glCallList(base + lists::kSceneAirportLabels);
    }
    if (s.ShowATC) {
        if (s.ShowATCLabels) glCallList(base + lists::kSceneAtcLabels);
        glCallList(base + lists::kSceneAtcPoints);
    }
    glLineWidth(2);
    glCallList(lists::kRouteHighlight);
    glCallList(lists::kRouteCodes);
    glLineWidth(1);
    if (s.ShowInbounds && s.ShowAirports && !f.switches.FriendsOnly)
        glCallList(base + lists::kSceneInbounds);
    if (s.ShowPlanes) {
        glCallList(base + lists::kScenePlanes);
        if (s.ShowPlaneLabels) glCallList(base + lists::kScenePlaneLabels);
    }
}

void DrawScene(FrameInputs& f) {
    if (!BeginGlobeView(f.camera, f.width, f.height)) return;
    DrawCore(f);

    glViewport(0, 0, f.width, f.height);
    glLoadIdentity();
    glLineWidth(2);
    glCallList(lists::kWindowFrame);
    glCallList(lists::kNetworkMarks);
    if (f.overlay.AboutVisible) glCallList(lists::kSplash);
    const Rgb border = f.theme.Get(Colour::ScreenBorder);
    glColor4f(border.Red, border.Green, border.Blue, 1);
    // The frame list leaves the bold glyph set selected; say so here too, so
    // the status line is bold whether or not that list exists.
    glListBase(lists::kGlyphBoldBase);
    glCallList(lists::kStatusLine);
    glLineWidth(1);
    glCallList(lists::kClientCountBar);
    switch (f.overlay.OverlayMode) {
        case 1:
        case 2:
            glCallList(lists::kPopup);
            break;
        case 3:
        case 5:
            glCallList(lists::kPanel);
            break;
        case 4:
        case 6:
            glCallList(lists::kPanel);
            glCallList(lists::kPopup);
            break;
        default:
            break;
    }
    glPopMatrix();
}

}  // namespace kestrava
