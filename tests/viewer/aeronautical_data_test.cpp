#include "kestrav/map/aeronautical_data.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace kestrava;
using testsupport::WriteFile;

namespace {

struct RecordingDisplay : DisplayHooks {
    NetworkModel* model = nullptr;
    std::vector<std::string> statusLines;
    int frames = 0;
    void BuildStatusLine() override { statusLines.push_back(model->StatusText); }
    void DrawScene() override { ++frames; }
};

// A program folder whose data/ holds the files.
FilePlaces MakeDataFolder(bool withSupplement) {
    const std::string program = testsupport::MakeTempFolder("aero");
    const std::string folder = program + "/data";
    WriteFile(folder + "/firdisplay.dat",
              "DISPLAY_LIST_612\r\n1:1\r\n1:2\r\n2:2\r\n1:1\r\nDISPLAY_LIST_613\r\n5:5\r\n5:6\r\n6:6\r\n5:5\r\n"
              "DISPLAY_LIST_END\r\n9:9\r\n");
    if (withSupplement)
        WriteFile(folder + "/firdisplay.sup", "DISPLAY_LIST_613\r\n7:7\r\n7:8\r\n8:8\r\n7:7\r\n"
                                              "DISPLAY_LIST_900\r\n0:0\r\n0:1\r\n1:1\r\nDISPLAY_LIST_END\r\n");
    WriteFile(folder + "/airports.dat",
              "LHBP:Budapest Ferenc Liszt:Budapest:HU:47.43:19.26\r\n\r\nSHORT:line:only\r\n"
              "LHBP:Duplicate:X:HU:0:0\r\nEDDF:Frankfurt Main:Frankfurt:DE:50.03:8.57\r\n");
    WriteFile(folder + "/firlist.dat", "LHCC:Budapest:HU:47.2:19.1:612\r\nLHCC_O:Oceanic:HU:1:1:612\r\n");
    return FilePlaces{program, {}, {}};
}

}  // namespace

TEST(AeronauticalData, LoadsPolygonsSupplementAirportsAndSectorsInOrder) {
    NetworkModel model;
    RecordingDisplay display;
    display.model = &model;
    std::map<int, std::vector<GeoPoint>> compiled;
    std::vector<int> order;
    const auto compile = [&](int n, const std::vector<GeoPoint>& points) {
        compiled[n] = points;
        order.push_back(n);
    };
    AeronauticalLoad load = LoadSectorsAndAirports(model, display, MakeDataFolder(true), compile);
    EXPECT_TRUE(load.Missing.empty());
    EXPECT_EQ(order, (std::vector<int>{612, 613, 613, 900}));  // nothing for DISPLAY_LIST_END
    EXPECT_FLOAT_EQ(compiled[613][0].Latitude, 7);            // the supplement replaced it
    EXPECT_EQ(display.statusLines,
              (std::vector<std::string>{"Loading components...", "Loading aeronautical data..."}));
    EXPECT_EQ(display.frames, 2);
    EXPECT_EQ(model.Airports.Size(), 2u);
    ASSERT_TRUE(model.Airports.Has("lhbp"));
    EXPECT_EQ(model.Airports.Find("lhbp")->Name, "Budapest Ferenc Liszt");  // first entry kept
    EXPECT_EQ(model.Airports.Find("LHBP")->Latitude, 47.43f);
    ASSERT_TRUE(model.Sectors.Has("LHCC_O"));
    EXPECT_EQ(model.Sectors.Find("LHCC_O")->Polygon, 612);

    // A second load within the run changes nothing.
    order.clear();
    load = LoadSectorsAndAirports(model, display, MakeDataFolder(false), compile);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(load.Polygons, 0);
}

TEST(AeronauticalData, MissingFilesAreNamedAndTheLoadGoesOn) {
    NetworkModel model;
    RecordingDisplay display;
    display.model = &model;
    const std::string folder = testsupport::MakeTempFolder("aero-missing");
    WriteFile(folder + "/data/firlist.dat", "EDMM:Munich:DE:48:11:7\r\n");
    int polygons = 0;
    AeronauticalLoad load = LoadSectorsAndAirports(
        model, display, FilePlaces{folder, {}, {}}, [&](int, const std::vector<GeoPoint>&) { ++polygons; });
    EXPECT_EQ(polygons, 0);
    EXPECT_EQ(load.Missing, (std::vector<std::string>{"firdisplay.dat", "airports.dat"}));
    EXPECT_NE(std::find(display.statusLines.begin(), display.statusLines.end(),
                        "airports.dat not found: no airports"),
              display.statusLines.end());
    EXPECT_EQ(load.Problems, (std::vector<std::string>{"firdisplay.dat not found: no sector outlines",
                                                       "airports.dat not found: no airports"}));
    EXPECT_EQ(StartUpStatus(load.Problems),
              "firdisplay.dat not found: no sector outlines; airports.dat not found: no airports");
    EXPECT_EQ(StartUpStatus({}), "Ready");
    EXPECT_TRUE(model.Sectors.Has("edmm"));
}

TEST(AeronauticalData, AnUnreadableFileAndADamagedOneSaySo) {
    NetworkModel model;
    RecordingDisplay display;
    display.model = &model;
    const std::string folder = testsupport::MakeTempFolder("aero-damaged");
    std::filesystem::create_directories(folder + "/data/firdisplay.dat");  // there, but no file to read
    // Two of four lines hold too few fields: half the file is read.
    WriteFile(folder + "/data/airports.dat",
              "LHBP:Budapest:HU:X:47.43:19.26\r\nbroken line\r\nEDDM:Munich:DE:X:48.35:11.78\r\nLOWW:Wien\r\n");
    WriteFile(folder + "/data/firlist.dat", "EDMM:Munich:DE:48:11:7\r\n\r\n");
    AeronauticalLoad load =
        LoadSectorsAndAirports(model, display, FilePlaces{folder, {}, {}}, [](int, const std::vector<GeoPoint>&) {});
    EXPECT_EQ(load.Problems, (std::vector<std::string>{"firdisplay.dat could not be read: no sector outlines",
                                                       "airports.dat is damaged: 2 of 4 lines read"}));
    EXPECT_EQ(model.Airports.Size(), 2u);
    EXPECT_TRUE(model.Sectors.Has("EDMM"));  // a blank line is no damage
}
