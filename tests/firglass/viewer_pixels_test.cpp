// The sector viewer's window in this process under an X server: loads,
// ticks and the picture they give, read back from the picture's frame.
#include "firglass/layout.h"
#include "firglass/sector_window.h"
#include "formats/text.h"
#include "globe/gl_text.h"
#include "globe/globe_view.h"
#include "globe/sphere.h"
#include "globe/list_names.h"
#include "globe/pixel_scale.h"
#include "globe/sector_lists.h"
#include "firglass_test_support.h"
#include "support/test_support.h"

#include <GL/gl.h>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unordered_map>

using namespace kestrava::firglass;
using firglasstest::Bytes;
using firglasstest::Near;
using firglasstest::Over;
using firglasstest::Rgb;
using firglasstest::WritePair;

namespace {

QApplication& Application() {
    static int argc = 1;
    static char name[] = "firglass_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const Rgb kBlack{0, 0, 0};
const Rgb kGrid = Bytes(0.18f, 0.18f, 0.18f);
const Rgb kSector = Bytes(0.4f, 0.8f, 0.6f);
const Rgb kWhite{255, 255, 255};

class ViewerPixels : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        window = std::make_unique<SectorWindow>();
        ASSERT_TRUE(window->StartUp()) << "no OpenGL";
        const auto start = std::chrono::steady_clock::now();
        while (!window->Picture()->isExposed() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_TRUE(window->Picture()->isExposed());
        folder = testsupport::MakeTempFolder("fg-pixels");
    }
    void TearDown() override {
        if (::testing::Test::HasFailure() && std::getenv("KESTRAVA_SHOTS"))
            Frame().save(QString::fromStdString(std::string(std::getenv("KESTRAVA_SHOTS")) + "/" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                                ".png"));
    }
    void Look(float zoom) {
        window->Picture()->Input.View = kestrava::Camera{0, 0, zoom};
    }
    QImage Frame() { return window->Picture()->Grab(); }
    void Tick(int row, bool on = true) {
        window->SectorList()->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    // The colour at a latitude and longitude, seen straight at 0N 0E.
    Rgb At(const QImage& image, float lat, float lon) {
        const auto [x, y] = firglasstest::PixelOf(lat, lon, window->Picture()->Input.View.Zoom, image.width(),
                                                  image.height());
        const QRgb p = image.pixel(x, y);
        return {qRed(p), qGreen(p), qBlue(p)};
    }
    // Whether any pixel within `radius` of the point has this colour.
    bool Shows(const QImage& image, float lat, float lon, const Rgb& colour, int radius = 3) {
        const auto [cx, cy] = firglasstest::PixelOf(lat, lon, window->Picture()->Input.View.Zoom, image.width(),
                                                    image.height());
        for (int y = cy - radius; y <= cy + radius; ++y)
            for (int x = cx - radius; x <= cx + radius; ++x) {
                if (!image.valid(x, y)) continue;
                const QRgb p = image.pixel(x, y);
                if (Near({qRed(p), qGreen(p), qBlue(p)}, colour)) return true;
            }
        return false;
    }
    // White pixels of the text written from a latitude and longitude (the
    // raster position is the text's baseline on the left).
    int TextPixels(const QImage& image, float lat, float lon, int width) {
        const auto [x0, y0] = firglasstest::PixelOf(lat, lon, window->Picture()->Input.View.Zoom, image.width(),
                                                    image.height());
        int white = 0;
        for (int y = y0 - 10; y <= y0 + 3; ++y)
            for (int x = x0; x < x0 + width; ++x) white += image.valid(x, y) && image.pixel(x, y) == qRgb(255, 255, 255);
        return white;
    }
    // Pixels of the sector's colour anywhere (fill over black or outline).
    int SectorPixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                count += qGreen(p) > qRed(p) + 10 && qGreen(p) > qBlue(p);
            }
        return count;
    }
    // The frame as it was drawn before the ticked sectors were drawn in
    // layers and their ids together: each ticked polygon a display list of
    // its own, called one after the other, then each id from a raster
    // position of its own.
    QImage OldFrame() {
        GlobeSurface& picture = *window->Picture();
        if (!picture.MakeCurrent()) return {};
        kestrava::SectorStyle style;
        style.Fill = kSectorColour;
        style.FillAlpha = kSectorFillAlpha;
        style.BlendFill = true;
        style.Outline = kSectorColour;
        style.OutlineAlpha = kSectorOutlineAlpha;
        std::unordered_map<int, unsigned> polygons;
        for (const kestrava::SectorPolygon& polygon : window->Sectors().Polygons) {
            unsigned& list = polygons[polygon.Number];
            if (!list) list = kestrava::lists::NewNames(1);
            kestrava::BuildSectorLists(list, list, polygon.Points, style);
        }
        const std::vector<unsigned> own = picture.Lists.OwnLists();  // grid, coastlines, borders
        const int w = picture.PixelWidth(), h = picture.PixelHeight();
        kestrava::Camera camera = picture.Input.View;
        if (!kestrava::BeginGlobeView(camera, w, h)) return {};
        glCallList(own[0]);
        glCallList(own[2]);
        kestrava::ScaledLineWidth(1);
        for (int row = 0; row < window->SectorList()->count(); ++row)
            if (window->SectorList()->item(row)->checkState() == Qt::Checked)
                if (const auto found = polygons.find(window->Sectors().Lines[static_cast<size_t>(row)].ListNumber);
                    found != polygons.end())
                    glCallList(found->second);
        glColor3f(kLabelColour.Red, kLabelColour.Green, kLabelColour.Blue);
        for (int row = 0; row < window->SectorList()->count(); ++row) {
            if (window->SectorList()->item(row)->checkState() != Qt::Checked) continue;
            const std::string& id = window->Sectors().Lines[static_cast<size_t>(row)].Id;
            const kestrava::KeyedIndex::Items* entry = window->Sectors().Table.Find(id);
            if (!entry || entry->size() < 4) continue;
            const float lat = static_cast<float>(kestrava::ReadNumber((*entry)[2]));
            const float lon = static_cast<float>(kestrava::ReadNumber((*entry)[3]));
            glRasterPos3f(kestrava::GlobeX(lat, lon), kestrava::GlobeY(lat), kestrava::GlobeZ(lat, lon));
            kestrava::DrawGlyphs(picture.Lists.GlyphBase(), id);
        }
        glCallList(own[1]);
        glPopMatrix();
        QImage image(w, h, QImage::Format_RGBA8888);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
        for (const auto& [number, list] : polygons) glDeleteLists(list, 1);
        return image.mirrored();
    }
    // Pixels that differ between two frames.
    static int Differing(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return -1;
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }
    std::unique_ptr<SectorWindow> window;
    std::string folder;
};

