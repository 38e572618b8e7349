// The map window's notifications: each new snapshot's events told through
// the desktop's notification service (or the status line where there is
// none), a click on one showing its client, and the tray icon while live
// refresh is on.
#include "kestrav/map/map_window.h"
#include "kestrav/map/notifier.h"

#include "formats/text.h"

#include <QApplication>

#include <cstdio>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QSystemTrayIcon>

namespace kestrava {

namespace {

// The installed icon, or (run from the build) a small drawn one.
QIcon TrayIcon() {
    QIcon icon = QIcon::fromTheme(QStringLiteral("org.kestrava.Kestrava"));
    if (!icon.isNull()) return icon;
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(16, 16, 40));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 230, 80));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF{QPointF(16, 3), QPointF(26, 28), QPointF(16, 22), QPointF(6, 28)});
    return QIcon(pixmap);
}

}  // namespace

void MapWindow::TellEvents(std::uint8_t net) {
    const NotifyChoices choices{Config.NotifyFriendOnline, Config.NotifyFriendLanded, Config.NotifyWatchOpened,
                                Config.NotifyWatchClosed};
    const std::vector<NotifyEvent> events = SnapshotEvents(notified_, Model, net, choices);
    if (events.empty()) return;
    if (!notifier_) notifier_ = std::make_unique<DesktopNotifier>();
    for (const NotifyEvent& event : events) {
        // Without a service (or when it fails) the status line says it. Each
        // is said on standard output too, for whoever keeps a log.
        const auto inStatusLine = [this, text = event.Text] {
            std::printf("Notified in the status line: %s\n", text.c_str());
            std::fflush(stdout);
            if (!exiting_) ShowStatus(text);
        };
        std::function<void()> clicked;
        if (!event.Callsign.empty() && event.Kind != NotifyKind::WatchClosed)
            clicked = [this, event] { ShowNotified(event); };
        if (notifier_->Notify(event.Text, std::move(clicked), inStatusLine)) {
            std::printf("Notified: %s\n", event.Text.c_str());
            std::fflush(stdout);
        } else {
            inStatusLine();
        }
    }
}

void MapWindow::ShowNotified(const NotifyEvent& event) {
    if (exiting_) return;
    if (!isVisible()) show();
    RaiseWindow();
    const std::uint8_t net = event.Network;
    if (Model.CurrentNetwork != net && net <= kVatsim && Model.ClientTotal[net] != 0) {
        Model.CurrentNetwork = static_cast<NetworkIndex>(net);
        CloseOverlays();
        BuildNetworkScene(net);
        BuildClientCountBar();
    }
    MapControls controls = Controls();
    if (!ShowClient(controls, event.Callsign, event.MemberId, event.Atc)) ShowStatus(event.Callsign + " is gone");
    GlobeChanged();
    DrawScene();
}

void MapWindow::FollowLiveInTray() {
    const bool wanted = Live.Seconds > 0 && QSystemTrayIcon::isSystemTrayAvailable();
    if (!wanted) {
        if (tray_) tray_->hide();
        return;
    }
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(TrayIcon());
        trayMenu_ = std::make_unique<QMenu>();
        tray_->setContextMenu(trayMenu_.get());
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason why) {
            if (why == QSystemTrayIcon::Trigger) {
                show();
                RaiseWindow();
            }
        });
        QObject::connect(trayMenu_.get(), &QMenu::aboutToShow, [this] {
            trayMenu_->clear();
            for (std::uint8_t n : {kIvao, kVatsim}) {
                const std::string line = Model.NetworkName[n] + ": " + std::to_string(Model.ClientTotal[n]) + " clients";
                trayMenu_->addAction(QString::fromStdString(Cp1252ToUtf8(line)))->setEnabled(false);
            }
            trayMenu_->addSeparator();
            QObject::connect(trayMenu_->addAction(QStringLiteral("Show Kestrava")), &QAction::triggered, [this] {
                show();
                RaiseWindow();
            });
            QAction* live = trayMenu_->addAction(QStringLiteral("Live refresh"));
            live->setCheckable(true);
            live->setChecked(Live.Seconds > 0);
            QObject::connect(live, &QAction::triggered, [this] { ToggleLive(); });
            QObject::connect(trayMenu_->addAction(QStringLiteral("Quit")), &QAction::triggered,
                             [this] { ExitViewer(); });
        });
    }
    tray_->setToolTip(QStringLiteral("Kestrava"));
    tray_->show();
}

bool MapWindow::StayInTray() {
    if (Live.Seconds <= 0 || !tray_ || !tray_->isVisible()) return false;
    if (Config.KeepInTray < 0) {
        // Asked once; the answer is kept in [Notify] KeepInTray.
        const auto answer = QMessageBox::question(
            nullptr, QStringLiteral("Kestrava"),
            QStringLiteral("Keep Kestrava running in the tray, refreshing and notifying?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        Config.KeepInTray = answer == QMessageBox::Yes ? 1 : 0;
    }
    if (Config.KeepInTray != 1) return false;
    hide();
    return true;
}

}  // namespace kestrava
