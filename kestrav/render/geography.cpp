#include "geography.h"

#include "display_lists.h"
#include "kestrav/network/values.h"

#include <GL/gl.h>

namespace kestrava {

namespace {
void SetColour(const Rgb& c) { glColor3f(c.Red, c.Green, c.Blue); }

LatitudeColour ThemeBlend(const ColourTheme& theme, Colour equator, Colour poles) {
    return [&theme, equator, poles](float latitude) { return BlendByLatitude(theme, equator, poles, latitude); };
}
}  // namespace

void GlobeVertex(float latitude, float longitude) {
    glVertex3f(GlobeX(latitude, longitude), GlobeY(latitude), GlobeZ(latitude, longitude));
}

void BuildGridList(unsigned list, const LatitudeColour& colour) {
    glNewList(list, GL_COMPILE);
    glLineWidth(1);
    for (int lon = -180; lon <= 180; lon += 10) {
        glBegin(GL_LINE_STRIP);
        for (int lat = -80; lat <= 80; lat += 2) {
            SetColour(colour(static_cast<float>(lat)));
            GlobeVertex(static_cast<float>(lat), static_cast<float>(lon));
        }
        glEnd();
    }
    for (int lat = -90; lat <= 90; lat += 10) {
        SetColour(colour(static_cast<float>(lat)));
        glBegin(GL_LINE_STRIP);
        for (int lon = -180; lon <= 180; lon += 2)
            GlobeVertex(static_cast<float>(lat), static_cast<float>(lon));
        glEnd();
    }
    glEndList();
}

void BuildSegmentList(unsigned list, const std::vector<LineSegment>& segments, float width, const Rgb& colour) {
    glNewList(list, GL_COMPILE);
    glLineWidth(width);
    SetColour(colour);
    glBegin(GL_LINES);
    for (const LineSegment& s : segments) {
        GlobeVertex(s.From.Latitude, s.From.Longitude);
        GlobeVertex(s.To.Latitude, s.To.Longitude);
    }
    glEnd();
    glEndList();
}

void BuildSegmentList(unsigned list, const std::vector<LineSegment>& segments, float width,
                      const LatitudeColour& colourOfEnd) {
    glNewList(list, GL_COMPILE);
    glLineWidth(width);
    glBegin(GL_LINES);
    for (const LineSegment& s : segments) {
        SetColour(colourOfEnd(s.To.Latitude));
        GlobeVertex(s.From.Latitude, s.From.Longitude);
        GlobeVertex(s.To.Latitude, s.To.Longitude);
    }
    glEnd();
    glEndList();
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
    BuildGridList(lists::kGrid, ThemeBlend(theme, Colour::GridEquator, Colour::GridPoles));
}

void BuildCoastlineList(const std::vector<LineSegment>& segments, const ColourTheme& theme) {
    BuildSegmentList(lists::kCoastlines, segments, 2, ThemeBlend(theme, Colour::CoastEquator, Colour::CoastPoles));
}

void BuildBorderList(const std::vector<LineSegment>& segments, const ColourTheme& theme) {
    BuildSegmentList(lists::kBorders, segments, 1, theme.Get(Colour::CountryBorders));
}

}  // namespace kestrava