const firglasstest::Polygon kLShape{700, {{-4, -4}, {-4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, -4}, {-4, -4}}};

}  // namespace

TEST_F(ViewerPixels, StartsWithTheGridAloneAndTheWelcome) {
    EXPECT_EQ(window->windowTitle().toStdString(), kWindowTitle);
    EXPECT_EQ(window->StatusText(), "Welcome to the Kestrava Sector Viewer");
    EXPECT_EQ(window->Picture()->Input.View.Zoom, 0.5f);
    const QImage image = Frame();
    EXPECT_TRUE(Shows(image, 0, 10, kGrid));    // a meridian
    EXPECT_TRUE(Shows(image, 20, 5, kGrid));    // a parallel
    EXPECT_TRUE(Near(At(image, 5, 5), kBlack));
    EXPECT_EQ(SectorPixels(image), 0);
    EXPECT_EQ(window->SectorList()->count(), 0);
}

TEST_F(ViewerPixels, ATickedLShapeFillsItsInsideNotItsNotchOverTheGridWithItsIdInWhite) {
    window->LoadSectors(QString::fromStdString(WritePair(folder, {kLShape}, {"LSHAPE:L sector:ZZ:2.5:1.2:700"})));
    EXPECT_EQ(window->StatusText(), "firdisplay.dat loaded (1 polygons, 7 edges)");
    ASSERT_EQ(window->SectorList()->count(), 1);
    EXPECT_EQ(window->SectorList()->item(0)->text().toStdString(), "LSHAPE / L sector (700)");
    Look(5);
    const QImage unticked = Frame();
    EXPECT_EQ(SectorPixels(unticked), 0);

    Tick(0);
    const QImage image = Frame();
    const Rgb fill = Over(kSector, 0.3f, kBlack);
    EXPECT_TRUE(Near(At(image, -2, -2), fill));
    EXPECT_TRUE(Near(At(image, -2, 2.5f), fill));
    EXPECT_TRUE(Near(At(image, 2, -2.5f), fill));
    EXPECT_TRUE(Near(At(image, 3, 3), kBlack));     // the notch
    EXPECT_TRUE(Near(At(image, -5, -5), kBlack));   // outside
    // Over the grid the fill lets the line show through.
    EXPECT_TRUE(Shows(image, -2, 0, Over(kSector, 0.3f, kGrid), 2));
    EXPECT_TRUE(Shows(image, 5, 0, kGrid, 2));
    // The outline at alpha 0.6 along the edges.
    EXPECT_TRUE(Shows(image, -4, -1.5f, Over(kSector, 0.6f, kBlack), 2) ||
                Shows(image, -4, -1.5f, Over(kSector, 0.6f, fill), 2));
    // The id in white from its label position (in the notch) to the right.
    EXPECT_GT(TextPixels(image, 2.5f, 1.2f, 40), 15);

    Tick(0, false);
    EXPECT_EQ(SectorPixels(Frame()), 0);
}

