// An off-screen-sized window with a compatibility context for pixel tests.
#pragma once

#include "formats/colour_theme.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QWindow>

#include <array>
#include <memory>
#include <string>
#include <vector>

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

// The back buffer's pixels (RGBA rows from the bottom) once drawing has
// finished.
std::vector<unsigned char> ReadPicture(int width, int height);

// A window for the flat overlays: the default theme, the glyph sets and a
// flat overlay list drawn over a plain background, read back in pixels from
// the window's centre (y upwards).
class OverlayWindow {
public:
    OverlayWindow(int width, int height);
    bool Ready() const { return window_.Ready(); }
    // The list drawn as the frame draws its overlays, over `background`.
    void Draw(unsigned list, float red, float green, float blue);
    std::array<int, 3> At(double x, double y) const;
    // A pixel of the white border colour at (x, y), or within a pixel of it.
    bool White(double x, double y) const;
    bool LineNear(double x, double y) const;
    void Shot(const std::string& name) const { window_.Shot(name); }
    GlWindow& Window() { return window_; }

private:
    GlWindow window_;
};

// The viewer's lists named afresh for the current context, its glyph sets
// built and its start-up state set from the theme: what the window does
// before its first frame.
void PrepareViewerContext(const kestrava::ColourTheme& theme);

// The application object every window test needs.
void EnsureGuiApplication();

// Colours as 0..255 ints.
std::array<int, 3> Bytes(float r, float g, float b);
bool Near(const std::array<int, 3>& a, const std::array<int, 3>& b, int tolerance = 3);

}  // namespace testsupport
