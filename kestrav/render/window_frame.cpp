#include "window_frame.h"

#include "globe/pixel_scale.h"
#include "display_lists.h"
#include "globe/gl_text.h"
#include "overlay.h"

#include <GL/gl.h>

#include <cmath>
#include <string>

namespace kestrava {

namespace {

// A 20-pixel button cell; points are given in pixels from the cell's
// bottom-left corner.
struct Cell {
    const OverlayGrid& grid;
    double left;    // pixels from the window's left edge
    double bottom;  // pixels from the window's bottom edge
    void Vertex(double x, double y) const {
        glVertex2f(grid.Left(left + x), grid.Bottom(bottom + y));
    }
    void Line(double x1, double y1, double x2, double y2) const {
        Vertex(x1, y1);
        Vertex(x2, y2);
    }
};

// A band of the bars, shaded from `outer` alpha at one edge to `inner` alpha
// at the other.
void ShadedBand(const ColourTheme& theme, float x1, float x2, float yOuter, float yInner, float outer,
                float inner) {
    ShadedBox(theme, Colour::WindowShading, x1, x2, yOuter, yInner, outer, inner);
}

void Ring(const Cell& c, double cx, double cy, double r) {
    glEnd();
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 16; ++i) {
        const double a = i * 2 * 3.14159 / 16;
        c.Vertex(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    glEnd();
    glBegin(GL_LINES);
}

void Diamond(const Cell& c, double r) {
    c.Line(10, 10 - r, 10 + r, 10);
    c.Line(10 + r, 10, 10, 10 + r);
    c.Line(10, 10 + r, 10 - r, 10);
    c.Line(10 - r, 10, 10, 10 - r);
}

// The symbols, each inside its 20 x 20 cell; the network cells leave their
// middle free for the download mark.
void ButtonSymbols(const OverlayGrid& g) {
    const double top = g.H - 20;
    const Cell close{g, g.W - 20, top}, maximise{g, g.W - 40, top}, minimise{g, g.W - 60, top};
    const Cell ivao{g, 0, 0}, vatsim{g, 20, 0}, merged{g, 40, 0};
    const Cell grip{g, g.W - 20, 0}, centre{g, g.W - 40, 0}, list{g, g.W - 60, 0};
    glBegin(GL_LINES);
    close.Line(6, 6, 14, 14);
    close.Line(6, 14, 14, 6);
    maximise.Line(6, 6, 14.5, 6);
    maximise.Line(14.5, 6, 14.5, 14.5);
    maximise.Line(14.5, 14.5, 6, 14.5);
    maximise.Line(6, 14.5, 6, 6);
    minimise.Line(6, 6, 14.5, 6);
    Ring(ivao, 10, 10, 6.5);
    Diamond(vatsim, 8);
    Ring(merged, 10, 10, 6.5);
    Diamond(merged, 9);
    grip.Line(15, 5, 5, 15);
    grip.Line(15, 9, 9, 15);
    grip.Line(15, 13, 13, 15);
    Ring(centre, 10, 10, 5);
    centre.Line(10, 2, 10, 7);
    centre.Line(10, 13, 10, 18);
    centre.Line(2, 10, 7, 10);
    centre.Line(13, 10, 18, 10);
    list.Line(5, 6, 15, 6);
    list.Line(5, 10, 15, 10);
    list.Line(5, 14, 15, 14);
    glEnd();
}

}  // namespace

void BuildWindowFrame(const ColourTheme& theme, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    glNewList(lists::Viewer().WindowFrame, GL_COMPILE);
    ShadedBand(theme, -1, 1, 1, g.Top(20), 0.6f, 0.3f);
    ShadedBand(theme, -1, 1, -1, g.Bottom(20), 0.6f, 0.3f);
    for (int k = 1; k <= 3; ++k) {
        ShadedBand(theme, g.Right(20.0 * k), g.Right(20.0 * (k - 1)), 1, g.Top(20), 0.6f, 0.3f);
        ShadedBand(theme, g.Left(20.0 * (k - 1)), g.Left(20.0 * k), -1, g.Bottom(20), 0.6f, 0.3f);
        ShadedBand(theme, g.Right(20.0 * k), g.Right(20.0 * (k - 1)), -1, g.Bottom(20), 0.6f, 0.3f);
    }
    ScaledLineWidth(1);
    FadingLine(theme, Colour::ScreenBorder, -1, 1, g.Top(20), 0.25f);
    FadingLine(theme, Colour::ScreenBorder, -1, 1, g.Bottom(20), 0.25f);
    ScaledLineWidth(2);
    SetColour(theme, Colour::ScreenBorder, 1);
    ButtonSymbols(g);
    glRasterPos2f(g.Left(5), g.Top(15));
    DrawTextBold(kCaption);
    glEndList();
}

void BuildClientCountBar(const NetworkModel& model, const ColourTheme& theme, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    glNewList(lists::Viewer().ClientCountBar, GL_COMPILE);
    const int current = model.CurrentNetwork;
    for (int n = 0; n < 2; ++n) {
        if (current != 2 && current != n) continue;
        const int total = model.ClientTotal[static_cast<size_t>(n)];
        if (total == 0) continue;
        // In the merged view the second network's bar sits below the first.
        const double below = (current == 2) ? 25.0 * n : 0;
        const Colour colour = n == 0 ? Colour::IVAO : Colour::VATSIM;
        const float x1 = g.Left(10), x2 = x1 + static_cast<float>(total) / 1000.0f;
        const float yTop = g.Top(30 + below), yBottom = g.Top(50 + below);
        ShadedBox(theme, colour, x1, x2, yTop, yBottom, 0.3f, 0.5f);
        SetColour(theme, colour, 0.8f);
        BoxOutline(x1, x2, yTop, yBottom);
        SetColour(theme, Colour::ScreenBorder, 1);
        glRasterPos2f(g.Left(15), g.Top(45 + below));
        DrawTextBold(model.NetworkName[static_cast<size_t>(n)] + ": " + std::to_string(total));
    }
    glEndList();
}

void BuildNetworkMarks(const NetworkModel& model, const ColourTheme& theme, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    glNewList(lists::Viewer().NetworkMarks, GL_COMPILE);
    SetColour(theme, Colour::ScreenBorder, 0.5f);
    glBegin(GL_LINES);
    for (int k = 0; k < 2; ++k) {
        const Snapshot& s = model.Networks[static_cast<size_t>(k)];
        const Cell c{g, 20.0 * k, 0};
        if (s.DownloadFailed) {
            c.Line(7, 7, 13, 13);
            c.Line(13, 7, 7, 13);
        } else if (s.DataFresh) {
            c.Line(7, 9, 9, 7);
            c.Line(9, 7, 13, 13);
        }
    }
    glEnd();
    glEndList();
}

namespace {

void SplashVertex(const OverlayGrid& g, double x, double y) { glVertex2f(g.X(x), g.Y(y)); }

void FilledShape(const OverlayGrid& g, const ColourTheme& theme, Colour fill, float alpha,
                 std::initializer_list<std::pair<double, double>> points) {
    SetColour(theme, fill, alpha);
    glBegin(GL_POLYGON);
    for (auto [x, y] : points) SplashVertex(g, x, y);
    glEnd();
    SetColour(theme, Colour::ScreenBorder, 1);
    glBegin(GL_LINE_LOOP);
    for (auto [x, y] : points) SplashVertex(g, x, y);
    glEnd();
}

// The emblem: a globe with a sector over it and a kestrel-like arrow
// crossing its rim.
void Emblem(const OverlayGrid& g, const ColourTheme& theme) {
    const double cx = 0, cy = 28, r = 62;
    SetColour(theme, Colour::GlobeEquator, 1);
    glBegin(GL_TRIANGLE_FAN);
    SplashVertex(g, cx, cy);
    for (int i = 0; i <= 48; ++i) {
        const double a = i * 2 * 3.14159 / 48;
        SetColour(theme, i % 24 < 12 ? Colour::GlobeEquator : Colour::GlobePoles, 1);
        SplashVertex(g, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    glEnd();
    SetColour(theme, Colour::GridEquator, 1);
    ScaledLineWidth(1);
    for (double k : {-0.6, 0.0, 0.6}) {  // parallels and meridians as ellipses
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i <= 32; ++i) {
            const double a = i * 3.14159 / 32;
            SplashVertex(g, cx + r * std::cos(a) * std::sqrt(1 - k * k), cy + r * k + 8 * std::sin(a) * (k == 0 ? 1 : 0.5));
        }
        glEnd();
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i <= 32; ++i) {
            const double a = -3.14159 / 2 + i * 3.14159 / 32;
            SplashVertex(g, cx + r * k * std::cos(a), cy + r * std::sin(a));
        }
        glEnd();
    }
    FilledShape(g, theme, Colour::CTRFill, 0.85f, {{-40, 10}, {-10, 40}, {22, 30}, {30, 0}, {0, -18}, {-30, -12}});
    FilledShape(g, theme, Colour::APPFillOut, 0.9f, {{-8, 8}, {2, 16}, {12, 10}, {10, -2}, {-2, -6}});
    ScaledLineWidth(2);
    FilledShape(g, theme, Colour::PlaneFill, 1, {{60, 112}, {-4, 82}, {24, 76}, {-10, 46}, {12, 48}, {44, 72}, {48, 58}});
    SetColour(theme, Colour::PlaneBorder, 0.9f);
    glBegin(GL_LINES);
    SplashVertex(g, 60, 112);
    SplashVertex(g, 88, 128);
    glEnd();
    glBegin(GL_TRIANGLES);
    SetColour(theme, Colour::PlaneBorder, 0.3f);
    SplashVertex(g, -10, 46);
    SplashVertex(g, 12, 48);
    SetColour(theme, Colour::PlaneBorder, 0);
    SplashVertex(g, -62, -10);
    glEnd();
    ScaledLineWidth(1);
    SetColour(theme, Colour::ScreenBorder, 0.8f);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 48; ++i) {
        const double a = i * 2 * 3.14159 / 48;
        SplashVertex(g, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    glEnd();
}

}  // namespace

void BuildSplash(const ColourTheme& theme, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    glNewList(lists::Viewer().Splash, GL_COMPILE);
    const float left = g.X(-125), right = g.X(125), bottom = g.Y(-135), top = g.Y(135);
    ShadedBox(theme, Colour::WindowBackground, left, right, bottom, top, 0.8f, 0.8f);
    ShadedBox(theme, Colour::WindowShading, left, right, bottom, top, 0.6f, 0.3f);
    ScaledLineWidth(1);
    SetColour(theme, Colour::ScreenBorder, 1);
    BoxOutline(left, right, bottom, top);
    Emblem(g, theme);
    SetColour(theme, Colour::ScreenBorder, 1);
    glRasterPos2f(g.X(-74), g.Y(-122));
    DrawTextSmall("by the Kestrava developers");
    glRasterPos2f(g.X(-50), g.Y(-105));
    DrawTextBold("Kestrava v1.0.0");
    glEndList();
}

}  // namespace kestrava
