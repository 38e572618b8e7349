// Frame times at 1280 x 800 for each stored view and a close view over
// Frankfurt: the globe and grid alone, the map alone, one network at full
// capacity and both networks merged, each as a ratio to the globe-and-grid
// frame of the same run; a drag step; and the frames' pictures saved or
// compared with pictures saved by another build.
#include "bench_window.h"

#include "kestrav/render/display_lists.h"
#include "kestrav/render/frame.h"
#include "globe/geography.h"
#include "globe/globe_view.h"
#include "globe/pixel_scale.h"
#include "globe/segment_arrays.h"
#include "globe/sector_lists.h"

#include <QDir>
#include <QImage>

#include <cstdio>
#include <iterator>
#include <map>
#include <string>

namespace benchsupport {

namespace {

enum Scenario { kGlobeAndGrid, kMapOnly, kOneNetwork, kMerged, kScenarioCount };
const char* kScenarioNames[] = {"globe and grid", "map only", "one network", "both merged"};

struct View {
    const char* Name;
    kestrava::Camera Camera;
};

// The settings and network of a scenario; the globe-and-grid frame is drawn
// by FrameOf below.
void Arrange(TimedWindow& w, Scenario scenario, const kestrava::Settings& defaults) {
    w.State().Config = defaults;
    w.State().Switches.CountriesShown = true;
    w.State().Model.CurrentNetwork = scenario == kMerged ? kestrava::kMerged : kestrava::kIvao;
    if (scenario == kMapOnly || scenario == kGlobeAndGrid) {
        w.State().Config.Layers.ShowATC = w.State().Config.Layers.ShowPlanes = w.State().Config.Layers.ShowAirports = false;
    }
}

// The globe, the grid and the window's own overlays, as a frame draws them.
void GlobeAndGridFrame(TimedWindow& w) {
    const int width = w.PixelWidth(), height = w.PixelHeight();
    if (!kestrava::BeginGlobeView(w.State().View, width, height)) return;
    glCallList(kestrava::lists::Globe().Globe);
    glCallList(kestrava::lists::Globe().Grid);
    glViewport(0, 0, width, height);
    glLoadIdentity();
    glLineWidth(2);
    glCallList(kestrava::lists::Viewer().WindowFrame);
    glCallList(kestrava::lists::Viewer().NetworkMarks);
    glListBase(kestrava::lists::Globe().GlyphBold);
    glCallList(kestrava::lists::Viewer().StatusLine);
    glLineWidth(1);
    glCallList(kestrava::lists::Viewer().ClientCountBar);
    glPopMatrix();
}

// One frame of the scenario into the back buffer, not shown.
void FrameOf(TimedWindow& w, Scenario scenario) {
    if (scenario == kGlobeAndGrid) {
        GlobeAndGridFrame(w);
        return;
    }
    kestrava::FrameInputs frame{w.State().View,     w.State().Config, w.State().Switches, w.State().Overlay, w.State().Theme, w.State().Model.CurrentNetwork,
                                w.PixelWidth(), w.PixelHeight(), &w.State().Scenes};
    kestrava::DrawScene(frame);
}

QImage BackBuffer(int width, int height) {
    QImage image(width, height, QImage::Format_RGBA8888);
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    return image.mirrored();
}

// Pixels that differ at all, and by more than 8 in a channel.
std::pair<long, long> Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return {-1, -1};
    long any = 0, large = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            any += d > 0;
            large += d > 8;
        }
    return {any, large};
}

}  // namespace

