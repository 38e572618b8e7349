#include "map_window.h"

#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/line_files.h"
#include "formats/text.h"
#include "kestrav/render/display_lists.h"
#include "globe/geography.h"
#include "globe/line_detail.h"
#include "globe/pixel_scale.h"
#include "globe/segment_arrays.h"
#include "globe/gl_text.h"
#include "globe/sector_lists.h"
#include "globe/surface_format.h"
#include "kestrav/render/window_frame.h"
#include "kestrav/map/aeronautical_data.h"
#include "kestrav/companion/frm_companion.h"
#include "kestrav/map/notifier.h"
#include "widgets/message_box.h"

#include <GL/gl.h>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QScreen>
#include <QSurfaceFormat>
#include <QSystemTrayIcon>

#include <cmath>
#include <cstdio>

namespace kestrava {

namespace {

void ShowCriticalError(const char* text) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromLatin1(text));
}

// The screens' areas free of panels, the primary screen first.
std::vector<PixelRect> AvailableScreenAreas() {
    std::vector<PixelRect> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        areas.insert(screen == primary ? areas.begin() : areas.end(), PixelRect{r.x(), r.y(), r.width(), r.height()});
    }
    return areas;
}

}  // namespace

MapWindow::MapWindow() {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(GlobeSurfaceFormat(16, 8));
    setFlags(Qt::Window | Qt::FramelessWindowHint);
    setTitle(QStringLiteral("Kestrava"));
    // Moved to a screen of another ratio: everything is made again for it.
    QObject::connect(this, &QWindow::screenChanged, [this] {
        FollowPixelRatio();
        DrawScene();
    });
}

MapWindow::~MapWindow() { ShutdownOpenGL(); }

int MapWindow::PixelWidth() const { return static_cast<int>(std::lround(width() * devicePixelRatio())); }
int MapWindow::PixelHeight() const { return static_cast<int>(std::lround(height() * devicePixelRatio())); }

bool MapWindow::StartUp() {
    // Pixels must be square: one twips-per-pixel factor serves both axes.
    QScreen* screen = QGuiApplication::primaryScreen();
    const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    if (1440.0 / dpiX != 1440.0 / dpiY) {
        ShowCriticalError("Anisotropic screen. Kestrava will now exit.");
        return false;
    }
    TwipsPerPixel = static_cast<float>(1440.0 / dpiX);

    Model.DownloadIdle = false;
    Overlay.AboutVisible = true;
    Overlay.OverlayMode = OverlayKind::StartUp;
    Switches.FriendsOnly = false;
    Switches.CountriesShown = true;

    LoadSettings();
    ConfigureFeeds(Model, Config, ProgramPath("demo"));
    timAutoDownload.setInterval(1000);
    timDownload.setInterval(2000);
    QObject::connect(&timAutoDownload, &QTimer::timeout,
                     [this] { timAutoDownloadTick(Model, Download, [this](std::uint8_t n) { DownloadThen(n, {}); }); });
    QObject::connect(&timDownload, &QTimer::timeout, [this] { timDownloadTick(Model, *this); });
    timLive.setInterval(1000);
    QObject::connect(&timLive, &QTimer::timeout, [this] { LiveTick(); });
    Live.Seconds = Config.LiveSeconds;
    const PixelRect placed = FitWindowToScreens(Config.WindowLeft, Config.WindowTop, Config.WindowWidth,
                                                Config.WindowHeight, AvailableScreenAreas());
    setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
    View = Camera{Config.Views[0].X, Config.Views[0].Y, Config.Views[0].Z};
    Theme = LoadColourTheme(ReadPath("colours/" + Config.ColourTheme));

    Download.AutoDownload = Config.AutoDownload;
    Download.DownloadMinutes = Config.DownloadMinutes;
    Download.Timeout = std::chrono::seconds(Config.Timeout);
    Download.Proxy = Config.Proxy;
    Download.TextForce = Config.TextForce;
    Download.DataFolder = DownloadFolder();

    QCoreApplication::processEvents();

    if (!InitOpenGL()) {
        ShowCriticalError("Could not enable OpenGL");
        return false;
    }
    SetInitialGlState(Theme);
    show();
    // Nothing is drawn into a surface the window system has not exposed yet:
    // a Wayland compositor ends a client that commits a buffer before it has
    // configured the surface. Start-up goes on unexposed after a while (the
    // window minimised at once, say); each frame waits for the exposure.
    WaitUntilExposed(std::chrono::seconds(5));
    if (isExposed() && MakeCurrent()) {
        glViewport(0, 0, PixelWidth(), PixelHeight());
        glClear(GL_COLOR_BUFFER_BIT);
        context_->swapBuffers(this);
    }

    BuildWindowFrame();
    BuildSplash();
    BuildNetworkMarks();

    LoadAeronauticalData();

    ShowStatus("Loading geographical data...");
    LoadGeographicalData();

    // Whatever failed to load is said instead of "Ready", and on standard
    // output, where a starter script or a test reads how start-up ended.
    if (settingsUnreadable_)
        dataProblems_.insert(dataProblems_.begin(), "kestrav.ini could not be read: settings will not be saved");
    Model.StatusText = StartUpStatus(dataProblems_);
    std::printf("%s\n", Model.StatusText.c_str());
    std::fflush(stdout);
    BuildStatusLine();
    Overlay.AboutVisible = false;
    GlobeChanged();
    if (MakeCurrent()) glDeleteLists(lists::Viewer().Splash, 1);
    DrawScene();

    Overlay.OverlayMode = OverlayKind::Map;
    Model.DownloadIdle = true;
    timDownload.start();
    timLive.start();
    FollowLiveInTray();
    CheckSectorsAtStart();
    return true;
}

