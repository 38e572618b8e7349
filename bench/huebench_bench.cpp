// Timings of the colour editor on this machine: start to the first painted
// window (a separate process), and in this process "Open..." of default.dc
// and a colour choice, each to the repainted mock-up. Run it from the
// program folder build/bin under an X server (xvfb-run): huebench_bench [runs]
#include "formats/files.h"
#include "huebench/colour_window.h"
#include "huebench/layout.h"
#include "support/program_process.h"

#include <QApplication>
#include <QComboBox>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %8.3f ms   min %8.3f   max %8.3f   (%zu runs)\n", what, times[times.size() / 2],
                times.front(), times.back(), times.size());
}

// The window has painted once the controls left of the mock-up show (the
// mock-up itself starts all black, as a new theme is).
bool Painted(testsupport::ProgramProcess& editor) {
    const testsupport::WindowImage image = editor.Image();
    if (image.Width == 0) return false;
    const auto first = image.Pixel(0, kestrava::huebench::kMenuBar.Height + 4);
    for (int y = 0; y < image.Height; y += 3)
        for (int x = 0; x < kestrava::huebench::kMockUp.X; x += 3)
            if (image.Pixel(x, y) != first) return true;
    return false;
}

void TimeStart(int runs) {
    std::vector<double> shown, painted;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        testsupport::ProgramProcess editor(kestrava::ProgramPath("huebench"));
        if (!editor.WaitForWindow("Kestrava Colour Editor", 30)) std::exit(1);
        shown.push_back(MillisecondsSince(start));
        while (!Painted(editor))
            if (MillisecondsSince(start) > 30000) std::exit(1);
        painted.push_back(MillisecondsSince(start));
    }
    Report("start to window shown", shown);
    Report("start to window painted", painted);
}

// Runs the event loop until the mock-up has painted once more.
void UntilRepainted(const kestrava::ColourWindow& window, long paintsBefore) {
    const auto start = Clock::now();
    while (window.MockUp()->Paints() == paintsBefore && MillisecondsSince(start) < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

void TimeActions(int runs) {
    kestrava::ColourWindow window;
    window.show();
    UntilRepainted(window, 0);
    const QString theme = QString::fromStdString(kestrava::ProgramPath("colours/default.dc"));
    std::vector<double> opens, choices;
    for (int run = 0; run < runs; ++run) {
        long before = window.MockUp()->Paints();
        auto start = Clock::now();
        if (!window.OpenFile(theme)) std::exit(1);
        UntilRepainted(window, before);
        opens.push_back(MillisecondsSince(start));
    }
    window.findChild<QComboBox*>("cb")->setCurrentIndex(16);  // CTR Fill
    for (int run = 0; run < runs; ++run) {
        long before = window.MockUp()->Paints();
        auto start = Clock::now();
        window.ApplyColour(QColor(255, run % 256, 0));
        UntilRepainted(window, before);
        choices.push_back(MillisecondsSince(start));
    }
    Report("Open of default.dc to repainted mock-up", opens);
    Report("colour choice to repainted mock-up", choices);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "huebench_bench needs an X server (run it under xvfb-run)\n");
        return 2;
    }
    TimeStart(runs);
    QApplication app(argc, argv);
    TimeActions(50);
    return 0;
}
