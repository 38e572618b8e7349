// Timings of the sector viewer on this machine: start to the first painted
// window (a separate process), and in this process "Load Sectors..." of the
// shipped firlist.dat pair and "Load Coastlines..." of data/coastline.dat
// (after their dialogs) to the drawn frame, a 1280 x 800 frame with only the
// grid and with every sector ticked, and a tick to its frame. Run it from the
// program folder build/bin under an X server (xvfb-run):
// firglass_bench [--frames] [runs]
#include "firglass/layout.h"
#include "firglass/sector_window.h"
#include "formats/files.h"
#include "support/program_process.h"

#include <GL/gl.h>
#include <QApplication>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace kestrava::firglass;
using kestrava::Box;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.3f ms   min %8.3f   max %8.3f   (%zu runs)\n", what, Median(times),
                times.front(), times.back(), times.size());
}

// The picture has painted once its grid shows.
bool Painted(testsupport::ProgramProcess& viewer) {
    const testsupport::WindowImage image = viewer.Image();
    if (image.Width == 0) return false;
    const Box pic = LayoutFor(image.Width, image.Height).Picture;
    int grid = 0;
    for (int y = pic.Y; y < pic.Y + pic.Height; y += 2)
        for (int x = pic.X; x < pic.X + pic.Width; x += 2) grid += image.Pixel(x, y) == std::array<int, 3>{46, 46, 46};
    return grid > 100;
}

void TimeStart(int runs) {
    std::vector<double> shown, painted;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        testsupport::ProgramProcess viewer(kestrava::ProgramPath("firglass"));
        if (!viewer.WaitForWindow(kWindowTitle, 30)) std::exit(1);
        shown.push_back(MillisecondsSince(start));
        while (!Painted(viewer))
            if (MillisecondsSince(start) > 30000) std::exit(1);
        painted.push_back(MillisecondsSince(start));
    }
    Report("start to window shown", shown);
    Report("start to first painted window", painted);
}

// Lets the window paint what changed (the list) and the picture finish.
void Finish(SectorWindow& window) {
    QCoreApplication::processEvents();
    if (window.Picture()->MakeCurrent()) glFinish();
}

// One frame of the picture, drawn and swapped.
double TimeFrame(SectorWindow& window) {
    const auto start = Clock::now();
    window.Picture()->Draw();
    glFinish();
    return MillisecondsSince(start);
}

// Frames of the picture as it is: a few first (the renderer compiles its
// shader variants then), then `count` timed.
std::vector<double> TimeFrames(SectorWindow& window, int count) {
    for (int i = 0; i < 5; ++i) TimeFrame(window);
    std::vector<double> times;
    for (int i = 0; i < count; ++i) times.push_back(TimeFrame(window));
    return times;
}

void TimeActions(int runs, bool framesOnly) {
    SectorWindow window;
    if (!window.StartUp()) std::exit(1);
    // The picture at 1280 x 800.
    window.resize(1280 + 3 * kMargin + kColumnWidth, 800 + 3 * kMargin + kStatusHeight);
    const auto shown = Clock::now();
    while ((!window.Picture()->isExposed() || window.Picture()->PixelWidth() != 1280 ||
            window.Picture()->PixelHeight() != 800) && MillisecondsSince(shown) < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (window.Picture()->PixelWidth() != 1280 || window.Picture()->PixelHeight() != 800) {
        std::fprintf(stderr, "the picture is %d x %d, not 1280 x 800\n", window.Picture()->PixelWidth(),
                     window.Picture()->PixelHeight());
        std::exit(1);
    }

    const QString sectors = QString::fromStdString(kestrava::ProgramPath("data/firlist.dat"));
    std::vector<double> loads;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window.LoadSectors(sectors);
        Finish(window);
        loads.push_back(MillisecondsSince(start));
    }
    Report("Load Sectors (shipped pair) to list and frame", loads);
    std::printf("    %s, %d list lines\n", window.StatusText().c_str(), window.SectorList()->count());

    std::vector<double> gridOnly, allTicked, tickAlone, tickAmongAll;
    gridOnly = TimeFrames(window, runs * 4);
    QListWidget* list = window.SectorList();
    const int last = list->count() - 1;
    for (int run = 0; run < runs * 4; ++run) {
        const auto start = Clock::now();
        list->item(last)->setCheckState(run % 2 ? Qt::Unchecked : Qt::Checked);
        glFinish();
        tickAlone.push_back(MillisecondsSince(start));
    }
    list->item(last)->setCheckState(Qt::Unchecked);
    {
        const QSignalBlocker quiet(list);
        for (int row = 0; row < last; ++row) list->item(row)->setCheckState(Qt::Checked);
    }
    list->item(last)->setCheckState(Qt::Checked);  // the rebuild with every line ticked
    allTicked = TimeFrames(window, runs * 4);
    for (int run = 0; run < runs * 4; ++run) {
        const auto start = Clock::now();
        list->item(last)->setCheckState(run % 2 ? Qt::Checked : Qt::Unchecked);
        glFinish();
        tickAmongAll.push_back(MillisecondsSince(start));
    }
    if (framesOnly) {
        Report("1280 x 800 frame, grid only", gridOnly);
        Report("1280 x 800 frame, every sector ticked", allTicked);
        std::printf("    every sector ticked / grid only: %.2f (%d layers)\n", Median(allTicked) / Median(gridOnly),
                    window.Picture()->Lists.Sectors().LastLayers());
        return;
    }
    Report("1280 x 800 frame, grid only", gridOnly);
    Report("1280 x 800 frame, every sector ticked", allTicked);
    std::printf("    every sector ticked / grid only: %.2f (%d layers)\n", Median(allTicked) / Median(gridOnly),
                window.Picture()->Lists.Sectors().LastLayers());
    Report("a tick to its frame (nothing else ticked)", tickAlone);
    Report("a tick to its frame (every other line ticked)", tickAmongAll);
    std::printf("    tick alone / grid-only frame: %.2f\n", Median(tickAlone) / Median(gridOnly));

    const QString coast = QString::fromStdString(kestrava::ProgramPath("data/coastline.dat"));
    std::vector<double> coastLoads;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window.LoadLines(LineFile::Coastlines, coast);
        Finish(window);
        coastLoads.push_back(MillisecondsSince(start));
    }
    Report("Load Coastlines (data/coastline.dat) to frame", coastLoads);
    std::printf("    %s\n", window.StatusText().c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    // --frames: only the two frames, and no start of a separate process.
    const bool framesOnly = argc > 1 && std::string(argv[1]) == "--frames";
    const int given = framesOnly ? 2 : 1;
    const int runs = argc > given ? std::atoi(argv[given]) : 5;
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "firglass_bench needs an X server (run it under xvfb-run)\n");
        return 2;
    }
    if (!framesOnly) TimeStart(runs);
    QApplication app(argc, argv);
    TimeActions(runs, framesOnly);
    return 0;
}
