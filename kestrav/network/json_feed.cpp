#include "kestrav/network/json_feed.h"

#include "formats/text.h"
#include "kestrav/network/client_rules.h"
#include "kestrav/network/json_syntax.h"

#include <simdjson.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kestrava {

namespace {

using simdjson::SUCCESS;
using simdjson::dom::array;
using simdjson::dom::element;
using simdjson::dom::element_type;
using simdjson::dom::object;

static_assert(kMaxJsonDepth == simdjson::DEFAULT_MAX_DEPTH, "the check and the parser refuse the same nesting");

// The one parser: its buffers grow to the largest feed and are reused.
simdjson::dom::parser& Parser() {
    static simdjson::dom::parser parser(64u << 20);
    return parser;
}

// Parses the body (padded in place); the error text when it is not JSON.
bool Parse(std::string& body, element& root, std::string* error) {
    if (body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);  // a UTF-8 byte order mark
    const size_t size = body.size();
    body.reserve(size + simdjson::SIMDJSON_PADDING);
    simdjson::dom::parser& parser = Parser();
    const simdjson::error_code code = parser.parse(body.data(), size, false).get(root);
    if (code == SUCCESS) return true;
    if (error) {
        const size_t at = FirstInvalidJsonByte(body);
        *error = at != std::string_view::npos ? "Invalid JSON at byte " + std::to_string(at)
                                              : std::string("Invalid JSON (") + simdjson::error_message(code) + ")";
    }
    return false;
}

// --- Values of a record; a wrong type reads as missing --------------------

bool Member(object o, std::string_view key, element& e) { return o.at_key(key).get(e) == SUCCESS; }

std::string_view StringOf(object o, std::string_view key) {
    element e;
    std::string_view s;
    if (Member(o, key, e) && e.get_string().get(s) == SUCCESS) return s;
    return {};
}

bool NumberOf(object o, std::string_view key, double& value) {
    element e;
    return Member(o, key, e) && e.get_double().get(value) == SUCCESS && std::isfinite(value);
}

double NumberOr0(object o, std::string_view key) {
    double value = 0;
    return NumberOf(o, key, value) ? value : 0;
}

bool ObjectOf(object o, std::string_view key, object& out) {
    element e;
    return Member(o, key, e) && e.get_object().get(out) == SUCCESS;
}

bool ArrayOf(object o, std::string_view key, array& out) {
    element e;
    return Member(o, key, e) && e.get_array().get(out) == SUCCESS;
}

// UTF-8 text as Windows-1252.
void AssignText(std::string& out, std::string_view utf8) {
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        out.assign(utf8);
    else
        out = Utf8ToCp1252(utf8);
}

void AssignString(std::string& out, object o, std::string_view key) { AssignText(out, StringOf(o, key)); }

// A member id or other whole number given as a number or as text.
void AssignId(std::string& out, object o, std::string_view key) {
    element e;
    out.clear();
    if (!Member(o, key, e)) return;
    std::int64_t whole;
    std::uint64_t positive;
    double value;
    std::string_view text;
    if (e.get_int64().get(whole) == SUCCESS) out = std::to_string(whole);
    else if (e.get_uint64().get(positive) == SUCCESS) out = std::to_string(positive);
    else if (e.get_double().get(value) == SUCCESS && std::fabs(value) < 9e15 && value == std::floor(value))
        out = std::to_string(static_cast<std::int64_t>(value));
    else if (e.get_string().get(text) == SUCCESS) AssignText(out, text);
}

// A whole number of the record within 16 bits; 0 when missing or absurd.
std::int16_t Int16Of(object o, std::string_view key) {
    double value = 0;
    if (!NumberOf(o, key, value) || value < -32768 || value > 32767) return 0;
    return ToInt16(value);
}

// A position within the globe's range; 0 when missing or absurd.
float Degrees(object o, std::string_view key, double limit) {
    double value = 0;
    if (!NumberOf(o, key, value) || std::fabs(value) > limit) return 0;
    return static_cast<float>(value);
}

// "118.700": a frequency given as a number gets three decimals.
void AssignFrequency(std::string& out, object o, std::string_view key) {
    double value = 0;
    if (NumberOf(o, key, value) && std::fabs(value) < 1e9) {
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3).ptr;
        out.assign(buffer, end);
    } else {
        AssignString(out, o, key);
    }
}

