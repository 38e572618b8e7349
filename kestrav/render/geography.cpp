#include "geography.h"

#include "display_lists.h"
#include "kestrav/network/values.h"

#include <GL/gl.h>

namespace kestrava {

namespace {
void SetColour(const Rgb& c) { glColor3f(c.Red, c.Green, c.Blue); }
}  // namespace

void GlobeVertex(float latitude, float longitude) {
    glVertex3f(GlobeX(latitude, longitude), GlobeY(latitude), GlobeZ(latitude, longitude));
}

void BuildGlobeList(const ColourTheme& theme) {
    glNewList(lists::kGlobe, GL_COMPILE);
    for (int lat = -90; lat <= 88; lat += 2) {
        SetColour(BlendByLatitude(theme, Colour::GlobeEquator, Colour::GlobePoles, static_cast<float>(lat)));
        glBegin(GL_QUADS);
        for (int lon = -180; lon <= 170; lon += 10) {
            const float a = static_cast<float>(lat), b = static_cast<float>(lon);
            GlobeVertex(a, b);
            GlobeVertex(a + 2, b);
            GlobeVertex(a + 2, b + 10);
            GlobeVertex(a, b + 10);
        }
        glEnd();
    }
    glEndList();
}

void BuildGridList(const ColourTheme& theme) {
    glNewList(lists::kGrid, GL_COMPILE);
    glLineWidth(1);
    for (int lon = -180; lon <= 180; lon += 10) {
        glBegin(GL_LINE_STRIP);
        for (int lat = -80; lat <= 80; lat += 2) {
            SetColour(BlendByLatitude(theme, Colour::GridEquator, Colour::GridPoles, static_cast<float>(lat)));
            GlobeVertex(static_cast<float>(lat), static_cast<float>(lon));
        }
        glEnd();
    }
    for (int lat = -90; lat <= 90; lat += 10) {
        SetColour(BlendByLatitude(theme, Colour::GridEquator, Colour::GridPoles, static_cast<float>(lat)));
        glBegin(GL_LINE_STRIP);
        for (int lon = -180; lon <= 180; lon += 2)
            GlobeVertex(static_cast<float>(lat), static_cast<float>(lon));
        glEnd();
    }
    glEndList();
}

void BuildCoastlineList(const std::vector<LineSegment>& segments, const ColourTheme& theme) {
    glNewList(lists::kCoastlines, GL_COMPILE);
    glLineWidth(2);
    glBegin(GL_LINES);
    for (const LineSegment& s : segments) {
        SetColour(BlendByLatitude(theme, Colour::CoastEquator, Colour::CoastPoles, s.To.Latitude));
        GlobeVertex(s.From.Latitude, s.From.Longitude);
        GlobeVertex(s.To.Latitude, s.To.Longitude);
    }
    glEnd();
    glEndList();
}

void BuildBorderList(const std::vector<LineSegment>& segments, const ColourTheme& theme) {
    glNewList(lists::kBorders, GL_COMPILE);
    glLineWidth(1);
    SetColour(theme.Get(Colour::CountryBorders));
    glBegin(GL_LINES);
    for (const LineSegment& s : segments) {
        GlobeVertex(s.From.Latitude, s.From.Longitude);
        GlobeVertex(s.To.Latitude, s.To.Longitude);
    }
    glEnd();
    glEndList();
}

}  // namespace kestrava
