#include <QApplication>

#include "firforge/converter_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::ConverterWindow window;
    window.show();
    return app.exec();
}
