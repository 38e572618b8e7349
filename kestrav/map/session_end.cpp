#include "session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kestrava {

namespace {

int wakePipe[2] = {-1, -1};

// Async-signal-safe: one byte into the pipe, errno kept.
void OnSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void ExitOnSignalsAndSessionEnd(std::function<void()> exit) {
    if (wakePipe[0] >= 0) return;
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("kestrav: no pipe for SIGTERM; the settings are not saved when it comes");
        return;
    }
    auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [exit] {
        char bytes[16];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        exit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);

    // The desktop session ends: the user's files are saved as at any exit.
    // Nothing may ask the user now (the exit's message box is left out).
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [exit](QSessionManager&) { exit(); });
}

}  // namespace kestrava
