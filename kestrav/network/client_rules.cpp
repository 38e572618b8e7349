#include "kestrav/network/client_rules.h"

#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/values.h"

#include <algorithm>

namespace kestrava {

namespace {

// Length of the valid UTF-8 sequence of two or more bytes starting at i, or
// 0 when none starts there.
size_t Utf8SequenceAt(std::string_view s, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i);
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > s.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return length;
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

void PlaceAtSector(const NetworkModel& model, AtcClient& a) {
    const SectorTable& sectors = model.Sectors;
    std::string key = a.Callsign.substr(0, a.Callsign.size() - 4);
    if (a.Facility == FacilityKind::FlightService) {
        // Flight service stations are usually oceanic sectors: "EGGX_O".
        std::string oceanic = key.substr(0, 4) + "_O";
        if (sectors.Has(oceanic)) key = oceanic;
        if (sectors.Has(key + "_O")) key += "_O";
    }
    if (!sectors.Has(key)) key.resize(std::min(key.size(), a.Location.size()));
    if (const SectorEntry* sector = sectors.Find(key)) {
        a.Latitude = sector->LabelLatitude;
        a.Longitude = sector->LabelLongitude;
    }
    a.Location = key;
}

}  // namespace

float FeedSingle(std::string_view text) { return CheckedSingle(FeedNumber(text)); }
std::int16_t FeedInteger(std::string_view text) { return CheckedInt16(FeedNumber(text)); }

float ClampedAltitude(double feet) { return static_cast<float>(feet > 99999 ? 99999 : feet < 0 ? 0 : feet); }
float ClampedGroundSpeed(double knots) { return static_cast<float>(knots > 9999 ? 9999 : knots < 0 ? 0 : knots); }

size_t DegreeSignAt(std::string_view name) {
    size_t i = 0;
    while (i < name.size()) {
        size_t sequence = Utf8SequenceAt(name, i);
        if (sequence > 0) {
            if (sequence == 2 && static_cast<unsigned char>(name[i]) == 0xC2 &&
                static_cast<unsigned char>(name[i + 1]) == 0xB0)
                return i;
            i += sequence;
            continue;
        }
        if (static_cast<unsigned char>(name[i]) == 0xB0) return i;
        ++i;
    }
    return std::string_view::npos;
}

void AssignPilotName(PilotClient& p, std::string_view name) {
    size_t degree = DegreeSignAt(name);
    if (degree != std::string_view::npos) name = name.substr(0, degree);
    size_t dash = name.find(" -");
    if (dash != std::string_view::npos) name = name.substr(0, dash);
    if (name.size() > 5 && name[name.size() - 5] == ' ' && IsUpperLetter(name[name.size() - 4]) &&
        IsUpperLetter(name[name.size() - 3]) && IsUpperLetter(name[name.size() - 2]) &&
        IsUpperLetter(name[name.size() - 1])) {
        p.HomeAirport.assign(name.substr(name.size() - 4));
        p.RealName = Trim(name.substr(0, name.size() - 5));
    } else {
        p.HomeAirport.clear();
        p.RealName.assign(name);
    }
}

void AssignAircraft(PilotClient& p, std::string_view aircraft) {
    const bool prefixed = aircraft.size() >= 2 && aircraft[1] == '/';
    p.AircraftFull.assign(prefixed ? aircraft.substr(2) : aircraft);
    std::string_view type = prefixed ? aircraft.substr(2, 4) : aircraft.substr(0, 4);
    if (!type.empty() && type.back() == '/') type = type.substr(0, 3);
    if (type.size() >= 3 && type[2] == '/') type = type.substr(0, 2);
    p.AircraftType.assign(type);
}

bool AirportLatLon(const NetworkModel& model, std::string_view code, float& lat, float& lon) {
    const Airport* airport = model.Airports.Find(code);
    if (!airport || !airport->Placed()) return false;
    lat = airport->Latitude;
    lon = airport->Longitude;
    return true;
}

void PlaceRoute(const NetworkModel& model, PilotClient& p) {
    AirportLatLon(model, p.Departure, p.DepLatitude, p.DepLongitude);
    AirportLatLon(model, p.Destination, p.DestLatitude, p.DestLongitude);
    if (p.Departure.size() != 4) return;
    if (p.DestLatitude != 0 || p.DestLongitude != 0)
        p.Course = Bearing(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude);
    else
        p.Course = Bearing(p.DepLatitude, p.DepLongitude, p.Latitude, p.Longitude);
}

void AssignPadded(std::string& out, std::string_view text, size_t width) {
    out.assign(text.size() < width ? width - text.size() : 0, '0');
    out.append(text);
}

void AssignDepartureTime(std::string& out, std::string_view text) {
    if (text.size() < 5) AssignPadded(out, text, 4);
}

void AssignJoinedTrimmed(std::string& out, std::string_view first, std::string_view second) {
    out.assign(first);
    out += ' ';
    out.append(second);
    size_t b = 0, e = out.size();
    while (b < e && (out[b] == ' ' || out[b] == '\t')) ++b;
    while (e > b && (out[e - 1] == ' ' || out[e - 1] == '\t')) --e;
    out.erase(e);
    out.erase(0, b);
}

void AssignAtcName(AtcClient& a, std::string_view name) {
    size_t degree = DegreeSignAt(name);
    if (degree != std::string_view::npos) a.RealName = Trim(name.substr(0, degree));
    else a.RealName.assign(name);
}

FacilityKind FacilityOf(std::string_view callsign) {
    std::string_view tail = callsign.size() > 4 ? callsign.substr(callsign.size() - 4) : callsign;
    if (tail == "ATIS") return FacilityKind::Atis;
    if (tail == "_DEL" || tail == "_GND") return FacilityKind::Ground;
    if (tail == "_TWR") return FacilityKind::Tower;
    if (tail == "_DEP" || tail == "_APP") return FacilityKind::Approach;
    if (tail == "_CTR") return FacilityKind::Centre;
    if (tail == "_FSS") return FacilityKind::FlightService;
    return FacilityKind::Observer;
}

bool PlaceStation(const NetworkModel& model, AtcClient& a) {
    size_t underscore = a.Callsign.find('_');
    if (!Observes(a.Facility) && underscore != std::string::npos) a.Location = a.Callsign.substr(0, underscore);
    if (a.Location.size() < 2) a.Facility = FacilityKind::Observer;
    if (Observes(a.Facility)) return true;
    if (a.Facility <= FacilityKind::Approach) {
        // Three-letter codes of US airports are filed without their "K".
        if (a.Location.size() == 3 && model.Airports.Has("K" + a.Location))
            a.Location = "K" + a.Location;
        AirportLatLon(model, a.Location, a.Latitude, a.Longitude);
        return false;
    }
    PlaceAtSector(model, a);
    return false;
}

}  // namespace kestrava