TEST_F(ViewerPixels, ASectorOnTheFarSideDrawsNothing) {
    window->LoadSectors(QString::fromStdString(
        WritePair(folder, {{5, {{-20, 160}, {-20, -160}, {20, -160}, {20, 160}, {-20, 160}}}},
                  {"BACK:Far side:ZZ:0:180:5"})));
    const QImage before = Frame();
    Tick(0);
    EXPECT_EQ(Frame(), before);
    // Turned round, it shows.
    window->Picture()->Input.View.Spin = 180;
    EXPECT_GT(SectorPixels(Frame()), 1000);
}

TEST_F(ViewerPixels, PolygonNumbersOfTheViewersOwnListsLeaveGridLinesAndLabelsIntact) {
    const std::string coast = folder + "/coastline.dat";
    testsupport::WriteFile(coast, "-30:-30\r\n-30:30\r\nend\r\n");
    const std::string borders = folder + "/countries.dat";
    testsupport::WriteFile(borders, "30:-20\r\n30:30\r\n");
    window->LoadLines(LineFile::Coastlines, QString::fromStdString(coast));
    EXPECT_EQ(window->StatusText(), "coastline.dat loaded (1 lines)");
    window->LoadLines(LineFile::Countries, QString::fromStdString(borders));

    // Sectors in a row, under numbers of no concern first, then under the
    // numbers hand-made and converted files use, those of the viewer's own
    // lists and those of the glyphs the labels are written with: the
    // picture must not change.
    const int glyphs = static_cast<int>(window->Picture()->Lists.GlyphBase());
    std::vector<int> numbers{1, 2, 3, 10, 8300, 8554, glyphs + 'A', glyphs + 'B', glyphs + 'S'};
    for (unsigned own : window->Picture()->Lists.OwnLists()) numbers.push_back(static_cast<int>(own));
    std::vector<int> harmlessNumbers;
    for (size_t i = 0; i < numbers.size(); ++i) harmlessNumbers.push_back(50000 + static_cast<int>(i));
    const auto loadAndTickAll = [&](const std::vector<int>& numbered) {
        std::vector<firglasstest::Polygon> polygons;
        std::vector<std::string> lines;
        for (size_t i = 0; i < numbered.size(); ++i) {
            const float lon = -36 + 5.5f * static_cast<float>(i);
            polygons.push_back({numbered[i], {{-5, lon}, {-5, lon + 3}, {5, lon + 3}, {5, lon}, {-5, lon}}});
            lines.push_back("SAB" + std::to_string(i) + ":Sector:ZZ:7:" + std::to_string(lon) + ":" +
                            std::to_string(numbered[i]));
        }
        window->LoadSectors(QString::fromStdString(WritePair(testsupport::MakeTempFolder("fg-numbers"), polygons, lines)));
        ASSERT_EQ(window->SectorList()->count(), static_cast<int>(numbered.size()));
        for (int row = 0; row < window->SectorList()->count(); ++row) Tick(row);
    };
    Look(0.9f);
    loadAndTickAll(harmlessNumbers);
    const QImage harmless = Frame();
    loadAndTickAll(numbers);
    EXPECT_EQ(Frame(), harmless);

    const QImage image = Frame();
    EXPECT_TRUE(Shows(image, 20, 10, kGrid, 2));
    EXPECT_TRUE(Shows(image, -30, 5, Bytes(0.3f, 0.4f, 0.6f), 2));
    EXPECT_TRUE(Shows(image, 30, 5, Bytes(0.4f, 0.3f, 0.5f), 2));
    for (size_t i = 0; i < numbers.size(); ++i) {
        const float lon = -36 + 5.5f * static_cast<float>(i);
        EXPECT_TRUE(Near(At(image, 2, lon + 1.5f), Over(kSector, 0.3f, kBlack)) ||
                    Near(At(image, 2, lon + 1), Over(kSector, 0.3f, kBlack)))
            << numbers[i];
        EXPECT_GT(TextPixels(image, 7, lon, 25), 10) << numbers[i];  // its id above it
    }
}

