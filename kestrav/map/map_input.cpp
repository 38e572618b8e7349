// Input of the map window: keys, presses on the caption and bottom bars,
// the resize grip, and the hand-off to downloads and scenes.
#include "map_window.h"

#include "formats/files.h"
#include "formats/text.h"
#include "kestrav/render/display_lists.h"

#include <GL/gl.h>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>

namespace kestrava {

SceneContext MapWindow::Scene() {
    return SceneContext{Model, *this, Theme, Config, Switches.FriendsOnly, Scenes, ProgramPath("data")};
}

void MapWindow::DiscardSceneLists(int net) {
    if (!MakeCurrent()) return;
    kestrava::DiscardSceneLists(net);
    glDeleteLists(lists::kClientCountBar, 1);
    glDeleteLists(lists::kRouteHighlight, 1);
}

void MapWindow::BuildNetworkScene(int net) {
    if (!MakeCurrent()) return;
    SceneContext scene = Scene();
    kestrava::BuildNetworkScene(scene, net);
}

void MapWindow::BuildMergedScene() {
    if (!MakeCurrent()) return;
    SceneContext scene = Scene();
    kestrava::BuildMergedScene(scene);
}

void MapWindow::ClearSceneBuilt(int index) {
    if (index >= 0 && index < 3) Scenes.SceneBuilt[static_cast<size_t>(index)] = false;
}

void MapWindow::CloseOverlays() { Overlay.OverlayMode = 0; }

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

void MapWindow::btnDownload(int network) {
    if (network < 0 || network > 2) return;
    kestrava::btnDownload(Model, *this, Download, static_cast<std::uint8_t>(network));
}

void MapWindow::MinimiseWindow() { showMinimized(); }

void MapWindow::ToggleFullScreen() {
    Overlay.OverlayMode = 0;
    FullScreen = !FullScreen;
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
        const QPointF cursor = QCursor::pos();
        resizeOffset_ = QPointF(x() + width() - cursor.x(), y() + height() - cursor.y());
        ResizeActive = true;
    } else if (px <= 20 * p) {
        btnDownload(0);
    } else if (px <= 40 * p) {
        btnDownload(1);
    } else if (px <= 60 * p) {
        btnDownload(2);
    }
}

void MapWindow::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (Overlay.OverlayMode > 0) {
            Overlay.OverlayMode = 0;
            DrawScene();
        }
        return;
    }
    if (Overlay.OverlayMode != 0) return;
    switch (key) {
        case Qt::Key_I:
            btnDownload(0);
            break;
        case Qt::Key_V:
            btnDownload(1);
            break;
        case Qt::Key_B:
            btnDownload(2);
            break;
        default:
            break;
    }
}

void MapWindow::mousePressEvent(QMouseEvent* event) {
    const double x = event->position().x() * devicePixelRatio() * TwipsPerPixel;
    const double y = event->position().y() * devicePixelRatio() * TwipsPerPixel;
    const double bar = 20 * TwipsPerPixel;
    if (y <= bar || y >= TwipsHeight() - bar) {
        if (event->button() == Qt::LeftButton) MenuClick(x, y);
        return;
    }
}

void MapWindow::mouseMoveEvent(QMouseEvent*) {
    if (!ResizeActive) return;
    const QPointF cursor = QCursor::pos();
    int w = static_cast<int>(std::lround(cursor.x() - x() + resizeOffset_.x()));
    int h = static_cast<int>(std::lround(cursor.y() - y() + resizeOffset_.y()));
    resize(std::max(w, 720), std::max(h, 540));
}

void MapWindow::mouseReleaseEvent(QMouseEvent*) { ResizeActive = false; }

}  // namespace kestrava
