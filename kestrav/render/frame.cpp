#include "frame.h"

#include "globe/pixel_scale.h"
#include "display_lists.h"
#include "panels.h"
#include "globe/geography.h"
#include "globe/globe_view.h"
#include "globe/segment_arrays.h"
#include "globe/sector_lists.h"

#include <GL/gl.h>

#include <cmath>

namespace kestrava {

namespace {
float PointSize(float zoom) { return 3.0f * std::pow(2.0f * zoom, 0.2f); }

// A scene's label list (its colour), then its labels.
void DrawLabels(const FrameInputs& f, unsigned list, PlacedTexts SceneState::Labels::*labels) {
    glCallList(lists::Viewer().SceneBase(f.network) + list);
    if (f.scenes && f.network < f.scenes->SceneLabels.size())
        (f.scenes->SceneLabels[f.network].*labels).Draw(f.width, f.height);
}
// A scene's shapes, while its list (which holds nothing) is there; a line
// of them reaches at most 2 pixels wide, smoothed.
void DrawShapes(const FrameInputs& f, unsigned list, PlacedShapes SceneState::Shapes::*shapes) {
    if (f.scenes && f.network < f.scenes->SceneShapes.size() && glIsList(lists::Viewer().SceneBase(f.network) + list))
        (f.scenes->SceneShapes[f.network].*shapes).Draw(f.width, f.height, 4 + 2 * DevicePixels(2));
}
}  // namespace

void DrawUnderAircraft(const FrameInputs& f) {
    const Settings& s = f.settings;
    const unsigned base = lists::Viewer().SceneBase(f.network);
    glEnable(GL_POINT_SMOOTH);
    ScaledPointSize(PointSize(f.camera.Zoom));
    if (!s.DisableSmooth) glEnable(GL_LINE_SMOOTH);
    glCallList(lists::Globe().Globe);
    if (s.Layers.ShowLatLon) glCallList(lists::Globe().Grid);
    // Coastlines and borders at the detail that is exact to half a pixel.
    const unsigned coastlines = CoastlineListFor(f.camera.Zoom, f.height);
    if (f.switches.CountriesShown && !s.DisableCountries)
        DrawSegmentList(BorderListFor(f.camera.Zoom, f.height), f.width, f.height);
    glDisable(GL_LINE_SMOOTH);
    if (s.Layers.ShowATC) {
        if (f.scenes && f.network < f.scenes->FilledSectors.size() && glIsList(base + lists::kSceneAtcFills))
            DrawSectorFills(f.scenes->FilledSectors[f.network], f.scenes->Sectors, f.theme.Get(Colour::CTRFill),
                            f.width, f.height);
        glCallList(base + lists::kSceneAtcFills);
        glCallList(base + lists::kSceneAtcBorders);
    }
    if (!s.DisableSmooth) {
        glEnable(GL_LINE_SMOOTH);
        DrawSegmentList(coastlines, f.width, f.height);
        glDisable(GL_LINE_SMOOTH);
    } else {
        DrawSegmentList(coastlines, f.width, f.height);
    }
    ScaledLineWidth(1);
    if (s.Layers.ShowAirports) {
        glCallList(base + lists::kSceneAirports);
        if (s.Layers.ShowAirportLabels) DrawLabels(f, lists::kSceneAirportLabels, &SceneState::Labels::Airports);
    }
    if (s.Layers.ShowATC) {
        if (s.Layers.ShowATCLabels) DrawLabels(f, lists::kSceneAtcLabels, &SceneState::Labels::Stations);
        glCallList(base + lists::kSceneAtcPoints);
    }
    ScaledLineWidth(2);
    glCallList(lists::Viewer().RouteHighlight);
    glCallList(lists::Viewer().RouteCodes());
    ScaledLineWidth(1);
    if (s.Layers.ShowInbounds && s.Layers.ShowAirports && !f.switches.FriendsOnly)
        DrawShapes(f, lists::kSceneInbounds, &SceneState::Shapes::Inbounds);
}

void DrawAircraft(const FrameInputs& f) {
    const Settings& s = f.settings;
    const unsigned base = lists::Viewer().SceneBase(f.network);
    ScaledLineWidth(1);
    if (s.Layers.ShowPlanes) {
        if (s.ShowTrails) glCallList(base + lists::kSceneTrails);
        DrawShapes(f, lists::kScenePlanes, &SceneState::Shapes::Planes);
        if (s.Layers.ShowPlaneLabels) DrawLabels(f, lists::kScenePlaneLabels, &SceneState::Labels::Planes);
    }
}

void DrawCore(const FrameInputs& f) {
    DrawUnderAircraft(f);
    DrawAircraft(f);
}

namespace {

GlobeKey KeyOf(const FrameInputs& f, unsigned generation) {
    GlobeKey k;
    k.Spin = f.camera.Spin;
    k.Tilt = f.camera.Tilt;
    k.Zoom = f.camera.Zoom;
    k.Width = f.width;
    k.Height = f.height;
    k.Network = f.network;
    k.Layers = f.settings.Layers;
    k.DisableSmooth = f.settings.DisableSmooth;
    k.DisableCountries = f.settings.DisableCountries;
    k.Trails = f.settings.ShowTrails;
    k.Switches = f.switches;
    k.AboutVisible = f.overlay.AboutVisible;
    // Scenes compiled since the picture was kept change it too, even where
    // the owner had no chance to say so between compiling and drawing.
    k.Generation = generation + (f.scenes ? f.scenes->Compiled : 0);
    k.Aircraft = f.scenes ? f.scenes->AircraftCompiled : 0;
    return k;
}

// The key of the picture under the aircraft: the same without them.
GlobeKey UnderKeyOf(GlobeKey key) {
    key.Aircraft = 0;
    return key;
}

// Copies the back buffer into a texture of the window's size.
bool CopyInto(unsigned& texture, int& width, int& height, const GlobeKey& key) {
    if (!texture) glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (width != key.Width || height != key.Height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, key.Width, key.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        width = key.Width;
        height = key.Height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, key.Width, key.Height);
    glBindTexture(GL_TEXTURE_2D, 0);
    return glGetError() == GL_NO_ERROR;
}

void Keep(GlobePicture& picture, const GlobeKey& key) {
    picture.Key = key;
    picture.Valid = CopyInto(picture.Texture, picture.Width, picture.Height, key);
}

void KeepUnder(GlobePicture& picture, const GlobeKey& key) {
    picture.UnderKey = UnderKeyOf(key);
    picture.UnderValid = CopyInto(picture.UnderTexture, picture.UnderWidth, picture.UnderHeight, key);
}

// Draws a kept texture pixel for pixel and leaves the state the globe pass
// and the window's lists leave for the status line.
void DrawKept(unsigned texture, const FrameInputs& f) {
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 1);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, f.width, f.height);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    ScaledPointSize(PointSize(f.camera.Zoom));
}

}  // namespace

