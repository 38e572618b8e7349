#include "kestrav/network/download.h"

#include "formats/files.h"
#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/json_feed.h"
#include "kestrav/network/transfer.h"
#include "kestrav/network/whazzup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
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

}  // namespace

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

namespace {

// The status file's addresses (or the network's own data address) into
// `s`'s address fields; its msg0 box goes to `display`. Nothing found leaves
// the lists empty: the caller reports it.
void LocateInto(Snapshot& s, DisplayHooks& display, const DownloadOptions& options, const std::string& statusUrl,
                const std::string& ownDataUrl, const std::string& profileBase,
                const std::function<void(const std::string&)>& say) {
    s.DataUrls.clear();
    s.GzipUrls.clear();
    s.TransceiverUrls.clear();
    s.ProfileUrl.clear();
    // A data address of its own: no status file is read.
    if (!ownDataUrl.empty()) {
        s.DataUrls.push_back(ownDataUrl);
        s.ProfileUrl = profileBase;
        return;
    }
    say("Locating");
    std::string text;
    try {
        text = FetchText(statusUrl, TransferOf(options));
    } catch (const Fault&) {
        return;
    }
    if (!(LooksLikeJsonObject(text) && ReadStatusJson(s, text))) ReadStatusFile(s, display, text, options.TextForce);
    for (auto* list : {&s.DataUrls, &s.GzipUrls, &s.TransceiverUrls}) ResolveAddresses(statusUrl, *list);
    // A status file from the network names network addresses only; file
    // addresses are for the user's own settings and a local status file.
    if (IsWebAddress(statusUrl)) {
        for (auto* list : {&s.DataUrls, &s.GzipUrls, &s.TransceiverUrls}) KeepWebAddresses(*list);
        if (!IsWebAddress(s.ProfileUrl)) s.ProfileUrl.clear();
    }
    if (s.ProfileUrl.empty()) s.ProfileUrl = profileBase;
}

// Keeps the message boxes a status file asks for, to be shown at the commit.
class KeptMessages : public DisplayHooks {
public:
    void ShowNetworkMessage(const std::string& text) override { Texts.push_back(text); }
    std::vector<std::string> Texts;
};

}  // namespace

void LocateServers(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (n > kVatsim) return;
    Snapshot& s = model.Networks[n];
    s.DownloadFailed = false;
    LocateInto(s, display, options, model.StatusUrl[n], model.DataUrl[n], model.ProfileBase[n], [&](const std::string&) {
        SetStatus(model, display, "Locating " + model.NetworkName[n] + " server...");
        display.DrawScene();
    });
}

namespace {

// Where the snapshot of a plan is fetched, and how it went on the way.
struct Fetching {
    const DownloadPlan& plan;
    const std::function<void(const std::string&)>& say;
    const std::function<void(const std::string&)>& progress;
    DownloadOutcome& out;

    TransferOptions Transfer(const std::string& shown) const {
        TransferOptions transfer = TransferOf(plan.Options);
        transfer.Cancel = plan.Cancel;
        if (progress) {
            auto last = std::make_shared<std::chrono::steady_clock::time_point>();
            const std::string head = "Downloading " + plan.Name + " data from " + shown + "... ";
            transfer.Progress = [this, last, head](std::size_t bytes) {
                const auto now = std::chrono::steady_clock::now();
                if (now - *last < std::chrono::milliseconds(100)) return;
                *last = now;
                progress(head + std::to_string(bytes / 1000) + " kB");
            };
        }
        return transfer;
    }

    // The body at `address`, or nothing on a 304 (NotModified set).
    std::optional<std::string> Body(const std::string& address, bool asText) {
        if (!plan.Conditional)
            return asText ? FetchText(address, Transfer(address)) : FetchBytes(address, Transfer(address));
        ConditionalAnswer answer = FetchIfChanged(address, Transfer(address), plan.Prior, asText);
        out.Current = std::move(answer.Current);
        if (answer.NotModified) {
            out.NotModified = true;
            return std::nullopt;
        }
        return std::move(answer.Body);
    }

    // The centres of the network's transceivers, for the controllers of a
    // JSON feed that report no position: fetched after the data, reused for
    // kTransceiverReuse; a failure leaves none and fails nothing.
    const TransceiverCentres& Centres(const std::vector<std::string>& addresses) {
        const std::string address =
            !plan.OwnTransceiverUrl.empty() ? plan.OwnTransceiverUrl : ChooseAddress(addresses, plan.Random);
        if (address.empty() || plan.CentresCurrent) return plan.Centres;
        out.CentresFetched = true;
        try {
            std::string body = FetchText(address, Transfer(address));
            if (!ReadTransceiverCentres(body, out.Centres)) out.Centres.clear();
        } catch (const Fault&) {
            out.Centres.clear();
        }
        return out.Centres;
    }

