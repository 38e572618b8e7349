// Input of the map window: keys, presses on the caption and bottom bars,
// the resize grip, and the hand-off to downloads and scenes.
#include "map_window.h"

#include "formats/file_places.h"
#include "formats/text.h"
#include "kestrav/render/display_lists.h"
#include "kestrav/render/panels.h"
#include "kestrav/render/popups.h"

#include <GL/gl.h>
#include <QCursor>
#include <QDesktopServices>
#include <QUrl>
#include <QWheelEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>

namespace kestrava {

SceneContext MapWindow::Scene() {
    return SceneContext{Model, *this, Theme, Config, Switches.FriendsOnly, Scenes, Model.StatusText, &Trails};
}

void MapWindow::DiscardSceneLists(int net) {
    if (!MakeCurrent()) return;
    // Only lists that exist change the picture when they go.
    for (unsigned l = 0; l < lists::kSceneListCount; ++l)
        if (glIsList(lists::Viewer().SceneBase(net) + l)) GlobeChanged();
    if (glIsList(lists::Viewer().RouteHighlight) || glIsList(lists::Viewer().RouteCodes())) GlobeChanged();
    kestrava::DiscardSceneLists(net);
    glDeleteLists(lists::Viewer().ClientCountBar, 1);
    kestrava::ClearRouteHighlight();
}

void MapWindow::BuildNetworkScene(int net) {
    if (!MakeCurrent()) return;
    SceneContext scene = Scene();  // a compiled scene changes the globe picture by itself
    kestrava::BuildNetworkScene(scene, net);
}

void MapWindow::BuildMergedScene() {
    if (!MakeCurrent()) return;
    SceneContext scene = Scene();  // a compiled scene changes the globe picture by itself
    kestrava::BuildMergedScene(scene);
}

void MapWindow::ClearSceneBuilt(int index) {
    if (index >= 0 && index < 3) Scenes.SceneBuilt[static_cast<size_t>(index)] = false;
}

void MapWindow::CloseOverlays() { Overlay.OverlayMode = OverlayKind::Map; }

void MapWindow::EnableAutoDownloadTimer(bool on) {
    if (on)
        timAutoDownload.start();
    else
        timAutoDownload.stop();
}

void MapWindow::ShowNetworkMessage(const std::string& text) {
    QMessageBox::information(nullptr, QStringLiteral("Important Network Message"),
                             QString::fromStdString(Cp1252ToUtf8(text)));
}

void MapWindow::MinimiseWindow() { showMinimized(); }

void MapWindow::RaiseWindow() {
    if (exiting_) return;
    if (windowState() & Qt::WindowMinimized) showNormal();
    raise();
    requestActivate();
}

namespace {

// A Wayland compositor places windows itself: a client knows neither its
// window's place nor the pointer's outside the window, and moves, resizes
// and fills the screen by asking the compositor.
bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

void MapWindow::ToggleFullScreen() {
    Overlay.OverlayMode = OverlayKind::Map;
    FullScreen = !FullScreen;
    if (OnWayland()) {
        if (FullScreen)
            showFullScreen();
        else
            showNormal();
        return;
    }
    if (!FullScreen) {
        setGeometry(static_cast<int>(Config.WindowLeft), static_cast<int>(Config.WindowTop),
                    static_cast<int>(Config.WindowWidth), static_cast<int>(Config.WindowHeight));
        return;
    }
    Config.WindowLeft = x();
    Config.WindowTop = y();
    Config.WindowWidth = width();
    Config.WindowHeight = height();
    QScreen* monitor = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!monitor) return;
    const QRect full = monitor->geometry();
    // On the primary screen the task bar stays visible.
    const int h = full.left() == 0 ? monitor->availableGeometry().height() : full.height();
    setGeometry(full.left(), full.top(), full.width(), h);
}

void MapWindow::MenuClick(double px, double py) {
    const double p = TwipsPerPixel, W = TwipsWidth(), H = TwipsHeight();
    if (py <= 20 * p) {
        if (px >= W - 20 * p)
            ExitViewer();
        else if (px >= W - 40 * p)
            ToggleFullScreen();
        else if (px >= W - 60 * p)
            MinimiseWindow();
        else if (!FullScreen)
            startSystemMove();
        return;
    }
    if (py < H - 20 * p) return;
    if (px >= W - 20 * p) {
        if (FullScreen) return;
        // The compositor's own resize where it offers one (Wayland, an X
        // window manager with _NET_WM_MOVERESIZE); else the window follows
        // the pointer itself.
        if (startSystemResize(Qt::BottomEdge | Qt::RightEdge)) return;
        const QPointF cursor = QCursor::pos();
        resizeOffset_ = QPointF(x() + width() - cursor.x(), y() + height() - cursor.y());
        ResizeActive = true;
    } else if (px >= W - 40 * p) {
        MapControls controls = Controls();
        CentreOnMyself(controls);
    } else if (px >= W - 60 * p) {
        MapControls controls = Controls();
        OpenListWindow(controls);
    } else if (px <= 20 * p) {
        btnDownload(0);
    } else if (px <= 40 * p) {
        btnDownload(1);
    } else if (px <= 60 * p) {
        btnDownload(2);
    }
}

// --- The controls' host ----------------------------------------------------

MapControls MapWindow::Controls() {
    return MapControls{Model, Config, View, Overlay, Switches, Scenes, Input, Panel, *this,
                       TwipsWidth(), TwipsHeight(), TwipsPerPixel};
}

void MapWindow::BuildAtcPopup(int network, const AtcClient& atc) {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildAtcPopup(Model, network, atc, Theme, width(), height());
}

void MapWindow::BuildPilotPopup(int network, const PilotClient& pilot) {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildPilotPopup(Model, network, pilot, Theme, width(), height());
}

void MapWindow::BuildSelectionList(const PickState& pick) {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    std::vector<std::string> rows;
    for (const ClientRef& client : pick.PickAtc) rows.push_back(SelectionRow(client.Callsign, client.RealName));
    for (const ClientRef& client : pick.PickPilots) rows.push_back(SelectionRow(client.Callsign, client.RealName));
    kestrava::BuildSelectionList(pick.Box, rows, Theme, width(), height());
}

void MapWindow::BuildRouteHighlight(const PilotClient& pilot) {
    GlobeChanged();
    if (MakeCurrent()) kestrava::BuildRouteHighlight(Model, pilot, Theme);
}

void MapWindow::BuildAirportRouteHighlight(int network, const std::string& code) {
    GlobeChanged();
    if (MakeCurrent()) kestrava::BuildAirportRouteHighlight(Model, network, Switches.FriendsOnly, code, Theme);
}

void MapWindow::ClearRouteHighlight() {
    if (!MakeCurrent()) return;
    if (glIsList(lists::Viewer().RouteHighlight) || glIsList(lists::Viewer().RouteCodes())) GlobeChanged();
    kestrava::ClearRouteHighlight();
}

void MapWindow::BuildListWindow() {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildListWindow(Panel, Overlay.PanelTab, Overlay.ListPage, Theme, width(), height());
}

void MapWindow::BuildAirportWindow() {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildAirportWindow(Model, Panel, Overlay.PanelTab, Theme, width(), height(), PanelTexts);
}

bool MapWindow::OpenUrl(const std::string& url) {
    // The browser is started by the desktop (xdg-open), never through a shell.
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(Cp1252ToUtf8(url)), QUrl::StrictMode));
}