void DrawScene(FrameInputs& f, GlobePicture* picture) {
    if (f.width <= 0 || f.height <= 0) return;
    NormaliseCamera(f.camera);
    const GlobeKey key = picture ? KeyOf(f, picture->Generation) : GlobeKey{};
    if (picture && picture->Valid && picture->Key == key) {
        DrawKept(picture->Texture, f);
        ++picture->KeptFrames;
    } else {
        // Only the aircraft moved: they are drawn over the kept picture of
        // everything under them.
        if (picture && picture->UnderValid && picture->UnderKey == UnderKeyOf(key)) {
            DrawKept(picture->UnderTexture, f);
            glPopMatrix();
            if (!BeginGlobeView(f.camera, f.width, f.height, false)) return;
            ++picture->AircraftFrames;
        } else {
            if (!BeginGlobeView(f.camera, f.width, f.height)) return;
            DrawUnderAircraft(f);
            if (picture) KeepUnder(*picture, key);
        }
        DrawAircraft(f);
        glViewport(0, 0, f.width, f.height);
        glLoadIdentity();
        ScaledLineWidth(2);
        glCallList(lists::Viewer().WindowFrame);
        // The splash covers the marks: then they belong to the kept picture,
        // else they are drawn over it (a download changes them, the globe
        // not yet).
        if (f.overlay.AboutVisible) {
            glCallList(lists::Viewer().NetworkMarks);
            glCallList(lists::Viewer().Splash);
        }
        if (picture) {
            Keep(*picture, key);
            ++picture->FullFrames;
        }
    }
    ScaledLineWidth(2);
    if (!f.overlay.AboutVisible) glCallList(lists::Viewer().NetworkMarks);
    const Rgb border = f.theme.Get(Colour::ScreenBorder);
    glColor4f(border.Red, border.Green, border.Blue, 1);
    // The frame list leaves the bold glyph set selected; say so here too, so
    // the status line is bold whether or not that list exists.
    glListBase(lists::Globe().GlyphBold);
    glCallList(lists::Viewer().StatusLine);
    ScaledLineWidth(1);
    glCallList(lists::Viewer().ClientCountBar);
    switch (f.overlay.OverlayMode) {
        case OverlayKind::PickList:
        case OverlayKind::Popup:
            glCallList(lists::Viewer().Popup);
            break;
        case OverlayKind::AirportWindow:
        case OverlayKind::ListWindow:
            glCallList(lists::Viewer().Panel);
            if (f.panelLabels && f.overlay.OverlayMode == OverlayKind::AirportWindow)
                DrawPanelLabels(*f.panelLabels, f.theme, f.width, f.height);
            break;
        case OverlayKind::AirportPopup:
        case OverlayKind::ListPopup:
            glCallList(lists::Viewer().Panel);
            if (f.panelLabels && f.overlay.OverlayMode == OverlayKind::AirportPopup)
                DrawPanelLabels(*f.panelLabels, f.theme, f.width, f.height);
            glCallList(lists::Viewer().Popup);
            break;
        default:
            break;
    }
    glPopMatrix();
}

}  // namespace kestrava
