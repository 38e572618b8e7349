// The sector viewer end to end: the program started from a copied program
// folder and driven through the X server with real pointer and key input,
// its picture read back from the screen.
#include "firforge/conversion.h"
#include "firglass/layout.h"
#include "formats/sector_files.h"
#include "formats/text.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace testsupport;
using kestrava::Box;
using kestrava::firglass::LayoutFor;
using kestrava::firglass::WindowLayout;

namespace {

const char* const kTitle = "Kestrava Sector Viewer";

void Settle(int ms = 300) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The viewer started from a copy of the program folder, with its layout.
struct Viewer {
    explicit Viewer(const std::string& folder) : process(folder + "/firglass") {}
    bool Start() {
        if (!process.WaitForWindow(kTitle, 30)) return false;
        int w = 0, h = 0;
        if (!process.WindowSize(w, h)) return false;
        layout = LayoutFor(w, h);
        Settle(500);
        return true;
    }
    void Click(const Box& box) { process.ClickAt(box.CentreX(), box.CentreY()); }
    // Ticks or unticks a line of the list by a click on its box.
    void Tick(int row) { process.ClickAt(layout.List.X + kestrava::firglass::kTickOffset, layout.RowCentreY(row)); }
    // Counts pixels of a box for which `test` holds.
    template <typename Test>
    int Count(const WindowImage& image, const Box& box, Test test) {
        int n = 0;
        for (int y = box.Y; y < box.Y + box.Height; ++y)
            for (int x = box.X; x < box.X + box.Width; ++x) n += test(image.Pixel(x, y));
        return n;
    }
    WindowImage Shot(const std::string& name) {
        Settle();
        WindowImage image = process.Image();
        if (const char* folder = std::getenv("KESTRAVA_SHOTS")) image.SavePng(std::string(folder) + "/firglass-" + name + ".png");
        return image;
    }
    // The sector's green over black or over the grid.
    int SectorPixels(const WindowImage& image) {
        return Count(image, layout.Picture, [](std::array<int, 3> p) { return p[1] > p[0] + 20 && p[1] > p[2]; });
    }
    int ColourPixels(const WindowImage& image, std::array<int, 3> colour) {
        return Count(image, layout.Picture, [colour](std::array<int, 3> p) {
            return std::abs(p[0] - colour[0]) < 8 && std::abs(p[1] - colour[1]) < 8 && std::abs(p[2] - colour[2]) < 8;
        });
    }
    std::vector<std::uint32_t> Pixels(const WindowImage& image, const Box& box) {
        std::vector<std::uint32_t> pixels;
        for (int y = box.Y; y < box.Y + box.Height; ++y)
            for (int x = box.X; x < box.X + box.Width; ++x) pixels.push_back(image.Pixels[static_cast<size_t>(y * image.Width + x)]);
        return pixels;
    }
    // Chooses a file in the dialog the button opens.
    bool Load(const Box& button, const std::string& title, const std::string& path) {
        Click(button);
        const bool chosen = process.ChooseFile(title, path);
        process.WaitForWindow(kTitle, 10);
        Settle(500);
        return chosen;
    }

    ProgramProcess process;
    WindowLayout layout;
};

const std::array<int, 3> kGrid{46, 46, 46};
const std::array<int, 3> kCoast{77, 102, 153};
const std::array<int, 3> kBorder{102, 77, 128};

}  // namespace

