#include "gl_fixture.h"

#include "globe/surface_format.h"

#include "formats/colour_theme.h"
#include "globe/gl_text.h"
#include "kestrav/render/display_lists.h"
#include "support/test_support.h"

#include <QImage>
#include <QSurfaceFormat>

#include <cmath>
#include <cstdlib>

namespace testsupport {

void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "viewer_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
}

GlWindow::GlWindow(int width, int height) : width_(width), height_(height) {
    EnsureGuiApplication();
    const QSurfaceFormat format = kestrava::GlobeSurfaceFormat(16, 8);
    window_ = std::make_unique<QWindow>();
    window_->setSurfaceType(QSurface::OpenGLSurface);
    window_->setFormat(format);
    window_->setFlags(Qt::Window | Qt::FramelessWindowHint);
    window_->resize(width, height);
    window_->create();
    window_->show();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(format);
    ready_ = context_->create() && context_->makeCurrent(window_.get());
    if (ready_) {
        glViewport(0, 0, width, height);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_BLEND);
    }
}

GlWindow::~GlWindow() {
    if (context_) context_->doneCurrent();
}

bool GlWindow::MakeCurrent() { return context_ && context_->makeCurrent(window_.get()); }

void GlWindow::Swap() { context_->swapBuffers(window_.get()); }

std::array<int, 3> GlWindow::Pixel(int x, int y) const {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

bool GlWindow::HasStencil() const {
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    return bits >= 1;
}

void GlWindow::Shot(const std::string& name) const {
    const char* folder = std::getenv("KESTRAVA_SHOTS");
    if (!folder) return;
    QImage image(width_, height_, QImage::Format_RGBA8888);
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    image.mirrored().save(QString::fromStdString(std::string(folder) + "/" + name));
}

OverlayWindow::OverlayWindow(int width, int height) : window_(width, height) {
    if (!window_.Ready()) return;
    PrepareViewerContext(kestrava::LoadColourTheme(SourcePath("colours/default.dc")));
}

void PrepareViewerContext(const kestrava::ColourTheme& theme) {
    kestrava::lists::AllocateViewer();
    kestrava::BuildGlyphSets();
    kestrava::SetInitialGlState(theme);
}

void OverlayWindow::Draw(unsigned list, float red, float green, float blue) {
    glClearColor(red, green, blue, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, window_.Width(), window_.Height());
    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1);
    glCallList(list);
}

std::array<int, 3> OverlayWindow::At(double x, double y) const {
    return window_.Pixel(static_cast<int>(std::floor(window_.Width() / 2.0 + x)),
                         static_cast<int>(std::floor(window_.Height() / 2.0 + y)));
}

bool OverlayWindow::White(double x, double y) const {
    const auto p = At(x, y);
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

bool OverlayWindow::LineNear(double x, double y) const {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (White(x + dx, y + dy)) return true;
    return false;
}

std::array<int, 3> Bytes(float r, float g, float b) {
    return {static_cast<int>(std::lround(r * 255)), static_cast<int>(std::lround(g * 255)),
            static_cast<int>(std::lround(b * 255))};
}

bool Near(const std::array<int, 3>& a, const std::array<int, 3>& b, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

std::vector<unsigned char> ReadPicture(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width * height * 4));
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace testsupport
