// A desktop notification service for the tests: it takes the name
// org.freedesktop.Notifications on the session bus it is started on,
// writes each notification it is sent to the file named by its argument (a
// line of id, summary and body, tab-separated) and, asked by Click(id)
// over the bus, says the user clicked that notification (ActionInvoked with
// "default"), as a desktop does. A second argument makes it misbehave:
// "slow" answers each notification after 3 seconds, "error" refuses it.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

#include <cstdio>

class Recorder : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    Recorder(QString path, QString mode) : path_(std::move(path)), mode_(std::move(mode)) {}

public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                             const QStringList& actions, const QVariantMap&, int) {
        if (mode_ == QStringLiteral("slow")) QThread::sleep(3);
        if (mode_ == QStringLiteral("error")) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("refused"));
            return 0;
        }
        QFile file(path_);
        if (file.open(QIODevice::Append)) {
            file.write(QString("%1\t%2\t%3\t%4\n").arg(++last_).arg(summary, body, actions.join(',')).toUtf8());
            file.close();
        }
        return last_;
    }
    Q_SCRIPTABLE QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    Q_SCRIPTABLE void CloseNotification(uint) {}
    Q_SCRIPTABLE void Click(uint id) { Q_EMIT ActionInvoked(id, QStringLiteral("default")); }

Q_SIGNALS:
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString& action);
    Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);

private:
    QString path_;
    QString mode_;
    uint last_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    Recorder recorder(QString::fromLocal8Bit(argv[1]), argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &recorder,
                            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "notification_recorder: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
}

#include "notification_recorder.moc"