TEST(FirglassWindow, LoadsTheShippedPairTicksDragsZoomsReadsPositionsAndRefusesAMissingFirdisplay) {
    const std::string folder = CopyProgramFolder("firglass");
    Viewer viewer(folder);
    ASSERT_TRUE(viewer.Start()) << "no window";
    const WindowImage start = viewer.Shot("start");
    EXPECT_GT(viewer.ColourPixels(start, kGrid), 1000) << "no grid";
    EXPECT_EQ(viewer.SectorPixels(start), 0);

    // The shipped pair through the dialog; the first line is ADR, Adria Radar.
    ASSERT_TRUE(viewer.Load(viewer.layout.Sectors, "Browse for firlist.dat", folder + "/data/firlist.dat"));
    const WindowImage loaded = viewer.Shot("loaded");
    EXPECT_GT(viewer.Count(loaded, viewer.layout.List, [](std::array<int, 3> p) { return p[0] < 80; }), 200)
        << "no list lines";
    EXPECT_EQ(viewer.SectorPixels(loaded), 0);
    viewer.Tick(0);
    const WindowImage ticked = viewer.Shot("ticked");
    EXPECT_GT(viewer.SectorPixels(ticked), 30);
    EXPECT_GT(viewer.ColourPixels(ticked, {255, 255, 255}), 5) << "no id";
    viewer.Tick(0);
    EXPECT_EQ(viewer.SectorPixels(viewer.Shot("unticked")), 0);
    viewer.Tick(0);

    // The readout: a point on the globe changes the status line, a point off
    // it leaves it as it is.
    const Box& pic = viewer.layout.Picture;
    const Box& status = viewer.layout.Status;
    const auto welcome = viewer.Pixels(viewer.Shot("welcome"), status);
    viewer.process.MoveTo(pic.CentreX() + 40, pic.CentreY() - 60);
    const auto first = viewer.Pixels(viewer.Shot("hover1"), status);
    EXPECT_NE(first, welcome);
    viewer.process.MoveTo(pic.CentreX() - 90, pic.CentreY() + 30);
    const auto second = viewer.Pixels(viewer.Shot("hover2"), status);
    EXPECT_NE(second, first);
    viewer.process.MoveTo(pic.X + 5, pic.Y + 5);
    EXPECT_EQ(viewer.Pixels(viewer.Shot("hover-off"), status), second);

    // A left drag turns the globe, the wheel zooms in.
    const WindowImage before = viewer.Shot("before-drag");
    viewer.process.DragFromTo(pic.CentreX(), pic.CentreY(), pic.CentreX() + 120, pic.CentreY() + 40);
    const WindowImage dragged = viewer.Shot("dragged");
    EXPECT_NE(viewer.Pixels(dragged, pic), viewer.Pixels(before, pic));
    viewer.process.MoveTo(pic.CentreX(), pic.CentreY());
    viewer.process.Wheel(4);
    const WindowImage zoomed = viewer.Shot("zoomed");
    // Zoomed in, the grid lines lie further apart: fewer grid pixels.
    EXPECT_LT(viewer.ColourPixels(zoomed, kGrid), viewer.ColourPixels(dragged, kGrid) * 3 / 4);

    // A list alone: the box, and nothing loaded.
    const std::string alone = MakeTempFolder("firglass-alone");
    std::filesystem::copy_file(folder + "/data/firlist.dat", alone + "/firlist.dat");
    viewer.Click(viewer.layout.Sectors);
    ASSERT_TRUE(viewer.process.ChooseFile("Browse for firlist.dat", alone + "/firlist.dat"));
    ASSERT_TRUE(viewer.process.WaitForWindow("Error", 10)) << "no message box";
    EXPECT_EQ(viewer.process.CopyText(), "firdisplay.dat not found in same folder as firlist.dat");
    viewer.process.TypeKey(XK_Return);
    ASSERT_TRUE(viewer.process.WaitForWindowGone("Error", 5));
    ASSERT_TRUE(viewer.process.WaitForWindow(kTitle, 10));
    EXPECT_EQ(viewer.SectorPixels(viewer.Shot("after-box")), viewer.SectorPixels(zoomed));

    ASSERT_TRUE(viewer.process.RequestClose());
    EXPECT_EQ(viewer.process.WaitForExit(20), 0);
}

