#include "kestrav/network/feed.h"

#include "kestrav/network/fault.h"
#include "kestrav/network/whazzup.h"

#include <algorithm>
#include <new>
#include <utility>

namespace kestrava {

namespace {

constexpr float kDrawnSpeedLimit = 2000;

std::string FaultText(const Fault& fault) {
    std::string text = "No data to display";
    if (fault.Number > 0) text += std::string(" (") + fault.what() + ")";
    return text;
}

// The reader of the body's form, into result.Data; false when the body is
// valid JSON of neither network's form (it is then read as text).
bool ReadJson(FeedResult& result, std::string& body, const NetworkModel& lookups, const TransceiverCentres& centres) {
    const JsonFeedResult json = ReadJsonFeed(lookups, result.Data, centres, body);
    if (json.Kind == JsonFeedKind::NotAFeed) return false;
    if (json.Kind == JsonFeedKind::Refused) throw Fault(kFaultInvalidData, json.Error);
    result.LeftOut = json.LeftOut;
    return true;
}

// The body read as a feed, JSON first unless `textOnly`.
FeedResult Parse(std::string& body, std::uint8_t net, const NetworkModel& lookups, const TransceiverCentres& centres,
                 bool textOnly) {
    FeedResult result;
    result.Error = "No data to display";
    if (net > kVatsim) return result;
    try {
        bool read = false;
        if (!textOnly && LooksLikeJsonObject(body)) {
            result.Readable = true;
            read = ReadJson(result, body, lookups, centres);
        }
        if (!read) {
            if (!LooksLikeSnapshotText(body)) return result;
            result.Readable = true;
            result.LeftOut = ReadSnapshotText(lookups, result.Data, net, body);
        }
    } catch (const Fault& fault) {
        result.Error = FaultText(fault);
        return result;
    } catch (const std::bad_alloc&) {
        result.Error = FaultText(Fault(kFaultOutOfMemory, "Out of memory"));
        return result;
    }
    result.Ok = result.Data.ClientTotal != 0;
    return result;
}

// The status line and a frame before a readable body is interpreted.
void Announce(NetworkModel& model, DisplayHooks& display, std::uint8_t net) {
    SetStatus(model, display, model.NetworkName[net] + " data downloaded, interpreting data...");
    display.DrawScene();
}

}  // namespace

FeedResult ParseFeed(std::string body, std::uint8_t net, const NetworkModel& lookups,
                     const TransceiverCentres& centres) {
    return Parse(body, net, lookups, centres, false);
}

void CommitFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, FeedResult result) {
    if (net > kVatsim) return;
    Snapshot& s = model.Networks[net];
    if (!result.Ok) {
        s.DownloadFailed = true;
        SetStatus(model, display, result.Error);
        return;
    }
    Snapshot& data = result.Data;
    std::swap(s.Pilots, data.Pilots);
    std::swap(s.AtcClients, data.AtcClients);
    s.PilotCount = data.PilotCount;
    s.AtcCount = data.AtcCount;
    s.ObserverCount = data.ObserverCount;
    s.UpdateStamp = std::move(data.UpdateStamp);
    s.ReloadMinutes = data.ReloadMinutes;
    s.ClientTotal = data.ClientTotal;
    s.LeftOut = result.LeftOut;
    model.ClientTotal[net] = data.ClientTotal;
    model.ClientTotal[kMerged] = MergedClientTotal(model);
    for (int i = 0; i < s.PilotCount; ++i) {
        PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        p.GroundSpeed = std::min(p.GroundSpeed, kDrawnSpeedLimit);
        p.ReportedLatitude = p.Latitude;
        p.ReportedLongitude = p.Longitude;
    }
    s.DownloadFailed = false;
    SetStatus(model, display, InterpretedStatus(model.NetworkName[net], result.LeftOut));
    s.DataFresh = true;
    s.LastDownload = s.Received = model.Now();
}

void InterpretFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string body) {
    if (net > kVatsim) return;
    // Only a body of some feed's form is announced as being interpreted.
    if (LooksLikeJsonObject(body) || LooksLikeSnapshotText(body)) Announce(model, display, net);
    CommitFeed(model, display, net, Parse(body, net, model, model.Networks[net].TransceiverCentres, false));
}

void InterpretSnapshot(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string text) {
    if (net > kVatsim) return;
    if (LooksLikeSnapshotText(text)) Announce(model, display, net);
    CommitFeed(model, display, net, Parse(text, net, model, model.Networks[net].TransceiverCentres, true));
}

}  // namespace kestrava