// A transponder code as four digits ("102" is 0102).
void AssignTransponder(std::string& out, object o, std::string_view key) {
    double value = 0;
    if (NumberOf(o, key, value)) {
        if (value >= 0 && value <= 9999 && value == std::floor(value)) out = ZeroPad(static_cast<long>(value), 4);
        else out.clear();
        return;
    }
    std::string text;
    AssignString(text, o, key);
    AssignPadded(out, text, 4);
}

// "2024-02-20T06:28:32.123Z" as 20240220062832; empty when it is no such time.
std::string StampOf(std::string_view iso) {
    static constexpr const char kForm[] = "dddd-dd-ddTdd:dd:dd";
    std::string stamp;
    if (iso.size() < sizeof kForm - 1) return stamp;
    for (size_t i = 0; i + 1 < sizeof kForm; ++i) {
        const char c = iso[i];
        if (kForm[i] == 'd') {
            if (c < '0' || c > '9') return {};
            stamp += c;
        } else if (c != kForm[i] && !(kForm[i] == 'T' && c == ' ')) {
            return {};
        }
    }
    return stamp;
}

void AssignStamp(std::string& out, object o, std::string_view key) { out = StampOf(StringOf(o, key)); }

// Seconds as hhmm ("0147" for 6420); `hours` whole hours at most. Missing:
// "0000", as an empty text field gives; out of range: not stored.
void AssignSeconds(std::string& out, object o, std::string_view key, double hours) {
    double seconds = 0;
    if (!NumberOf(o, key, seconds)) {
        out = "0000";
        return;
    }
    if (seconds < 0 || seconds >= (hours + 1) * 3600) return;
    const long minutes = static_cast<long>(seconds / 60);
    out = ZeroPad(minutes / 60 % 100, 2) + ZeroPad(minutes % 60, 2);
}

// Lines joined with "^" and the byte 0xA7, the ATIS separator of the text feed.
void AssignLines(std::string& out, object o, std::string_view key) {
    out.clear();
    array lines;
    if (!ArrayOf(o, key, lines)) return;
    bool first = true;
    std::string line;
    for (element e : lines) {
        std::string_view text;
        if (e.get_string().get(text) != SUCCESS) continue;
        if (!first) out += "^\xA7";
        first = false;
        AssignText(line, text);
        out += line;
    }
}

// --- The records ------------------------------------------------------------

// Where a feed's records go: the network's Snapshot, filled from slot 0.
struct Filling {
    const NetworkModel& model;  // the reference tables, read only
    Snapshot& snapshot;
    const TransceiverCentres& centres;
    int leftOut = 0;

    PilotClient* NextPilot() {
        if (snapshot.PilotCount >= kMaxPilots) return ++leftOut, nullptr;
        PilotClient& p = PilotSlot(snapshot, snapshot.PilotCount++);
        p = PilotClient{};
        return &p;
    }
    AtcClient* NextAtc() {
        if (snapshot.AtcCount >= kMaxAtcClients) return ++leftOut, nullptr;
        AtcClient& a = AtcSlot(snapshot, snapshot.AtcCount++);
        a = AtcClient{};
        return &a;
    }
    // The station's display position from its callsign and facility.
    void Place(AtcClient& a) {
        if (PlaceStation(model, a)) ++snapshot.ObserverCount;
    }
    // The transceivers' centre when the station reported no position.
    void Transceivers(AtcClient& a) const {
        if (a.ReportedLatitude != 0 || a.ReportedLongitude != 0) return;
        auto it = centres.find(a.Callsign);
        if (it == centres.end()) return;
        a.ReportedLatitude = a.Latitude = it->second.first;
        a.ReportedLongitude = a.Longitude = it->second.second;
    }
};

// Every element of an array that is an object; the others are left out.
template <typename Read>
void EachRecord(object parent, std::string_view key, Filling& fill, Read read) {
    array records;
    if (!ArrayOf(parent, key, records)) return;
    for (element e : records) {
        object o;
        if (e.get_object().get(o) == SUCCESS) read(o);
        else ++fill.leftOut;
    }
}

