#include "globe_view.h"

#include <GL/gl.h>

#include <cmath>

namespace kestrava {

namespace {
GLint RoundPixel(double value) { return static_cast<GLint>(std::lround(value)); }
}  // namespace

bool BeginGlobeView(Camera& camera, int width, int height, bool clear) {
    if (width <= 0 || height <= 0) return false;
    const double w = width, h = height;
    if (clear) glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 1);
    NormaliseCamera(camera);
    glPushMatrix();
    const float zoom = camera.Zoom;
    glTranslatef(0, 0, zoom > 2 ? 1 - zoom : -1);
    glRotatef(camera.Tilt, -1, 0, 0);
    glRotatef(camera.Spin, 0, -1, 0);
    glViewport(RoundPixel(w / 2 - h), RoundPixel(-h / 2), RoundPixel(2 * h), RoundPixel(2 * h));
    glScalef(zoom, zoom, zoom);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}

WindowPixels::WindowPixels(int width, int height) {
    glGetIntegerv(GL_VIEWPORT, viewport_);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

WindowPixels::~WindowPixels() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
}

}  // namespace kestrava
