#include "formats/ini_file.h"
#include "support/test_support.h"
#include "support/program_process.h"
#include "support/gzip_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

using namespace testsupport;

TEST(ViewerExit, ClosingThroughTheWindowSystemSavesSettingsAndFriends) {
    const std::string folder = CopyProgramFolder("exit");
    WriteFile(folder + "/kestrav.ini",
              "; kept as written\r\n[User]\r\nIVAO_ID=654321\r\n[Display]\r\nWindowWidth=900\r\n"
              "WindowHeight=650\r\nWindowLeft=10\r\nWindowTop=20\r\n[Network]\r\nProxy=me:pw@h:1\r\n"
              "DownloadMinutes=45\r\n[Zoom]\r\nZ3=43\r\n[Extra]\r\nmine=1\r\n");
    WriteFile(folder + "/data/friends.dat", "111111\r\n\"222222\"\r\n");

    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30)) << "no viewer window";
    ASSERT_TRUE(viewer.RequestClose());
    ASSERT_EQ(viewer.WaitForExit(30), 0);

    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("User", "IVAO_ID", ""), "654321");
    EXPECT_EQ(ini.Get("User", "VATSIM_ID", ""), "800000");
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "900");
    EXPECT_EQ(ini.Get("Display", "WindowHeight", ""), "650");
    EXPECT_EQ(ini.Get("Display", "WindowLeft", ""), "10");
    EXPECT_EQ(ini.Get("Display", "WindowTop", ""), "20");
    EXPECT_EQ(ini.Get("Network", "DownloadMinutes", ""), "30");
    EXPECT_EQ(ini.Get("Network", "Proxy", ""), "me:pw@h:1");
    EXPECT_FALSE(ini.Find("Network", "TextForce").has_value());
    EXPECT_EQ(ini.Get("Zoom", "Z3", ""), "43");
    EXPECT_EQ(ini.Get("Zoom", "X1", ""), "1334");
    EXPECT_EQ(ini.Get("Map", "ShowInbounds", ""), "0");
    EXPECT_EQ(ini.Get("Extra", "mine", ""), "1");
    EXPECT_EQ(ReadFile(folder + "/kestrav.ini").rfind("; kept as written\r\n", 0), 0u);
    EXPECT_EQ(ReadFile(folder + "/data/friends.dat"), "111111\r\n222222\r\n");
}

TEST(ViewerStart, ASecondStartInTheSameFolderEndsSilently) {
    const std::string folder = CopyProgramFolder("single");
    ProgramProcess first(folder + "/kestrav");
    ASSERT_TRUE(first.WaitForWindow("Kestrava", 30));
    ProgramProcess second(folder + "/kestrav");
    EXPECT_EQ(second.WaitForExit(20), 0);
    // Another installation is not blocked by the first one.
    const std::string other = CopyProgramFolder("single-other");
    ProgramProcess third(other + "/kestrav");
    EXPECT_TRUE(third.Running());
    third.WaitForExit(1);
    EXPECT_TRUE(third.Running());
    first.RequestClose();
    EXPECT_EQ(first.WaitForExit(30), 0);
}

TEST(ViewerStart, StartsWithoutSettingsThemeOrMapData) {
    const std::string folder = CopyProgramFolder("bare");
    std::filesystem::remove_all(folder + "/colours");
    std::filesystem::remove(folder + "/data/coastline.dat");
    std::filesystem::remove(folder + "/data/countries.dat");
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(viewer.RequestClose());
    ASSERT_EQ(viewer.WaitForExit(30), 0);
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Display", "ColourTheme", ""), "default.dc");
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "800");
}

TEST(ViewerStart, WithoutOpenGLItSaysSoAndEndsWithoutSaving) {
    const std::string folder = CopyProgramFolder("nogl");
    // The platform then offers no OpenGL at all.
    setenv("QT_XCB_GL_INTEGRATION", "none", 1);
    ProgramProcess viewer(folder + "/kestrav");
    unsetenv("QT_XCB_GL_INTEGRATION");
    ASSERT_TRUE(viewer.WaitForWindow("Error", 30)) << "no message box";
    ASSERT_TRUE(viewer.RequestClose());
    EXPECT_EQ(viewer.WaitForExit(30), 1);
    EXPECT_FALSE(std::filesystem::exists(folder + "/kestrav.ini"));
}

