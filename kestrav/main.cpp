// kestrav: the Kestrava network viewer.
#include "formats/file_places.h"
#include "kestrav/map/map_window.h"
#include "kestrav/map/session_end.h"
#include "kestrav/map/single_instance.h"
#include "widgets/message_box.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
    // One viewer per program folder, or per user of an installed copy: a
    // second start brings the running one forward and ends.
    const std::string lockFolder = kestrava::Places().LockFolder();
    if (!kestrava::ClaimSingleInstance(lockFolder)) {
        QCoreApplication asker(argc, argv);
        kestrava::RaiseRunningViewer(lockFolder);
        return 0;
    }
    kestrava::RemoveInterruptedSaves(kestrava::Places());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    kestrava::WarnIfNothingIsSaved();
    kestrava::MapWindow window;
    // SIGTERM, SIGHUP, SIGINT and the session's end close the viewer as its
    // close box does.
    kestrava::ExitOnSignalsAndSessionEnd([&window] { window.ExitViewer(true); });
    // Listening before start-up: a later start never finds a viewer that
    // holds the lock without answering.
    kestrava::ListenForLaterStarts(lockFolder, [&window] { window.RaiseWindow(); });
    if (!window.StartUp()) return 1;
    if (window.Exiting()) return 0;  // asked to end during start-up: saved already
    return QApplication::exec();
}
