// The client model: one Snapshot per network, the download bookkeeping and
// the few values every part of the viewer shares (status line, lookups).
#pragma once

#include "formats/friends.h"
#include "formats/reference_tables.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kestrava {

// The most pilots and ATC records kept per network; later ones are left out
// (and counted as such in the status line).
constexpr int kMaxPilots = 10000;
constexpr int kMaxAtcClients = 4000;
// The room a snapshot starts with; a busy network's feed grows it.
constexpr int kInitialPilots = 1400;
constexpr int kInitialAtcClients = 700;
constexpr int kMaxServerUrls = 9;
// The range of a snapshot's RELOAD minutes; a value outside is read as the
// nearest of the two (a damaged feed could otherwise block downloads for days).
constexpr std::int16_t kMinReloadMinutes = 1;
constexpr std::int16_t kMaxReloadMinutes = 60;
// The network index: a network's snapshot, or the view of both merged.
enum NetworkIndex : std::uint8_t { kIvao = 0, kVatsim = 1, kMerged = 2 };

struct PilotClient {
    std::string Callsign;
    std::string MemberId;
    std::string RealName;
    std::string HomeAirport;
    std::int16_t Rating = 0;
    std::int16_t AdminRating = 0;
    float Latitude = 0;
    float Longitude = 0;
    // Where the snapshot put it; Latitude and Longitude move on from there
    // between snapshots (live mode) and are drawn and picked.
    float ReportedLatitude = 0;
    float ReportedLongitude = 0;
    float Altitude = 0;
    float GroundSpeed = 0;
    std::int16_t Heading = 0;
    std::int16_t Course = 0;
    std::string AircraftType;
    std::string FlightRules;
    std::string Departure;
    float DepLatitude = 0;
    float DepLongitude = 0;
    std::string Destination;
    float DestLatitude = 0;
    float DestLongitude = 0;
    std::string Alternate;
    std::string Transponder;
    std::int16_t PersonsOnBoard = 0;
    std::string PlannedAltitude;
    std::string CruiseSpeed;
    std::string Route;
    std::string Remarks;
    std::string DepartureTime;
    std::string EnrouteTime;
    std::string AircraftFull;
    std::string FlightKind;
    std::string LogonTime;
    std::string Server;
    std::string Software;
};

// What an ATC record is, from its callsign's suffix. 1 is an observer as 0
// is (older feeds use it); the other values name no station.
enum class FacilityKind : std::int16_t {
    Observer = 0,
    Atis = 2,
    Ground = 3,         // delivery or ground
    Tower = 4,
    Approach = 5,       // departure or approach
    Centre = 6,
    FlightService = 7,
};
inline bool Observes(FacilityKind f) { return f <= FacilityKind{1}; }

struct AtcClient {
    std::string Callsign;
    std::string MemberId;
    std::string RealName;
    FacilityKind Facility = FacilityKind::Observer;
    std::int16_t Rating = 0;
    std::int16_t AdminRating = 0;
    std::string Location;
    std::string AtisText;
    std::string Frequency;
    float Latitude = 0;
    float Longitude = 0;
    float ReportedLatitude = 0;
    float ReportedLongitude = 0;
    float VisualRange = 0;
    std::string LogonTime;
    std::string Server;
    std::string Software;
};

using Clock = std::chrono::system_clock;

// One network's last snapshot and its download bookkeeping. The arrays start
// with room for kInitialPilots and kInitialAtcClients records and grow, up to
// the caps, when a snapshot needs more (PilotSlot, AtcSlot); they are never
// cleared or shrunk: slots beyond the counts are stale and never read.
struct Snapshot {
    std::vector<PilotClient> Pilots = std::vector<PilotClient>(kInitialPilots);
    std::int16_t PilotCount = 0;
    std::vector<AtcClient> AtcClients = std::vector<AtcClient>(kInitialAtcClients);
    std::int16_t AtcCount = 0;
    std::int16_t ObserverCount = 0;
    std::string UpdateStamp;
    std::int16_t ReloadMinutes = 0;  // 0 until the first snapshot, then 1..60
    // The feed's own count of its clients (held at 32767); the model's
    // ClientTotal takes it when the snapshot is shown.
    std::int32_t ClientTotal = 0;
    // The clients the caps left out of it; the status line says so for as
    // long as it is shown.
    int LeftOut = 0;
    Clock::time_point LastDownload{};  // epoch until the first success; a 304 confirms it anew
    Clock::time_point Received{};      // when these records came (aircraft move on from here)
    bool DataFresh = false;
    bool DownloadFailed = false;
    std::vector<std::string> DataUrls;  // at most kMaxServerUrls each
    std::vector<std::string> GzipUrls;
    std::string ProfileUrl;
    // Where the controllers of a JSON feed report from when the feed does not
    // say (VATSIM): the status file's transceiver addresses, and the centre
    // of each callsign's transceivers from the last fetch, reused for
    // kTransceiverReuse.
    std::vector<std::string> TransceiverUrls;
    std::unordered_map<std::string, std::pair<float, float>> TransceiverCentres;  // callsign in upper case
    Clock::time_point TransceiversFetched{};
};