void MapWindow::WaitUntilExposed(std::chrono::milliseconds limit) {
    QElapsedTimer waited;
    waited.start();
    while (!isExposed() && !exiting_ && waited.elapsed() < limit.count())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

bool MapWindow::InitOpenGL() {
    create();
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(requestedFormat());
    if (!context_->create() || !context_->makeCurrent(this)) {
        context_.reset();
        return false;
    }
    lists::AllocateViewer();
    SetPixelScale(devicePixelRatio());
    BuildGlyphSets();
    return true;
}

void MapWindow::ShutdownOpenGL() {
    if (!context_) return;
    if (context_->makeCurrent(this)) ShutdownGlyphSets();
    ForgetSegmentArrays();  // their buffers go with the context
    context_->doneCurrent();
    context_.reset();
}

bool MapWindow::MakeCurrent() { return context_ && context_->makeCurrent(this); }

void MapWindow::LoadSettings() {
    IniFile ini;
    settingsUnreadable_ = !ini.Load(ReadPath("kestrav.ini"));
    ScreenSize size;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        size.Width = screen->geometry().width();
        size.Height = screen->geometry().height();
    }
    Config = ReadSettings(ini, size);
    WeatherUrl = WeatherBase(ini.Get("Network", "WeatherUrl", kDefaultWeatherUrl));
    LoadFriends(ReadPath("data/friends.dat"), Model.Friends);
    // Watches are kept as friends are: one code a line.
    LoadFriends(ReadPath("data/watches.dat"), Model.Watches);
}

std::string MapWindow::SaveSettings() {
    if (!FullScreen) {
        Config.WindowLeft = x();
        Config.WindowTop = y();
        Config.WindowWidth = width();
        Config.WindowHeight = height();
    }
    // Where nothing may be saved (the user was told at start), nothing is.
    std::string failures, reason;
    const std::string friends = WritePath("data/friends.dat");
    if (!friends.empty() && !SaveFriends(friends, Model.Friends, &reason))
        failures += friends + " could not be saved: " + reason + "\n";
    const std::string watches = WritePath("data/watches.dat");
    if (!watches.empty() && (!Model.Watches.Empty() || FileExists(ReadPath("data/watches.dat"))) &&
        !SaveFriends(watches, Model.Watches, &reason))
        failures += watches + " could not be saved: " + reason + "\n";
    const std::string settings = WritePath("kestrav.ini");
    // The file read at start keeps its other sections, keys and comments;
    // one that cannot be read is never replaced.
    IniFile ini;
    if (settings.empty() || settingsUnreadable_ || !ini.Load(ReadPath("kestrav.ini"))) return failures;
    WriteSettings(ini, Config);
    if (!ini.Save(settings, &reason)) failures += settings + " could not be saved: " + reason + "\n";
    return failures;
}

