#include "panels.h"

#include "globe/pixel_scale.h"
#include "display_lists.h"
#include "globe/gl_text.h"
#include "scene.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

constexpr double kRadian = 3.14159 / 180;
constexpr double kHalfWidth = kPanelHalfWidth;

struct Frame {
    const OverlayGrid& g;
    const ColourTheme& theme;
    double h;  // the panel's half-height in pixels
    float X(double p) const { return g.X(p); }
    float Y(double p) const { return g.Y(p); }
    void Line(double x1, double y1, double x2, double y2) const {
        glVertex2f(X(x1), Y(y1));
        glVertex2f(X(x2), Y(y2));
    }
    // A band cell shaded from 0.6 at the panel's edge to 0.3 inside.
    void TopCell(double x1, double x2, Colour colour) const {
        ShadedBox(theme, colour, X(x1), X(x2), Y(h), Y(h - 20), 0.6f, 0.3f);
    }
    void BottomCell(double x1, double x2, Colour colour) const {
        ShadedBox(theme, colour, X(x1), X(x2), Y(-h), Y(-h + 20), 0.6f, 0.3f);
    }
    void Text(double x, double y, const std::string& text, bool bold) const {
        if (text.empty()) return;
        glRasterPos2f(X(x), Y(y));
        if (bold)
            DrawTextBold(text);
        else
            DrawTextSmall(text);
    }
};

// Body, outline, band edges and the close box; the bands' shading is the
// caller's.
void PanelOutline(const Frame& f, std::initializer_list<double> topDividers,
                  std::initializer_list<double> bottomDividers) {
    ScaledLineWidth(1);
    SetColour(f.theme, Colour::ScreenBorder, 0.25f);
    glBegin(GL_LINES);
    f.Line(-kHalfWidth, f.h - 20, kHalfWidth, f.h - 20);
    f.Line(-kHalfWidth, -f.h + 20, kHalfWidth, -f.h + 20);
    for (double x : topDividers) f.Line(x, f.h, x, f.h - 20);
    for (double x : bottomDividers) f.Line(x, -f.h, x, -f.h + 20);
    glEnd();
    SetColour(f.theme, Colour::ScreenBorder, 1);
    BoxOutline(f.X(-kHalfWidth), f.X(kHalfWidth), f.Y(-f.h), f.Y(f.h));
    glBegin(GL_LINES);  // the close box's cross
    f.Line(330, f.h - 5, 340, f.h - 15);
    f.Line(330, f.h - 15, 340, f.h - 5);
    glEnd();
}

void Body(const Frame& f) {
    ShadedBox(f.theme, Colour::WindowBackground, f.X(-kHalfWidth), f.X(kHalfWidth), f.Y(-f.h), f.Y(f.h), 0.8f, 0.8f);
}

void RadarPicture(const Frame& f, const NetworkModel& model, const PanelState& panel, PanelLabels& labels) {
    f.Text(-335, f.h - 36, "Range 100 nm", false);
    const double r = std::min(f.h - 25, 335.0);
    const auto rim = [&](double radius, int degrees) {
        glVertex2f(f.X(radius * std::sin(degrees * kRadian)), f.Y(radius * std::cos(degrees * kRadian)));
    };
    glBegin(GL_TRIANGLE_FAN);
    SetColour(f.theme, Colour::WindowShading, 0.1f);
    glVertex2f(0, 0);
    SetColour(f.theme, Colour::WindowShading, 0.3f);
    for (int a = 0; a <= 360; a += 5) rim(r, a);
    glEnd();
    glEnable(GL_LINE_SMOOTH);
    SetColour(f.theme, Colour::ScreenBorder, 0.6f);
    for (const auto& [radius, width] : {std::pair{r, 2.0f}, std::pair{r / 2, 1.0f}}) {
        ScaledLineWidth(width);
        glBegin(GL_LINE_LOOP);
        for (int a = 0; a < 360; a += 5) rim(radius, a);
        glEnd();
    }
    glDisable(GL_LINE_SMOOTH);
    ScaledLineWidth(1);
    SetColour(f.theme, Colour::ScreenBorder, 1);
    ScaledPointSize(3);
    glBegin(GL_POINTS);
    glVertex2f(0, 0);
    glEnd();
    const std::vector<RadarBlip> blips = RadarBlips(model, model.CurrentNetwork, panel.Airport, r);
    // The symbols in one square viewport, then their callsigns over them.
    const GLint side = static_cast<GLint>(std::lround(f.g.H));
    glViewport(static_cast<GLint>(std::lround((f.g.W - f.g.H) / 2)), 0, side, side);
    {
        ArrowheadArrays arrays;
        for (const RadarBlip& blip : blips)
            DrawRadarSymbol(f.g, f.theme, f.X(blip.X), f.Y(blip.Y), blip.Heading, blip.Speed, blip.Size, arrays);
    }
    glViewport(0, 0, static_cast<GLint>(std::lround(f.g.W)), side);
    // The callsigns over them, drawn by the frame: a run for each alpha.
    for (const RadarBlip& blip : blips) {
        if (labels.Runs.empty() || labels.Runs.back().Alpha != blip.LabelAlpha)
            labels.Runs.push_back({blip.LabelAlpha, PlacedTexts{}});
        labels.Runs.back().Texts.Add(f.X(blip.X), f.Y(blip.Y), 0, lists::Globe().GlyphSmall, blip.Callsign);
    }
}

}  // namespace

