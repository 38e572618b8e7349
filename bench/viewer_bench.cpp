// Start-up and frame timings of the viewer on this machine. Run it under an
// X server (xvfb-run) from the program folder build/bin.
#include "formats/files.h"
#include "formats/text.h"
#include "bench_window.h"
#include "kestrav/render/display_lists.h"
#include "full_snapshot.h"
#include "network/http_test_server.h"
#include "support/gzip_text.h"
#include "kestrav/network/whazzup.h"
#include "kestrav/render/panel_rows.h"
#include "kestrav/render/panels.h"
#include "kestrav/render/popups.h"

#include <algorithm>

#include <GL/gl.h>
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

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

using benchsupport::Milliseconds;
using benchsupport::TimedWindow;

// A key press on I with a full-capacity gzip snapshot served from
// 127.0.0.1, from the status file to the drawn scene: first as after
// start-up (no traffic shown yet), then again over the traffic of the first.
void MeasureDownload(TimedWindow& window) {
    networktest::TestHttpServer server;
    const std::string full = benchsupport::FullSnapshot(0, 0);
    server.Serve("/status.txt", "gzurl0=" + server.Url("/whazzup.txt.gz") + "\r\n;\r\n;\r\n;\r\n;\r\n");
    server.Serve("/whazzup.txt.gz", testsupport::Gzip(full));
    window.State().Model.StatusUrl[0] = server.Url("/status.txt");
    window.State().Model.DataUrl[0].clear();  // through the status file, not a feed address
    window.State().Model.CurrentNetwork = kestrava::kIvao;
    window.DiscardSceneLists(0);
    for (const char* when : {"first key I", "key I again"}) {
        window.State().Model.Networks[0] = kestrava::Snapshot{};
        window.ClearSceneBuilt(0);
        window.DrawScene();  // what the user sees before the key
        window.frames = 0;
        window.frameMs = window.sceneMs = 0;
        const int fullBefore = window.Picture().FullFrames, keptBefore = window.Picture().KeptFrames;
        // The transfer runs beside the window: the time runs until its end.
        const double total = Milliseconds([&] {
            bool done = false;
            window.DownloadThen(0, [&] { done = true; });
            while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        });
        std::printf("%s to drawn scene, full-capacity gzip (%zu bytes) from 127.0.0.1: %.1f ms in all; "
                    "scene build %.1f ms; %d frames drawn on the way (%d in full, %d over the kept globe), %.1f ms; "
                    "the rest (status file, transfer, decompression, interpretation) %.1f ms; status \"%s\"\n",
                    when, testsupport::Gzip(full).size(), total, window.sceneMs, window.frames,
                    window.Picture().FullFrames - fullBefore, window.Picture().KeptFrames - keptBefore,
                    window.frameMs, total - window.sceneMs - window.frameMs, window.State().Model.StatusText.c_str());
    }
}

