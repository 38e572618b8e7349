// The network feed download: the status file of a network read once per run
// (or a data address of its own used directly), one snapshot address picked
// at random per download, the gzip path through data/whazzup.txt.gz and
// data/whazzup.txt or the plain path, the transceivers of a JSON feed, the
// hand-over to the feed's reader (feed.h), the network's reload interval and
// the automatic download.
// The two files are replaced only by a download that got as far as an
// interpreted snapshot; any failure on the way leaves them as they were.
//
// A download has three steps: PlanDownload takes what it needs from the
// model on the window's thread, FetchNetwork transfers and reads the feed
// anywhere (it touches nothing shared), CommitDownload shows the outcome on
// the window's thread. DownloadNetwork and btnDownload run the three in a
// row and block; the window runs the middle one on a thread of its own
// (live_download.h). DownloadIdle refuses a second download meanwhile. The
// window's part (scene lists, overlays, timers, message box) is asked for
// through DisplayHooks.
#pragma once

#include "formats/settings.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/model.h"
#include "kestrav/network/transfer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// The settings the download reads (section Network of kestrav.ini) and the
// folder its files go to.
struct DownloadOptions {
    bool AutoDownload = false;
    int DownloadMinutes = 5;                  // 3..30
    std::chrono::milliseconds Timeout{15000}; // time without an answer
    std::string Proxy = "0";                  // fewer than 2 characters: no proxy
    bool TextForce = false;                   // always the plain path
    std::string DataFolder = "data";          // the program folder's data/
};

// The feed addresses of both networks from the settings: status, data,
// transceiver and profile addresses; with DemoFeed the demo feed in
// `demoFolder` instead (IVAO's JSON file as its data address, VATSIM's
// status.json).
void ConfigureFeeds(NetworkModel& model, const Settings& settings, const std::string& demoFolder);

// The window's download operation for network 0, 1 or 2 (both, shown
// merged). Does nothing while a download runs. Closes any overlay, downloads,
// switches the auto-download timer, has the scene built, rebuilds the
// client-count bar and draws a frame.
void btnDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n);

// One download and interpretation of network 0 or 1. Refused without a
// message while the network's data is younger than its RELOAD minutes.
void DownloadNetwork(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n);

// What one network's download needs, copied out of the model.
struct DownloadPlan {
    std::uint8_t Net = kIvao;
    std::string Name;                // "IVAO"
    DownloadOptions Options;
    // The addresses: found from StatusUrl first when Locate is set (or the
    // network's own DataUrl taken), else the ones found before.
    bool Locate = false;
    std::string StatusUrl, OwnDataUrl, ProfileBase, OwnTransceiverUrl;
    std::vector<std::string> DataUrls, GzipUrls, TransceiverUrls;
    // The transceiver centres of the last fetch, and whether they are young
    // enough to be used again.
    TransceiverCentres Centres;
    bool CentresCurrent = false;
    double Random = 0;  // picks the address, in [0, 1)
    // The airport and sector tables the feed is read against (a copy).
    std::shared_ptr<const NetworkModel> Lookups;
    // A live refresh asks only for a body newer than the last one.
    bool Conditional = false;
    Validators Prior;
    // Set by the window to end the transfer (the program is closing).
    const std::atomic<bool>* Cancel = nullptr;
};

// What came of it, for CommitDownload.
struct DownloadOutcome {
    bool Live = false;     // of a live refresh: a snapshot older than the shown one is ignored
    bool Located = false;  // the addresses below replace the network's
    std::vector<std::string> DataUrls, GzipUrls, TransceiverUrls;
    std::string ProfileUrl;
    std::vector<std::string> Messages;  // the status file's msg0 texts, one box
    bool NoServer = false;              // "Could not contact server"
    std::string StepFailure;            // "Error creating file", "Error unzipping data"
    std::optional<Fault> Failure;       // the transfer's or the file's fault
    bool NotModified = false;           // a 304: the shown snapshot still holds
    std::optional<FeedResult> Feed;     // the body, read
    bool CentresFetched = false;        // Centres replace the network's
    TransceiverCentres Centres;
    Validators Current;
    // The gzip path's two files, under temporary names until committed.
    std::shared_ptr<struct GzipFiles> Files;
};

// The window's thread: whether network n may be downloaded now (DownloadIdle,
// the reload interval: refused, the data stays fresh); then DownloadIdle is
// false and the plan is made. `conditional`: a live refresh.
std::optional<DownloadPlan> PlanDownload(NetworkModel& model, const DownloadOptions& options, std::uint8_t n,
                                         bool conditional = false, const Validators& prior = {});
// Any thread: the transfers and the reading of the feed. `say` gets each
// status text as the steps go; `progress` (when set) the bytes received so
// far as well, "Downloading VATSIM data from ... 412 kB", at most every 100 ms.
DownloadOutcome FetchNetwork(const DownloadPlan& plan, const std::function<void(const std::string&)>& say,
                             const std::function<void(const std::string&)>& progress);
// The window's thread: the outcome shown (addresses, messages, the feed or
// the failure, the files on disk), then DownloadIdle is true again.
void CommitDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n,
                    DownloadOutcome outcome);
// The end of btnDownload once its downloads are committed: the scene of
// network n (or the merged one), the failure over shown traffic, IVAO's
// text deleted, the count bar and a frame.
void FinishDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n);

// True while network 0 or 1's last snapshot is younger than its RELOAD
// minutes: no download of it is made, whoever asks (the console's refresh
// says so).
bool WithinReloadInterval(const NetworkModel& model, std::uint8_t n);

// Finds the network's snapshot addresses. With a data address of its own
// (NetworkModel::DataUrl) that one, without any status file. Otherwise the
// status file at StatusUrl: VATSIM's status.json (data.v3[],
// data.transceivers[], user[]) or a text status file (ReadStatusFile). The
// profile address falls back to NetworkModel::ProfileBase.
void LocateServers(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n);

// The status file's lines applied to the network's address lists, in file
// order (LocateServers after its transfer): url0 and gzurl0 addresses (9 of
// each at most), user0 profile address and msg0 messages, shown together in
// one box (JoinNetworkMessages). json3 addresses (9 at most) replace the
// url0 and gzurl0 ones, unless textForce is set and url0 addresses exist;
// textForce drops the gzurl0 addresses.
void ReadStatusFile(Snapshot& snapshot, DisplayHooks& display, std::string_view text, bool textForce);

// The text of the one message box for a status file's msg0 lines: the
// messages joined by line breaks, at most 20 lines and 2,000 characters;
// "..." follows when anything was left out.
constexpr size_t kMaxMessageLines = 20;
constexpr size_t kMaxMessageCharacters = 2000;
std::string JoinNetworkMessages(const std::vector<std::string>& messages);

// Address number floor(random * count) of the list; random is in [0, 1).
// The empty text for an empty list.
const std::string& ChooseAddress(const std::vector<std::string>& addresses, double random);

// Handler of the window's timAutoDownload timer (every 1000 ms): counts
// down AutoCountdown and downloads the shown network when it runs out,
// retrying every 5 seconds while the reload interval lasts or a download
// runs.
void timAutoDownloadTick(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options);
// The same, the download asked of `download` (the window's, beside it).
void timAutoDownloadTick(NetworkModel& model, const DownloadOptions& options,
                         const std::function<void(std::uint8_t)>& download);

// Handler of the window's timDownload timer (every 2000 ms): a network's
// data stops being fresh once its RELOAD minutes have passed.
void timDownloadTick(NetworkModel& model, DisplayHooks& display);

}  // namespace kestrava
