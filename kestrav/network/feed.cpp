#include "kestrav/network/feed.h"

#include "kestrav/network/fault.h"
#include "kestrav/network/json_feed.h"
#include "kestrav/network/whazzup.h"

#include <new>
#include <utility>

namespace kestrava {

namespace {

// The previous snapshot of a network while a new one is read.
class PreviousSnapshot {
public:
    PreviousSnapshot(NetworkModel& model, std::uint8_t net)
        : model_(model), net_(net), s_(model.Networks[net]), pilotCount_(s_.PilotCount), atcCount_(s_.AtcCount),
          observerCount_(s_.ObserverCount), total_(model.ClientTotal[net]), stamp_(s_.UpdateStamp),
          reload_(s_.ReloadMinutes) {
        // Made once with the starting room, then swapped back and forth.
        if (s_.PilotsAside.size() < static_cast<size_t>(kInitialPilots)) s_.PilotsAside.resize(kInitialPilots);
        if (s_.AtcClientsAside.size() < static_cast<size_t>(kInitialAtcClients))
            s_.AtcClientsAside.resize(kInitialAtcClients);
        std::swap(s_.Pilots, s_.PilotsAside);
        std::swap(s_.AtcClients, s_.AtcClientsAside);
    }
    void Restore() {
        std::swap(s_.Pilots, s_.PilotsAside);
        std::swap(s_.AtcClients, s_.AtcClientsAside);
        s_.PilotCount = pilotCount_;
        s_.AtcCount = atcCount_;
        s_.ObserverCount = observerCount_;
        model_.ClientTotal[net_] = total_;
        s_.UpdateStamp = stamp_;
        s_.ReloadMinutes = reload_;
    }

private:
    NetworkModel& model_;
    std::uint8_t net_;
    Snapshot& s_;
    std::int16_t pilotCount_, atcCount_, observerCount_;
    std::int32_t total_;
    std::string stamp_;
    std::int16_t reload_;
};

// A JSON feed; false when the body is valid JSON of neither network's form.
bool InterpretJson(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string& body) {
    Snapshot& s = model.Networks[net];
    JsonFeedResult result;
    try {
        result = ReadJsonFeed(model, net, body);
    } catch (const Fault& fault) {
        EndWithFault(model, display, net, fault);
        return true;
    } catch (const std::bad_alloc&) {
        EndWithFault(model, display, net, Fault(kFaultOutOfMemory, "Out of memory"));
        return true;
    }
    if (result.Kind == JsonFeedKind::NotAFeed) return false;
    if (result.Kind == JsonFeedKind::Refused) {
        EndWithFault(model, display, net, Fault(kFaultInvalidData, result.Error));
    } else if (model.ClientTotal[net] == 0) {
        SetStatus(model, display, "No data to display");
        s.DownloadFailed = true;
    } else {
        SetStatus(model, display, InterpretedStatus(model.NetworkName[net], result.LeftOut));
        s.DataFresh = true;
        s.LastDownload = model.Now();
    }
    return true;
}

}  // namespace

void InterpretFeed(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string body) {
    if (net > kVatsim) return;
    Snapshot& s = model.Networks[net];
    s.DownloadFailed = false;
    PreviousSnapshot previous(model, net);
    bool read = false;
    if (LooksLikeJsonObject(body)) {
        SetStatus(model, display, model.NetworkName[net] + " data downloaded, interpreting data...");
        display.DrawScene();
        read = InterpretJson(model, display, net, body);
    }
    if (!read) InterpretSnapshot(model, display, net, std::move(body));
    if (s.DownloadFailed) previous.Restore();
}

}  // namespace kestrava
