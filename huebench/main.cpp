// huebench: the Kestrava colour theme editor.
#include <QApplication>

#include "huebench/colour_window.h"
#include "widgets/message_box.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::WarnIfNothingIsSaved();
    kestrava::ColourWindow window;
    window.show();
    return app.exec();
}
