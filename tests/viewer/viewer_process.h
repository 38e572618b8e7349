// Runs a copy of the program folder as its own process and talks to its
// window through the X server, as a user's window system would.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

// Copies build/bin (programs, data/, colours/) into a fresh temporary folder.
std::string CopyProgramFolder(const std::string& tag);

class ViewerProcess {
public:
    explicit ViewerProcess(const std::string& programPath);
    ~ViewerProcess();
    // Waits until a top-level window with this title is mapped.
    bool WaitForWindow(const std::string& title, double seconds);
    // Asks the window to close (WM_DELETE_WINDOW), as a window manager does.
    bool RequestClose();
    // A key press and release (an X key symbol such as XK_i) sent to the window.
    bool TypeKey(unsigned long keysym);
    // A left click at a position in the window's pixels.
    bool ClickAt(int x, int y);
    // The window's size in pixels; false when it cannot be read.
    bool WindowSize(int& width, int& height);
    // Waits for the process to end; its exit status, or -1 on time-out.
    int WaitForExit(double seconds);
    bool Running();

private:
    pid_t pid_ = -1;
    unsigned long window_ = 0;
    int status_ = -1;
};

}  // namespace testsupport
