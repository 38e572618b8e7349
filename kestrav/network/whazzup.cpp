#include "kestrav/network/whazzup.h"

#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/values.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

namespace kestrava {

namespace {

// The ":" fields of one line as views into it; a field the line does not
// have reads as the empty text (the same as FieldOf). Only the first 48
// fields are kept: no reader looks further than field 45.
class LineFields {
public:
    explicit LineFields(std::string_view line) {
        const char* data = line.data();
        const size_t size = line.size();
        size_t start = 0, i = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // Eight bytes at a time: a 0x80 bit marks each byte that is ':'.
            constexpr std::uint64_t kColons = 0x3A3A3A3A3A3A3A3AULL, kLow = 0x7F7F7F7F7F7F7F7FULL;
            for (; i + 8 <= size; i += 8) {
                std::uint64_t word;
                std::memcpy(&word, data + i, 8);
                std::uint64_t x = word ^ kColons;
                std::uint64_t marks = ~(((x & kLow) + kLow) | x | kLow);
                for (; marks != 0; marks &= marks - 1) {
                    size_t colon = i + static_cast<size_t>(std::countr_zero(marks)) / 8;
                    fields_[count_++] = {data + start, colon - start};
                    start = colon + 1;
                    if (count_ == kKept) return;
                }
            }
        }
        for (; i < size; ++i) {
            if (data[i] != ':') continue;
            fields_[count_++] = {data + start, i - start};
            start = i + 1;
            if (count_ == kKept) return;
        }
        fields_[count_++] = {data + start, size - start};
    }
    std::string_view operator[](int n) const {
        return n < count_ ? std::string_view(fields_[n].data, fields_[n].size) : std::string_view();
    }

private:
    static constexpr int kKept = 48;
    struct Span {
        const char* data;
        size_t size;
    };
    Span fields_[kKept];  // left uninitialised: only the first count_ are set
    int count_ = 0;
};

// ReadNumber's value. The plain decimals that fill a snapshot ("-73.7789",
// "35000": a sign, at most 15 digits, a fraction, no exponent) are read here
// directly; the quotient of two exactly represented doubles is correctly
// rounded, so the result is the same. Everything else goes to ReadNumber.
double Number(std::string_view text) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const size_t n = text.size();
    size_t i = 0;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) mantissa = mantissa * 10 + (text[i] - '0');
    if (i < n && text[i] == '.')
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++fraction)
            mantissa = mantissa * 10 + (text[i] - '0');
    if (digits == 0 || digits > 15 || (i < n && (text[i] == 'e' || text[i] == 'E'))) return ReadNumber(text);
    double value = static_cast<double>(mantissa) / kTens[fraction];
    return negative ? -value : value;
}

float Single(std::string_view text) { return CheckedSingle(Number(text)); }
std::int16_t Integer(std::string_view text) { return CheckedInt16(Number(text)); }

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

// The airport's stored position (AirportPosition's "latitude:longitude"
// read back as numbers); false, leaving the values, when the airport is
// unknown or stored at "0:0".
bool AirportLatLon(const NetworkModel& model, std::string_view code, float& lat, float& lon) {
    const KeyedIndex::Items* airport = model.AirportIndex.Find(code);
    if (!airport) return false;
    std::string_view latText = airport->size() > 3 ? std::string_view((*airport)[3]) : std::string_view();
    std::string_view lonText = airport->size() > 4 ? std::string_view((*airport)[4]) : std::string_view();
    if (latText == "0" && lonText == "0") return false;
    lat = Single(latText);
    lon = Single(lonText);
    return true;
}

// "first second" without blanks at either end, built in place.
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

// Left-padded with "0" to `width` characters.
void AssignPadded(std::string& out, std::string_view text, size_t width) {
    out.assign(text.size() < width ? width - text.size() : 0, '0');
    out.append(text);
}

