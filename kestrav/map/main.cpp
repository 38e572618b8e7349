// kestrav: the Kestrava network viewer.
#include "formats/files.h"
#include "kestrav/map/map_window.h"
#include "kestrav/map/single_instance.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (!kestrava::ClaimSingleInstance(kestrava::ProgramFolder())) return 0;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    kestrava::MapWindow window;
    if (!window.StartUp()) return 1;
    return QApplication::exec();
}