void ReadVatsimPilot(Filling& fill, object o) {
    PilotClient* p = fill.NextPilot();
    if (!p) return;
    AssignString(p->Callsign, o, "callsign");
    AssignId(p->MemberId, o, "cid");
    std::string name;
    AssignString(name, o, "name");
    AssignPilotName(*p, name);
    p->Rating = Int16Of(o, "pilot_rating");
    p->Latitude = Degrees(o, "latitude", 90);
    p->Longitude = Degrees(o, "longitude", 180);
    p->Altitude = ClampedAltitude(NumberOr0(o, "altitude"));
    p->GroundSpeed = ClampedGroundSpeed(NumberOr0(o, "groundspeed"));
    p->Heading = Int16Of(o, "heading");
    AssignTransponder(p->Transponder, o, "transponder");
    AssignString(p->Server, o, "server");
    AssignStamp(p->LogonTime, o, "logon_time");

    object plan;
    const bool filed = ObjectOf(o, "flight_plan", plan);
    if (filed) {
        AssignString(p->FlightRules, plan, "flight_rules");
        std::string aircraft;
        AssignString(aircraft, plan, "aircraft");
        AssignAircraft(*p, aircraft);
        std::string shortType;
        AssignString(shortType, plan, "aircraft_short");
        if (!shortType.empty()) p->AircraftType = shortType.substr(0, 4);
        AssignString(p->Departure, plan, "departure");
        AssignString(p->Destination, plan, "arrival");
        AssignString(p->Alternate, plan, "alternate");
        AssignString(p->CruiseSpeed, plan, "cruise_tas");
        AssignString(p->PlannedAltitude, plan, "altitude");
        AssignString(p->Remarks, plan, "remarks");
        AssignString(p->Route, plan, "route");
    }
    std::string time;
    if (filed) AssignString(time, plan, "deptime");
    AssignDepartureTime(p->DepartureTime, time);
    time.clear();
    if (filed) AssignString(time, plan, "enroute_time");
    AssignDepartureTime(p->EnrouteTime, time);
    PlaceRoute(fill.model, *p);
}

void ReadVatsimStation(Filling& fill, object o, bool atis) {
    AtcClient* a = fill.NextAtc();
    if (!a) return;
    std::string callsign;
    AssignString(callsign, o, "callsign");
    a->Callsign = ToUpper(callsign);
    AssignId(a->MemberId, o, "cid");
    std::string name;
    AssignString(name, o, "name");
    AssignAtcName(*a, name);
    a->Rating = a->AdminRating = Int16Of(o, "rating");
    AssignFrequency(a->Frequency, o, "frequency");
    double range = 0;
    if (NumberOf(o, "visual_range", range) && range >= 0 && range <= 1e6) a->VisualRange = static_cast<float>(range);
    AssignLines(a->AtisText, o, "text_atis");
    AssignStamp(a->LogonTime, o, "logon_time");
    AssignString(a->Server, o, "server");
    // Observers (facility 0) stay observers whatever their callsign says.
    double facility = -1;
    const bool observer = NumberOf(o, "facility", facility) && facility == 0;
    a->Facility = atis ? FacilityKind::Atis : observer ? FacilityKind::Observer : FacilityOf(a->Callsign);
    fill.Transceivers(*a);
    fill.Place(*a);
}

void ReadVatsim(Filling& fill, object root, object general) {
    Snapshot& s = fill.snapshot;
    std::string_view update = StringOf(general, "update");
    s.UpdateStamp = update.size() == 14 && std::all_of(update.begin(), update.end(), [](char c) { return c >= '0' && c <= '9'; })
                        ? std::string(update)
                        : StampOf(StringOf(general, "update_timestamp"));
    double reload = 0;
    s.ReloadMinutes = NumberOf(general, "reload", reload) && reload >= kMinReloadMinutes && reload <= kMaxReloadMinutes
                          ? static_cast<std::int16_t>(reload)
                          : kMinReloadMinutes;

    EachRecord(root, "pilots", fill, [&](object o) { ReadVatsimPilot(fill, o); });
    EachRecord(root, "controllers", fill, [&](object o) { ReadVatsimStation(fill, o, false); });
    EachRecord(root, "atis", fill, [&](object o) { ReadVatsimStation(fill, o, true); });

    // The clients less the ATIS records; missing: pilots and controllers.
    array list;
    const double pilots = ArrayOf(root, "pilots", list) ? static_cast<double>(list.size()) : 0;
    const double controllers = ArrayOf(root, "controllers", list) ? static_cast<double>(list.size()) : 0;
    const double atis = ArrayOf(root, "atis", list) ? static_cast<double>(list.size()) : 0;
    double total = 0;
    if (NumberOf(general, "connected_clients", total)) total -= atis;
    else total = pilots + controllers;
    fill.snapshot.ClientTotal = ClientCount(total);
}

