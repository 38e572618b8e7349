#include "crafted_viewer.h"

#include "support/test_support.h"

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace testsupport {

bool WaitFor(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return done();
}

void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }

CraftedViewer::CraftedViewer(const std::string& tag, const std::string& snapshot, const std::string& settings,
                             const std::vector<std::string>& environment)
    : folder(CopyProgramFolder(tag)), opened(folder + "/opened.txt") {
    WriteFile(folder + "/feed/whazzup.txt", snapshot);
    WriteFile(folder + "/feed/status.txt", "url0=file://" + folder + "/feed/whazzup.txt\r\n"
                                           "user0=http://127.0.0.1:9/profile\r\n;\r\n;\r\n;\r\n");
    WriteFile(folder + "/kestrav.ini", "[Network]\r\nIVAOStatusUrl=file://" + folder +
                                           "/feed/status.txt\r\nTextForce=1\r\n" + settings);
    // The desktop's opener, recording what it was asked to open.
    WriteFile(folder + "/tools/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened + "'\n");
    std::filesystem::permissions(folder + "/tools/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = "PATH=" + folder + "/tools:" + std::getenv("PATH");
    std::vector<std::string> variables{path, "XDG_CURRENT_DESKTOP=", "BROWSER="};
    variables.insert(variables.end(), environment.begin(), environment.end());
    viewer = std::make_unique<ProgramProcess>(folder + "/kestrav", variables);
}

bool CraftedViewer::Start() {
    if (!viewer->WaitForWindow("Kestrava", 30) || !viewer->WindowSize(width, height)) return false;
    Settle();
    const auto centre = [&] { return viewer->Image().Pixel(width / 2, height / 2); };
    const auto globe = centre();
    if (!viewer->TypeKey(XK_i)) return false;
    const bool shown = WaitFor([&] { return centre() != globe; });
    // The download ends beside the window: the picture is taken as shown
    // once it holds still.
    std::vector<std::uint32_t> last = viewer->Image().Pixels;
    WaitFor([&] {
        Settle();
        std::vector<std::uint32_t> now = viewer->Image().Pixels;
        const bool still = now == last;
        last = std::move(now);
        return still;
    }, 10);
    return shown;
}

void CraftedViewer::Shot(const std::string& name) {
    if (const char* dir = std::getenv("KESTRAVA_SHOTS")) viewer->Image().SavePng(std::string(dir) + "/" + name);
}

kestrava::IniFile CraftedViewer::Exit() {
    kestrava::IniFile ini;
    if (viewer->RequestClose() && viewer->WaitForExit(30) == 0) ini.Load(folder + "/kestrav.ini");
    return ini;
}

}  // namespace testsupport
