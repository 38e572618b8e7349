#include "huebench/mock_up_image.h"

#include <QGuiApplication>
#include <QPainter>

QImage MockUpImage(const kestrava::ThemeColours& colours, std::vector<kestrava::MockUpElement>* elements) {
    // Offscreen through the arguments: the environment would pass on to the
    // programs the tests start.
    static int argc = 3;
    static char name[] = "huebench_tests", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    QImage image(kestrava::kMockUpWidth, kestrava::kMockUpHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    kestrava::DrawMockUp(painter, colours, elements);
    return image;
}
