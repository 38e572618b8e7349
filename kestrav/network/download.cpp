#include "kestrav/network/download.h"

#include "formats/files.h"
#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/json_feed.h"
#include "kestrav/network/transfer.h"
#include "kestrav/network/whazzup.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <limits>
#include <new>
#include <optional>
#include <random>

namespace kestrava {

namespace {

constexpr int kRetrySeconds = 5;

TransferOptions TransferOf(const DownloadOptions& options) {
    TransferOptions transfer;
    transfer.Timeout = options.Timeout;
    transfer.Proxy = options.Proxy;
    return transfer;
}

// Whole seconds since the network's last successful interpretation. A clock
// set back before that moment counts as long ago, so the reload interval
// never blocks downloads until the clock catches up.
long long SecondsSince(const NetworkModel& model, Clock::time_point then) {
    long long seconds = std::chrono::duration_cast<std::chrono::seconds>(model.Now() - then).count();
    return seconds < 0 ? std::numeric_limits<long long>::max() : seconds;
}

// The random generator is seeded from the time of day at every download.
std::mt19937 SeededFromTimeOfDay(const NetworkModel& model) {
    auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(model.Now().time_since_epoch());
    return std::mt19937(static_cast<std::uint32_t>(sinceEpoch.count() % 86400000));
}

// The end of every download that got past its start, also after a fault.
void EndDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n,
                 const Fault* fault) {
    model.DownloadIdle = true;
    if (fault) EndWithFault(model, display, n, *fault);
    display.BuildNetworkMarks();
    display.DrawScene();
    display.ClearSceneBuilt(n);
    display.ClearSceneBuilt(kMerged);
    if (options.AutoDownload)
        model.AutoCountdown = static_cast<std::int16_t>(std::clamp(options.DownloadMinutes, 3, 30) * 60);
}

void ShowDownloading(NetworkModel& model, DisplayHooks& display, std::uint8_t n, const std::string& address) {
    SetStatus(model, display, "Downloading " + model.NetworkName[n] + " data from " + address + "...");
    display.DrawScene();
}

// The whole file, one character per byte, read in one block.
bool ReadFileBytes(const std::string& path, std::string& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    bytes.clear();
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
    return !std::ferror(file.get());
}

// The gzip path's two files, data/whazzup.txt.gz and data/whazzup.txt. They
// stay under temporary names until the snapshot they hold has been
// interpreted, so a download that fails at any step leaves the last good
// pair as it was.
struct GzipFiles {
    explicit GzipFiles(const std::string& folder)
        : Gzip(folder + "/whazzup.txt.gz"), Plain(folder + "/whazzup.txt") {}
    PendingFile Gzip;
    PendingFile Plain;
};

// The gzip path: the bytes are stored, decompressed and read back. False
// (with its message shown) when the file cannot be written or decompressed.
bool FetchGzipSnapshot(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options,
                       const std::string& address, GzipFiles& files, std::string& text) {
    {
        std::string bytes = FetchBytes(address, TransferOf(options));
        if (!files.Gzip.Write(bytes)) {
            SetStatus(model, display, "Error creating file");
            return false;
        }
    }
    if (!UncompressFile(files.Gzip.TempPath(), files.Plain.TempPath())) {
        SetStatus(model, display, "Error unzipping data");
        return false;
    }
    if (!ReadFileBytes(files.Plain.TempPath(), text)) throw Fault(kFaultFileNotFound, "File not found");
    return true;
}

}  // namespace

void ConfigureFeeds(NetworkModel& model, const Settings& settings, const std::string& demoFolder) {
    model.StatusUrl = settings.StatusUrls;
    model.DataUrl = settings.DataUrls;
    model.TransceiverUrl = settings.TransceiverUrls;
    model.ProfileBase = settings.ProfileUrls;
    if (!settings.DemoFeed) return;
    model.DataUrl = {"file://" + demoFolder + "/ivao/whazzup.json", ""};
    model.StatusUrl[kVatsim] = "file://" + demoFolder + "/status.json";
    model.TransceiverUrl = {"", ""};
}

bool WithinReloadInterval(const NetworkModel& model, std::uint8_t n) {
    const Snapshot& s = model.Networks[n];
    return SecondsSince(model, s.LastDownload) < static_cast<long long>(s.ReloadMinutes) * 60;
}

const std::string& ChooseAddress(const std::vector<std::string>& addresses, double random) {
    static const std::string kNone;
    if (addresses.empty()) return kNone;
    size_t i = static_cast<size_t>(random * static_cast<double>(addresses.size()));
    return addresses[std::min(i, addresses.size() - 1)];
}

