// pic: the sector viewer's OpenGL picture, a window of its own inside the
// main window. It owns the context and the display lists, draws the frame,
// and turns mouse and wheel events into the calls of globe_input.h.
#pragma once

#include "firglass/globe_input.h"
#include "firglass/globe_lists.h"

#include <QImage>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>

class QOpenGLContext;

namespace kestrava::firglass {

class GlobeSurface : public QWindow {
public:
    GlobeSurface();
    ~GlobeSurface() override;

    // A compatibility context with a stencil bit, current on this surface,
    // and the lists of GlobeLists::Create. False when any step failed.
    bool InitOpenGL();
    // Makes the context current; false when there is none.
    bool MakeCurrent();

    // Draws one frame from the lists and swaps the buffers.
    void Draw();
    // Draws one frame and reads it back before the swap (rows from the top).
    QImage Grab();

    // Size in device pixels.
    int PixelWidth() const;
    int PixelHeight() const;

    GlobeLists Lists;
    GlobeInput Input;
    float TwipsPerPixel = 15;
    // Called with the position text of a move with no button held.
    std::function<void(const std::string&)> OnReadout;
    // Frames drawn so far (for the tests and the benchmark).
    long Frames = 0;

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool DrawHere();
    double Twips() const;  // twips per device pixel times the device pixel ratio

    std::unique_ptr<QOpenGLContext> context_;
};

}  // namespace kestrava::firglass