// An event day: IVAO at full capacity (1400 pilots, 700 controllers) and
// VATSIM with 5000 pilots and 1000 controllers, each controller on a sector
// of its own: interpretation, scene build, memory, and the one-network frame
// of each at the default view in alternated rounds.
void MeasureEventDay(TimedWindow& window, int rounds) {
    kestrava::NetworkModel& model = window.State().Model;
    const std::string full = benchsupport::FullSnapshot(0, 0);
    const std::string event = benchsupport::FullSnapshot(1, 0, 5000, 1000);
    window.DiscardSceneLists(0);
    window.DiscardSceneLists(1);
    window.DiscardSceneLists(2);
    model.Networks[0] = model.Networks[1] = kestrava::Snapshot{};
    const long start = ResidentKilobytes();
    double interpret[2] = {}, build[2] = {};
    kestrava::DisplayHooks silent;
    kestrava::SceneContext scene{model, silent, window.State().Theme, window.State().Config, false,
                                 window.State().Scenes, model.StatusText};
    for (int net = 0; net < 2; ++net) {
        std::vector<double> interpretations, builds;
        for (int i = 0; i < 3; ++i) {
            model.Networks[static_cast<size_t>(net)] = kestrava::Snapshot{};
            interpretations.push_back(Milliseconds([&] {
                kestrava::InterpretSnapshot(model, silent, static_cast<std::uint8_t>(net), net ? event : full);
            }));
            model.CurrentNetwork = static_cast<kestrava::NetworkIndex>(net);
            window.ClearSceneBuilt(net);
            builds.push_back(Milliseconds([&] { kestrava::BuildNetworkScene(scene, net); }));
        }
        interpret[net] = benchsupport::Median(interpretations);
        build[net] = benchsupport::Median(builds);
    }
    std::printf("event day: %d pilots, %d controllers against %d and %d (CPU ms, view 1, median of %d alternated "
                "rounds):\n",
                model.Networks[1].PilotCount, model.Networks[1].AtcCount, model.Networks[0].PilotCount,
                model.Networks[0].AtcCount, rounds);
    const kestrava::Settings defaults = window.State().Config;
    window.State().View = kestrava::Camera{defaults.Views[0].X, defaults.Views[0].Y, defaults.Views[0].Z};
    std::vector<double> frames[2];
    for (int round = 0; round < rounds; ++round)
        for (int net = 0; net < 2; ++net) {
            model.CurrentNetwork = static_cast<kestrava::NetworkIndex>(net);
            kestrava::FrameInputs frame{window.State().View, window.State().Config, window.State().Switches,
                                        window.State().Overlay, window.State().Theme, model.CurrentNetwork,
                                        window.PixelWidth(), window.PixelHeight(), &window.State().Scenes};
            frames[net].push_back(benchsupport::CpuMilliseconds([&] { kestrava::DrawScene(frame); }));
        }
    for (int net = 0; net < 2; ++net)
        std::printf("    %-22s interpretation %6.1f ms, scene build %6.1f ms, frame CPU %6.1f ms\n",
                    net ? "5000 pilots, 1000 ATC" : "1400 pilots, 700 ATC", interpret[net], build[net],
                    benchsupport::Median(frames[net]));
    std::printf("    frame ratio %.2f; resident memory now %.1f MiB (%.1f MiB more than before both snapshots)\n",
                benchsupport::Median(frames[1]) / benchsupport::Median(frames[0]), ResidentKilobytes() / 1024.0,
                static_cast<double>(ResidentKilobytes() - start) / 1024.0);
    model.CurrentNetwork = kestrava::kIvao;
}

