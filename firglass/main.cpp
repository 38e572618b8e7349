// firglass: the Kestrava sector viewer. Shows a converted sector pair
// (firlist.dat and firdisplay.dat) on a globe, sector by sector.
#include "firglass/sector_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::firglass::SectorWindow window;
    if (!window.StartUp()) return 1;
    return app.exec();
}
