// Desktop notifications through the desktop's own service: the freedesktop
// notification interface (org.freedesktop.Notifications) on the session
// bus. Every call is made without waiting: a service that is missing,
// slow or failing never holds the window; the caller is told so and puts
// the text in the status line instead.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <string>

namespace kestrava {

class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    DesktopNotifier();

    // Whether a notification service is on the session bus now.
    bool Available() const;
    // Sends a notification (summary "Kestrava", `text` as its body) with a
    // default action; `clicked` runs on this thread when the user clicks it.
    // `failed` runs when the service refuses or does not answer within a
    // second. False (nothing sent) when no service is there.
    bool Notify(const std::string& text, std::function<void()> clicked, std::function<void()> failed);

private Q_SLOTS:
    // The service's signals, by their D-Bus names.
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    std::map<unsigned, std::function<void()>> clicks_;
};

}  // namespace kestrava
