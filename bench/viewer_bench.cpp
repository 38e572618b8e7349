// Start-up and frame timings of the viewer on this machine. Run it under an
// X server (xvfb-run) from the program folder build/bin.
#include "kestrav/map/map_window.h"

#include <GL/gl.h>
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {}
    const double startTicks = std::stod(field);
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return uptime - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    const auto mainStart = Clock::now();
    const double beforeMain = SecondsSinceProcessStart();
    QApplication app(argc, argv);
    kestrava::MapWindow window;
    if (!window.StartUp()) return 1;
    const double toReady =
        std::chrono::duration<double>(Clock::now() - mainStart).count() + beforeMain;
    std::printf("start-up to \"Ready\": %.0f ms (process start to main: %.0f ms)\n",
                toReady * 1000, beforeMain * 1000);
    std::printf("resident memory after start-up: %.1f MiB\n", ResidentKilobytes() / 1024.0);

    window.resize(1280, 800);
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    const int frames = 30;
    window.DrawScene();
    glFinish();
    const auto drawStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        window.View.Spin += 0.5f;  // a turning globe, as while dragging
        window.DrawScene();
        glFinish();
    }
    const double perFrame = std::chrono::duration<double>(Clock::now() - drawStart).count() / frames;
    std::printf("DrawScene at %dx%d: %.2f ms per frame (%d frames)\n", window.PixelWidth(),
                window.PixelHeight(), perFrame * 1000, frames);
    return 0;
}
