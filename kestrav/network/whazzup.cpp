#include "kestrav/network/whazzup.h"

#include "formats/text.h"
#include "kestrav/network/client_rules.h"
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

float Single(std::string_view text) { return FeedSingle(text); }
std::int16_t Integer(std::string_view text) { return FeedInteger(text); }

void FillPilot(const NetworkModel& model, Snapshot& s, std::uint8_t net, const LineFields& f, int record) {
    PilotClient& p = PilotSlot(s, record - 1);
    // A fresh record: a line that faults half-way leaves the fields read so
    // far and defaults, never a previous snapshot's client in this slot.
    p = PilotClient{};
    const bool ivao = net == kIvao;

    p.Callsign.assign(f[0]);
    p.MemberId.assign(f[1]);

    AssignPilotName(p, f[2]);

    p.Rating = Integer(ivao ? f[41] : f[16]);
    p.AdminRating = Integer(ivao ? f[40] : f[16]);
    p.Latitude = Single(f[5]);
    p.Longitude = Single(f[6]);
    p.Altitude = ClampedAltitude(FeedNumber(f[7]));
    p.GroundSpeed = ClampedGroundSpeed(FeedNumber(f[8]));
    AssignAircraft(p, f[9]);

    p.PersonsOnBoard = ivao ? Integer(f[44]) : 0;

    p.Departure.assign(f[11]);
    p.Destination.assign(f[13]);
    p.Alternate.assign(f[28]);
    p.Heading = Integer(ivao ? f[45] : f[38]);
    PlaceRoute(model, p);

    p.Transponder.assign(f[17]);
    p.CruiseSpeed.assign(f[10]);
    p.PlannedAltitude.assign(f[12]);
    p.FlightRules.assign(f[21]);
    p.Remarks.assign(f[29]);
    p.Route.assign(f[30]);
    if (ivao) p.FlightKind.assign(f[43]);

    // Times: hours "1" and minutes "5" en route are 0105; longer fields are
    // not times: the record gets no value.
    AssignDepartureTime(p.DepartureTime, f[22]);
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

void FillAtc(const NetworkModel& model, Snapshot& s, std::uint8_t net, const LineFields& f, int record) {
    AtcClient& a = AtcSlot(s, record - 1);
    a = AtcClient{};  // a fresh record, as for pilots
    const bool ivao = net == kIvao;

    a.Callsign = ToUpper(f[0]);
    a.MemberId.assign(f[1]);
    AssignAtcName(a, f[2]);

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
    std::int32_t& total = s.ClientTotal;
    if (a.Facility == FacilityKind::Atis && total > 0) --total;
    if (PlaceStation(model, a)) ++s.ObserverCount;
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

// The lines in file order; returns how many client lines the caps left out.
int InterpretLines(const NetworkModel& model, Snapshot& s, std::uint8_t net, std::string_view text,
                   std::string_view separator) {
    int leftOut = 0;
    std::int32_t& total = s.ClientTotal;
    // Every element but the last (normally the empty text after the final
    // line break, which is never examined), in file order.
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::string_view::npos;
         start = end + separator.size(), end = text.find(separator, start)) {
        std::string_view line = WithoutTrailingReturns(text.substr(start, end - start));
        LineFields f(line);
        std::string_view kind = f[3];
        if (kind == "PILOT") {
            if (s.PilotCount < kMaxPilots) {
                ++s.PilotCount;
                FillPilot(model, s, net, f, s.PilotCount);
            } else {
                ++leftOut;
            }
        }
        if (kind == "ATC") {
            if (s.AtcCount < kMaxAtcClients) {
                ++s.AtcCount;
                FillAtc(model, s, net, f, s.AtcCount);
            } else {
                ++leftOut;
            }
        }
        if (kind == "FOLME" && total > 0) --total;
        // Header values are taken by position: "UPDATE = yyyymmddhhmmss",
        // "CONNECTED CLIENTS = n", "RELOAD = n".
        if (StartsWith(line, "UPDATE"))
            s.UpdateStamp.assign(line.size() > 14 ? line.substr(line.size() - 14) : line);
        if (StartsWith(line, "CONNECTED CLIENTS")) {
            total = ClientCount(FeedNumber(line.size() > 20 ? line.substr(20) : std::string_view()));
        }
        // RELOAD: a minimum interval between downloads of 1 to 60 minutes;
        // a value outside them is read as the nearest of the two.
        if (StartsWith(line, "RELOAD"))
            s.ReloadMinutes = std::clamp<std::int16_t>(
                TextToInt16(line.size() > 9 ? line.substr(9) : std::string_view()), kMinReloadMinutes,
                kMaxReloadMinutes);
    }
    return leftOut;
}

}  // namespace

std::string LeftOutNote(int leftOut) {
    if (leftOut <= 0) return {};
    return " (" + std::to_string(leftOut) + (leftOut == 1 ? " client" : " clients") + " left out)";
}

std::string InterpretedStatus(const std::string& network, int leftOut) {
    return network + " data interpreted" + LeftOutNote(leftOut);
}

void ParsePilotLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record) {
    if (net > kVatsim || record < 1 || record > kMaxPilots) return;
    FillPilot(model, model.Networks[net], net, LineFields(line), record);
}

void ParseAtcLine(NetworkModel& model, std::uint8_t net, std::string_view line, int record) {
    if (net > kVatsim || record < 1 || record > kMaxAtcClients) return;
    FillAtc(model, model.Networks[net], net, LineFields(line), record);
}

bool LooksLikeSnapshotText(std::string_view text) { return !LineSeparator(text).empty(); }

int ReadSnapshotText(const NetworkModel& lookups, Snapshot& s, std::uint8_t net, std::string_view text) {
    return InterpretLines(lookups, s, net, text, LineSeparator(text));
}

}  // namespace kestrava
