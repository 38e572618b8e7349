// frmMap: the viewer's main window. Start-up, paint and resize, exit.
#pragma once

#include "formats/colour_theme.h"
#include "formats/settings.h"
#include "kestrav/map/background_jobs.h"
#include "kestrav/map/map_controls.h"
#include "kestrav/network/download.h"
#include "kestrav/network/live.h"
#include "kestrav/network/notify_events.h"
#include "kestrav/network/trails.h"
#include "kestrav/network/model.h"
#include "kestrav/network/sector_update.h"
#include "globe/camera.h"
#include "kestrav/render/frame.h"
#include "kestrav/render/panels.h"
#include "kestrav/render/scene.h"

#include <QTimer>
#include <QWindow>

#include <chrono>
#include <memory>

class QMenu;
class QOpenGLContext;
class QSystemTrayIcon;

namespace kestrava {

class DesktopNotifier;
class frmCompanion;

// What the window holds of the viewer: the model, the settings and theme,
// the camera, the overlays and panels, the scenes, the input state and the
// download options.
struct ViewerState {
    NetworkModel Model;
    Settings Config;
    ColourTheme Theme;
    Camera View;
    OverlayState Overlay;
    MapSwitches Switches;
    SceneState Scenes;
    InputState Input;
    PanelState Panel;
    PanelLabels PanelTexts;    // the radar's callsigns
    DownloadOptions Download;  // from the settings, read once at start-up
    std::string WeatherUrl;    // [Network] WeatherUrl, read at start-up, never written
    LiveState Live;            // live refresh, from [Network] LiveSeconds
    TrailBook Trails;          // where each aircraft has been this run
};

class MapWindow : public QWindow, public ViewerActions, protected ViewerState {
public:
    MapWindow();
    ~MapWindow() override;

    // The whole start-up; false when the program must end (the reason has
    // been shown to the user).
    bool StartUp();

    // ViewerActions: what the download asks of the window,
    void BuildStatusLine() override;
    void BuildNetworkMarks() override;
    void BuildClientCountBar() override;
    void DrawScene() override;
    void DiscardSceneLists(int net) override;
    void BuildNetworkScene(int net) override;
    void BuildMergedScene() override;
    void ClearSceneBuilt(int index) override;
    void CloseOverlays() override;
    void EnableAutoDownloadTimer(bool on) override;
    void ShowNetworkMessage(const std::string& text) override;

    // what the controls, the console and the timers ask,
    void btnDownload(int network) override;
    void DownloadThen(int network, std::function<void()> done) override;
    void RunBeside(std::function<std::function<void()>()> work) override;
    // Live refresh on (at LiveSeconds, 60 when it was 0) or off, and the
    // trails shown or not: the keys R and T.
    void ToggleLive() override;
    void ToggleTrails() override;
    void MenuClick(double px, double py) override;  // a left press on a bar, in twips
    void ToggleFullScreen() override;

    void BuildAtcPopup(int network, const AtcClient& atc) override;
    void BuildPilotPopup(int network, const PilotClient& pilot) override;
    void BuildSelectionList(const PickState& pick) override;
    void BuildRouteHighlight(const PilotClient& pilot) override;
    void BuildAirportRouteHighlight(int network, const std::string& code) override;
    void ClearRouteHighlight() override;
    bool OpenUrl(const std::string& url) override;
    void BuildListWindow() override;
    void BuildAirportWindow() override;
    // Space: the companion console, created the first time.
    void ShowCompanion() override;
    // The sector update on a thread of its own (sector_refresh.cpp).
    bool UpdateSectors() override;

    // The window's own operations.
    // `unattended`: ended from outside (a signal, the session's end), when
    // no one may be there to close a message box.
    void ExitViewer(bool unattended = false);
    bool Exiting() const { return exiting_; }
    void MinimiseWindow();
    // A second start asked for this window: shown, raised and focused.
    void RaiseWindow();

    void CentreMap(float latitude, float longitude, const std::string& label, bool zoomIn) override;
    void BuildAirportMarker(const std::string& code, float latitude, float longitude) override;

    // The controls over this window's state and size.
    MapControls Controls();

    // Size of the drawing surface in pixels.
    int PixelWidth() const;
    int PixelHeight() const;

