// huebench: the Kestrava colour theme editor.
#include <QApplication>

#include "huebench/colour_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::ColourWindow window;
    window.show();
    return app.exec();
}
