// A copy of the program folder whose IVAO status file points at a snapshot
// of the test's own, with view 1 chosen by the test, and the viewer running
// in it with a recording desktop opener on its PATH.
#pragma once

#include "formats/ini_file.h"
#include "support/program_process.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

bool WaitFor(const std::function<bool()>& done, double seconds = 20);
// A moment for the viewer to draw what the last input asked for.
void Settle();

struct CraftedViewer {
    // `settings` is added to kestrav.ini after the feed's address;
    // `environment` ("NAME=value") to the viewer's.
    CraftedViewer(const std::string& tag, const std::string& snapshot, const std::string& settings,
                  const std::vector<std::string>& environment = {});
    // Waits for the window, presses I and waits until the centre of the
    // window shows something new.
    bool Start();
    // A screenshot, when KESTRAVA_SHOTS names a folder.
    void Shot(const std::string& name);
    // Closes the viewer as a window manager would; its kestrav.ini.
    kestrava::IniFile Exit();

    std::string folder;
    std::string opened;  // what the desktop's opener was asked to open
    std::unique_ptr<ProgramProcess> viewer;
    int width = 0;
    int height = 0;
};

}  // namespace testsupport
