// Start-up of the installed viewer against the build tree's, in alternated
// rounds of separate processes: from the start of the process to "Ready",
// seen as the first frame the window shows (it reads "Ready"). The
// installed copy runs from a read-only prefix with its per-user folder in a
// temporary HOME; the build tree's from a writable copy of build/bin. Make
// the installation first, then run it under an X server:
//
//   cmake --install build --prefix /tmp/kestrava-prefix
//   chmod -R a-w /tmp/kestrava-prefix
//   xvfb-run -a build/bin/installed_start_bench /tmp/kestrava-prefix [rounds]
#include "formats/file_places.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Until start-up ends the window has not been exposed to the program: it
// shows one colour. The first frame drawn comes from the event loop, right
// after "Ready", with the drawn caption bar along the top.
bool FrameDrawn(const testsupport::WindowImage& image) {
    if (image.Width < 100 || image.Height < 100) return false;
    int differ = 0;
    for (int i = 0; i < 50; ++i) {
        const int x = image.Width * (i + 1) / 52;
        differ += image.Pixel(x, 8) != image.Pixel(x, 60);
    }
    return differ >= 40;
}

struct StartTimes {
    double Shown = 0;  // the window mapped
    double Ready = 0;  // the first frame drawn
};

// One start: the window mapped, its first frame; then closed.
bool TimeOneStart(const std::string& program, const std::vector<std::string>& environment, StartTimes& times) {
    const auto start = Clock::now();
    testsupport::ProgramProcess viewer(program, environment);
    if (!viewer.WaitForWindow("Kestrava", 30)) return false;
    times.Shown = MillisecondsSince(start);
    while (MillisecondsSince(start) < 60000) {
        if (FrameDrawn(viewer.Image())) {
            times.Ready = MillisecondsSince(start);
            viewer.RequestClose();
            return viewer.WaitForExit(30) == 0;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: installed_start_bench <read-only install prefix> [rounds]\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (kestrava::FolderWritable(prefix + "/lib/kestrava")) {
        std::fprintf(stderr, "%s/lib/kestrava is writable: chmod -R a-w %s first\n", prefix.c_str(), prefix.c_str());
        return 2;
    }
    const std::string home = testsupport::MakeTempFolder("installed-bench-home");
    const std::vector<std::string> environment{"HOME=" + home, "XDG_DATA_HOME=" + home + "/data-home"};
    const std::string tree = testsupport::CopyProgramFolder("installed-bench-tree");
    const struct {
        const char* Name;
        std::string Program;
    } copies[] = {{"build tree (writable copy of build/bin)", tree + "/kestrav"},
                  {"installed (read-only prefix, per-user folder)", prefix + "/bin/kestrav"}};

    std::vector<double> shown[2], ready[2];
    // Round 0 warms the caches and makes each copy's kestrav.ini; it is not counted.
    for (int round = 0; round <= rounds; ++round)
        for (int c = 0; c < 2; ++c) {
            // Alternate which copy goes first.
            const int which = (round % 2 == 0) ? c : 1 - c;
            StartTimes times;
            if (!TimeOneStart(copies[which].Program, environment, times)) {
                std::fprintf(stderr, "%s: no start to \"Ready\" seen\n", copies[which].Name);
                return 1;
            }
            if (round == 0) continue;
            shown[which].push_back(times.Shown);
            ready[which].push_back(times.Ready);
        }
    for (int c = 0; c < 2; ++c)
        std::printf("%-48s start to window %6.0f ms, to \"Ready\" median %6.0f ms (min %6.0f, max %6.0f, %d runs)\n",
                    copies[c].Name, Median(shown[c]), Median(ready[c]),
                    *std::min_element(ready[c].begin(), ready[c].end()),
                    *std::max_element(ready[c].begin(), ready[c].end()), rounds);
    std::printf("installed / build tree, start to \"Ready\": %.3f\n", Median(ready[1]) / Median(ready[0]));
    return 0;
}
