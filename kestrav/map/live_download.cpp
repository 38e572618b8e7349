// The window's downloads: the transfer and the feed's reading beside the
// window, the commit on its thread; live refresh, the motion step and the
// trails.
#include "kestrav/map/map_window.h"

#include "kestrav/network/values.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>

namespace kestrava {

namespace {

std::int64_t EpochSeconds(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

}  // namespace

void MapWindow::btnDownload(int network) {
    // A network key puts live mode to work when it is on.
    if (Live.Seconds > 0) Live.Active = true;
    DownloadThen(network, {});
}

void MapWindow::DownloadThen(int network, std::function<void()> done) {
    if (network < 0 || network > 2 || !Model.DownloadIdle || exiting_) {
        if (done) done();
        return;
    }
    const auto n = static_cast<std::uint8_t>(network);
    Model.CurrentNetwork = static_cast<NetworkIndex>(n);
    CloseOverlays();
    queue_ = n == kMerged ? std::vector<std::uint8_t>{kIvao, kVatsim} : std::vector<std::uint8_t>{n};
    finishing_ = n;
    liveRun_ = false;
    if (done) whenDone_.push_back(std::move(done));
    StartQueuedDownload();
}

void MapWindow::RunBeside(std::function<std::function<void()>()> work) { jobs_.Run(std::move(work)); }

void MapWindow::StartQueuedDownload() {
    while (!queue_.empty() && !exiting_) {
        const std::uint8_t net = queue_.front();
        queue_.erase(queue_.begin());
        std::optional<DownloadPlan> plan = PlanDownload(Model, Download, net, liveRun_, Live.Prior[net]);
        if (!plan) continue;  // within the reload interval: the data stays
        plan->Cancel = jobs_.Cancelled();
        if (liveRun_) Live.Tried[net] = true, Live.LastTry[net] = SteadyClock::now();
        // The steps' texts and the bytes come back to the status line.
        const auto say = [this](const std::string& text) {
            jobs_.Post([this, text] {
                if (exiting_) return;
                ShowStatus(text);
            });
        };
        jobs_.Run([this, net, say, plan = std::move(*plan)]() -> std::function<void()> {
            auto outcome = std::make_shared<DownloadOutcome>(FetchNetwork(plan, say, say));
            return [this, net, outcome] { CommitQueuedDownload(net, std::move(*outcome)); };
        });
        return;
    }
    if (exiting_) return;
    // Every network of the download is through: the view is shown.
    const bool live = liveRun_;
    liveRun_ = false;
    FinishDownload(Model, *this, Download, finishing_);
    // After three failures in a row the status line says so.
    if (live && !liveFailure_.empty()) ShowStatus(liveFailure_);
    liveFailure_.clear();
    // What the new snapshots bring is told once the view is shown.
    std::vector<std::uint8_t> tell;
    tell.swap(toTell_);
    for (std::uint8_t n : tell) TellEvents(n);
    std::vector<std::function<void()>> done;
    done.swap(whenDone_);
    for (auto& call : done) call();
}

void MapWindow::CommitQueuedDownload(std::uint8_t net, DownloadOutcome outcome) {
    if (exiting_) return;
    const bool live = liveRun_;
    const bool notModified = outcome.NotModified;
    const Validators current = outcome.Current;
    const Clock::time_point before = Model.Networks[net].LastDownload;
    CommitDownload(Model, *this, Download, net, std::move(outcome));
    const Snapshot& s = Model.Networks[net];
    const bool failed = s.DownloadFailed || (!notModified && s.LastDownload == before);
    if (live) {
        if (!failed) Live.Prior[net] = current;
        if (std::string said = NoteRefresh(Live, net, failed, Model.StatusText); !said.empty())
            liveFailure_ = std::move(said);
    } else if (!failed) {
        Live.Prior[net] = current;
        Live.Failures[net] = 0;
    }
    // A new snapshot: each aircraft's trail takes its reported place, and
    // what it brings is told.
    if (!failed && !notModified) {
        AddSnapshot(Trails, net, s, EpochSeconds(s.LastDownload));
        toTell_.push_back(net);
    }
    lastMotionSecond_ = -1;
    StartQueuedDownload();
}

void MapWindow::LiveTick() {
    if (exiting_) return;
    // The age in the status line follows the clock.
    const std::string age = AgeNote(Model, Live, Model.CurrentNetwork);
    if (age != ageNote_) {
        ageNote_ = age;
        BuildStatusLine();
        DrawScene();
    }
    MotionStep();
    const std::vector<std::uint8_t> due = DueNetworks(Model, Live, SteadyClock::now());
    if (due.empty() || Overlay.OverlayMode == OverlayKind::StartUp) return;
    // A live refresh keeps whatever the user has open.
    queue_ = due;
    finishing_ = Model.CurrentNetwork;
    liveRun_ = true;
    StartQueuedDownload();
}

void MapWindow::MotionStep() {
    const bool moving = Config.PlaneMotion && Live.Seconds > 0 && Live.Active;
    const std::uint8_t view = Model.CurrentNetwork;
    int second = 0;
    bool anyShown = false;
    for (std::uint8_t n : {kIvao, kVatsim}) {
        if (view != n && view != kMerged) continue;
        Snapshot& s = Model.Networks[n];
        if (s.PilotCount == 0 || s.Received == Clock::time_point{}) continue;
        anyShown = true;
        const double ahead = moving ? MotionSeconds(LivePeriod(Model, Live, n), Model.Now() - s.Received) : 0;
        second += static_cast<int>(ahead);
    }
    // Once a second at most, and only when something moves or goes back.
    if (!anyShown || second == lastMotionSecond_) return;
    lastMotionSecond_ = second;
    for (std::uint8_t n : {kIvao, kVatsim}) {
        if (view != n && view != kMerged) continue;
        Snapshot& s = Model.Networks[n];
        if (s.Received == Clock::time_point{}) continue;
        PlaceAircraft(s, moving ? MotionSeconds(LivePeriod(Model, Live, n), Model.Now() - s.Received) : 0);
    }
    if (!MakeCurrent()) return;
    SceneContext scene = Scene();
    CompileAircraft(scene, view);
    DrawScene();
}

void MapWindow::ToggleLive() {
    static int remembered = 60;
    if (Config.LiveSeconds > 0) {
        remembered = Config.LiveSeconds;
        Config.LiveSeconds = 0;
    } else {
        Config.LiveSeconds = LiveSecondsValue(remembered);
    }
    Live.Seconds = Config.LiveSeconds;
    // On with data shown: that view is kept current from now on.
    Live.Active = Live.Seconds > 0 && Model.ClientTotal[Model.CurrentNetwork] != 0;
    lastMotionSecond_ = -1;
    FollowLiveInTray();
    ShowStatus(Live.Seconds > 0 ? "Live refresh on (every " + std::to_string(Live.Seconds) + " s)"
                                : std::string("Live refresh off"));
    MotionStep();
}

void MapWindow::ToggleTrails() {
    Config.ShowTrails = !Config.ShowTrails;
    GlobeChanged();
    ShowStatus("Trails toggle");
}

}  // namespace kestrava