void DrawPanelLabels(const PanelLabels& labels, const ColourTheme& theme, int width, int height) {
    for (const PanelLabels::Run& run : labels.Runs) {
        SetColour(theme, Colour::PlaneLabel, run.Alpha);
        run.Texts.Draw(width, height);
    }
}

void DrawRadarSymbol(const OverlayGrid& g, const ColourTheme& theme, double x, double y, float heading,
                     float speed, float size, ArrowheadArrays& arrays) {
    glPushMatrix();
    glTranslatef(static_cast<float>(x * g.W / g.H), static_cast<float>(y), 0);
    glRotatef(heading + 180, 0, 0, -1);
    arrays.Draw(size, speed, theme);
    glPopMatrix();
}

void BuildListWindow(const PanelState& panel, int tab, int page, const ColourTheme& theme, int width,
                     int height) {
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    const Frame f{g, theme, static_cast<double>(PanelHalfHeight(panel.Rows))};
    glNewList(lists::Viewer().Panel, GL_COMPILE);
    Body(f);
    f.TopCell(-kHalfWidth, -325, Colour::WindowShading);
    for (int k = 0; k < 4; ++k)
        f.TopCell(-325 + 162.5 * k, -325 + 162.5 * (k + 1), k == tab ? Colour::ScreenBorder : Colour::WindowShading);
    f.TopCell(325, kHalfWidth, Colour::WindowShading);
    f.BottomCell(-kHalfWidth, kHalfWidth, Colour::WindowShading);
    ShadedBox(theme, Colour::WindowShading, f.X(-kHalfWidth), f.X(kHalfWidth), f.Y(f.h - 20), f.Y(f.h - 33), 0.2f,
              0.2f);
    PanelOutline(f, {-325, -162.5, 0, 162.5, 325}, {205, 275});

    SetColour(theme, Colour::ScreenBorder, 1);
    const char* tabs[] = {"Friends", "Controllers", "Pilots", "Observers"};
    const double tabX[] = {-263.75, -112.25, 66.25, 214.75};
    for (int k = 0; k < 4; ++k) f.Text(tabX[k], f.h - 14, tabs[k], true);
    f.Text(212, -f.h + 6, "prev page", true);
    f.Text(282, -f.h + 6, "next page", true);
    f.Text(-339, f.h - 30, ListHeader(tab), false);
    const int perPage = panel.Rows - 1;
    for (int i = 1; i <= perPage; ++i) {
        const size_t line = static_cast<size_t>(perPage) * static_cast<size_t>(page) + static_cast<size_t>(i) - 1;
        if (line >= panel.Lines.size()) break;
        f.Text(-339, f.h - (12.0 * i + 30), panel.Lines[line], false);
    }
    f.Text(-340, -f.h + 6, panel.Summary, true);
    glEndList();
}

void BuildAirportWindow(const NetworkModel& model, const PanelState& panel, int tab, const ColourTheme& theme,
                        int width, int height, PanelLabels& labels) {
    labels.Runs.clear();
    if (width <= 0 || height <= 0) return;
    const OverlayGrid g{static_cast<double>(width), static_cast<double>(height)};
    const Frame f{g, theme, static_cast<double>(PanelHalfHeight(panel.Rows))};
    glNewList(lists::Viewer().Panel, GL_COMPILE);
    Body(f);
    f.TopCell(-kHalfWidth, kHalfWidth, Colour::WindowShading);
    f.BottomCell(-kHalfWidth, 175, Colour::WindowShading);
    f.BottomCell(175, 260, tab == kTimetableTab ? Colour::ScreenBorder : Colour::WindowShading);
    f.BottomCell(260, kHalfWidth, tab == kRadarTab ? Colour::ScreenBorder : Colour::WindowShading);
    PanelOutline(f, {325}, {175, 260});

    SetColour(theme, Colour::ScreenBorder, 1);
    f.Text(-320, f.h - 14, AirportTitle(model, panel.Airport), true);
    f.Text(190, -f.h + 6, "Timetable", true);
    f.Text(286, -f.h + 6, "Radar", true);
    f.Text(-340, -f.h + 6,
           std::to_string(panel.InboundCount) + " inbound, " + std::to_string(panel.OutboundCount) + " outbound", true);
    if (tab == kTimetableTab) {
        for (int i = 0; i < panel.Rows; ++i) {
            const double y = f.h - (12.0 * i + 31);
            if (i == 0 && panel.DepartHeaderRow != 0)
                f.Text(-339, y, kArrivalsHeader, false);
            else if (i == panel.DepartHeaderRow)
                f.Text(-339, y, kDeparturesHeader, false);
            else if (static_cast<size_t>(i) < panel.Lines.size())
                f.Text(-339, y, panel.Lines[static_cast<size_t>(i)], false);
        }
    } else {
        RadarPicture(f, model, panel, labels);
    }
    glEndList();
}

}  // namespace kestrava
