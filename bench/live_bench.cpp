// Live mode's costs at full capacity (1400 pilots, 700 ATC, one network,
// 1280 x 800): a motion step against a full frame, the frames drawn while an
// 8 s transfer runs beside the window with the globe turning, the CPU of live
// mode with motion, and the memory of two hours of trails. Run it under an X
// server (xvfb-run) from the program folder build/bin.
//
//   live_bench [--seconds N]   (the CPU measurement's length, default 60)
#include "bench_window.h"
#include "full_snapshot.h"
#include "kestrav/network/trails.h"
#include "kestrav/network/whazzup.h"
#include "network/http_test_server.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

using benchsupport::Median;
using benchsupport::Milliseconds;
using benchsupport::TimedWindow;
using kestrava::Clock;

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The event loop for a while, idle between events as the program's own.
void RunEvents(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    int cpuSeconds = 60;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--seconds") cpuSeconds = std::max(5, std::atoi(argv[++i]));
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    TimedWindow window;
    if (!window.StartUp()) return 1;
    window.resize(1280, 800);
    const auto ready = std::chrono::steady_clock::now();
    while (!window.LineDetailReady() && std::chrono::steady_clock::now() - ready < std::chrono::seconds(30))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    RunEvents(std::chrono::milliseconds(200));
    kestrava::ViewerState& state = window.State();
    window.timLive.stop();  // the measurements drive it themselves

    // One network at full capacity, shown, live mode on with motion.
    Clock::time_point now = Clock::now();
    state.Model.Now = [&] { return now; };
    const std::string full = benchsupport::FullSnapshot(0, 0);
    kestrava::InterpretSnapshot(state.Model, window, kestrava::kIvao, full);
    state.Model.CurrentNetwork = kestrava::kIvao;
    window.ClearSceneBuilt(0);
    window.BuildNetworkScene(0);
    state.Live.Seconds = 15;
    state.Live.Active = true;
    state.Config.PlaneMotion = true;
    std::printf("snapshot: %d pilots, %d ATC at %dx%d\n", state.Model.Networks[0].PilotCount,
                state.Model.Networks[0].AtcCount, window.PixelWidth(), window.PixelHeight());

    // A full frame against a motion step (the aircraft placed a second on,
    // their lists compiled, the frame drawn).
    std::vector<double> fullFrames, steps;
    for (int round = 0; round < 15; ++round) {
        window.FullFrames = true;
        fullFrames.push_back(Milliseconds([&] { window.DrawScene(); }));
        window.FullFrames = false;
        window.DrawScene();
        now += std::chrono::seconds(1);
        steps.push_back(Milliseconds([&] { window.MotionStep(); }));
    }
    const double fullMs = Median(fullFrames), stepMs = Median(steps);
    std::printf("motion steps drawn over the picture under the aircraft: %d\n", window.Picture().AircraftFrames);
    std::printf("full frame %.1f ms; motion step (place, compile aircraft, frame) %.1f ms; ratio %.2f (goal <= 0.8)\n",
                fullMs, stepMs, stepMs / fullMs);

    // An 8 s transfer of the same snapshot from 127.0.0.1, the globe turning
    // as under a held drag, frames drawn as fast as the window can.
    {
        networktest::TestHttpServer server;
        server.Serve("/whazzup.txt", networktest::TestHttpServer::Reply{200, full, std::chrono::milliseconds(0), false,
                                                                         std::chrono::milliseconds(8000)});
        state.Model.DataUrl[0] = server.Url("/whazzup.txt");
        state.Model.Networks[0].DataUrls.clear();
        state.Model.Networks[0].GzipUrls.clear();
        state.Model.Networks[0].LastDownload = {};
        bool done = false;
        const int before = window.frames;
        const auto start = std::chrono::steady_clock::now();
        window.DownloadThen(0, [&] { done = true; });
        while (!done && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
            state.View.Spin += 0.5f;
            window.DrawScene();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("8 s transfer with the globe turning: %d frames in %.1f s, %.1f frames a second (goal >= 5); "
                    "status \"%s\"\n",
                    window.frames - before, seconds, (window.frames - before) / seconds, state.Model.StatusText.c_str());
    }

    // Live mode with motion as the window runs it, the clock real: a refresh
    // due every 15 s (held to the feed's minute) answered 304, a motion step
    // each second.
    {
        networktest::TestHttpServer server;
        server.Serve("/whazzup.txt", networktest::TestHttpServer::Reply{200, full, std::chrono::milliseconds(0), false,
                                                                         std::chrono::milliseconds(0), "\"same\""});
        state.Model.DataUrl[0] = server.Url("/whazzup.txt");
        state.Model.Networks[0].DataUrls.clear();  // found again, from the new address
        state.Model.Now = [] { return Clock::now(); };
        state.Live.Tried = {};
        window.timLive.start();
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        RunEvents(std::chrono::seconds(cpuSeconds));
        const double cpu = ProcessCpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        window.timLive.stop();
        std::printf("%d s of live mode with motion: %.1f s of CPU, %.1f%% of one core (goal <= 20%%); "
                    "%d requests, %d answered 304\n",
                    cpuSeconds, cpu, 100 * cpu / wall, server.Requests("/whazzup.txt"),
                    server.NotModified("/whazzup.txt"));
    }

    // Two hours of 30-second snapshots of both networks at full capacity,
    // a fifth of the aircraft replaced every ten minutes.
    {
        kestrava::TrailBook trails;
        kestrava::Snapshot s = state.Model.Networks[0];
        std::size_t peak = 0;
        const double ms = Milliseconds([&] {
            for (int step = 0; step < 240; ++step) {
                for (int i = 0; i < s.PilotCount; ++i) {
                    kestrava::PilotClient& p = s.Pilots[static_cast<size_t>(i)];
                    p.ReportedLongitude += 0.05f;
                    if (i < 280 && step % 20 == 0) p.Callsign = "R" + std::to_string(step) + "-" + std::to_string(i);
                }
                for (std::uint8_t n : {kestrava::kIvao, kestrava::kVatsim})
                    kestrava::AddSnapshot(trails, n, s, 1'000'000 + 30 * step);
                peak = std::max(peak, kestrava::TrailBytes(trails));
            }
        });
        std::printf("trails after 2 hours of snapshots (2 x %d pilots): %.1f MiB at most (goal < 64 MiB), "
                    "%zu aircraft; %.0f ms for the 480 snapshots\n",
                    s.PilotCount, peak / 1048576.0, trails.size(), ms);
    }
    return 0;
}
