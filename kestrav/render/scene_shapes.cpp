// The shapes of the scene: aircraft arrows, controller areas and symbols,
// inbound wedges and great-circle lines.
#include "display_lists.h"
#include "globe/geography.h"
#include "globe/gl_text.h"
#include "overlay.h"
#include "placed_shapes.h"
#include "scene.h"

#include "kestrav/network/values.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

// A point at angle theta (0 north, clockwise) and radius r degrees around a
// centre; the latitude offset is scaled by the cosine of the latitude.
void ShapeVertex(float lat, float lon, double theta, double r) {
    const double c = std::cos(lat * kDegree);
    GlobeVertex(static_cast<float>(lat + r * c * std::cos(theta * kDegree)),
                static_cast<float>(lon + r * std::sin(theta * kDegree)));
}

void Fan(const AtcClient& a, const ColourTheme& theme, Colour centre, Colour rim,
         std::initializer_list<double> angles, double r) {
    glBegin(GL_TRIANGLE_FAN);
    SetColour(theme, centre);
    GlobeVertex(a.Latitude, a.Longitude);
    SetColour(theme, rim);
    for (double theta : angles) ShapeVertex(a.Latitude, a.Longitude, theta, r);
    glEnd();
}

float SymbolSize(const PilotClient& p) { return p.GroundSpeed < 50 ? 0.00075f : 0.0015f; }

// DrawArrowhead's points and their colours: the body (4 points, a polygon),
// its border closed (5, a line strip), and above 50 kt the trail (4, a
// polygon) from its back edge, fading to nothing behind. Whether it has the
// trail.
bool ComposeArrowhead(float s, float speed, const ColourTheme& theme, float points[13][3], float colours[13][4]) {
    const Rgb fill = theme.Get(Colour::PlaneFill), border = theme.Get(Colour::PlaneBorder);
    const float outline[4][3] = {{0, -s, 0}, {-0.5f * s, s, 0}, {0, 0.5f * s, 0}, {0.5f * s, s, 0}};
    int n = 0;
    const auto put = [&](const float* p, const Rgb& c, float alpha) {
        std::copy(p, p + 3, points[n]);
        colours[n][0] = c.Red, colours[n][1] = c.Green, colours[n][2] = c.Blue, colours[n][3] = alpha;
        ++n;
    };
    for (const auto& v : outline) put(v, fill, 1);    // the body
    for (const auto& v : outline) put(v, border, 1);  // its border, closed
    put(outline[0], border, 1);
    const bool trail = speed > 50;
    if (trail) {
        const float end[3] = {0, 0.5f * s + s * std::min(speed, 2000.0f) / 50, 0};
        put(outline[3], border, 0.2f);
        put(outline[2], border, 0.2f);
        put(outline[1], border, 0.2f);
        put(end, border, 0);
    }
    return trail;
}

}  // namespace

ArrowheadArrays::ArrowheadArrays() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points_);
    glColorPointer(4, GL_FLOAT, 0, colours_);
}

