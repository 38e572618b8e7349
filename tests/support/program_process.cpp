#include "support/program_process.h"

// Qt before Xlib: Xlib defines macros (Status, None) that Qt's headers use.
#include <QImage>

#include "support/test_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <filesystem>
#include <thread>
#include <cstdlib>

namespace testsupport {

namespace {

// Windows come and go while the tree is walked (a message box closing, say):
// an error about a vanished window is no reason to end the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// One connection to the X server for the whole test program. A new
// connection can take a tenth of a second under Xvfb, and is now and then
// refused for a moment ("Resource temporarily unavailable"): it is retried.
// One connection per X server named in DISPLAY (a test may start a server
// of its own and name it for a while).
Display* OpenDisplay() {
    static std::map<std::string, Display*> connections;
    const char* name = std::getenv("DISPLAY");
    Display*& display = connections[name ? name : ""];
    if (display) return display;
    XSetErrorHandler(IgnoreXError);
    for (int attempt = 0; attempt < 100 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return display;
}

// The end of a burst of requests: all of them reach the server.
void Done(Display* display) { XSync(display, False); }

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

std::string ClipboardText(double seconds) {
    Display* display = OpenDisplay();
    if (!display) return {};
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = XInternAtom(display, "KESTRAVA_PASTE", False);
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool answered = false;
    while (!answered && std::chrono::steady_clock::now() < deadline) {
        if (XGetSelectionOwner(display, clipboard) == None) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        XConvertSelection(display, clipboard, utf8, property, window, CurrentTime);
        XFlush(display);
        XEvent event;
        for (int i = 0; i < 100 && !answered; ++i) {
            if (XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) {
                answered = true;
                if (event.xselection.property == None) break;
                Atom type;
                int format;
                unsigned long items, after;
                unsigned char* data = nullptr;
                if (XGetWindowProperty(display, window, property, 0, 1 << 20, True, AnyPropertyType, &type,
                                       &format, &items, &after, &data) == Success && data) {
                    text.assign(reinterpret_cast<char*>(data), items);
                    XFree(data);
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }
    XDestroyWindow(display, window);
    Done(display);
    return text;
}

void ClearClipboard() {
    Display* display = OpenDisplay();
    if (!display) return;
    XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False), None, CurrentTime);
    XSync(display, False);
    Done(display);
}

ProgramProcess::ProgramProcess(const std::string& programPath, const std::vector<std::string>& environment)
    : ProgramProcess(std::vector<std::string>{programPath}, environment, "") {}

ProgramProcess::ProgramProcess(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                               const std::string& outputFile)
    : outputFile_(outputFile) {
    std::vector<char*> arguments;
    for (const std::string& argument : command) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    // Emptied before the child starts, so that nothing an earlier run wrote
    // there is read as this one's.
    if (!outputFile.empty()) WriteFile(outputFile, "");
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a test that died
        for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
        if (!outputFile.empty()) {
            const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) _exit(126);
        }
        execv(arguments[0], arguments.data());
        _exit(127);
    }
}

bool ProgramProcess::Signal(int signal) { return Running() && kill(pid_, signal) == 0; }

std::string ProgramProcess::Output() const { return outputFile_.empty() ? std::string() : ReadFile(outputFile_); }

bool ProgramProcess::WaitForOutput(const std::string& text, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (Output().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool ProgramProcess::HasFocus() {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    Done(display);
    return focus == window_;
}

ProgramProcess::~ProgramProcess() {
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool ProgramProcess::Running() {
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

bool ProgramProcess::WaitForWindow(const std::string& title, double seconds) {
    Display* display = OpenDisplay();
    if (!display) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline && Running()) {
        window_ = FindWindow(display, DefaultRootWindow(display), title, pid_);
        if (window_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Done(display);
    return window_ != 0;
}

bool ProgramProcess::RequestClose() {
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
    Done(display);
    return sent != 0;
}

bool ProgramProcess::WaitForWindowGone(const std::string& title, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (HasWindow(title)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool ProgramProcess::HasWindow(const std::string& title) {
    Display* display = OpenDisplay();
    if (!display) return false;
    const bool found = Running() && FindWindow(display, DefaultRootWindow(display), title, pid_) != 0;
    Done(display);
    return found;
}

namespace {

// One X connection for a burst of input; events are flushed and given a
// moment to arrive before the next burst.
class Input {
public:
    explicit Input(unsigned long window) : window_(window), display_(OpenDisplay()) {}
    ~Input() {
        if (!display_) return;
        XSync(display_, False);
        Done(display_);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    bool Ready() const { return display_ && window_; }
    void Pause(int ms = 30) {
        XSync(display_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void Focus() {
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        Pause(100);
    }
    bool Key(unsigned long keysym, bool down) {
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        return code != 0 && XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    }
    void Modifiers(int mask, bool down) {
        if (mask & kShift) Key(XK_Shift_L, down);
        if (mask & kCtrl) Key(XK_Control_L, down);
        if (mask & kAlt) Key(XK_Alt_L, down);
    }
    // The key symbol's own key needs Shift for it (an upper-case letter, "!").
    bool NeedsShift(unsigned long keysym) {
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        return code != 0 && XkbKeycodeToKeysym(display_, code, 0, 0) != keysym;
    }
    bool Move(int x, int y) {
        Window child;
        int rootX = 0, rootY = 0;
        if (!XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child))
            return false;
        return XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    }
    bool Button(int button, bool down) {
        return XTestFakeButtonEvent(display_, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    }

private:
    unsigned long window_;
    Display* display_;
};

}  // namespace

bool ProgramProcess::KeyDown(unsigned long keysym) {
    Input input(window_);
    if (!input.Ready()) return false;
    input.Focus();
    return input.Key(keysym, true);
}

bool ProgramProcess::KeyUp(unsigned long keysym) {
    Input input(window_);
    return input.Ready() && input.Key(keysym, false);
}

bool ProgramProcess::TypeKey(unsigned long keysym, int modifiers) {
    Input input(window_);
    if (!input.Ready()) return false;
    input.Focus();
    input.Modifiers(modifiers, true);
    input.Pause();
    bool sent = input.Key(keysym, true);
    input.Pause();
    sent = input.Key(keysym, false) && sent;
    input.Pause();
    input.Modifiers(modifiers, false);
    return sent;
}

bool ProgramProcess::TypeText(const std::string& text) {
    Input input(window_);
    if (!input.Ready()) return false;
    input.Focus();
    bool sent = true;
    for (unsigned char c : text) {
        const unsigned long keysym = c == '\n' ? XK_Return : c;  // ASCII is its own key symbol
        const bool shift = input.NeedsShift(keysym);
        if (shift) input.Modifiers(kShift, true);
        sent = input.Key(keysym, true) && input.Key(keysym, false) && sent;
        if (shift) input.Modifiers(kShift, false);
        input.Pause(15);
    }
    return sent;
}

std::string ProgramProcess::CopyText() {
    ClearClipboard();
    if (!TypeKey(XK_c, kCtrl)) return {};
    return ClipboardText(5);
}

bool ProgramProcess::ChooseFile(const std::string& title, const std::string& path) {
    if (!WaitForWindow(title, 20)) return false;
    TypeKey(XK_a, kCtrl);
    TypeText(path);
    TypeKey(XK_Return);
    return WaitForWindowGone(title, 5);
}

bool ProgramProcess::MoveTo(int x, int y) {
    Input input(window_);
    return input.Ready() && input.Move(x, y);
}

bool ProgramProcess::Press(int button, int modifiers) {
    Input input(window_);
    if (!input.Ready()) return false;
    input.Modifiers(modifiers, true);
    input.Pause();
    return input.Button(button, true);
}

bool ProgramProcess::Release(int button, int modifiers) {
    Input input(window_);
    if (!input.Ready()) return false;
    const bool sent = input.Button(button, false);
    input.Pause();
    input.Modifiers(modifiers, false);
    return sent;
}

bool ProgramProcess::ClickAt(int x, int y, int button, int modifiers) {
    Input input(window_);
    if (!input.Ready() || !input.Move(x, y)) return false;
    input.Pause();
    input.Modifiers(modifiers, true);
    input.Pause();
    bool sent = input.Button(button, true);
    input.Pause();
    sent = input.Button(button, false) && sent;
    input.Pause();
    input.Modifiers(modifiers, false);
    return sent;
}

bool ProgramProcess::DoubleClickAt(int x, int y) {
    Input input(window_);
    if (!input.Ready() || !input.Move(x, y)) return false;
    input.Pause();
    bool sent = true;
    for (int i = 0; i < 2; ++i) {
        sent = input.Button(1, true) && sent;
        input.Pause(20);
        sent = input.Button(1, false) && sent;
        input.Pause(20);
    }
    return sent;
}

bool ProgramProcess::DragFromTo(int x0, int y0, int x1, int y1, int button, int steps) {
    Input input(window_);
    if (!input.Ready() || !input.Move(x0, y0)) return false;
    input.Pause();
    bool sent = input.Button(button, true);
    input.Pause();
    for (int i = 1; i <= steps; ++i) {
        sent = input.Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps) && sent;
        input.Pause(40);
    }
    sent = input.Button(button, false) && sent;
    return sent;
}

bool ProgramProcess::Wheel(int notches) {
    Input input(window_);
    if (!input.Ready()) return false;
    const int button = notches > 0 ? 4 : 5;
    bool sent = true;
    for (int i = 0; i < std::abs(notches); ++i) {
        sent = input.Button(button, true) && input.Button(button, false) && sent;
        input.Pause();
    }
    return sent;
}

bool ProgramProcess::WindowGeometry(int& left, int& top, int& width, int& height) {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XWindowAttributes attributes;
    Window child;
    bool read = XGetWindowAttributes(display, window_, &attributes) != 0 &&
                XTranslateCoordinates(display, window_, DefaultRootWindow(display), 0, 0, &left, &top, &child);
    if (read) {
        width = attributes.width;
        height = attributes.height;
    }
    Done(display);
    return read;
}

WindowImage ProgramProcess::Image() {
    WindowImage image;
    Display* display = OpenDisplay();
    if (!display || !window_) return image;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window_, &attributes)) {
        XImage* x = XGetImage(display, window_, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (x) {
            image.Width = attributes.width;
            image.Height = attributes.height;
            image.Pixels.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
            for (int y = 0; y < image.Height; ++y)
                for (int px = 0; px < image.Width; ++px)
                    image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(px)] =
                        static_cast<std::uint32_t>(XGetPixel(x, px, y) & 0xFFFFFF);
            XDestroyImage(x);
        }
    }
    Done(display);
    return image;
}

std::array<int, 3> WindowImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return {-1, -1, -1};
    const std::uint32_t p = Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
}

bool WindowImage::SavePng(const std::string& path) const {
    if (Width <= 0 || Height <= 0) return false;
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)]);
    return image.save(QString::fromStdString(path));
}
bool ProgramProcess::WindowSize(int& width, int& height) {
    Display* display = OpenDisplay();
    if (!display || !window_) return false;
    XWindowAttributes attributes;
    const bool read = XGetWindowAttributes(display, window_, &attributes) != 0;
    if (read) {
        width = attributes.width;
        height = attributes.height;
    }
    Done(display);
    return read;
}

int ProgramProcess::WaitForExit(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!Running()) return WIFEXITED(status_) ? WEXITSTATUS(status_) : -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

namespace {

// Starts a program beside the test that makes `socket` once it listens;
// "" then, else why it did not start (its output).
std::string StartListening(std::unique_ptr<ProgramProcess>& program, const std::vector<std::string>& command,
                           const std::vector<std::string>& environment, const std::string& log,
                           const std::string& socket) {
    program = std::make_unique<ProgramProcess>(command, environment, log);
    for (int i = 0; i < 200 && program->Running() && !std::filesystem::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (std::filesystem::exists(socket)) return {};
    return std::filesystem::path(command.front()).filename().string() + " did not start: " + program->Output();
}

// Ends it (killed by its destructor when it does not end on SIGTERM) and
// removes its folder.
void EndSideProgram(std::unique_ptr<ProgramProcess>& program, const std::string& folder) {
    if (program) {
        program->Signal(SIGTERM);
        if (program->WaitForExit(10) == -1) program.reset();
    }
    program.reset();
    std::error_code error;
    if (!folder.empty()) std::filesystem::remove_all(folder, error);
}

// The first of these folders that holds the file, or "".
std::string FindIn(const std::vector<std::string>& folders, const std::string& name) {
    for (const std::string& folder : folders)
        if (std::filesystem::exists(folder + "/" + name)) return folder + "/" + name;
    return {};
}

}  // namespace

WaylandSession::WaylandSession() {
    const std::string weston = FindIn({"/usr/bin", "/usr/local/bin"}, "weston");
    if (weston.empty()) {
        problem_ = "weston is not installed (tools/install-deps.sh installs it)";
        return;
    }
    if (FindIn({"/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms", "/usr/lib/aarch64-linux-gnu/qt6/plugins/platforms",
                "/usr/lib/qt6/plugins/platforms"},
               "libqwayland-generic.so")
            .empty()) {
        problem_ = "Qt's wayland platform (qt6-wayland) is not installed";
        return;
    }
    runtime_ = MakeTempFolder("wayland");
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    problem_ = StartListening(weston_,
                              {weston, "--backend=headless-backend.so", "--socket=kestrava-wayland", "--idle-time=0",
                               "--width=1600", "--height=1000"},
                              {"XDG_RUNTIME_DIR=" + runtime_}, runtime_ + "/weston.log", runtime_ + "/kestrava-wayland");
}

WaylandSession::~WaylandSession() { EndSideProgram(weston_, runtime_); }

std::vector<std::string> WaylandSession::Environment() const {
    return {"XDG_RUNTIME_DIR=" + runtime_, "WAYLAND_DISPLAY=kestrava-wayland", "QT_QPA_PLATFORM=wayland"};
}

SessionBus::SessionBus() {
    const std::string daemon = FindIn({"/usr/bin", "/bin"}, "dbus-daemon");
    if (daemon.empty()) {
        problem_ = "dbus-daemon is not installed (tools/install-deps.sh installs dbus)";
        return;
    }
    folder_ = MakeTempFolder("session-bus");
    const std::string socket = folder_ + "/bus";
    address_ = "unix:path=" + socket;
    problem_ = StartListening(daemon_, {daemon, "--session", "--nofork", "--nopidfile", "--address=" + address_}, {},
                              folder_ + "/daemon.log", socket);
}

SessionBus::~SessionBus() { EndSideProgram(daemon_, folder_); }

std::vector<std::string> SessionBus::Environment() const { return {"DBUS_SESSION_BUS_ADDRESS=" + address_}; }

int SessionBus::Send(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"/usr/bin/dbus-send", "--bus=" + address_};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ProgramProcess send(command, {}, folder_ + "/send.log");
    return send.WaitForExit(10);
}

}  // namespace testsupport