    void Run() {
        std::vector<std::string> data = plan.DataUrls, gzip = plan.GzipUrls, transceivers = plan.TransceiverUrls;
        if (plan.Locate) {
            Snapshot found;
            KeptMessages messages;
            LocateInto(found, messages, plan.Options, plan.StatusUrl, plan.OwnDataUrl, plan.ProfileBase,
                       [&](const std::string&) { say("Locating " + plan.Name + " server..."); });
            out.Located = true;
            data = out.DataUrls = std::move(found.DataUrls);
            gzip = out.GzipUrls = std::move(found.GzipUrls);
            transceivers = out.TransceiverUrls = std::move(found.TransceiverUrls);
            out.ProfileUrl = std::move(found.ProfileUrl);
            out.Messages = std::move(messages.Texts);
        }
        if (data.empty() && gzip.empty()) {
            out.NoServer = true;
            return;
        }
        std::string text;
        if (!gzip.empty()) {
            const std::string address = ChooseAddress(gzip, plan.Random);
            say("Downloading " + plan.Name + " data from " + address + "...");
            auto files = std::make_shared<GzipFiles>(plan.Options.DataFolder);
            {
                std::optional<std::string> bytes = Body(address, false);
                if (!bytes) return;
                if (!files->Gzip.Write(*bytes)) {
                    out.StepFailure = "Error creating file";
                    return;
                }
            }
            if (!UncompressFile(files->Gzip.TempPath(), files->Plain.TempPath())) {
                out.StepFailure = "Error unzipping data";
                return;
            }
            if (!ReadFileBytes(files->Plain.TempPath(), text)) throw Fault(kFaultFileNotFound, "File not found");
            out.Files = std::move(files);
        } else {
            const std::string address = ChooseAddress(data, plan.Random);
            say("Downloading " + plan.Name + " data from " + address + "...");
            std::optional<std::string> body = Body(address, true);
            if (!body) return;
            text = std::move(*body);
        }
        const TransceiverCentres& centres = LooksLikeJsonObject(text) ? Centres(transceivers) : plan.Centres;
        // Only a body of some feed's form is announced as being interpreted.
        if (LooksLikeJsonObject(text) || LooksLikeSnapshotText(text))
            say(plan.Name + " data downloaded, interpreting data...");
        out.Feed = ParseFeed(std::move(text), plan.Net, *plan.Lookups, centres);
    }
};

}  // namespace

std::optional<DownloadPlan> PlanDownload(NetworkModel& model, const DownloadOptions& options, std::uint8_t n,
                                         bool conditional, const Validators& prior) {
    if (!model.DownloadIdle || n > kVatsim) return std::nullopt;
    Snapshot& s = model.Networks[n];
    s.DownloadFailed = false;
    s.DataFresh = false;
    if (WithinReloadInterval(model, n)) {
        s.DataFresh = true;  // the shown data stays, without a message
        return std::nullopt;
    }
    model.DownloadIdle = false;
    DownloadPlan plan;
    plan.Net = n;
    plan.Name = model.NetworkName[n];
    plan.Options = options;
    plan.Locate = s.DataUrls.empty() && s.GzipUrls.empty();
    plan.StatusUrl = model.StatusUrl[n];
    plan.OwnDataUrl = model.DataUrl[n];
    plan.ProfileBase = model.ProfileBase[n];
    plan.OwnTransceiverUrl = model.TransceiverUrl[n];
    plan.DataUrls = s.DataUrls;
    plan.GzipUrls = s.GzipUrls;
    plan.TransceiverUrls = s.TransceiverUrls;
    plan.CentresCurrent = !s.TransceiverCentres.empty() && model.Now() - s.TransceiversFetched < kTransceiverReuse &&
                          model.Now() >= s.TransceiversFetched;
    if (plan.CentresCurrent) plan.Centres = s.TransceiverCentres;
    std::mt19937 generator = SeededFromTimeOfDay(model);
    plan.Random = std::uniform_real_distribution<double>(0.0, 1.0)(generator);
    auto lookups = std::make_shared<NetworkModel>();
    lookups->Airports = model.Airports;
    lookups->Sectors = model.Sectors;
    plan.Lookups = std::move(lookups);
    plan.Conditional = conditional;
    plan.Prior = prior;
    return plan;
}

DownloadOutcome FetchNetwork(const DownloadPlan& plan, const std::function<void(const std::string&)>& say,
                             const std::function<void(const std::string&)>& progress) {
    DownloadOutcome out;
    out.Live = plan.Conditional;
    try {
        Fetching{plan, say, progress, out}.Run();
    } catch (const Fault& fault) {
        out.Failure = fault;
    } catch (const std::bad_alloc&) {
        out.Failure = Fault(kFaultOutOfMemory, "Out of memory");
    }
    return out;
}

