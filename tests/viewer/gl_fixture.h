// An off-screen-sized window with a compatibility context for pixel tests.
#pragma once

#include <GL/gl.h>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QWindow>

#include <array>
#include <memory>
#include <string>

namespace testsupport {

class GlWindow {
public:
    GlWindow(int width, int height);
    ~GlWindow();
    bool Ready() const { return ready_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool MakeCurrent();
    void Swap();
    // The colour at (x, y) measured from the bottom-left corner, read back
    // from the back buffer after drawing.
    std::array<int, 3> Pixel(int x, int y) const;
    bool HasStencil() const;
    // The back buffer as a PNG, when KESTRAVA_SHOTS names a folder.
    void Shot(const std::string& name) const;

private:
    std::unique_ptr<QWindow> window_;
    std::unique_ptr<QOpenGLContext> context_;
    int width_;
    int height_;
    bool ready_ = false;
};

// The application object every window test needs.
void EnsureGuiApplication();

// Colours as 0..255 ints.
std::array<int, 3> Bytes(float r, float g, float b);
bool Near(const std::array<int, 3>& a, const std::array<int, 3>& b, int tolerance = 3);

}  // namespace testsupport