    // True while a sector update runs.
    bool SectorUpdateRunning() const { return sectorUpdating_; }
    // True once the coastlines' and borders' coarser levels are built.
    bool LineDetailReady() const { return lineDetailReady_; }
    // The kept picture under the status line, with its frame counts.
    const GlobePicture& Picture() const { return picture_; }

    // The window's state, handed to the tests and the benchmarks.
    ViewerState& State() { return *this; }
    float TwipsPerPixel = 15;
    bool FullScreen = false;
    bool ResizeActive = false;
    QTimer timAutoDownload;
    QTimer timDownload;
    // Every second: a due live refresh, the motion step, the data's age.
    QTimer timLive;
    // Live mode's tick, and the motion step alone (the benchmark times it).
    void LiveTick();
    void MotionStep();
    // True while a download's transfer runs beside the window.
    bool Downloading() const { return jobs_.Busy(); }

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // A list the picture under the status line draws has changed: the next
    // frame is drawn in full.
    void GlobeChanged() { ++picture_.Generation; }

private:
    bool InitOpenGL();
    // Runs the event loop until the window is exposed, for at most `limit`.
    void WaitUntilExposed(std::chrono::milliseconds limit);
    void ShutdownOpenGL();
    bool MakeCurrent();
    void LoadSettings();
    // Saves friends.dat and kestrav.ini; gives one line per file that could
    // not be written, naming it and the reason.
    std::string SaveSettings();
    void BuildWindowFrame();
    void BuildSplash();
    void LoadAeronauticalData();
    void LoadGeographicalData();
    void ShowStatus(const std::string& text);  // StatusText, status line, frame
    // On the window's thread: the sector update's outcome; on success the
    // sectors are read again, the traffic placed on them and the scene of
    // the shown network rebuilt.
    void FinishSectorUpdate(const SectorUpdateResult& result);
    // At start-up: the update, once, when the sector data are older than
    // [Network] SectorCheckDays.
    void CheckSectorsAtStart();
    // The next network of the running download planned and its transfer
    // started beside the window; when none is left, the download finishes.
    void StartQueuedDownload();
    void CommitQueuedDownload(std::uint8_t net, DownloadOutcome outcome);

    SceneContext Scene();
    // The window's size in twips of its own pixels: on a scaled screen the
    // flat overlays are laid out in them and grow with the ratio.
    double TwipsWidth() const { return width() * TwipsPerPixel; }
    double TwipsHeight() const { return height() * TwipsPerPixel; }
    // A new device pixel ratio (another screen): glyphs, lines and every
    // list made for the old one are made again.
    void FollowPixelRatio();
    // The scene lists all marked out of date, the shown one built again.
    void RebuildShownScene();

    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<frmCompanion> companion_;
    QPointF resizeOffset_;  // window corner minus cursor, while resizing
    bool exiting_ = false;
    // kestrav.ini exists but could not be read: it is never written over.
    bool settingsUnreadable_ = false;
    bool lineDetailReady_ = false;
    // The data files that failed at start-up, as the status line says them.
    std::vector<std::string> dataProblems_;
    GlobePicture picture_;
    // The sector update runs beside the window (jobs_); its result comes
    // back on this thread.
    bool sectorUpdating_ = false;
    // The running download: the networks still to fetch, the view it shows
    // when done, whether it is a live refresh, and who waits for its end.
    std::vector<std::uint8_t> queue_;
    std::uint8_t finishing_ = kIvao;
    bool liveRun_ = false;
    std::vector<std::function<void()>> whenDone_;
    std::vector<std::uint8_t> toTell_;
    std::string liveFailure_;  // "Live refresh failed 3 times in a row: ...", shown once the view is  // networks whose new snapshot's events are still to tell
    // Notifications: what was seen of each network, the desktop's service,
    // and the tray icon while live refresh is on (notifications.cpp).
    void TellEvents(std::uint8_t net);
    void ShowNotified(const NotifyEvent& event);
    void FollowLiveInTray();
    // Closing with live refresh on: true when the viewer goes on in the tray.
    bool StayInTray();
    NotifyMemory notified_;
    std::unique_ptr<DesktopNotifier> notifier_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<QMenu> trayMenu_;
    // The age note last put in the status line.
    std::string ageNote_;
    int lastMotionSecond_ = -1;
    // The work beside the window: downloads, the sector update, the
    // coastlines' levels of detail. Declared last: its threads end (or are
    // given up on) before the rest of the window goes.
    BackgroundJobs jobs_{this};
};

}  // namespace kestrava
