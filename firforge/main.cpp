#include <QApplication>

#include "firforge/converter_window.h"
#include "widgets/message_box.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::WarnIfNothingIsSaved();
    kestrava::ConverterWindow window;
    window.show();
    return app.exec();
}
