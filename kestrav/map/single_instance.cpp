#include "single_instance.h"

#include "formats/viewer_lock.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>

namespace kestrava {

namespace {

constexpr const char* kRaise = "raise\n";
constexpr const char* kRaised = "raised\n";
constexpr int kAnswerMs = 5000;

}  // namespace

// The lock lives beside the file readers, so that the settings editor can
// tell when it saves beside a running viewer.
bool ClaimSingleInstance(const std::string& programFolder) {
    std::string warning;
    const bool claimed = ClaimViewerLock(programFolder, &warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    return claimed;
}

bool RaiseRunningViewer(const std::string& programFolder) {
    const QString path = QString::fromStdString(ViewerSocketPath(programFolder));
    if (path.isEmpty()) {
        std::fprintf(stderr, "Kestrava already runs from this folder; no private folder for its socket.\n");
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    bool answered = socket.waitForConnected(kAnswerMs);
    if (answered) {
        socket.write(kRaise);
        answered = socket.waitForBytesWritten(kAnswerMs);
    }
    while (answered && !socket.canReadLine()) answered = socket.waitForReadyRead(kAnswerMs);
    answered = answered && socket.readLine() == kRaised;
    if (!answered)
        std::fprintf(stderr, "Kestrava already runs from this folder, but its window could not be raised (%s).\n",
                     socket.errorString().toLocal8Bit().constData());
    return answered;
}

void ListenForLaterStarts(const std::string& programFolder, std::function<void()> raise) {
    const QString path = QString::fromStdString(ViewerSocketPath(programFolder));
    if (path.isEmpty()) {
        std::fprintf(stderr, "Kestrava has no private folder for its socket: a second start will not raise this window.\n");
        return;
    }
    auto* server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // This process holds the lock: a socket left there is a killed viewer's.
    QLocalServer::removeServer(path);
    if (!server->listen(path)) {
        std::fprintf(stderr, "Kestrava cannot listen on %s (%s): a second start will not raise this window.\n",
                     path.toLocal8Bit().constData(), server->errorString().toLocal8Bit().constData());
        delete server;
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server, raise] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, raise] {
                if (!socket->canReadLine()) return;
                if (socket->readLine() != kRaise) {
                    socket->disconnectFromServer();
                    return;
                }
                raise();
                socket->write(kRaised);
                socket->flush();
            });
        }
    });
}

}  // namespace kestrava
