// Runs a copy of the program folder as its own process and talks to its
// windows through the X server, as a user and a window system would: real
// pointer and key input through XTEST, close requests as a window manager
// sends them, and the window's picture read back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <sys/types.h>

namespace testsupport {

// Copies build/bin (programs, data/, colours/) into a fresh temporary folder.
std::string CopyProgramFolder(const std::string& tag);

// What a window showed, read back from the X server.
struct WindowImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // 0xRRGGBB, rows from the top
    std::array<int, 3> Pixel(int x, int y) const;  // from the top-left corner
    bool SavePng(const std::string& path) const;
};

// The text on the X clipboard (the CLIPBOARD selection as UTF-8), as a paste
// would get it; "" when no program offers one within the time.
std::string ClipboardText(double seconds = 5);
// Leaves the clipboard without an owner, so that a later copy is told apart.
void ClearClipboard();

// Modifier keys held during a key or button: the 1/2/4 mask of Shift, Ctrl
// and Alt.
enum Modifier : int { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

class ProgramProcess {
public:
    // Starts the program; `environment` entries ("NAME=value") are added to
    // the child's environment.
    explicit ProgramProcess(const std::string& programPath, const std::vector<std::string>& environment = {});
    // Starts a command (the program and its arguments); with `outputFile`
    // set, its standard output and error go to that file (Output()).
    ProgramProcess(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                   const std::string& outputFile);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Waits until a top-level window of this process with this title is
    // mapped and makes it the one the calls below address.
    bool WaitForWindow(const std::string& title, double seconds);
    // True while a mapped window of this process has this title.
    bool HasWindow(const std::string& title);
    // Waits until no window of this process has this title.
    bool WaitForWindowGone(const std::string& title, double seconds);
    // Asks the window to close (WM_DELETE_WINDOW), as a window manager does.
    bool RequestClose();

    // Keys: a press and release of an X key symbol (XK_i), with modifiers
    // held around it; the window gets the focus first.
    bool TypeKey(unsigned long keysym, int modifiers = kNoModifier);
    bool KeyDown(unsigned long keysym);
    bool KeyUp(unsigned long keysym);
    // Types plain text (letters, digits, blanks and ASCII punctuation).
    bool TypeText(const std::string& text);
    // Ctrl+C in the window, and what that put on the clipboard ("" when
    // nothing): a message box's text, selected text.
    std::string CopyText();
    // In the Qt file dialog titled `title`: types the path over the file
    // name and accepts it; true once the dialog has gone.
    bool ChooseFile(const std::string& title, const std::string& path);

    // The pointer, in the window's pixels (positions outside the window are
    // allowed). Buttons: 1 left, 2 middle, 3 right.
    bool MoveTo(int x, int y);
    bool Press(int button, int modifiers = kNoModifier);
    bool Release(int button, int modifiers = kNoModifier);
    bool ClickAt(int x, int y, int button = 1, int modifiers = kNoModifier);
    bool DoubleClickAt(int x, int y);
    // Moves with the button held from one point to another in steps.
    bool DragFromTo(int x0, int y0, int x1, int y1, int button = 1, int steps = 8);
    // Wheel notches at the pointer: positive away from the user.
    bool Wheel(int notches);

    // The window's position on the screen and size in pixels.
    bool WindowGeometry(int& left, int& top, int& width, int& height);
    bool WindowSize(int& width, int& height);
    WindowImage Image();

    // Waits for the process to end; its exit status, or -1 on time-out.
    int WaitForExit(double seconds);
    bool Running();

    // Process-level checks that need no X server (a Wayland session): a
    // signal sent as a shutdown or `kill` sends it, and what the program
    // wrote to the output file.
    bool Signal(int signal);
    std::string Output() const;
    bool WaitForOutput(const std::string& text, double seconds);

    // True while the addressed window has the X input focus.
    bool HasFocus();

private:
    std::string outputFile_;
    pid_t pid_ = -1;
    unsigned long window_ = 0;
    int status_ = -1;
};

// A headless Weston compositor of the test's own, with its own runtime
// folder: programs started with its Environment() run as Wayland clients
// (Qt's wayland platform). Weston is stopped and its folder removed when the
// session ends.
class WaylandSession {
public:
    WaylandSession();
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Why there is no compositor ("" once it listens): weston or Qt's
    // wayland platform is not installed, or weston did not start.
    const std::string& Problem() const { return problem_; }
    // XDG_RUNTIME_DIR, WAYLAND_DISPLAY and QT_QPA_PLATFORM for a client.
    std::vector<std::string> Environment() const;

private:
    std::string runtime_;
    std::string problem_;
    std::unique_ptr<ProgramProcess> weston_;
};

// A private session bus (dbus-daemon) of the test's own: programs started
// with its Environment() talk on it, and nothing of the desktop's. Stopped
// when the object goes.
class SessionBus {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    // Why there is no bus ("" once it listens).
    const std::string& Problem() const { return problem_; }
    // The bus's address, and DBUS_SESSION_BUS_ADDRESS for a client.
    const std::string& Address() const { return address_; }
    std::vector<std::string> Environment() const;
    // Runs dbus-send on this bus with the arguments; its exit status.
    int Send(const std::vector<std::string>& arguments);

private:
    std::string folder_;
    std::string address_;
    std::string problem_;
    std::unique_ptr<ProgramProcess> daemon_;
};

}  // namespace testsupport