// IVAO's lastTrack: the reported position, and what a pilot reports with it.
void ReadIvaoPilot(Filling& fill, object o) {
    PilotClient* p = fill.NextPilot();
    if (!p) return;
    AssignString(p->Callsign, o, "callsign");
    AssignId(p->MemberId, o, "userId");
    p->Rating = Int16Of(o, "rating");
    AssignString(p->Server, o, "serverId");
    AssignStamp(p->LogonTime, o, "createdAt");
    AssignJoinedTrimmed(p->Software, StringOf(o, "softwareTypeId"), StringOf(o, "softwareVersion"));
    object track;
    if (ObjectOf(o, "lastTrack", track)) {
        p->Latitude = Degrees(track, "latitude", 90);
        p->Longitude = Degrees(track, "longitude", 180);
        p->Altitude = ClampedAltitude(NumberOr0(track, "altitude"));
        p->GroundSpeed = ClampedGroundSpeed(NumberOr0(track, "groundSpeed"));
        p->Heading = Int16Of(track, "heading");
        AssignTransponder(p->Transponder, track, "transponder");
    }
    object plan;
    const bool filed = ObjectOf(o, "flightPlan", plan);
    if (filed) {
        // "A320/M-SDFGRWY/S": type, wake, then equipment and transponder
        // types when there are any.
        std::string aircraft, text;
        AssignString(aircraft, plan, "aircraftId");
        object model;
        std::string wake;
        if (ObjectOf(plan, "aircraft", model)) AssignString(wake, model, "wakeTurbulence");
        std::string equipment, transponders;
        AssignString(equipment, plan, "aircraftEquipments");
        AssignString(transponders, plan, "aircraftTransponderTypes");
        const bool tail = !equipment.empty() || !transponders.empty();
        if (!wake.empty() || tail) aircraft += "/" + wake;
        if (tail) aircraft += "-" + equipment + "/" + transponders;
        AssignAircraft(*p, aircraft);
        AssignString(p->Departure, plan, "departureId");
        AssignString(p->Destination, plan, "arrivalId");
        AssignString(p->Alternate, plan, "alternativeId");
        AssignString(p->Route, plan, "route");
        AssignString(p->Remarks, plan, "remarks");
        AssignString(p->CruiseSpeed, plan, "speed");
        AssignString(p->PlannedAltitude, plan, "level");
        AssignString(p->FlightRules, plan, "flightRules");
        AssignString(p->FlightKind, plan, "flightType");
        p->PersonsOnBoard = std::max<std::int16_t>(Int16Of(plan, "peopleOnBoard"), 0);
        AssignSeconds(p->DepartureTime, plan, "departureTime", 23);
        AssignSeconds(p->EnrouteTime, plan, "eet", 99);
    } else {
        p->DepartureTime = p->EnrouteTime = "0000";
    }
    PlaceRoute(fill.model, *p);
}

void ReadIvaoStation(Filling& fill, object o, bool observer) {
    AtcClient* a = fill.NextAtc();
    if (!a) return;
    std::string callsign;
    AssignString(callsign, o, "callsign");
    a->Callsign = ToUpper(callsign);
    AssignId(a->MemberId, o, "userId");
    a->Rating = Int16Of(o, "rating");
    AssignString(a->Server, o, "serverId");
    AssignStamp(a->LogonTime, o, "createdAt");
    AssignJoinedTrimmed(a->Software, StringOf(o, "softwareTypeId"), StringOf(o, "softwareVersion"));
    object session, track, atis;
    if (ObjectOf(o, "atcSession", session)) AssignFrequency(a->Frequency, session, "frequency");
    if (ObjectOf(o, "lastTrack", track)) {
        a->ReportedLatitude = a->Latitude = Degrees(track, "latitude", 90);
        a->ReportedLongitude = a->Longitude = Degrees(track, "longitude", 180);
        double range = 0;
        if (NumberOf(track, "distance", range) && range >= 0 && range <= 1e6) a->VisualRange = static_cast<float>(range);
    }
    if (ObjectOf(o, "atis", atis)) AssignLines(a->AtisText, atis, "lines");
    a->Facility = observer ? FacilityKind::Observer : FacilityOf(a->Callsign);
    fill.Transceivers(*a);
    fill.Place(*a);
}