std::string JoinNetworkMessages(const std::vector<std::string>& messages) {
    std::string text;
    size_t shown = 0;
    for (; shown < messages.size() && shown < kMaxMessageLines; ++shown) {
        if (shown > 0) text += '\n';
        text += messages[shown];
        if (text.size() > kMaxMessageCharacters) break;
    }
    if (text.size() > kMaxMessageCharacters) {
        text.resize(kMaxMessageCharacters);
        text += "...";
    } else if (shown < messages.size()) {
        text += "\n...";
    }
    return text;
}

void ReadStatusFile(Snapshot& s, DisplayHooks& display, std::string_view text, bool textForce) {
    std::vector<std::string> lines = SplitNetworkLines(text);
    if (lines.size() < 5) return;
    lines.pop_back();  // the text after the last line break is not a line
    std::vector<std::string> messages, json;
    for (std::string& line : lines) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        // Each key is followed by one separator character and the value.
        if (StartsWith(line, "url0")) {
            std::string address = Trim(line.size() > 5 ? line.substr(5) : "");
            if (!address.empty() && s.DataUrls.size() < kMaxServerUrls) s.DataUrls.push_back(address);
        } else if (StartsWith(line, "gzurl0")) {
            std::string address = Trim(line.size() > 7 ? line.substr(7) : "");
            if (!address.empty() && s.GzipUrls.size() < kMaxServerUrls) s.GzipUrls.push_back(address);
        } else if (StartsWith(line, "json3")) {
            std::string address = Trim(line.size() > 6 ? line.substr(6) : "");
            if (!address.empty() && json.size() < kMaxServerUrls) json.push_back(address);
        } else if (StartsWith(line, "user0")) {
            s.ProfileUrl = Trim(line.size() > 6 ? line.substr(6) : "");
        } else if (StartsWith(line, "msg0")) {
            messages.push_back(line.size() > 5 ? line.substr(5) : "");
        }
    }
    // One box for all of them: a damaged file cannot queue a box per line.
    if (!messages.empty()) display.ShowNetworkMessage(JoinNetworkMessages(messages));
    if (textForce) s.GzipUrls.clear();
    // The JSON feed replaces the text snapshots, unless text is forced and
    // the file offers some.
    if (!json.empty() && !(textForce && !s.DataUrls.empty())) {
        s.DataUrls = std::move(json);
        s.GzipUrls.clear();
    }
}

void LocateServers(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (n > kVatsim) return;
    Snapshot& s = model.Networks[n];
    s.DataUrls.clear();
    s.GzipUrls.clear();
    s.TransceiverUrls.clear();
    s.ProfileUrl.clear();
    s.DownloadFailed = false;
    // A data address of its own: no status file is read.
    if (!model.DataUrl[n].empty()) {
        s.DataUrls.push_back(model.DataUrl[n]);
        s.ProfileUrl = model.ProfileBase[n];
        return;
    }
    SetStatus(model, display, "Locating " + model.NetworkName[n] + " server...");
    display.DrawScene();
    std::string text;
    try {
        text = FetchText(model.StatusUrl[n], TransferOf(options));
    } catch (const Fault&) {
        return;  // nothing found: the caller reports it
    }
    if (!(LooksLikeJsonObject(text) && ReadStatusJson(s, text))) ReadStatusFile(s, display, text, options.TextForce);
    // A status file from the network names network addresses only; file
    // addresses are for the user's own settings and a local status file.
    if (IsWebAddress(model.StatusUrl[n])) {
        for (auto* list : {&s.DataUrls, &s.GzipUrls, &s.TransceiverUrls}) KeepWebAddresses(*list);
        if (!IsWebAddress(s.ProfileUrl)) s.ProfileUrl.clear();
    }
    if (s.ProfileUrl.empty()) s.ProfileUrl = model.ProfileBase[n];
}

namespace {

// The centres of the network's transceivers, for the controllers of a JSON
// feed that report no position: fetched after the data, reused for
// kTransceiverReuse; a failure leaves none and fails nothing.
void RefreshTransceivers(NetworkModel& model, const DownloadOptions& options, std::uint8_t n, double random) {
    Snapshot& s = model.Networks[n];
    const std::string address =
        !model.TransceiverUrl[n].empty() ? model.TransceiverUrl[n] : ChooseAddress(s.TransceiverUrls, random);
    if (address.empty()) return;
    if (!s.TransceiverCentres.empty() && model.Now() - s.TransceiversFetched < kTransceiverReuse &&
        model.Now() >= s.TransceiversFetched)
        return;
    s.TransceiverCentres.clear();
    try {
        std::string body = FetchText(address, TransferOf(options));
        if (ReadTransceiverCentres(body, s.TransceiverCentres)) s.TransceiversFetched = model.Now();
    } catch (const Fault&) {
        s.TransceiverCentres.clear();
    }
}

}  // namespace

