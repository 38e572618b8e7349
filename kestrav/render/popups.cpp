#include "popups.h"

#include "globe/pixel_scale.h"
#include "display_lists.h"
#include "globe/gl_text.h"

#include <GL/gl.h>

#include <cmath>

namespace kestrava {

namespace {

constexpr double kRadian = 3.14159 / 180;
constexpr double kOuter = 56, kInner = 42;

struct Panel {
    const OverlayGrid& g;
    float X(double p) const { return g.X(p); }
    float Y(double p) const { return g.Y(p); }
    void Vertex(double x, double y) const { glVertex2f(X(x), Y(y)); }
    void Line(double x1, double y1, double x2, double y2) const {
        Vertex(x1, y1);
        Vertex(x2, y2);
    }
};

// Body, bands, shading, separator, outline, button dividers and the close
// cross of a popup 260 px wide and 2 hh high.
void PanelFrame(const Panel& p, const ColourTheme& theme, int hh, int separatorY) {
    const double w = kPopupHalfWidth;
    ShadedBox(theme, Colour::WindowBackground, p.X(-w), p.X(w), p.Y(-hh), p.Y(hh), 0.8f, 0.8f);
    ShadedBox(theme, Colour::WindowShading, p.X(-w), p.X(w), p.Y(hh), p.Y(hh - 20), 0.6f, 0.3f);
    ShadedBox(theme, Colour::WindowShading, p.X(-w), p.X(w), p.Y(-hh), p.Y(-hh + 20), 0.6f, 0.3f);
    ShadedBox(theme, Colour::WindowShading, p.X(-w), p.X(-w + 20), p.Y(hh), p.Y(hh - 20), 0.6f, 0.3f);
    ShadedBoxAcross(theme, Colour::WindowShading, p.X(-w), p.X(-50), p.Y(-hh + 20), p.Y(hh - 20), 0.4f, 0);
    ShadedBox(theme, Colour::WindowShading, p.X(-w), p.X(w), p.Y(hh - 20), p.Y(hh - 100), 0.4f, 0);
    ScaledLineWidth(1);
    FadingLine(theme, Colour::ScreenBorder, p.X(-w), p.X(w), p.Y(separatorY), 0.25f);
    SetColour(theme, Colour::ScreenBorder, 1);
    BoxOutline(p.X(-w), p.X(w), p.Y(-hh), p.Y(hh));
    glBegin(GL_LINES);
    p.Line(-w, hh - 20, w, hh - 20);
    p.Line(-w, -hh + 20, w, -hh + 20);
    p.Line(-44, -hh, -44, -hh + 20);
    p.Line(44, -hh, 44, -hh + 20);
    p.Line(w - 20, hh, w - 20, hh - 20);
    p.Line(w - 15, hh - 5, w - 5, hh - 15);  // the close cross
    p.Line(w - 15, hh - 15, w - 5, hh - 5);
    glEnd();
}

// Every text ends inside the outline, and the title row (the top 20 px)
// before the close cell, however wide its glyphs.
void Texts(const Panel& p, const ColourTheme& theme, const std::vector<PopupText>& texts, int halfHeight) {
    SetColour(theme, Colour::ScreenBorder, 1);
    for (const PopupText& t : texts) {
        if (t.Text.empty()) continue;
        const int right = t.Y > halfHeight - 20 ? kPopupHalfWidth - 22 : kPopupHalfWidth - 3;
        glRasterPos2f(p.X(t.X), p.Y(t.Y));
        const unsigned base = t.Bold ? lists::Globe().GlyphBold : lists::Globe().GlyphSmall;
        DrawGlyphs(base, FitText(base, t.Text, right - t.X));
    }
}

void CompilePopup(const PopupLayout& layout, const ColourTheme& theme, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    const Panel p{g};
    glNewList(lists::Viewer().Popup, GL_COMPILE);
    PanelFrame(p, theme, layout.HalfHeight, layout.SeparatorY);
    for (const DialSpec& dial : layout.Dials) DrawDial(g, theme, dial);
    Texts(p, theme, layout.Texts, layout.HalfHeight);
    glEndList();
}

// A point at `radius` pixels from the dial's centre, at `degrees` clockwise
// from straight up.
void DialVertex(const Panel& p, const DialSpec& d, double radius, double degrees) {
    p.Vertex(d.CentreX + radius * std::sin(degrees * kRadian), d.CentreY + radius * std::cos(degrees * kRadian));
}

}  // namespace

void DrawDial(const OverlayGrid& g, const ColourTheme& theme, const DialSpec& d) {
    const Panel p{g};
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glBegin(GL_QUADS);
    for (int k = 0; k < 30; ++k) {
        const double a = -150 + 10.0 * k, middle = a + 5;
        SetColour(theme, Colour::WindowShading, static_cast<float>(std::fabs(middle) / 500 + 0.1));
        DialVertex(p, d, kInner, a);
        DialVertex(p, d, kOuter, a);
        DialVertex(p, d, kOuter, a + 10);
        DialVertex(p, d, kInner, a + 10);
    }
    glEnd();
    SetColour(theme, Colour::ScreenBorder, 1);
    ScaledLineWidth(1);
    for (double radius : {kInner, kOuter}) {
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k <= 30; ++k) DialVertex(p, d, radius, -150 + 10.0 * k);
        glEnd();
    }
    glBegin(GL_LINES);
    for (double end : {-150.0, 150.0}) {  // the end ticks
        DialVertex(p, d, kInner - 4, end);
        DialVertex(p, d, kOuter + 4, end);
    }
    if (d.ShowMarker) {
        DialVertex(p, d, kInner - 2, d.Marker);
        DialVertex(p, d, kOuter + 2, d.Marker);
    }
    glEnd();
    ScaledLineWidth(2);
    glBegin(GL_LINES);
    DialVertex(p, d, 0, d.Needle);
    DialVertex(p, d, kOuter, d.Needle);
    glEnd();
    ScaledLineWidth(1);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
}