// Options: --frames (only the frame table and the download), --rounds N,
// --save FOLDER (the frames' pictures), --compare FOLDER (against pictures
// saved by another build).
int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    bool framesOnly = false;
    int rounds = 5;
    std::string save, compare;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--frames") framesOnly = true;
        if (i + 1 < argc && option == "--rounds") rounds = std::max(1, std::atoi(argv[++i]));
        if (i + 1 < argc && option == "--save") save = argv[++i];
        if (i + 1 < argc && option == "--compare") compare = argv[++i];
    }
    const auto mainStart = Clock::now();
    const double beforeMain = SecondsSinceProcessStart();
    QApplication app(argc, argv);
    TimedWindow window;
    if (!window.StartUp()) return 1;
    const double toReady =
        std::chrono::duration<double>(Clock::now() - mainStart).count() + beforeMain;
    std::printf("start-up to \"Ready\": %.0f ms (process start to main: %.0f ms)\n",
                toReady * 1000, beforeMain * 1000);
    std::printf("resident memory after start-up: %.1f MiB\n", ResidentKilobytes() / 1024.0);

    window.resize(1280, 800);
    // The coastlines' coarser levels come a moment after "Ready".
    const auto ready = Clock::now();
    while (!window.LineDetailReady() && Clock::now() - ready < std::chrono::seconds(30))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("levels of detail built %.0f ms after \"Ready\"\n",
                std::chrono::duration<double, std::milli>(Clock::now() - ready).count());
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    const int frames = 30;
    window.DrawScene();
    glFinish();
    const auto drawStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        window.State().View.Spin += 0.5f;  // a turning globe, as while dragging
        window.DrawScene();
        glFinish();
    }
    const double perFrame = std::chrono::duration<double>(Clock::now() - drawStart).count() / frames;
    std::printf("DrawScene at %dx%d: %.2f ms per frame (%d frames)\n", window.PixelWidth(),
                window.PixelHeight(), perFrame * 1000, frames);

    // Full traffic of both networks, every record a centre on its own sector.
    for (int net = 0; net < 2; ++net) {
        std::string text = benchsupport::FullSnapshot(net, static_cast<size_t>(net) * 700);
        kestrava::InterpretSnapshot(window.State().Model, window, static_cast<std::uint8_t>(net), text);
    }
    std::printf("snapshots: %d + %d pilots, %d + %d controllers\n", window.State().Model.Networks[0].PilotCount,
                window.State().Model.Networks[1].PilotCount, window.State().Model.Networks[0].AtcCount,
                window.State().Model.Networks[1].AtcCount);
    // The compile alone, without the frames the window draws around it.
    kestrava::DisplayHooks silent;
    kestrava::SceneContext scene{window.State().Model, silent, window.State().Theme, window.State().Config, false,
                                 window.State().Scenes, window.State().Model.StatusText};
    for (int net = 0; net < 2; ++net) {
        window.State().Model.CurrentNetwork = static_cast<kestrava::NetworkIndex>(net);
        const double ms = Milliseconds([&] { kestrava::BuildNetworkScene(scene, net); });
        std::printf("BuildNetworkScene(%d) at full capacity: %.2f ms\n", net, ms);
    }
    window.State().Model.CurrentNetwork = kestrava::kMerged;
    std::printf("BuildMergedScene: %.2f ms\n", Milliseconds([&] { kestrava::BuildMergedScene(scene); }));
    benchsupport::MeasureFrames(window, save, compare, rounds);
    MeasureEventDay(window, rounds);
    if (framesOnly) {
        MeasureDownload(window);
        return 0;
    }
    window.State().Model.CurrentNetwork = kestrava::kIvao;
    window.DrawScene();
    double single = 0, kept = 0;
    window.FullFrames = true;
    for (int i = 0; i < 10; ++i) single += Milliseconds([&] { window.DrawScene(); });
    window.FullFrames = false;
    for (int i = 0; i < 10; ++i) kept += Milliseconds([&] { window.DrawScene(); });
    std::printf("DrawScene with IVAO at full capacity, %dx%d: %.2f ms per frame, %.2f ms over the kept globe\n",
                window.PixelWidth(), window.PixelHeight(), single / 10, kept / 10);
    benchsupport::MeasureControls(window);
    benchsupport::MeasurePanels(window);
    // Each scene list of IVAO alone, inside the frame's globe transformation.
    const char* names[] = {"planes", "plane labels", "airports", "airport labels", "inbounds",
                           "ATC fills", "ATC borders", "ATC labels", "ATC points"};
    for (unsigned layer = 0; layer < kestrava::lists::kSceneListCount; ++layer) {
        const double ms = Milliseconds([&] {
            for (int i = 0; i < 5; ++i) {
                glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
                glLoadIdentity();
                glOrtho(-1, 1, -1, 1, -10, 1);
                glTranslatef(0, 0, -1);
                glRotatef(-54.15f, -1, 0, 0);
                glRotatef(13.34f, 0, -1, 0);
                glViewport(window.PixelWidth() / 2 - window.PixelHeight(), -window.PixelHeight() / 2,
                           2 * window.PixelHeight(), 2 * window.PixelHeight());
                glScalef(1.49f, 1.49f, 1.49f);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                glCallList(kestrava::lists::Viewer().SceneBase(0) + layer);
                glFinish();
            }
        });
        std::printf("  list %u (%s): %.2f ms\n", kestrava::lists::Viewer().SceneBase(0) + layer, names[layer], ms / 5);
    }
    window.State().Model.CurrentNetwork = kestrava::kMerged;
    window.State().View = kestrava::Camera{13.34f, -54.15f, 1.49f};
    window.DrawScene();
    double merged = 0;
    window.FullFrames = true;
    for (int i = 0; i < 10; ++i) merged += Milliseconds([&] { window.DrawScene(); });
    window.FullFrames = false;
    std::printf("DrawScene with both networks merged, %dx%d: %.2f ms per frame\n", window.PixelWidth(),
                window.PixelHeight(), merged / 10);

    MeasureDownload(window);
    return 0;
}
