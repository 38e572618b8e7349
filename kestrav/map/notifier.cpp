#include "kestrav/map/notifier.h"

#include "formats/text.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QVariantMap>

namespace kestrava {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kAnswerMs = 1000;

}  // namespace

DesktopNotifier::DesktopNotifier() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(ActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(NotificationClosed(uint, uint)));
}

bool DesktopNotifier::Available() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    return registered.isValid() && registered.value();
}

bool DesktopNotifier::Notify(const std::string& text, std::function<void()> clicked, std::function<void()> failed) {
    if (!Available()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Kestrava") << 0u << QStringLiteral("kestrava") << QStringLiteral("Kestrava")
         << QString::fromStdString(Cp1252ToUtf8(text))
         << QStringList{QStringLiteral("default"), QStringLiteral("Show")} << QVariantMap{} << -1;
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, kAnswerMs);
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this, watcher, clicked = std::move(clicked), failed = std::move(failed)] {
                         const QDBusPendingReply<unsigned> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError()) {
                             if (failed) failed();
                             return;
                         }
                         if (clicked) clicks_[reply.value()] = clicked;
                     });
    return true;
}

void DesktopNotifier::ActionInvoked(uint id, const QString& action) {
    const auto it = clicks_.find(id);
    if (it == clicks_.end() || action != QStringLiteral("default")) return;
    const std::function<void()> clicked = it->second;
    clicks_.erase(it);
    clicked();
}

void DesktopNotifier::NotificationClosed(uint id, uint) { clicks_.erase(id); }

}  // namespace kestrava
