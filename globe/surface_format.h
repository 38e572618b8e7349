// The window surface every globe is drawn on: a double-buffered legacy
// OpenGL context (compatibility profile) with 8-bit colour channels.
#pragma once

#include <QSurfaceFormat>

namespace kestrava {

// Depth and stencil as the caller needs them (0: none asked for); no wait
// for the screen's refresh on a swap.
inline QSurfaceFormat GlobeSurfaceFormat(int depthBits, int stencilBits) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    if (depthBits > 0) format.setDepthBufferSize(depthBits);
    if (stencilBits > 0) format.setStencilBufferSize(stencilBits);
    format.setSwapInterval(0);
    return format;
}

}  // namespace kestrava
