// What the viewer's benchmarks share: the map window with its frames and
// scene builds timed, and small timing helpers. Run the benchmarks under an
// X server (xvfb-run) from the program folder build/bin.
#pragma once

#include "kestrav/map/map_window.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace benchsupport {

// The window with its frames timed, for the download measurement.
class TimedWindow : public kestrava::MapWindow {
public:
    void DrawScene() override {
        if (FullFrames) GlobeChanged();
        const auto start = std::chrono::steady_clock::now();
        kestrava::MapWindow::DrawScene();
        frameMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        ++frames;
    }
    void BuildNetworkScene(int net) override {
        const auto start = std::chrono::steady_clock::now();
        const double before = frameMs;
        kestrava::MapWindow::BuildNetworkScene(net);
        sceneMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() -
                   (frameMs - before);
    }
    double frameMs = 0, sceneMs = 0;
    int frames = 0;
    bool FullFrames = false;  // every frame drawn in full, none from the kept picture
};

// Wall-clock milliseconds of f, the drawing finished.
template <typename F>
inline double Milliseconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds of CPU time the whole process (the renderer's threads
// included) spent on f, the drawing finished.
template <typename F>
inline double CpuMilliseconds(F&& f) {
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    f();
    glFinish();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    return (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
}

// Measurements of the overlays: the pick, the popups, the list and airport
// windows, each against the frame without them.
void MeasureControls(TimedWindow& window);
void MeasurePanels(TimedWindow& window);

// The frame table for every stored view and a close view, with pictures
// saved to or compared with a folder (either may be empty).
void MeasureFrames(TimedWindow& window, const std::string& saveFolder, const std::string& compareFolder,
                   int rounds);

}  // namespace benchsupport
