// The network feed download: the status file of a network read once per run
// (or a data address of its own used directly), one snapshot address picked
// at random per download, the gzip path through data/whazzup.txt.gz and
// data/whazzup.txt or the plain path, the transceivers of a JSON feed, the
// hand-over to the feed's reader (feed.h), the network's reload interval and
// the automatic download.
// The two files are replaced only by a download that got as far as an
// interpreted snapshot; any failure on the way leaves them as they were.
//
// Everything runs on the caller's (the window's) thread and blocks until the
// transfer ends or times out; DownloadIdle refuses a second download
// meanwhile. The window's part (scene lists, overlays, timers, message box)
// is asked for through DisplayHooks.
#pragma once

#include "formats/settings.h"
#include "kestrav/network/model.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// The settings the download reads (section Network of kestrav.ini) and the
// folder its files go to.
struct DownloadOptions {
    bool AutoDownload = false;
    int DownloadMinutes = 5;                  // 3..30
    std::chrono::milliseconds Timeout{15000}; // request time-out
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

// Handler of the window's timDownload timer (every 2000 ms): a network's
// data stops being fresh once its RELOAD minutes have passed.
void timDownloadTick(NetworkModel& model, DisplayHooks& display);

}  // namespace kestrava
