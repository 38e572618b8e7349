// settings: the Kestrava settings editor.
#include <QApplication>

#include "settings/settings_window.h"
#include "widgets/message_box.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::WarnIfNothingIsSaved();
    kestrava::SettingsWindow window;
    window.show();
    return app.exec();
}