TEST_F(ViewerPixels, AReloadReplacesEverythingAndALineWithoutItsPolygonDrawsOnlyItsLabel) {
    Look(5);
    const QImage empty = Frame();
    window->LoadSectors(QString::fromStdString(WritePair(folder, {kLShape}, {"ONE:First:ZZ:2:2:700", "TWO:Second:ZZ:2:2:700"})));
    Tick(0);
    ASSERT_GT(SectorPixels(Frame()), 1000);

    // The second pair names 701, which it has no polygon for, keeps 700 only
    // under a line of its own, and has a polygon 702 in view that no ticked
    // line asks for: nothing of the first pair stays drawn.
    const std::string second = testsupport::MakeTempFolder("fg-second");
    window->LoadSectors(QString::fromStdString(
        WritePair(second, {{702, {{-1, -3}, {-1, -1}, {1, -1}, {1, -3}, {-1, -3}}}},
                  {"ONE:Again:ZZ:2:2:701", "MISS:Nothing:ZZ:-2:2:700", "SEEN:Later:ZZ:0:-2:702"})));
    ASSERT_EQ(window->SectorList()->count(), 3);
    EXPECT_EQ(window->SectorList()->item(0)->text().toStdString(), "ONE / Again (701)");
    EXPECT_EQ(window->SectorList()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Frame(), empty);

    Tick(0);
    const QImage label = Frame();
    EXPECT_EQ(SectorPixels(label), 0);
    EXPECT_GT(TextPixels(label, 2, 2, 30), 10);
    Tick(1);  // 700 went with the first pair: its label only
    EXPECT_EQ(SectorPixels(Frame()), 0);
    EXPECT_GT(TextPixels(Frame(), -2, 2, 30), 10);
    Tick(2);
    EXPECT_TRUE(Near(At(Frame(), 0.5f, -2), Over(kSector, 0.3f, kBlack)));
}