void MapWindow::ShowStatus(const std::string& text) {
    Model.StatusText = text;
    BuildStatusLine();
    DrawScene();
}

void MapWindow::BuildStatusLine() {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    // Data older than they should be say their age.
    ageNote_ = AgeNote(Model, Live, Model.CurrentNetwork);
    kestrava::BuildStatusLine(lists::Viewer().StatusLine, Model.StatusText + ageNote_, width(), height());
}

void MapWindow::BuildWindowFrame() {
    GlobeChanged();
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildWindowFrame(Theme, width(), height());
    BuildStatusLine();
}

void MapWindow::BuildSplash() {
    GlobeChanged();
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildSplash(Theme, width(), height());
}

void MapWindow::BuildNetworkMarks() {
    if (Overlay.AboutVisible) GlobeChanged();  // else drawn over the kept picture
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildNetworkMarks(Model, Theme, width(), height());
}

void MapWindow::BuildClientCountBar() {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || !MakeCurrent()) return;
    kestrava::BuildClientCountBar(Model, Theme, width(), height());
}

void MapWindow::LoadAeronauticalData() {
    const AeronauticalLoad load =
        LoadSectorsAndAirports(Model, *this, Places(), [this](int number, const std::vector<GeoPoint>& outline) {
            GlobeChanged();
            if (MakeCurrent()) BuildSectorLists(Scenes.Sectors, number, outline, Theme);
        });
    dataProblems_.insert(dataProblems_.end(), load.Problems.begin(), load.Problems.end());
}

void MapWindow::LoadGeographicalData() {
    if (!MakeCurrent()) return;
    GlobeChanged();
    BuildGridList(Theme);
    BuildGlobeList(Theme);
    DrawScene();

    std::vector<LineSegment> coast;
    const auto unread = [this](const std::string& path, const char* name, const char* layer) {
        dataProblems_.push_back(DataFileProblem(path, name, layer));
        ShowStatus(dataProblems_.back());
    };
    if (const std::string path = ReadPath("data/coastline.dat"); !ReadLineSegments(path, false, coast))
        unread(path, "coastline.dat", "coastlines");
    if (!MakeCurrent()) return;
    GlobeChanged();
    BuildCoastlineList(coast, Theme);
    std::vector<LineSegment> borders;
    if (!Config.DisableCountries) {
        DrawScene();
        if (const std::string path = ReadPath("data/countries.dat"); !ReadLineSegments(path, true, borders))
            unread(path, "countries.dat", "country borders");
        if (!MakeCurrent()) return;
        GlobeChanged();
        BuildBorderList(borders, Theme);
    }
    // The coarser levels of detail are worked out beside the event loop, so
    // start-up does not wait for them; until they are built the full lines
    // are drawn.
    jobs_.Run([this, coast = std::move(coast), borders = std::move(borders)]() -> std::function<void()> {
        auto levels = std::make_shared<std::pair<std::vector<std::vector<LineSegment>>,
                                                 std::vector<std::vector<LineSegment>>>>(DetailLevels(coast),
                                                                                         DetailLevels(borders));
        return [this, levels] {
            if (exiting_ || !MakeCurrent()) return;
            GlobeChanged();
            BuildCoastlineDetail(levels->first, Theme);
            BuildBorderDetail(levels->second, Theme);
            lineDetailReady_ = true;
            DrawScene();
        };
    });
}