void ReadIvao(Filling& fill, object root, object clients) {
    Snapshot& s = fill.snapshot;
    s.UpdateStamp = StampOf(StringOf(root, "updatedAt"));
    s.ReloadMinutes = kMinReloadMinutes;  // IVAO regenerates its feed every 15 seconds

    EachRecord(clients, "pilots", fill, [&](object o) { ReadIvaoPilot(fill, o); });
    EachRecord(clients, "atcs", fill, [&](object o) { ReadIvaoStation(fill, o, false); });
    EachRecord(clients, "observers", fill, [&](object o) { ReadIvaoStation(fill, o, true); });

    // The connections less the follow-me cars; missing: the records.
    array list;
    double records = 0;
    for (std::string_view key : {"pilots", "atcs", "observers"})
        if (ArrayOf(clients, key, list)) records += static_cast<double>(list.size());
    object connections;
    double total = 0, followMe = 0;
    const bool counted = ObjectOf(root, "connections", connections) && NumberOf(connections, "total", total);
    if (!counted) total = records;
    else if (!NumberOf(connections, "followMe", followMe) && ArrayOf(clients, "followMe", list))
        followMe = static_cast<double>(list.size());
    if (counted) total -= followMe;
    fill.snapshot.ClientTotal = ClientCount(total);
}

}  // namespace

bool LooksLikeJsonObject(std::string_view body) {
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    size_t i = body.find_first_not_of(" \t\r\n");
    return i != std::string_view::npos && body[i] == '{';
}

JsonFeedResult ReadJsonFeed(const NetworkModel& lookups, Snapshot& s, const TransceiverCentres& centres,
                            std::string& body) {
    JsonFeedResult result;
    element root;
    if (!Parse(body, root, &result.Error)) {
        result.Kind = JsonFeedKind::Refused;
        return result;
    }
    object top, general, clients;
    element pilots;
    if (root.get_object().get(top) != SUCCESS) return result;
    const bool vatsim = ObjectOf(top, "general", general) && Member(top, "pilots", pilots);
    if (!vatsim && !ObjectOf(top, "clients", clients)) return result;

    s.PilotCount = s.AtcCount = s.ObserverCount = 0;
    s.ClientTotal = 0;
    Filling fill{lookups, s, centres};
    if (vatsim) ReadVatsim(fill, top, general);
    else ReadIvao(fill, top, clients);
    result.Kind = JsonFeedKind::Interpreted;
    result.LeftOut = fill.leftOut;
    return result;
}

bool ReadStatusJson(Snapshot& s, std::string& body) {
    element root;
    object top;
    if (!Parse(body, root, nullptr) || root.get_object().get(top) != SUCCESS) return false;
    auto addresses = [](object parent, std::string_view key, std::vector<std::string>& out) {
        array list;
        if (!ArrayOf(parent, key, list)) return;
        for (element e : list) {
            std::string_view text;
            if (out.size() < static_cast<size_t>(kMaxServerUrls) && e.get_string().get(text) == SUCCESS &&
                !TrimView(text).empty())
                out.emplace_back(TrimView(text));
        }
    };
    object data;
    if (ObjectOf(top, "data", data)) {
        addresses(data, "v3", s.DataUrls);
        addresses(data, "transceivers", s.TransceiverUrls);
    }
    std::vector<std::string> user;
    addresses(top, "user", user);
    if (!user.empty()) s.ProfileUrl = user.front();
    return true;
}

bool ReadTransceiverCentres(std::string& body, TransceiverCentres& centres) {
    centres.clear();
    element root;
    array stations;
    if (!Parse(body, root, nullptr) || root.get_array().get(stations) != SUCCESS) return false;
    for (element e : stations) {
        object station;
        array transceivers;
        if (e.get_object().get(station) != SUCCESS || !ArrayOf(station, "transceivers", transceivers)) continue;
        double lat = 0, lon = 0;
        int n = 0;
        for (element t : transceivers) {
            object transceiver;
            double a = 0, b = 0;
            if (t.get_object().get(transceiver) != SUCCESS || !NumberOf(transceiver, "latDeg", a) ||
                !NumberOf(transceiver, "lonDeg", b) || std::fabs(a) > 90 || std::fabs(b) > 180)
                continue;
            lat += a, lon += b, ++n;
        }
        std::string callsign;
        AssignString(callsign, station, "callsign");
        if (n > 0 && !callsign.empty())
            centres[ToUpper(callsign)] = {static_cast<float>(lat / n), static_cast<float>(lon / n)};
    }
    return true;
}

}  // namespace kestrava
