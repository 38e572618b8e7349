// The installed programs: `cmake --install` into a temporary prefix made
// read-only, the viewer started through its link on the PATH with its own
// HOME and XDG_DATA_HOME, and closed through the window system.
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// Every entry under a folder with what would show a change: kind, size,
// time and permissions.
std::map<std::string, std::string> Listing(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const fs::file_status status = entry.symlink_status();
        std::string line = std::to_string(static_cast<int>(status.type())) + " " +
                           std::to_string(static_cast<unsigned>(status.permissions()));
        if (fs::is_regular_file(status))
            line += " " + std::to_string(entry.file_size()) + " " +
                    std::to_string(entry.last_write_time().time_since_epoch().count());
        if (fs::is_symlink(status)) line += " -> " + fs::read_symlink(entry.path()).string();
        entries[entry.path().string()] = line;
    }
    return entries;
}

// Takes every write permission bit away, or gives the owner's back.
void SetWritable(const std::string& root, bool writable) {
    const auto apply = [&](const fs::path& path) {
        if (writable)
            fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        else
            fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
    };
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_symlink()) apply(entry.path());
    apply(root);
}

// The viewer's own window, not a message box of the same title.
bool WaitForMapWindow(ProgramProcess& viewer) {
    for (int i = 0; i < 300; ++i) {
        int width = 0, height = 0;
        if (viewer.WaitForWindow("Kestrava", 1) && viewer.WindowSize(width, height) && width >= 720) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

class InstalledViewer : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = MakeTempFolder("installed");
        prefix_ = root_ + "/usr";
        const std::string command = std::string("\"") + KESTRAVA_CMAKE_COMMAND + "\" --install \"" +
                                    KESTRAVA_BUILD_DIR + "\" --prefix \"" + prefix_ + "\" > \"" + root_ +
                                    "/install.log\" 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(root_ + "/install.log");
        // The installed sector pair counts as fresh, however old the build:
        // no start-up sector check may reach the live network from here.
        std::error_code error;
        fs::last_write_time(prefix_ + "/lib/kestrava/data/firlist.dat", fs::file_time_type::clock::now(), error);
        ASSERT_FALSE(error) << error.message();
    }
    void TearDown() override {
        std::error_code error;
        if (fs::exists(prefix_)) SetWritable(prefix_, true);
        fs::remove_all(root_, error);
    }
    std::string root_;
    std::string prefix_;
};

}  // namespace

TEST_F(InstalledViewer, TheLayoutPutsTheProgramFolderUnderLibAndCommandsOnThePath) {
    const std::string program = prefix_ + "/lib/kestrava";
    const std::pair<const char*, const char*> commands[] = {
        {"kestrav", "kestrav"}, {"firforge", "firforge"}, {"kestrava-settings", "settings"},
        {"firglass", "firglass"}, {"huebench", "huebench"}};
    for (const auto& [command, binary] : commands) {
        const std::string link = prefix_ + "/bin/" + command;
        ASSERT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(fs::canonical(link), fs::canonical(program + "/" + binary)) << link;
    }
    EXPECT_FALSE(fs::exists(prefix_ + "/bin/settings"));
    for (const char* file : {"data/airports.dat", "data/firdisplay.dat", "data/firlist.dat", "data/coastline.dat",
                             "data/countries.dat", "data/LICENSE-VATSpy.txt", "colours/default.dc",
                             "companion.txt", "kestrava-installed.txt", "demo/ivao/whazzup.txt.gz",
                             "demo/vatsim/whazzup.txt"})
        EXPECT_TRUE(fs::is_regular_file(program + "/" + file)) << file;
    // The demo feed names its snapshots relative to itself: no installed
    // file holds the folder it was installed into, so the tree may move.
    EXPECT_NE(ReadFile(program + "/demo/ivao-status.txt").find("gzurl0=ivao/whazzup.txt.gz\r\n"), std::string::npos);
    for (const auto& entry : fs::recursive_directory_iterator(program)) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(ReadFile(entry.path().string()).find(prefix_), std::string::npos) << entry.path();
        }
    }
    for (const char* id : {"Kestrava", "Firforge", "Settings", "Firglass", "Huebench"}) {
        const std::string name = std::string("org.kestrava.") + id;
        EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/applications/" + name + ".desktop")) << name;
        EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/icons/hicolor/scalable/apps/" + name + ".svg")) << name;
        EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/icons/hicolor/48x48/apps/" + name + ".png")) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/metainfo/org.kestrava.Kestrava.metainfo.xml"));
    EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/doc/kestrava/copyright"));
    // Nothing of the tests, benchmarks or earlier runs.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find("_bench"), std::string::npos) << entry.path();
        EXPECT_EQ(name.find("_tests"), std::string::npos) << entry.path();
        EXPECT_NE(name, "kestrav.ini");
        EXPECT_NE(name, "friends.dat");
    }
}

