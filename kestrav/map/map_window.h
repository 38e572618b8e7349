// frmMap: the viewer's main window. Start-up, paint and resize, exit.
#pragma once

#include "formats/colour_theme.h"
#include "formats/settings.h"
#include "kestrav/network/model.h"
#include "kestrav/render/camera.h"
#include "kestrav/render/frame.h"

#include <QWindow>

#include <memory>

class QOpenGLContext;

namespace kestrava {

class MapWindow : public QWindow, public DisplayHooks {
public:
    MapWindow();
    ~MapWindow() override;

    // The whole start-up; false when the program must end (the reason has
    // been shown to the user).
    bool StartUp();

    // DisplayHooks: what the model asks of the window.
    void BuildStatusLine() override;
    void BuildNetworkMarks() override;
    void BuildClientCountBar() override;
    void DrawScene() override;

    void ExitViewer();

    // Size of the drawing surface in pixels.
    int PixelWidth() const;
    int PixelHeight() const;

    // State owned by the window, open to the tests and the benchmark.
    NetworkModel Model;
    Settings Config;
    ColourTheme Theme;
    Camera View;
    OverlayState Overlay;
    MapSwitches Switches;
    float TwipsPerPixel = 15;
    bool FullScreen = false;
    bool ResizeActive = false;

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool InitOpenGL();
    void ShutdownOpenGL();
    bool MakeCurrent();
    void LoadSettings();
    void SaveSettings();
    void BuildWindowFrame();
    void BuildSplash();
    void LoadAeronauticalData();
    void LoadGeographicalData();
    void ShowStatus(const std::string& text);  // StatusText, status line, frame

    std::unique_ptr<QOpenGLContext> context_;
    bool exiting_ = false;
};

}  // namespace kestrava