void FillPilot(NetworkModel& model, std::uint8_t net, const LineFields& f, int record) {
    PilotClient& p = model.Networks[net].Pilots[record - 1];
    // A fresh record: a line that faults half-way leaves the fields read so
    // far and defaults, never a previous snapshot's client in this slot.
    p = PilotClient{};
    const bool ivao = net == kIvao;

    p.Callsign.assign(f[0]);
    p.MemberId.assign(f[1]);

    // Name: cut before the degree sign, then before " -"; a trailing blank and
    // four capitals are the home airport.
    std::string_view name = f[2];
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
        p.RealName.assign(name);
    }

    p.Rating = Integer(ivao ? f[41] : f[16]);
    p.AdminRating = Integer(ivao ? f[40] : f[16]);
    p.Latitude = Single(f[5]);
    p.Longitude = Single(f[6]);
    double altitude = Number(f[7]);
    p.Altitude = static_cast<float>(altitude > 99999 ? 99999 : altitude < 0 ? 0 : altitude);
    double speed = Number(f[8]);
    p.GroundSpeed = static_cast<float>(speed > 9999 ? 9999 : speed < 0 ? 0 : speed);

    // Aircraft: "H/B744/F" is a B744, in full B744/F; "B73/L" a B73; "C1/X" a C1.
    std::string_view aircraft = f[9];
    const bool prefixed = aircraft.size() >= 2 && aircraft[1] == '/';
    p.AircraftFull.assign(prefixed ? aircraft.substr(2) : aircraft);
    std::string_view type = prefixed ? aircraft.substr(2, 4) : aircraft.substr(0, 4);
    if (!type.empty() && type.back() == '/') type = type.substr(0, 3);
    if (type.size() >= 3 && type[2] == '/') type = type.substr(0, 2);
    p.AircraftType.assign(type);

    p.PersonsOnBoard = ivao ? Integer(f[44]) : 0;

    p.Departure.assign(f[11]);
    AirportLatLon(model, p.Departure, p.DepLatitude, p.DepLongitude);
    p.Destination.assign(f[13]);
    AirportLatLon(model, p.Destination, p.DestLatitude, p.DestLongitude);
    p.Alternate.assign(f[28]);

    p.Heading = Integer(ivao ? f[45] : f[38]);
    if (p.Departure.size() == 4) {
        if (p.DestLatitude != 0 || p.DestLongitude != 0)
            p.Course = Bearing(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude);
        else
            p.Course = Bearing(p.DepLatitude, p.DepLongitude, p.Latitude, p.Longitude);
    }

    p.Transponder.assign(f[17]);
    p.CruiseSpeed.assign(f[10]);
    p.PlannedAltitude.assign(f[12]);
    p.FlightRules.assign(f[21]);
    p.Remarks.assign(f[29]);
    p.Route.assign(f[30]);
    if (ivao) p.FlightKind.assign(f[43]);

    // Times: "905" departs at 0905; hours "1" and minutes "5" en route are
    // 0105. Longer fields are not times: the record gets no value.
    std::string_view departs = f[22];
    if (departs.size() < 5) AssignPadded(p.DepartureTime, departs, 4);
    std::string_view hours = f[24], minutes = f[25];
    if (hours.size() < 3 && minutes.size() < 3) {
        AssignPadded(p.EnrouteTime, hours, 2);
        p.EnrouteTime.append(minutes.size() < 2 ? 2 - minutes.size() : 0, '0');
        p.EnrouteTime.append(minutes);
    }

    p.LogonTime.assign(f[37]);
    p.Server.assign(f[14]);
    if (ivao) AssignJoinedTrimmed(p.Software, f[38], f[39]);
}

// Facility from the callsign's last four characters; 0 when none matches.
std::int16_t FacilityOf(std::string_view callsign) {
    std::string_view tail = callsign.size() > 4 ? callsign.substr(callsign.size() - 4) : callsign;
    if (tail == "ATIS") return 2;
    if (tail == "_DEL" || tail == "_GND") return 3;
    if (tail == "_TWR") return 4;
    if (tail == "_DEP" || tail == "_APP") return 5;
    if (tail == "_CTR") return 6;
    if (tail == "_FSS") return 7;
    return 0;
}

void PlaceAtSector(const NetworkModel& model, AtcClient& a) {
    const KeyedIndex& sectors = model.SectorIndex;
    std::string key = a.Callsign.substr(0, a.Callsign.size() - 4);
    if (a.Facility == 7) {
        // Flight service stations are usually oceanic sectors: "EGGX_O".
        std::string oceanic = key.substr(0, 4) + "_O";
        if (HasKey(sectors, oceanic)) key = oceanic;
        if (HasKey(sectors, key + "_O")) key += "_O";
    }
    if (!HasKey(sectors, key)) key.resize(std::min(key.size(), a.Location.size()));
    if (const KeyedIndex::Items* sector = sectors.Find(key)) {
        a.Latitude = Single(sector->size() > 2 ? std::string_view((*sector)[2]) : std::string_view());
        a.Longitude = Single(sector->size() > 3 ? std::string_view((*sector)[3]) : std::string_view());
    }
    a.Location = key;
}

void FillAtc(NetworkModel& model, std::uint8_t net, const LineFields& f, int record) {
    AtcClient& a = model.Networks[net].AtcClients[record - 1];
    a = AtcClient{};  // a fresh record, as for pilots
    const bool ivao = net == kIvao;

    a.Callsign = ToUpper(f[0]);
    a.MemberId.assign(f[1]);
    std::string_view name = f[2];
    size_t degree = DegreeSignAt(name);
    if (degree != std::string_view::npos) a.RealName = Trim(name.substr(0, degree));
    else a.RealName.assign(name);

    a.Rating = Integer(ivao ? f[41] : f[16]);
    a.AdminRating = Integer(ivao ? f[40] : f[16]);
    a.ReportedLatitude = a.Latitude = Single(f[5]);
    a.ReportedLongitude = a.Longitude = Single(f[6]);
    a.AtisText.assign(f[35]);
    a.Frequency.assign(f[4]);
    a.VisualRange = Single(f[19]);
    a.LogonTime.assign(f[37]);
    a.Server.assign(f[14]);
    AssignJoinedTrimmed(a.Software, f[38], f[39]);

    a.Facility = FacilityOf(a.Callsign);
    std::int16_t& total = model.ClientTotal[net];
    if (a.Facility == 2 && total > 0) --total;
    size_t underscore = a.Callsign.find('_');
    if (a.Facility > 1 && underscore != std::string::npos) a.Location = a.Callsign.substr(0, underscore);
    if (a.Location.size() < 2) a.Facility = 0;

    if (a.Facility <= 1) {
        ++model.Networks[net].ObserverCount;
        return;
    }
    if (a.Facility <= 5) {
        // Three-letter codes of US airports are filed without their "K".
        if (a.Location.size() == 3 && HasKey(model.AirportIndex, "K" + a.Location))
            a.Location = "K" + a.Location;
        AirportLatLon(model, a.Location, a.Latitude, a.Longitude);
        return;
    }
    PlaceAtSector(model, a);
}