void DownloadNetwork(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (!model.DownloadIdle || n > kVatsim) return;
    Snapshot& s = model.Networks[n];
    s.DownloadFailed = false;
    s.DataFresh = false;
    if (WithinReloadInterval(model, n)) {
        s.DataFresh = true;  // the shown data stays, without a message
        return;
    }
    model.DownloadIdle = false;
    display.DiscardSceneLists(n);
    try {
        if (s.DataUrls.empty() && s.GzipUrls.empty()) LocateServers(model, display, options, n);
        if (s.DataUrls.empty() && s.GzipUrls.empty()) {
            s.DownloadFailed = true;
            display.BuildNetworkMarks();
            SetStatus(model, display, "Could not contact server");
            display.DrawScene();
            model.DownloadIdle = true;
            return;
        }
        std::mt19937 generator = SeededFromTimeOfDay(model);
        const double random = std::uniform_real_distribution<double>(0.0, 1.0)(generator);
        std::string text;
        std::optional<GzipFiles> files;
        if (!s.GzipUrls.empty()) {
            const std::string address = ChooseAddress(s.GzipUrls, random);
            ShowDownloading(model, display, n, address);
            files.emplace(options.DataFolder);
            if (!FetchGzipSnapshot(model, display, options, address, *files, text)) {
                EndDownload(model, display, options, n, nullptr);
                return;
            }
        } else {
            const std::string address = ChooseAddress(s.DataUrls, random);
            ShowDownloading(model, display, n, address);
            text = FetchText(address, TransferOf(options));
        }
        if (LooksLikeJsonObject(text)) RefreshTransceivers(model, options, n, random);
        InterpretFeed(model, display, n, std::move(text));
        // Only a snapshot that was interpreted replaces the files on disk.
        if (files && !s.DownloadFailed) {
            files->Gzip.Commit();
            files->Plain.Commit();
        }
    } catch (const Fault& fault) {
        EndDownload(model, display, options, n, &fault);
        return;
    } catch (const std::bad_alloc&) {
        Fault fault(kFaultOutOfMemory, "Out of memory");
        EndDownload(model, display, options, n, &fault);
        return;
    }
    EndDownload(model, display, options, n, nullptr);
}

void btnDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (!model.DownloadIdle || n > kMerged) return;
    model.CurrentNetwork = static_cast<NetworkIndex>(n);
    display.CloseOverlays();
    if (n == kMerged) {
        DownloadNetwork(model, display, options, kIvao);
        DownloadNetwork(model, display, options, kVatsim);
        display.EnableAutoDownloadTimer(false);
        display.BuildMergedScene();
    } else {
        DownloadNetwork(model, display, options, n);
        // A failed download over shown traffic keeps saying why.
        const std::string failure = model.Networks[n].DownloadFailed ? model.StatusText : std::string();
        if (options.AutoDownload) display.EnableAutoDownloadTimer(true);
        display.BuildNetworkScene(n);
        const std::string& stamp = model.Networks[n].UpdateStamp;
        if (!failure.empty() && model.ClientTotal[n] > 0 && stamp.size() >= 12)
            SetStatus(model, display,
                      failure + " - showing data of " + stamp.substr(8, 4) + "Z" + LeftOutNote(model.Networks[n].LeftOut));
        // IVAO's text is deleted once its traffic is shown.
        if (n == kIvao && model.ClientTotal[kIvao] > 0) std::remove((options.DataFolder + "/whazzup.txt").c_str());
    }
    display.BuildClientCountBar();
    display.DrawScene();
}

void timAutoDownloadTick(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options) {
    if (model.AutoCountdown > std::numeric_limits<std::int16_t>::min()) --model.AutoCountdown;
    if (model.AutoCountdown >= 1) return;
    const std::uint8_t n = model.CurrentNetwork;
    if ((n <= kVatsim && WithinReloadInterval(model, n)) || !model.DownloadIdle) {
        model.AutoCountdown = kRetrySeconds;
        return;
    }
    if (n <= kVatsim) btnDownload(model, display, options, n);
}

void timDownloadTick(NetworkModel& model, DisplayHooks& display) {
    for (std::uint8_t n : {kIvao, kVatsim}) {
        Snapshot& s = model.Networks[n];
        if (s.DataFresh && !WithinReloadInterval(model, n)) {
            s.DataFresh = false;
            display.BuildNetworkMarks();
            display.DrawScene();
        }
    }
}

}  // namespace kestrava
