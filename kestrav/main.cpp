// kestrav: the Kestrava network viewer.
#include "formats/file_places.h"
#include "kestrav/map/map_window.h"
#include "kestrav/map/single_instance.h"
#include "widgets/message_box.h"

#include <QApplication>

int main(int argc, char** argv) {
    // One viewer per program folder, or per user of an installed copy.
    if (!kestrava::ClaimSingleInstance(kestrava::Places().LockFolder())) return 0;
    kestrava::RemoveInterruptedSaves(kestrava::Places());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    kestrava::WarnIfNothingIsSaved();
    kestrava::MapWindow window;
    if (!window.StartUp()) return 1;
    return QApplication::exec();
}