void BuildAtcPopup(const NetworkModel& model, int network, const AtcClient& atc, const ColourTheme& theme,
                   int width, int height) {
    CompilePopup(AtcPopupLayout(model, network, atc), theme, width, height);
}

void BuildPilotPopup(const NetworkModel& model, int network, const PilotClient& pilot,
                     const ColourTheme& theme, int width, int height) {
    CompilePopup(PilotPopupLayout(model, network, pilot), theme, width, height);
}

void BuildSelectionList(const PickBox& box, const std::vector<std::string>& rows, const ColourTheme& theme,
                        int width, int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    const Panel p{g};
    const float left = p.X(box.Left), right = p.X(box.Left + box.Width);
    const float bottom = p.Y(box.Bottom), top = p.Y(box.Top());
    glNewList(lists::Viewer().Popup, GL_COMPILE);
    ShadedBox(theme, Colour::WindowBackground, left, right, bottom, top, 0.6f, 0.6f);
    ShadedBoxAcross(theme, Colour::WindowShading, left, right, bottom, top, 0.3f, 0);
    ScaledLineWidth(1);
    SetColour(theme, Colour::ScreenBorder, 1);
    BoxOutline(left, right, bottom, top);
    const int count = static_cast<int>(rows.size());
    for (int k = 1; k < count; ++k) {
        const float y = p.Y(PickRowLowerEdge(box, k));
        glBegin(GL_LINE_STRIP);
        SetColour(theme, Colour::ScreenBorder, 0);
        glVertex2f(left, y);
        SetColour(theme, Colour::ScreenBorder, 0.4f);
        glVertex2f((left + right) / 2, y);
        SetColour(theme, Colour::ScreenBorder, 0.8f);
        glVertex2f(right, y);
        glEnd();
    }
    SetColour(theme, Colour::ScreenBorder, 1);
    for (int k = 1; k <= count; ++k) {
        glRasterPos2f(p.X(box.Left + 3), p.Y(PickRowBaseline(box, k)));
        DrawTextSmall(rows[static_cast<size_t>(k - 1)]);
    }
    glEndList();
}

}  // namespace kestrava
