// The viewer as a citizen of the desktop: ended by the system (signals),
// started twice, started without its map data, and run on a Wayland
// compositor.
#include "formats/ini_file.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

using namespace testsupport;

namespace {

// The viewer of a program folder copy, its output kept for the checks.
std::unique_ptr<ProgramProcess> StartViewer(const std::string& folder, std::vector<std::string> environment = {}) {
    return std::make_unique<ProgramProcess>(std::vector<std::string>{folder + "/kestrav"}, environment,
                                            folder + "/output.txt");
}

}  // namespace

TEST(ViewerSignals, SigtermSigintAndSighupEndTheViewerAsItsCloseBoxDoes) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::string folder = CopyProgramFolder("signal");
        WriteFile(folder + "/kestrav.ini", "[Display]\r\nWindowWidth=900\r\n[Extra]\r\nmine=1\r\n");
        WriteFile(folder + "/data/friends.dat", "\"333333\"\r\n");
        auto viewer = StartViewer(folder);
        ASSERT_TRUE(viewer->WaitForWindow("Kestrava", 30));
        ASSERT_TRUE(viewer->WaitForOutput("Ready", 30)) << viewer->Output();
        ASSERT_TRUE(viewer->Signal(signal));
        ASSERT_EQ(viewer->WaitForExit(30), 0) << "ended by the signal, not by the viewer's exit";
        kestrava::IniFile ini;
        ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
        EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "900");
        EXPECT_TRUE(ini.Find("Zoom", "X1").has_value());  // written by the exit
        EXPECT_EQ(ini.Get("Extra", "mine", ""), "1");
        EXPECT_EQ(ReadFile(folder + "/data/friends.dat"), "333333\r\n");
    }
}

// Ended from outside, nobody may be there to close a message box: a file
// that cannot be saved is said on standard error, and the viewer still ends.
TEST(ViewerSignals, AFailedSaveOnSigtermIsSaidOnStandardErrorWithoutABox) {
    const std::string folder = CopyProgramFolder("signal-fail");
    std::filesystem::remove(folder + "/data/friends.dat");
    std::filesystem::create_directory(folder + "/data/friends.dat");
    auto viewer = StartViewer(folder);
    ASSERT_TRUE(viewer->WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(viewer->WaitForOutput("Ready", 30)) << viewer->Output();
    ASSERT_TRUE(viewer->Signal(SIGTERM));
    ASSERT_EQ(viewer->WaitForExit(20), 0) << viewer->Output();
    EXPECT_NE(viewer->Output().find("friends.dat could not be saved"), std::string::npos) << viewer->Output();
}

TEST(ViewerStart, ASecondStartRaisesAndFocusesTheRunningViewerAndEnds) {
    const std::string folder = CopyProgramFolder("raise");
    auto first = StartViewer(folder);
    ASSERT_TRUE(first->WaitForWindow("Kestrava", 30));
    ASSERT_TRUE(first->WaitForOutput("Ready", 30));
    // No window manager here: nothing focuses a new window, and the
    // viewer's activation request sets the X input focus itself.
    ASSERT_FALSE(first->HasFocus());
    auto second = StartViewer(folder);
    EXPECT_EQ(second->WaitForExit(20), 0);
    EXPECT_EQ(second->Output().find("could not be raised"), std::string::npos) << second->Output();
    bool focused = false;
    for (int i = 0; i < 100 && !(focused = first->HasFocus()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(focused);
    EXPECT_TRUE(first->Running());
    first->RequestClose();
    EXPECT_EQ(first->WaitForExit(30), 0);
}

TEST(ViewerStart, AKilledViewersLockAndSocketNeverBlockTheNextStart) {
    const std::string folder = CopyProgramFolder("killed");
    {
        auto killed = StartViewer(folder);
        ASSERT_TRUE(killed->WaitForWindow("Kestrava", 30));
        ASSERT_TRUE(killed->WaitForOutput("Ready", 30));
        ASSERT_TRUE(killed->Signal(SIGKILL));
        EXPECT_EQ(killed->WaitForExit(10), -2);  // killed: nothing saved, lock and socket left behind
    }
    auto next = StartViewer(folder);
    ASSERT_TRUE(next->WaitForWindow("Kestrava", 30)) << next->Output();
    ASSERT_TRUE(next->WaitForOutput("Ready", 30));
    // ... and it answers a later start, on the socket the killed one left.
    auto later = StartViewer(folder);
    EXPECT_EQ(later->WaitForExit(20), 0);
    EXPECT_EQ(later->Output().find("could not be raised"), std::string::npos) << later->Output();
    next->RequestClose();
    EXPECT_EQ(next->WaitForExit(30), 0);
}

TEST(ViewerStart, EachMissingDataFileIsNamedInsteadOfReady) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"coastline.dat", "coastline.dat not found: no coastlines"},
        {"countries.dat", "countries.dat not found: no country borders"},
        {"airports.dat", "airports.dat not found: no airports"},
        {"firdisplay.dat", "firdisplay.dat not found: no sector outlines"},
        {"firlist.dat", "firlist.dat not found: no sector names"}};
    for (const auto& [file, said] : files) {
        SCOPED_TRACE(file);
        const std::string folder = CopyProgramFolder("missing");
        std::filesystem::remove(folder + "/data/" + file);
        auto viewer = StartViewer(folder);
        ASSERT_TRUE(viewer->WaitForWindow("Kestrava", 30));
        // The status line at the end of start-up, as the viewer writes it out.
        EXPECT_TRUE(viewer->WaitForOutput(said + "\n", 30)) << viewer->Output();
        EXPECT_EQ(viewer->Output().find("Ready"), std::string::npos);
        viewer->RequestClose();
        EXPECT_EQ(viewer->WaitForExit(30), 0);
    }
    // All present: "Ready".
    const std::string folder = CopyProgramFolder("complete");
    auto viewer = StartViewer(folder);
    EXPECT_TRUE(viewer->WaitForOutput("Ready\n", 30));
    EXPECT_EQ(viewer->Output().find("not found"), std::string::npos) << viewer->Output();
    ASSERT_TRUE(viewer->Signal(SIGTERM));
    EXPECT_EQ(viewer->WaitForExit(30), 0);
}

TEST(ViewerStart, ALockFileThatIsAFolderStartsTheViewerWithAWarning) {
    const std::string folder = CopyProgramFolder("lockdir");
    const std::string runtime = MakeTempFolder("lockdir-runtime");
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    // The viewer keeps its lock in the private runtime folder; a folder in
    // the lock's place there.
    const auto names = [&] {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(runtime)) found.push_back(entry.path().string());
        return found;
    };
    {
        auto probe = StartViewer(folder, {"XDG_RUNTIME_DIR=" + runtime});
        ASSERT_TRUE(probe->WaitForOutput("Ready", 30));
        probe->Signal(SIGTERM);
        ASSERT_EQ(probe->WaitForExit(30), 0);
    }
    std::string lock;
    for (const std::string& name : names())
        if (name.ends_with(".lock")) lock = name;
    ASSERT_FALSE(lock.empty());
    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);
    auto viewer = StartViewer(folder, {"XDG_RUNTIME_DIR=" + runtime});
    ASSERT_TRUE(viewer->WaitForOutput("Ready", 30)) << viewer->Output();
    EXPECT_NE(viewer->Output().find("cannot open its lock file " + lock), std::string::npos) << viewer->Output();
    viewer->Signal(SIGTERM);
    EXPECT_EQ(viewer->WaitForExit(30), 0);
}