TEST(FirglassWindow, CoastlinesAndCountriesLoadOnceEachAndCancellingLoadsNothing) {
    const std::string folder = CopyProgramFolder("firglass-lines");
    Viewer viewer(folder);
    ASSERT_TRUE(viewer.Start());
    EXPECT_EQ(viewer.ColourPixels(viewer.Shot("lines-start"), kCoast), 0);

    // Cancelled: nothing, and the button still opens its dialog.
    viewer.Click(viewer.layout.Coastlines);
    ASSERT_TRUE(viewer.process.WaitForWindow("Browse for coastline.dat", 20));
    viewer.process.TypeKey(XK_Escape);
    ASSERT_TRUE(viewer.process.WaitForWindowGone("Browse for coastline.dat", 5));
    viewer.process.WaitForWindow(kTitle, 10);
    EXPECT_EQ(viewer.ColourPixels(viewer.Shot("lines-cancelled"), kCoast), 0);

    ASSERT_TRUE(viewer.Load(viewer.layout.Coastlines, "Browse for coastline.dat", folder + "/data/coastline.dat"));
    ASSERT_TRUE(viewer.Load(viewer.layout.Countries, "Browse for countries.dat", folder + "/data/countries.dat"));
    const WindowImage lines = viewer.Shot("lines");
    EXPECT_GT(viewer.ColourPixels(lines, kCoast), 2000);
    EXPECT_GT(viewer.ColourPixels(lines, kBorder), 500);

    // Both buttons are disabled now: a click opens no dialog.
    viewer.Click(viewer.layout.Coastlines);
    viewer.Click(viewer.layout.Countries);
    Settle(1500);
    EXPECT_FALSE(viewer.process.HasWindow("Browse for coastline.dat"));
    EXPECT_FALSE(viewer.process.HasWindow("Browse for countries.dat"));
    ASSERT_TRUE(viewer.process.RequestClose());
    EXPECT_EQ(viewer.process.WaitForExit(20), 0);
}

TEST(FirglassWindow, AnIvAePairConvertedFromRealDataWithNumbersPast8300ShowsItsSectorsAndLabels) {
    SkipWithoutRealData();
    const std::string folder = CopyProgramFolder("firglass-ivae");
    const std::string converted = MakeTempFolder("firglass-ivae-pair");
    kestrava::ConversionRequest request;
    request.Source = kestrava::SourceType::IvAe;
    request.InputPath = RealDataPath("ivae-firs-fir-dat/IVAO-status/firs.dat");
    request.OutputFolder = converted;
    kestrava::NavaidTable navaids;
    // The list counter then starts at 8289: numbers run through 8300..8554.
    ASSERT_TRUE(kestrava::Convert(request, navaids, [](const std::string&) {}, [] { return 0.961875; }));

    // The first line within the visible rows whose label faces the viewer.
    std::vector<std::string> lines;
    ASSERT_TRUE(kestrava::ReadLines(converted + "/firlist.dat", lines));
    int row = -1;
    bool past8300 = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        kestrava::KeyedLine line;
        if (!kestrava::SplitKeyedLine(lines[i], line)) continue;
        const double lat = kestrava::ReadNumber(line.Items[2]), lon = kestrava::ReadNumber(line.Items[3]);
        const int number = kestrava::ReadListNumber(line.Items[4]);
        past8300 = past8300 || (number >= 8300 && number <= 8554);
        if (row < 0 && i < 20 && std::abs(lat) < 50 && std::abs(lon) < 50 && number >= 8300 && number <= 8554)
            row = static_cast<int>(i);
    }
    ASSERT_TRUE(past8300);
    ASSERT_GE(row, 0) << "no front-facing sector among the first lines";

    Viewer viewer(folder);
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Load(viewer.layout.Sectors, "Browse for firlist.dat", converted + "/firlist.dat"));
    viewer.Tick(row);
    const WindowImage ticked = viewer.Shot("ivae");
    EXPECT_GT(viewer.SectorPixels(ticked), 30);
    EXPECT_GT(viewer.ColourPixels(ticked, {255, 255, 255}), 5) << "no id";
    EXPECT_GT(viewer.ColourPixels(ticked, kGrid), 1000) << "the grid is gone";
    ASSERT_TRUE(viewer.process.RequestClose());
    EXPECT_EQ(viewer.process.WaitForExit(20), 0);
}

TEST(FirglassWindow, WithoutOpenGLItSaysSoAndEnds) {
    const std::string folder = CopyProgramFolder("firglass-nogl");
    // The platform then offers no OpenGL at all.
    ProgramProcess viewer(folder + "/firglass", {"QT_XCB_GL_INTEGRATION=none"});
    ASSERT_TRUE(viewer.WaitForWindow("Error", 30)) << "no message box";
    EXPECT_EQ(viewer.CopyText(), "OpenGL environment could not be set up");
    EXPECT_FALSE(viewer.HasWindow(kTitle));
    viewer.TypeKey(XK_Return);
    EXPECT_EQ(viewer.WaitForExit(30), 1);
}