TEST_F(ViewerPixels, AFileThatCannotBeReadIsNamedAndEarlierDataStay) {
    window->LoadSectors(QString::fromStdString(WritePair(folder, {kLShape}, {"ONE:First:ZZ:2:2:700"})));
    Tick(0);
    Look(5);
    const QImage before = Frame();

    const std::string broken = testsupport::MakeTempFolder("fg-broken");
    testsupport::WriteFile(broken + "/firdisplay.dat", firglasstest::DisplayText({{1, {{0, 0}, {1, 1}}}}));
    std::filesystem::create_directory(broken + "/firlist.dat");
    window->LoadSectors(QString::fromStdString(broken + "/firlist.dat"));
    EXPECT_EQ(window->StatusText(), "Could not read " + broken + "/firlist.dat");
    EXPECT_EQ(window->SectorList()->count(), 1);
    EXPECT_EQ(Frame(), before);

    auto* coastButton = window->findChild<QPushButton*>("cmdCoastlines");
    ASSERT_NE(coastButton, nullptr);
    window->LoadLines(LineFile::Coastlines, QString::fromStdString(broken + "/firlist.dat"));
    EXPECT_EQ(window->StatusText(), "Could not read " + broken + "/firlist.dat");
    EXPECT_TRUE(coastButton->isEnabled());
    testsupport::WriteFile(folder + "/coast.dat", "1:1\r\n2:2\r\n3:3\r\n");
    window->LoadLines(LineFile::Coastlines, QString::fromStdString(folder + "/coast.dat"));
    EXPECT_EQ(window->StatusText(), "coastline.dat loaded (2 lines)");
    EXPECT_FALSE(coastButton->isEnabled());
}

TEST_F(ViewerPixels, SectorsDrawnInLayersGiveThePixelsOfDrawingThemOneByOne) {
    // Overlapping squares, a concave L over them, a self-crossing bow tie,
    // a sector across the edge of the visible half, one wholly on the far
    // side, one of three points, and the same polygon under two lines, so
    // blending order, odd coverage and clipping all count.
    const std::vector<firglasstest::Polygon> polygons{
        {1, {{-10, -10}, {-10, 10}, {10, 10}, {10, -10}, {-10, -10}}},
        {2, {{-5, -5}, {-5, 15}, {15, 15}, {15, -5}, {-5, -5}}},
        {3, {{-8, -8}, {-8, 8}, {0, 8}, {0, 0}, {8, 0}, {8, -8}, {-8, -8}}},
        {4, {{20, -20}, {30, -5}, {20, -5}, {30, -20}, {20, -20}}},
        {5, {{-30, 70}, {-30, 110}, {30, 110}, {30, 70}, {-30, 70}}},
        {6, {{-20, 160}, {-20, -160}, {20, -160}, {20, 160}, {-20, 160}}},
        {7, {{-25, 30}, {-15, 40}, {-25, 50}}},
    };
    window->LoadSectors(QString::fromStdString(
        WritePair(folder, polygons,
                  {"A:a:ZZ:0:0:1", "B:b:ZZ:5:5:2", "C:c:ZZ:-4:-4:3", "D:d:ZZ:25:-12:4", "E:e:ZZ:0:90:5",
                   "F:f:ZZ:0:180:6", "G:g:ZZ:-20:40:7", "A2:a again:ZZ:2:2:1"})));
    ASSERT_EQ(window->SectorList()->count(), 8) << window->StatusText();
    for (int row = 0; row < 8; ++row) Tick(row);
    for (const kestrava::Camera& view : {kestrava::Camera{0, 0, 0.9f}, kestrava::Camera{-25, 10, 0.6f},
                                         kestrava::Camera{-5, -5, 3.0f}}) {
        window->Picture()->Input.View = view;
        const QImage layered = Frame();
        ASSERT_GT(SectorPixels(layered), 1000);
        EXPECT_EQ(Differing(layered, OldFrame()), 0) << view.Spin << " " << view.Tilt << " " << view.Zoom;
    }
}

TEST_F(ViewerPixels, TheShippedSectorsAllTickedGiveThePixelsOfDrawingThemOneByOne) {
    const std::string list = testsupport::SourcePath("data/firlist.dat");
    window->LoadSectors(QString::fromStdString(list));
    ASSERT_GT(window->SectorList()->count(), 1000);
    {
        const QSignalBlocker quiet(window->SectorList());
        for (int row = 1; row < window->SectorList()->count(); ++row) Tick(row);
    }
    Tick(0);
    for (const kestrava::Camera& view : {kestrava::Camera{0, 0, 0.5f}, kestrava::Camera{-100, 35, 1.2f},
                                         kestrava::Camera{20, 50, 6.0f}}) {
        window->Picture()->Input.View = view;
        EXPECT_EQ(Differing(Frame(), OldFrame()), 0) << view.Spin << " " << view.Tilt << " " << view.Zoom;
    }
}