namespace {

// Stamps "YYYYMMDDhhmmss" compare as text; anything else is no stamp.
bool IsStamp(const std::string& stamp) {
    return stamp.size() == 14 && std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void CommitDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n,
                    DownloadOutcome outcome) {
    if (n > kVatsim) return;
    Snapshot& s = model.Networks[n];
    const std::string& name = model.NetworkName[n];
    if (outcome.Located) {
        s.DataUrls = std::move(outcome.DataUrls);
        s.GzipUrls = std::move(outcome.GzipUrls);
        s.TransceiverUrls = std::move(outcome.TransceiverUrls);
        s.ProfileUrl = std::move(outcome.ProfileUrl);
        for (const std::string& text : outcome.Messages) display.ShowNetworkMessage(text);
    }
    if (outcome.CentresFetched) {
        const bool read = !outcome.Centres.empty();
        s.TransceiverCentres = std::move(outcome.Centres);
        if (read) s.TransceiversFetched = model.Now();
    }
    // A live refresh that brings nothing newer leaves the picture alone.
    const bool older = outcome.Live && outcome.Feed && outcome.Feed->Ok && s.ClientTotal != 0 &&
                       IsStamp(s.UpdateStamp) && IsStamp(outcome.Feed->Data.UpdateStamp) &&
                       outcome.Feed->Data.UpdateStamp < s.UpdateStamp;
    if (outcome.NotModified || older) {
        model.DownloadIdle = true;
        s.DataFresh = true;
        // An older snapshot is an ignored refresh: said over the shown data,
        // as a failure is.
        s.DownloadFailed = older;
        if (outcome.NotModified) s.LastDownload = model.Now();
        SetStatus(model, display,
                  outcome.NotModified ? name + " data unchanged" : name + " snapshot older than the shown one ignored");
        display.BuildNetworkMarks();
        display.DrawScene();
        return;
    }
    display.DiscardSceneLists(n);
    if (outcome.NoServer) {
        s.DownloadFailed = true;
        display.BuildNetworkMarks();
        SetStatus(model, display, "Could not contact server");
        display.DrawScene();
        model.DownloadIdle = true;
        return;
    }
    if (!outcome.StepFailure.empty()) {
        SetStatus(model, display, outcome.StepFailure);
        EndDownload(model, display, options, n, nullptr);
        return;
    }
    if (outcome.Failure || !outcome.Feed) {
        const Fault fault = outcome.Failure ? *outcome.Failure : Fault(0, "");
        EndDownload(model, display, options, n, &fault);
        return;
    }
    CommitFeed(model, display, n, std::move(*outcome.Feed));
    // Only a snapshot that was interpreted replaces the files on disk.
    if (outcome.Files && !s.DownloadFailed) {
        outcome.Files->Gzip.Commit();
        outcome.Files->Plain.Commit();
    }
    EndDownload(model, display, options, n, nullptr);
}

void DownloadNetwork(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    std::optional<DownloadPlan> plan = PlanDownload(model, options, n);
    if (!plan) return;
    const auto say = [&](const std::string& text) {
        SetStatus(model, display, text);
        display.DrawScene();
    };
    CommitDownload(model, display, options, n, FetchNetwork(*plan, say, {}));
}

void FinishDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (n == kMerged) {
        display.EnableAutoDownloadTimer(false);
        display.BuildMergedScene();
    } else if (n <= kVatsim) {
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

void btnDownload(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options, std::uint8_t n) {
    if (!model.DownloadIdle || n > kMerged) return;
    model.CurrentNetwork = static_cast<NetworkIndex>(n);
    display.CloseOverlays();
    if (n == kMerged) {
        DownloadNetwork(model, display, options, kIvao);
        DownloadNetwork(model, display, options, kVatsim);
    } else {
        DownloadNetwork(model, display, options, n);
    }
    FinishDownload(model, display, options, n);
}

void timAutoDownloadTick(NetworkModel& model, DisplayHooks& display, const DownloadOptions& options) {
    timAutoDownloadTick(model, options, [&](std::uint8_t n) { btnDownload(model, display, options, n); });
}

void timAutoDownloadTick(NetworkModel& model, const DownloadOptions&,
                         const std::function<void(std::uint8_t)>& download) {
    if (model.AutoCountdown > std::numeric_limits<std::int16_t>::min()) --model.AutoCountdown;
    if (model.AutoCountdown >= 1) return;
    const std::uint8_t n = model.CurrentNetwork;
    if ((n <= kVatsim && WithinReloadInterval(model, n)) || !model.DownloadIdle) {
        model.AutoCountdown = kRetrySeconds;
        return;
    }
    if (n <= kVatsim) download(n);
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