// --- Window events into the controls -----------------------------------------

namespace {

// Shift, Ctrl and Alt as the 1/2/4 mask.
int ModifierMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? kShiftMask : 0) | (modifiers & Qt::ControlModifier ? kCtrlMask : 0) |
           (modifiers & Qt::AltModifier ? kAltMask : 0);
}

// The window system's virtual key of a key event. Digits are known by
// their key, not by the character typed: Shift+1 types "!" yet is key 1.
int VirtualKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (event->modifiers() & Qt::KeypadModifier) return 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    // The digit row's X key codes, 10 ("1") to 19 ("0").
    const quint32 code = event->nativeScanCode();
    if (code >= 10 && code <= 19) return code == 19 ? '0' : static_cast<int>('1' + (code - 10));
    switch (key) {
        case Qt::Key_Escape: return keys::kEscape;
        case Qt::Key_Space: return keys::kSpace;
        case Qt::Key_Left: return keys::kLeft;
        case Qt::Key_Up: return keys::kUp;
        case Qt::Key_Right: return keys::kRight;
        case Qt::Key_Down: return keys::kDown;
        default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return keys::kF1 + (key - Qt::Key_F1);
    return 0;
}

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return kLeftButton;
        case Qt::RightButton: return kRightButton;
        case Qt::MiddleButton: return kMiddleButton;
        default: return 0;
    }
}

}  // namespace

void MapWindow::keyPressEvent(QKeyEvent* event) {
    if (const int key = VirtualKey(event)) {
        MapControls controls = Controls();
        KeyDown(controls, key, ModifierMask(event->modifiers()));
    }
}

void MapWindow::keyReleaseEvent(QKeyEvent* event) {
    // X repeats a held key as release and press pairs: only the last counts.
    if (event->isAutoRepeat()) return;
    if (const int key = VirtualKey(event)) {
        MapControls controls = Controls();
        KeyUp(controls, key, ModifierMask(event->modifiers()));
    }
}

void MapWindow::mousePressEvent(QMouseEvent* event) {
    const int button = ButtonCode(event->button());
    if (!button) return;
    const double p = TwipsPerPixel;
    MapControls controls = Controls();
    MouseDown(controls, button, ModifierMask(event->modifiers()), event->position().x() * p,
              event->position().y() * p);
}

void MapWindow::mouseMoveEvent(QMouseEvent* event) {
    if (ResizeActive) {
        const QPointF cursor = QCursor::pos();
        int w = static_cast<int>(std::lround(cursor.x() - x() + resizeOffset_.x()));
        int h = static_cast<int>(std::lround(cursor.y() - y() + resizeOffset_.y()));
        resize(std::max(w, 720), std::max(h, 540));
        return;
    }
    const double p = TwipsPerPixel;
    MapControls controls = Controls();
    MouseMove(controls, event->position().x() * p, event->position().y() * p);
}

void MapWindow::mouseReleaseEvent(QMouseEvent* event) {
    ResizeActive = false;
    const int button = ButtonCode(event->button());
    if (!button) return;
    const double p = TwipsPerPixel;
    MapControls controls = Controls();
    MouseUp(controls, button, ModifierMask(event->modifiers()), event->position().x() * p,
            event->position().y() * p);
}

void MapWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    MapControls controls = Controls();
    DblClick(controls);
}

void MapWindow::wheelEvent(QWheelEvent* event) {
    MapControls controls = Controls();
    MouseWheel(controls, event->angleDelta().y());
}

}  // namespace kestrava