void MeasureFrames(TimedWindow& w, const std::string& saveFolder, const std::string& compareFolder, int rounds) {
    const kestrava::Settings defaults = w.State().Config;
    const View views[] = {{"view 1", {defaults.Views[0].X, defaults.Views[0].Y, defaults.Views[0].Z}},
                          {"view 2", {defaults.Views[1].X, defaults.Views[1].Y, defaults.Views[1].Z}},
                          {"view 3", {defaults.Views[2].X, defaults.Views[2].Y, defaults.Views[2].Z}},
                          {"Frankfurt, zoom 16", {8.57f, -50.03f, 16}}};
    std::printf("frames at %dx%d, CPU time of the whole process (renderer threads included), median of %d "
                "alternated rounds (spread min-max), ratio to the globe-and-grid frame:\n",
                w.PixelWidth(), w.PixelHeight(), rounds);
    for (const View& view : views) {
        std::vector<double> cpu[kScenarioCount], wall[kScenarioCount];
        for (int round = 0; round < rounds; ++round) {
            for (int s = 0; s < kScenarioCount; ++s) {
                const Scenario scenario = static_cast<Scenario>(s);
                Arrange(w, scenario, defaults);
                w.State().View = view.Camera;
                FrameOf(w, scenario);  // settle caches of this scenario
                double wallMs = 0;
                cpu[s].push_back(CpuMilliseconds([&] { wallMs = Milliseconds([&] { FrameOf(w, scenario); }); }));
                wall[s].push_back(wallMs);
            }
        }
        const double base = Median(cpu[kGlobeAndGrid]);
        std::printf("  %s:\n", view.Name);
        for (int s = 0; s < kScenarioCount; ++s) {
            const auto [low, high] = std::minmax_element(cpu[s].begin(), cpu[s].end());
            std::printf("    %-15s CPU %7.1f ms (%.1f-%.1f), wall %7.1f ms, ratio %5.1fx\n", kScenarioNames[s],
                        Median(cpu[s]), *low, *high, Median(wall[s]), Median(cpu[s]) / base);
        }
        // Where the one-network frame's time goes: each of its scene lists
        // alone, and the coastlines, in the view's globe transformation.
        std::string layers;
        // The scene lists, then the coastlines and the country borders (both
        // smoothed, as the frame draws them).
        const char* names[] = {"planes", "plane labels", "airports", "airport labels", "inbounds", "ATC fills",
                               "ATC borders", "ATC labels", "ATC points", "trails", "coastlines", "borders"};
        static_assert(std::size(names) == kestrava::lists::kSceneListCount + 2);
        for (unsigned layer = 0; layer < std::size(names); ++layer) {
            const unsigned list = layer < kestrava::lists::kSceneListCount ? kestrava::lists::Viewer().SceneBase(0) + layer
                                  : layer == kestrava::lists::kSceneListCount
                                      ? kestrava::CoastlineListFor(view.Camera.Zoom, w.PixelHeight())
                                      : kestrava::BorderListFor(view.Camera.Zoom, w.PixelHeight());
            std::vector<double> ms;
            for (int i = 0; i < 3; ++i) {
                w.State().View = view.Camera;
                ms.push_back(CpuMilliseconds([&] {
                    kestrava::BeginGlobeView(w.State().View, w.PixelWidth(), w.PixelHeight());
                    if (layer >= kestrava::lists::kSceneListCount) glEnable(GL_LINE_SMOOTH);
                    if (layer == kestrava::lists::kSceneAtcFills)
                        kestrava::DrawSectorFills(w.State().Scenes.FilledSectors[kestrava::kIvao], w.State().Scenes.Sectors,
                                                  w.State().Theme.Get(kestrava::Colour::CTRFill), w.PixelWidth(),
                                                  w.PixelHeight());
                    const auto& shapes = w.State().Scenes.SceneShapes[kestrava::kIvao];
                    const double margin = 4 + 2 * kestrava::DevicePixels(2);  // as the frame has it
                    if (layer >= kestrava::lists::kSceneListCount)
                        kestrava::DrawSegmentList(list, w.PixelWidth(), w.PixelHeight());
                    else if (layer == kestrava::lists::kScenePlanes)
                        shapes.Planes.Draw(w.PixelWidth(), w.PixelHeight(), margin);
                    else if (layer == kestrava::lists::kSceneInbounds)
                        shapes.Inbounds.Draw(w.PixelWidth(), w.PixelHeight(), margin);
                    else
                        glCallList(list);
                    const auto& labels = w.State().Scenes.SceneLabels[kestrava::kIvao];
                    if (layer == kestrava::lists::kScenePlaneLabels) labels.Planes.Draw(w.PixelWidth(), w.PixelHeight());
                    if (layer == kestrava::lists::kSceneAirportLabels) labels.Airports.Draw(w.PixelWidth(), w.PixelHeight());
                    if (layer == kestrava::lists::kSceneAtcLabels) labels.Stations.Draw(w.PixelWidth(), w.PixelHeight());
                    glDisable(GL_LINE_SMOOTH);
                    glPopMatrix();
                }));
            }
            char part[96];
            std::snprintf(part, sizeof part, "%s%s %.1f", layers.empty() ? "" : ", ", names[layer], Median(ms));
            layers += part;
            // How the frame drew the shapes: their list, or how many alone.
            const auto& shapes = w.State().Scenes.SceneShapes[kestrava::kIvao];
            const kestrava::PlacedShapes* placed = layer == kestrava::lists::kScenePlanes      ? &shapes.Planes
                                                   : layer == kestrava::lists::kSceneInbounds ? &shapes.Inbounds
                                                                                              : nullptr;
            if (placed && placed->LastWhole()) {
                std::snprintf(part, sizeof part, " (the list of %zu)", placed->Size());
                layers += part;
            } else if (placed) {
                std::snprintf(part, sizeof part, " (%zu of %zu drawn)", placed->Size() - placed->LastLeftOut(),
                              placed->Size());
                layers += part;
            }
        }
        std::printf("    lists alone (CPU ms): %s\n", layers.c_str());
        // The sectors filled in batches against their fill lists one by one.
        std::vector<double> batched, oneByOne;
        const std::vector<int>& sectors = w.State().Scenes.FilledSectors[kestrava::kIvao];
        for (int i = 0; i < 5; ++i) {
            w.State().View = view.Camera;
            batched.push_back(CpuMilliseconds([&] {
                kestrava::BeginGlobeView(w.State().View, w.PixelWidth(), w.PixelHeight());
                kestrava::DrawSectorFills(sectors, w.State().Scenes.Sectors, w.State().Theme.Get(kestrava::Colour::CTRFill),
                                          w.PixelWidth(), w.PixelHeight());
                glPopMatrix();
            }));
            oneByOne.push_back(CpuMilliseconds([&] {
                kestrava::BeginGlobeView(w.State().View, w.PixelWidth(), w.PixelHeight());
                for (int s : sectors)
                    if (const auto found = w.State().Scenes.Sectors.find(s); found != w.State().Scenes.Sectors.end())
                        glCallList(found->second.Fill);
                glPopMatrix();
            }));
        }
        std::printf("    %zu sectors filled (CPU ms): in batches %.1f, one by one %.1f\n", sectors.size(),
                    Median(batched), Median(oneByOne));
        for (int s = 0; s < kScenarioCount; ++s) {
            const Scenario scenario = static_cast<Scenario>(s);
            Arrange(w, scenario, defaults);
            w.State().View = view.Camera;
            FrameOf(w, scenario);
            const QImage picture = BackBuffer(w.PixelWidth(), w.PixelHeight());
            std::string name = std::string(view.Name) + " - " + kScenarioNames[s] + ".png";
            for (char& c : name)
                if (c == ' ' || c == ',') c = '_';
            if (!saveFolder.empty() && (!QDir().mkpath(QString::fromStdString(saveFolder)) ||
                                        !picture.save(QString::fromStdString(saveFolder + "/" + name))))
                std::printf("    could not save %s/%s\n", saveFolder.c_str(), name.c_str());
            if (!compareFolder.empty()) {
                const auto [any, large] =
                    Differences(picture, QImage(QString::fromStdString(compareFolder + "/" + name)));
                std::printf("    %-15s against the saved picture: %ld pixels differ, %ld by more than 8\n",
                            kScenarioNames[s], any, large);
            }
        }
    }
    // A drag step: a camera change and its frame, one network at full
    // capacity, the default view.
    Arrange(w, kOneNetwork, defaults);
    w.State().View = views[0].Camera;
    std::vector<double> drag;
    for (int i = 0; i < rounds * 2; ++i) {
        w.State().View.Spin += 0.25f;
        drag.push_back(CpuMilliseconds([&] { w.DrawScene(); }));
    }
    std::printf("drag step (camera change and frame), one network, view 1: CPU %.1f ms median\n", Median(drag));
    w.State().Config = defaults;
    w.State().Model.CurrentNetwork = kestrava::kIvao;
}

}  // namespace benchsupport