// The line without the carriage returns a damaged "\r\r\n" file leaves at
// its end.
std::string_view WithoutTrailingReturns(std::string_view line) {
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The separator the lines are split at: "\r\n" when it gives at least 5
// elements, else "\r", else "\n"; empty when none gives 5. The choice is
// the one SplitNetworkLines makes; the lines are then visited in place.
std::string_view LineSeparator(std::string_view text) {
    for (std::string_view separator : {"\r\n", "\r", "\n"}) {
        size_t found = 0;
        for (size_t at = text.find(separator); at != std::string_view::npos && found < 4;
             at = text.find(separator, at + separator.size()))
            ++found;
        if (found >= 4) return separator;
    }
    return {};
}

void InterpretLines(NetworkModel& model, std::uint8_t net, std::string_view text, std::string_view separator) {
    Snapshot& s = model.Networks[net];
    std::int16_t& total = model.ClientTotal[net];
    // Every element but the last (normally the empty text after the final
    // line break, which is never examined), in file order.
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::string_view::npos;
         start = end + separator.size(), end = text.find(separator, start)) {
        std::string_view line = WithoutTrailingReturns(text.substr(start, end - start));
        LineFields f(line);
        std::string_view kind = f[3];
        if (kind == "PILOT" && s.PilotCount < kMaxPilots) {
            ++s.PilotCount;
            FillPilot(model, net, f, s.PilotCount);
        }
        if (kind == "ATC" && s.AtcCount < kMaxAtcClients) {
            ++s.AtcCount;
            FillAtc(model, net, f, s.AtcCount);
        }
        if (kind == "FOLME" && total > 0) --total;
        // Header values are taken by position: "UPDATE = yyyymmddhhmmss",
        // "CONNECTED CLIENTS = n", "RELOAD = n".
        if (StartsWith(line, "UPDATE"))
            s.UpdateStamp.assign(line.size() > 14 ? line.substr(line.size() - 14) : line);
        if (StartsWith(line, "CONNECTED CLIENTS")) {
            total = Integer(line.size() > 20 ? line.substr(20) : std::string_view());
            if (total < 0) total = 0;
        }
        // RELOAD: a minimum interval between downloads of 1 to 60 minutes;
        // a value outside them is read as the nearest of the two.
        if (StartsWith(line, "RELOAD"))
            s.ReloadMinutes = std::clamp<std::int16_t>(
                TextToInt16(line.size() > 9 ? line.substr(9) : std::string_view()), kMinReloadMinutes,
                kMaxReloadMinutes);
    }
}

}  // namespace

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

void ParsePilotLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record) {
    if (net > kVatsim || record < 1 || record > kMaxPilots) return;
    FillPilot(model, net, LineFields(line), record);
}

void ParseAtcLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record) {
    if (net > kVatsim || record < 1 || record > kMaxAtcClients) return;
    FillAtc(model, net, LineFields(line), record);
}

void InterpretSnapshot(NetworkModel& model, DisplayHooks& display, std::uint8_t net, std::string text) {
    if (net > kVatsim) return;
    Snapshot& s = model.Networks[net];
    s.PilotCount = 0;
    s.AtcCount = 0;
    s.ObserverCount = 0;
    model.ClientTotal[net] = 0;
    try {
        std::string_view separator = LineSeparator(text);
        if (separator.empty()) {
            s.DownloadFailed = true;
            SetStatus(model, display, "No data to display");
            display.BuildNetworkMarks();
            display.DrawScene();
            model.DownloadIdle = true;
            return;
        }
        SetStatus(model, display, model.NetworkName[net] + " data downloaded, interpreting data...");
        display.DrawScene();
        InterpretLines(model, net, text, separator);
    } catch (const Fault& fault) {
        EndWithFault(model, display, net, fault);
        return;
    } catch (const std::bad_alloc&) {
        EndWithFault(model, display, net, Fault(kFaultOutOfMemory, "Out of memory"));
        return;
    }
    if (model.ClientTotal[net] == 0) {
        SetStatus(model, display, "No data to display");
        s.DownloadFailed = true;
    } else {
        SetStatus(model, display, model.NetworkName[net] + " data interpreted");
        s.DataFresh = true;
        s.LastDownload = model.Now();
    }
}

}  // namespace kestrava
