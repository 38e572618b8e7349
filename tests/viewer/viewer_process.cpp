#include "viewer_process.h"

#include "support/test_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace testsupport {

namespace {

// Windows come and go while the tree is walked (a message box closing, say):
// an error about a vanished window is no reason to end the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Display* OpenDisplay() {
    XSetErrorHandler(IgnoreXError);
    return XOpenDisplay(nullptr);
}

// The process that owns a window, as the toolkit records it (_NET_WM_PID).
long WindowPid(Display* display, Window window) {
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) return -1;
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success && data) {
        if (items == 1) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

Window FindWindow(Display* display, Window parent, const std::string& title, pid_t owner) {
    Window root, parentOut, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            XWindowAttributes attributes;
            if (title == name && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable && WindowPid(display, children[i]) == owner)
                found = children[i];
            XFree(name);
        }
        if (!found) found = FindWindow(display, children[i], title, owner);
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

std::string CopyProgramFolder(const std::string& tag) {
    const std::string folder = MakeTempFolder(tag);
    std::filesystem::copy(BinPath(""), folder,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    return folder;
}

ViewerProcess::ViewerProcess(const std::string& programPath) {
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a test that died
        execl(programPath.c_str(), programPath.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

ViewerProcess::~ViewerProcess() {
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool ViewerProcess::Running() {
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        status_ = status;
        pid_ = -1;
        return false;
    }
    return true;
}

bool ViewerProcess::WaitForWindow(const std::string& title, double seconds) {
    Display* display = OpenDisplay();
    if (!display) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline && Running()) {
        window_ = FindWindow(display, DefaultRootWindow(display), title, pid_);
        if (window_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    return window_ != 0;
}

bool ViewerProcess::RequestClose() {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window_, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

bool ViewerProcess::TypeKey(unsigned long keysym) {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XEvent event{};
    event.xkey.display = display;
    event.xkey.window = window_;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.same_screen = True;
    event.xkey.keycode = XKeysymToKeycode(display, keysym);
    event.xkey.time = CurrentTime;
    // Keys go to the focused window: give the viewer the focus first.
    XSetInputFocus(display, window_, RevertToParent, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    bool sent = true;
    for (int type : {KeyPress, KeyRelease}) {
        event.type = type;
        sent = XSendEvent(display, window_, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event) && sent;
    }
    XFlush(display);
    XCloseDisplay(display);
    return sent;
}

bool ViewerProcess::ClickAt(int x, int y) {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XEvent event{};
    event.xbutton.display = display;
    event.xbutton.window = window_;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.same_screen = True;
    event.xbutton.button = Button1;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.time = CurrentTime;
    bool sent = true;
    for (int type : {ButtonPress, ButtonRelease}) {
        event.type = type;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        sent = XSendEvent(display, window_, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                          &event) && sent;
    }
    XFlush(display);
    XCloseDisplay(display);
    return sent;
}

bool ViewerProcess::WindowSize(int& width, int& height) {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XWindowAttributes attributes;
    const bool read = XGetWindowAttributes(display, window_, &attributes) != 0;
    if (read) {
        width = attributes.width;
        height = attributes.height;
    }
    XCloseDisplay(display);
    return read;
}

int ViewerProcess::WaitForExit(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!Running()) return WIFEXITED(status_) ? WEXITSTATUS(status_) : -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

}  // namespace testsupport