TEST_F(InstalledViewer, AReadOnlyInstallationKeepsTheUsersFilesInTheUsersFolder) {
    SetWritable(prefix_, false);
    const auto before = Listing(prefix_);
    const std::string home = root_ + "/home";
    const std::string dataHome = home + "/data-home";
    fs::create_directories(home);
    {
        ProgramProcess viewer(prefix_ + "/bin/kestrav", {"HOME=" + home, "XDG_DATA_HOME=" + dataHome});
        ASSERT_TRUE(WaitForMapWindow(viewer)) << "no viewer window";
        // One viewer per user: the same user's second start ends silently,
        // another user's runs beside it.
        ProgramProcess again(prefix_ + "/bin/kestrav", {"HOME=" + home, "XDG_DATA_HOME=" + dataHome});
        EXPECT_EQ(again.WaitForExit(20), 0);
        ProgramProcess other(prefix_ + "/bin/kestrav", {"HOME=" + home, "XDG_DATA_HOME=" + home + "/other"});
        EXPECT_TRUE(WaitForMapWindow(other));
        EXPECT_TRUE(other.Running());
        ASSERT_TRUE(viewer.RequestClose());
        ASSERT_EQ(viewer.WaitForExit(30), 0);
    }
    const std::string user = dataHome + "/kestrava";
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(user + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Display", "WindowWidth", ""), "800");
    // A first start without kestrav.ini watches the live networks.
    const kestrava::Settings defaults;
    EXPECT_EQ(ini.Get("Network", "IVAOStatusUrl", ""), defaults.StatusUrls[0]);
    EXPECT_EQ(ini.Get("Network", "VATSIMStatusUrl", ""), defaults.StatusUrls[1]);
    EXPECT_EQ(ini.Get("Network", "IVAODataUrl", ""), defaults.DataUrls[0]);
    EXPECT_EQ(ini.Get("Network", "DemoFeed", ""), "0");
    EXPECT_TRUE(fs::is_regular_file(user + "/data/friends.dat"));
    EXPECT_FALSE(fs::exists(home + "/.local"));
    EXPECT_TRUE(fs::is_directory(home + "/other/kestrava/data"));
    EXPECT_EQ(Listing(prefix_), before);

    // A per-user folder that cannot be made: the viewer says which, runs,
    // and saves nothing.
    const std::string blocked = home + "/blocked";
    WriteFile(blocked, "a file where the folder's parent should be");
    {
        ProgramProcess viewer(prefix_ + "/bin/kestrav", {"HOME=" + home, "XDG_DATA_HOME=" + blocked});
        ASSERT_TRUE(viewer.WaitForWindow("Kestrava", 30));
        EXPECT_NE(viewer.CopyText().find(blocked + "/kestrava"), std::string::npos);
        ASSERT_TRUE(viewer.TypeKey(XK_Return));
        ASSERT_TRUE(WaitForMapWindow(viewer)) << "no viewer window after the message";
        ASSERT_TRUE(viewer.RequestClose());
        ASSERT_EQ(viewer.WaitForExit(30), 0);
    }
    EXPECT_EQ(ReadFile(blocked), "a file where the folder's parent should be");
    EXPECT_FALSE(fs::exists(home + "/.local"));
    EXPECT_EQ(Listing(prefix_), before);
}
