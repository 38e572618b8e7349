#include "firglass/globe_surface.h"

#include "globe/pixel_scale.h"
#include "globe/surface_format.h"

#include <GL/gl.h>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <cmath>

namespace kestrava::firglass {

namespace {

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return kLeftButton;
        case Qt::RightButton: return kRightButton;
        case Qt::MiddleButton: return kMiddleButton;
        default: return 0;
    }
}

}  // namespace

GlobeSurface::GlobeSurface() {
    setSurfaceType(QSurface::OpenGLSurface);
    // Depth is never used; one stencil bit is what the sector fills need.
    setFormat(GlobeSurfaceFormat(0, 1));
}

GlobeSurface::~GlobeSurface() {
    if (context_ && context_->makeCurrent(this)) Lists.Destroy();
    if (context_) context_->doneCurrent();
}

int GlobeSurface::PixelWidth() const { return static_cast<int>(std::lround(width() * devicePixelRatio())); }
int GlobeSurface::PixelHeight() const { return static_cast<int>(std::lround(height() * devicePixelRatio())); }

double GlobeSurface::Twips() const { return devicePixelRatio() * TwipsPerPixel; }

bool GlobeSurface::InitOpenGL() {
    create();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(requestedFormat());
    if (!context_->create() || !context_->makeCurrent(this)) {
        context_.reset();
        return false;
    }
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    // Text and lines at the screen's device pixel ratio.
    SetPixelScale(devicePixelRatio());
    if (stencilBits < 1 || glGetError() != GL_NO_ERROR || !Lists.Create()) {
        Lists.Destroy();
        context_->doneCurrent();
        context_.reset();
        return false;
    }
    glEnable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 0);
    return true;
}

bool GlobeSurface::MakeCurrent() { return context_ && context_->makeCurrent(this); }

bool GlobeSurface::DrawHere() {
    if (!isExposed() || PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return false;
    Lists.DrawFrame(Input.View, PixelWidth(), PixelHeight());
    ++Frames;
    return true;
}

void GlobeSurface::Draw() {
    if (DrawHere()) context_->swapBuffers(this);
}

QImage GlobeSurface::Grab() {
    if (!DrawHere()) return {};
    const int w = PixelWidth(), h = PixelHeight();
    QImage image(w, h, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    context_->swapBuffers(this);
    return image.mirrored();
}

// Painting after the window was covered or first shown: the frame again.
void GlobeSurface::exposeEvent(QExposeEvent*) { Draw(); }

void GlobeSurface::resizeEvent(QResizeEvent*) { Draw(); }

void GlobeSurface::mousePressEvent(QMouseEvent* event) {
    if (const int button = ButtonCode(event->button()))
        PressButton(Input, button, event->position().x() * Twips(), event->position().y() * Twips());
}

void GlobeSurface::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x() * Twips(), y = event->position().y() * Twips();
    if (MovePointer(Input, x, y)) {
        Draw();
        return;
    }
    if (event->buttons() != Qt::NoButton || !OnReadout) return;
    const double p = TwipsPerPixel;
    if (const auto text = PositionReadout(Input.View, x, y, PixelWidth() * p, PixelHeight() * p)) OnReadout(*text);
}

void GlobeSurface::mouseReleaseEvent(QMouseEvent*) { ReleaseButton(Input); }

void GlobeSurface::wheelEvent(QWheelEvent* event) {
    if (TurnWheel(Input, event->angleDelta().y())) Draw();
}

}  // namespace kestrava::firglass
