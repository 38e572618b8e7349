// The viewer and two side programs as Wayland clients of a headless Weston
// of the test's own (Qt's wayland platform): each window is configured by
// the compositor and drawn, the viewer reaches "Ready" and saves on its
// exit. Skipped, saying why, where weston or qt6-wayland is missing.
#include "formats/ini_file.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace testsupport;

namespace {

// The client's protocol log (WAYLAND_DEBUG) shows the compositor's
// configure of the window and, after it, a buffer attached: the window
// was shown and drawn.
bool ConfiguredThenDrawn(const std::string& log) {
    const size_t configure = log.find("xdg_surface@");
    const size_t acked = log.find(".ack_configure(", configure == std::string::npos ? 0 : configure);
    return configure != std::string::npos && acked != std::string::npos &&
           log.find(".attach(", acked) != std::string::npos;
}

bool WaitUntil(ProgramProcess& program, double seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (ConfiguredThenDrawn(program.Output())) return true;
        if (!program.Running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

TEST(Wayland, TheViewerFirglassAndTheSettingsEditorRunUnderWeston) {
    WaylandSession session;
    if (!session.Problem().empty()) GTEST_SKIP() << "no Wayland session: " << session.Problem();
    const std::string folder = CopyProgramFolder("wayland");
    std::vector<std::string> environment = session.Environment();
    environment.push_back("WAYLAND_DEBUG=client");

    ProgramProcess viewer({folder + "/kestrav"}, environment, folder + "/viewer.txt");
    ASSERT_TRUE(viewer.WaitForOutput("Ready\n", 60))
        << viewer.Output().substr(0, 4000);
    EXPECT_TRUE(WaitUntil(viewer, 30)) << "the viewer's window was not drawn";
    EXPECT_EQ(viewer.Output().find("Protocol error"), std::string::npos);
    ASSERT_TRUE(viewer.Signal(SIGTERM));
    ASSERT_EQ(viewer.WaitForExit(30), 0) << viewer.Output().substr(0, 4000);
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "800");

    for (const char* program : {"firglass", "settings"}) {
        SCOPED_TRACE(program);
        if (!std::filesystem::exists(folder + "/" + program)) {
            ADD_FAILURE() << program << " is not built";
            continue;
        }
        ProgramProcess side({folder + "/" + program}, environment, folder + "/" + program + ".txt");
        EXPECT_TRUE(WaitUntil(side, 30)) << side.Output().substr(0, 4000);
        EXPECT_TRUE(side.Running()) << "ended at start";
        EXPECT_EQ(side.Output().find("Protocol error"), std::string::npos);
        side.Signal(SIGTERM);
        side.WaitForExit(10);
    }
}