ArrowheadArrays::~ArrowheadArrays() {
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void ArrowheadArrays::Draw(float s, float speed, const ColourTheme& theme) {
    // From arrays rather than vertex by vertex: the same primitives, colours
    // and points, at a third of the cost of compiling them into a list.
    const bool trail = ComposeArrowhead(s, speed, theme, points_, colours_);
    glDrawArrays(GL_POLYGON, 0, 4);
    glDrawArrays(GL_LINE_STRIP, 4, 5);
    if (trail) glDrawArrays(GL_POLYGON, 9, 4);
    // The current colour as the last vertex left it.
    const float* last = colours_[trail ? 12 : 8];
    glColor4f(last[0], last[1], last[2], last[3]);
}

void DrawArrowhead(float s, float speed, const ColourTheme& theme) {
    ArrowheadArrays arrays;
    arrays.Draw(s, speed, theme);
}

void AddPlaneSymbol(PlacedShapes& shapes, const PilotClient& p, bool showActualHeading, const ColourTheme& theme) {
    const float s = SymbolSize(p);
    const float angle = static_cast<float>(showActualHeading ? p.Heading : p.Course);
    float points[13][3], colours[13][4];
    const bool trail = ComposeArrowhead(s, p.GroundSpeed, theme, points, colours);
    // The outline's corners lie within 1.12 sizes of the point, the trail's
    // end at its last point.
    const float reach = std::max(1.12f * s, trail ? points[12][1] : 0.0f);
    const float* last = colours[trail ? 12 : 8];
    shapes.Begin(p.Latitude, p.Longitude, angle + 180, reach, {last[0], last[1], last[2], last[3]});
    shapes.Add(GL_POLYGON, points, colours, 4);
    shapes.Add(GL_LINE_STRIP, points + 4, colours + 4, 5);
    if (trail) shapes.Add(GL_POLYGON, points + 9, colours + 9, 4);
}

void DrawTrail(const Trail& trail, const PilotClient& p, std::int64_t now, const ColourTheme& theme) {
    if (trail.Size() == 0) return;
    glBegin(GL_LINE_STRIP);
    for (std::size_t i = 0; i < trail.Size(); ++i) {
        const TrailPoint& point = trail.Point(i);
        SetColour(theme, Colour::PlaneBorder, TrailAlpha(now - point.Time));
        GlobeVertex(point.Latitude, point.Longitude);
    }
    SetColour(theme, Colour::PlaneBorder, TrailAlpha(0));
    GlobeVertex(p.Latitude, p.Longitude);
    glEnd();
}

void DrawApproachFill(const AtcClient& a, const ColourTheme& theme) {
    Fan(a, theme, Colour::APPFillCenter, Colour::APPFillOut, {-30, 30, 90, 150, 210, 270, 330}, 0.7);
}

void DrawApproachBorder(const AtcClient& a, const ColourTheme& theme) {
    SetColour(theme, Colour::APPBorder);
    glBegin(GL_LINE_LOOP);
    for (double theta = 30; theta <= 330; theta += 60) ShapeVertex(a.Latitude, a.Longitude, theta, 0.7);
    glEnd();
}

void DrawTowerFill(const AtcClient& a, const ColourTheme& theme) {
    glBegin(GL_TRIANGLE_FAN);
    SetColour(theme, Colour::TWRFillCenter);
    GlobeVertex(a.Latitude, a.Longitude);
    SetColour(theme, Colour::TWRFillOut);
    for (int theta = 0; theta <= 360; theta += 10) ShapeVertex(a.Latitude, a.Longitude, theta, 0.25);
    glEnd();
}

void DrawTowerBorder(const AtcClient& a, const ColourTheme& theme) {
    SetColour(theme, Colour::TWRBorder);
    glBegin(GL_LINE_LOOP);
    for (int theta = 0; theta < 360; theta += 10) ShapeVertex(a.Latitude, a.Longitude, theta, 0.25);
    glEnd();
}

void DrawGroundStar(const AtcClient& a, const ColourTheme& theme) {
    const float lat = a.Latitude, lon = a.Longitude;
    const float c = static_cast<float>(std::cos(lat * kDegree));
    const float o = 0.25f, i = 0.07f;
    // North, inner north-east, east, ... inner north-west, north again.
    const float star[9][2] = {{o * c, 0}, {i * c, i},   {0, o},  {-i * c, i}, {-o * c, 0},
                              {-i * c, -i}, {0, -o}, {i * c, -i}, {o * c, 0}};
    glBegin(GL_TRIANGLE_FAN);
    SetColour(theme, Colour::TWRFillCenter);
    GlobeVertex(lat, lon);
    SetColour(theme, Colour::TWRFillOut);
    for (auto& v : star) GlobeVertex(lat + v[0], lon + v[1]);
    glEnd();
    SetColour(theme, Colour::TWRBorder);
    glBegin(GL_LINE_STRIP);
    for (auto& v : star) GlobeVertex(lat + v[0], lon + v[1]);
    glEnd();
}

void DrawAtisSpokes(const AtcClient& a, const ColourTheme& theme) {
    glBegin(GL_LINES);
    for (int k = 0; k < 16; ++k) {
        SetColour(theme, Colour::TWRBorder, 0);
        GlobeVertex(a.Latitude, a.Longitude);
        SetColour(theme, Colour::TWRBorder, 1);
        ShapeVertex(a.Latitude, a.Longitude, 12.25 + 22.5 * k, 0.25);
    }
    glEnd();
}

void AddInboundMarker(PlacedShapes& shapes, const PilotClient& p, const ColourTheme& theme) {
    const Rgb c = theme.Get(Colour::Highlight);
    const float points[4][3] = {{0, 0, 0}, {-0.0004f, 0.0095f, 0}, {0, 0.01f, 0}, {0.0004f, 0.0095f, 0}};
    const float colours[4][4] = {
        {c.Red, c.Green, c.Blue, 0.2f}, {c.Red, c.Green, c.Blue, 0}, {c.Red, c.Green, c.Blue, 0}, {c.Red, c.Green, c.Blue, 0}};
    const float bearing = Bearing(p.DestLatitude, p.DestLongitude, p.Latitude, p.Longitude);
    shapes.Begin(p.DestLatitude, p.DestLongitude, bearing, 0.0101f, {c.Red, c.Green, c.Blue, 0});
    shapes.Add(GL_POLYGON, points, colours, 4);
}

void DrawGreatCircle(float fromLat, float fromLon, float toLat, float toLon, const ColourTheme& theme) {
    if ((toLat == 0 && toLon == 0) || (fromLat == 0 && fromLon == 0)) return;
    double delta = toLon - fromLon;
    if (delta < -180)
        delta += 360;
    else if (delta > 180)
        delta -= 360;
    if (delta == 0) return;
    const double f = fromLat * kDegree, t = toLat * kDegree, d = delta * kDegree;
    glBegin(GL_LINE_STRIP);
    GlobeVertex(fromLat, fromLon);
    for (int step = 0; step <= 100; ++step) {
        const double along = delta * step / 100;
        const double a = along * kDegree;
        const double lat = std::atan((std::sin(f) * std::cos(t) * std::sin(a - d) -
                                      std::cos(f) * std::sin(t) * std::sin(a)) /
                                     (std::cos(t) * std::cos(f) * std::sin(-d))) / kDegree;
        SetColour(theme, Colour::Highlight, static_cast<float>(along / delta / 4 + 0.15));
        GlobeVertex(static_cast<float>(lat), static_cast<float>(fromLon + along));
    }
    GlobeVertex(toLat, toLon);
    glEnd();
}

}  // namespace kestrava
