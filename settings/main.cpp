// settings: the Kestrava settings editor.
#include <QApplication>

#include "settings/settings_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrava::SettingsWindow window;
    window.show();
    return app.exec();
}