constexpr std::chrono::minutes kTransceiverReuse{5};

// What the model asks of the window after it changes something shown. The
// map window implements it; tests record the calls.
class DisplayHooks {
public:
    virtual ~DisplayHooks() = default;
    virtual void BuildStatusLine() {}
    virtual void BuildNetworkMarks() {}
    virtual void BuildClientCountBar() {}
    virtual void DrawScene() {}

    // Used by the download:
    // before a download of network `net`: discard its scene lists
    // (10 * net + 10 .. 10 * net + 18), the client-count bar (56) and the
    // airport marker (42).
    virtual void DiscardSceneLists(int /*net*/) {}
    // After a download: compile the scene lists of network `net`, or the
    // merged view of both networks.
    virtual void BuildNetworkScene(int /*net*/) {}
    virtual void BuildMergedScene() {}
    // Clear the SceneBuilt flag of index 0, 1 or 2 (merged).
    virtual void ClearSceneBuilt(int /*index*/) {}
    // OverlayMode = 0: whatever overlay is open closes.
    virtual void CloseOverlays() {}
    // Start or stop the window's timAutoDownload timer (every 1000 ms).
    virtual void EnableAutoDownloadTimer(bool /*on*/) {}
    // A "msg0" line of a network's status file: shown at once in an
    // information box titled "Important Network Message".
    virtual void ShowNetworkMessage(const std::string& /*text*/) {}
};

struct NetworkModel {
    NetworkIndex CurrentNetwork = kIvao;
    std::array<std::string, 2> NetworkName{"IVAO", "VATSIM"};
    std::array<std::string, 2> StatusUrl;
    // Per network: a data address used directly, without the status file
    // (empty: the status file's); a transceiver address (empty: the status
    // file's); the profile base used when the status file names none.
    std::array<std::string, 2> DataUrl;
    std::array<std::string, 2> TransceiverUrl;
    std::array<std::string, 2> ProfileBase;
    std::string StatusText;
    bool DownloadIdle = true;
    std::int16_t AutoCountdown = 0;
    std::array<Snapshot, 2> Networks;
    // The networks' client counts as their feeds give them (32-bit: past
    // 32,767 too); slot 2: both networks merged.
    std::array<std::int32_t, 3> ClientTotal{};
    AirportTable Airports;  // airports.dat
    SectorTable Sectors;    // firlist.dat
    FriendList Friends;
    // Watched airport codes and sector ids (data/watches.dat, upper case):
    // ATC opening there notifies.
    FriendList Watches;
    // The time source; tests replace it to move the clock.
    std::function<Clock::time_point()> Now = [] { return Clock::now(); };
};

// The slot of record `index` (0-based, below the cap), the array grown when
// it does not reach that far yet.
PilotClient& PilotSlot(Snapshot& snapshot, int index);
AtcClient& AtcSlot(Snapshot& snapshot, int index);

// StatusText = text, then the status line is rebuilt.
void SetStatus(NetworkModel& model, DisplayHooks& display, const std::string& text);

// The merged view's client total (slot 2): both networks' totals summed
// wider than 16 bits and held at 32767, so it never wraps to a negative count.
std::int32_t MergedClientTotal(const NetworkModel& model);
// A count a feed gives, held to 0..2,147,483,647 (NaN: 0).
std::int32_t ClientCount(double count);

}  // namespace kestrava