TEST(ViewerExit, AnUnreadableSettingsFileIsNeverReplacedAndAFailedSaveIsSaid) {
    const std::string folder = CopyProgramFolder("unsaved");
    // A folder in the place of kestrav.ini (unreadable even for root), and
    // one in the place of friends.dat.
    std::filesystem::create_directories(folder + "/kestrav.ini/mine");
    std::filesystem::remove(folder + "/data/friends.dat");
    std::filesystem::create_directories(folder + "/data/friends.dat");
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30)) << "no viewer window";
    ASSERT_TRUE(viewer.RequestClose());
    ASSERT_TRUE(viewer.WaitForWindow("Error", 30)) << "the failed save was not said";
    const std::string said = viewer.CopyText();
    EXPECT_NE(said.find("friends.dat could not be saved: Is a directory"), std::string::npos) << said;
    EXPECT_EQ(said.find("kestrav.ini"), std::string::npos) << said;  // not written at all: nothing to say
    ASSERT_TRUE(viewer.RequestClose());
    EXPECT_EQ(viewer.WaitForExit(30), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/kestrav.ini/mine"));
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(ViewerExit, TheCaptionBarsCloseCellSavesToo) {
    const std::string folder = CopyProgramFolder("closecell");
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(viewer.ClickAt(800 - 10, 10));  // the default window is 800 px wide
    ASSERT_EQ(viewer.WaitForExit(30), 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/kestrav.ini"));
}

TEST(ViewerDownload, KeyIShowsTheDemoFeedAndTheBarCellDownloadsVatsim) {
    const std::string folder = CopyProgramFolder("demo");
    const std::string demo = folder + "/demo";
    WriteFile(folder + "/kestrav.ini", "[Network]\r\nIVAOStatusUrl=file://" + demo +
                                           "/ivao-status.txt\r\nVATSIMStatusUrl=file://" + demo +
                                           "/vatsim-status.txt\r\n");
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 400 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return done();
    };
    const std::string gzip = folder + "/data/whazzup.txt.gz", text = folder + "/data/whazzup.txt";
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(viewer.TypeKey(XK_i));
    // The demo's IVAO status file carries a message for every user.
    ASSERT_TRUE(viewer.WaitForWindow("Important Network Message", 30));
    ASSERT_TRUE(viewer.RequestClose());
    // The gzip snapshot went through data/; once shown, the IVAO text is gone.
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(gzip) && !std::filesystem::exists(text); }));
    // The VATSIM cell of the bottom bar: its text stays on disk.
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    // Until the picture holds still: the IVAO scene is drawn and the viewer
    // waits for input again.
    EXPECT_TRUE(waitFor([&] {
        const auto before = viewer.Image().Pixels;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return viewer.Image().Pixels == before;
    }));
    ASSERT_TRUE(viewer.ClickAt(30, 600 - 10));
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(text); }));
    EXPECT_NE(ReadFile(text).find(":ATC:"), std::string::npos);
    ASSERT_TRUE(viewer.RequestClose());
    ASSERT_EQ(viewer.WaitForExit(30), 0);
}

TEST(ViewerExit, FullScreenAndBackAndExitInFullScreenSavesTheEarlierGeometry) {
    const std::string folder = CopyProgramFolder("fullscreen");
    WriteFile(folder + "/kestrav.ini", "[Display]\r\nWindowLeft=10\r\nWindowTop=20\r\n");
    const auto sizeBecomes = [](ProgramProcess& viewer, int w, int h) {
        int width = 0, height = 0;
        for (int i = 0; i < 200; ++i) {
            if (viewer.WindowSize(width, height) && width == w && height == h) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    };
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(sizeBecomes(viewer, 800, 600));
    // The maximise cell, 20-40 px from the right of the caption bar. The
    // tests' screen is 1600 x 1000 and has no task bar.
    ASSERT_TRUE(viewer.ClickAt(800 - 30, 10));
    ASSERT_TRUE(sizeBecomes(viewer, 1600, 1000));
    ASSERT_TRUE(viewer.ClickAt(1600 - 30, 10));
    ASSERT_TRUE(sizeBecomes(viewer, 800, 600));
    ASSERT_TRUE(viewer.ClickAt(800 - 30, 10));
    ASSERT_TRUE(sizeBecomes(viewer, 1600, 1000));
    ASSERT_TRUE(viewer.ClickAt(1600 - 10, 10));  // close while in full-screen mode
    ASSERT_EQ(viewer.WaitForExit(30), 0);
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "800");
    EXPECT_EQ(ini.Get("Display", "WindowHeight", ""), "600");
    EXPECT_EQ(ini.Get("Display", "WindowLeft", ""), "10");
    EXPECT_EQ(ini.Get("Display", "WindowTop", ""), "20");
}

TEST(ViewerDownload, AMovedProgramFolderShowsTheVatsimDemoFromItsOwnFiles) {
    const std::string copied = CopyProgramFolder("moving");
    // Moved into a folder of its own (removed with it when the test ends).
    const std::string folder = MakeTempFolder("moved") + "/kestrava";
    std::filesystem::rename(copied, folder);
    // Nothing in the folder names where it was built or first copied to.
    std::string built = BinPath("");
    while (!built.empty() && built.back() == '/') built.pop_back();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !(name.ends_with(".txt") || name.ends_with(".json") || name.ends_with(".dc")))
            continue;
        const std::string bytes = ReadFile(entry.path().string());
        EXPECT_EQ(bytes.find(built), std::string::npos) << entry.path();
        EXPECT_EQ(bytes.find(copied + "/"), std::string::npos) << entry.path();
    }
    // The moved copy's own snapshot, told apart from the one it was copied
    // from by a controller of its own.
    std::string snapshot = ReadFile(folder + "/demo/vatsim/whazzup.txt");
    const size_t station = snapshot.find("EHAM_TWR:");
    ASSERT_NE(station, std::string::npos);
    snapshot.replace(station, 8, "EHAM_MOV");
    WriteFile(folder + "/demo/vatsim/whazzup.txt.gz", Gzip(snapshot));
    WriteFile(folder + "/kestrav.ini", "[Network]\r\nVATSIMStatusUrl=file://" + folder + "/demo/vatsim-status.txt\r\n");
    ProgramProcess viewer(folder + "/kestrav");
    ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(viewer.TypeKey(XK_v));
    const std::string text = folder + "/data/whazzup.txt";
    for (int i = 0; i < 400 && ReadFile(text).find("EHAM_MOV:") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_NE(ReadFile(text).find("EHAM_MOV:"), std::string::npos);
    ASSERT_TRUE(viewer.RequestClose());
    ASSERT_EQ(viewer.WaitForExit(30), 0);
}