void MapWindow::DrawScene() {
    if (exiting_ || !isExposed() || PixelWidth() <= 0 || PixelHeight() <= 0 ||
        windowState() == Qt::WindowMinimized || !MakeCurrent())
        return;
    FrameInputs frame{View, Config, Switches, Overlay, Theme, Model.CurrentNetwork,
                      PixelWidth(), PixelHeight(), &Scenes, &PanelTexts};
    kestrava::DrawScene(frame, &picture_);
    context_->swapBuffers(this);
}

void MapWindow::ShowCompanion() {
    if (!companion_)
        companion_ = std::make_unique<frmCompanion>(
            Model, *this, *this, TwipsPerPixel,
            WeatherOptions{WeatherBase(WeatherUrl), Download.Timeout, Download.Proxy});
    companion_->ShowConsole();
}

void MapWindow::CentreMap(float latitude, float longitude, const std::string& label, bool zoomIn) {
    const float zoom = View.Zoom;
    CentreCamera(View, latitude, longitude);
    if (zoomIn)
        Overlay.OverlayMode = OverlayKind::Map;
    else
        View.Zoom = zoom;
    ShowStatus("Centered on " + label);
}

void MapWindow::BuildAirportMarker(const std::string& code, float latitude, float longitude) {
    GlobeChanged();
    if (MakeCurrent()) kestrava::BuildAirportMarker(code, latitude, longitude, Theme);
}

void MapWindow::ExitViewer(bool unattended) {
    if (exiting_) return;
    exiting_ = true;
    timAutoDownload.stop();
    timDownload.stop();
    timLive.stop();
    if (tray_) tray_->hide();
    // A transfer still running ends now; its result is not waited for.
    jobs_.CancelAll();
    ShutdownOpenGL();
    // A file that could not be saved is said on standard error and, when
    // the user closed the viewer, in a message box.
    if (const std::string failures = SaveSettings(); !failures.empty()) {
        std::fputs(failures.c_str(), stderr);
        if (!unattended && !qApp->isSavingSession()) ReportError(nullptr, QString::fromStdString(Cp1252ToUtf8(failures)).trimmed());
    }
    QCoreApplication::processEvents();
    QCoreApplication::exit(0);
}

bool MapWindow::event(QEvent* e) {
    // However the window is closed, the user's settings are saved.
    if (e->type() == QEvent::Close) {
        // With live refresh on, the viewer may go on in the tray.
        if (StayInTray()) {
            e->ignore();
            return true;
        }
        ExitViewer();
        e->accept();
        return true;
    }
    return QWindow::event(e);
}

void MapWindow::exposeEvent(QExposeEvent*) {
    FollowPixelRatio();
    DrawScene();
}

void MapWindow::FollowPixelRatio() {
    // Until start-up is through, its own steps compile every list.
    if (!context_ || devicePixelRatio() == PixelScale() || Overlay.OverlayMode == OverlayKind::StartUp) return;
    SetPixelScale(devicePixelRatio());
    if (!MakeCurrent()) return;
    // Glyphs, line widths and the flat overlays were made for the old ratio.
    ShutdownGlyphSets();
    BuildGlyphSets();
    BuildStatusLine();
    LoadGeographicalData();
    RebuildShownScene();
    resizeEvent(nullptr);
}

void MapWindow::RebuildShownScene() {
    // Every scene was built for what changed; the shown one is built again
    // now, the others when they are shown.
    Scenes.SceneBuilt = {};
    const NetworkIndex shown = Model.CurrentNetwork;
    if (shown == kMerged)
        BuildMergedScene();
    else if (Model.ClientTotal[shown] != 0)
        BuildNetworkScene(shown);
}

void MapWindow::resizeEvent(QResizeEvent*) {
    if (PixelWidth() <= 0 || PixelHeight() <= 0 || windowState() == Qt::WindowMinimized) return;
    FollowPixelRatio();
    BuildWindowFrame();
    BuildClientCountBar();
    BuildNetworkMarks();
    if (Overlay.OverlayMode != OverlayKind::StartUp) Overlay.OverlayMode = OverlayKind::Map;
    DrawScene();
}

}  // namespace kestrava
