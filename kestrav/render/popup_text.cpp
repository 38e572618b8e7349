#include "popup_text.h"

#include "formats/text.h"
#include "kestrav/network/values.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

constexpr size_t kLineChars = 42;      // a body line of the small glyphs
constexpr int kSmallAdvance = 6;       // pixels per small glyph
constexpr size_t kBoldChars = 34;      // what a bold line holds, at most
constexpr int kRightEdge = 127;        // texts end inside the outline
const std::string kAtisSeparator = "^\xA7";

std::string Cut(const std::string& text, size_t chars) {
    return text.size() <= chars ? text : text.substr(0, chars);
}

// Cut to `chars`, the last three then replaced by "..." when cut.
std::string CutWithDots(const std::string& text, size_t chars) {
    if (text.size() <= chars) return text;
    return text.substr(0, chars - 3) + "...";
}

struct Layout {
    PopupLayout result;
    void Small(int x, int y, const std::string& text) {
        const size_t room = static_cast<size_t>(std::max(0, (kRightEdge - x) / kSmallAdvance));
        result.Texts.push_back({x, y, false, Cut(text, room)});
    }
    void Bold(int x, int y, const std::string& text) { result.Texts.push_back({x, y, true, Cut(text, kBoldChars)}); }
};

// The member id right-aligned at the panel's edge; ids of up to six
// characters start at `x`.
int MemberIdX(const std::string& id, int x) {
    if (id.size() <= 6) return x;
    return x - kSmallAdvance * static_cast<int>(id.size() - 6);
}

// "CODE Name, CC" when the airport is known, else the code alone.
std::string AirportWithName(const NetworkModel& model, const std::string& code) {
    const Airport* airport = model.Airports.Find(code);
    return airport ? code + " " + airport->Name + ", " + airport->Country : code;
}

bool Known(float latitude, float longitude) { return latitude != 0 || longitude != 0; }

long WholeNumber(double value, long limit) {
    if (!std::isfinite(value)) return 0;
    return static_cast<long>(std::lround(std::clamp(value, -static_cast<double>(limit), static_cast<double>(limit))));
}

std::string Miles(double nm) { return std::to_string(WholeNumber(nm, 99999)); }

void Buttons(Layout& l, int hh, bool isFriend) {
    const int y = -hh + 6;
    l.Bold(-105, y, "Center");
    l.Bold(69, y, "Profile");
    if (isFriend)
        l.Bold(-27, y, "Del Friend");
    else
        l.Bold(-30, y, "Add Friend");
}

// A controller of the station whose ATIS is online: "ATIS: 123.450 MHz".
std::string StationAtis(const NetworkModel& model, int network, const AtcClient& atc) {
    if (atc.Facility < FacilityKind::Ground) return {};
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& other = s.AtcClients[static_cast<size_t>(i)];
        if (!EndsWith(other.Callsign, "_ATIS")) continue;
        const std::string station = other.Callsign.substr(0, other.Callsign.size() - 5);
        if (!station.empty() && StartsWith(atc.Callsign, station + "_"))
            return "ATIS: " + other.Frequency + " MHz";
    }
    return {};
}

// The parts of the callsign after its first "_" that name the position.
std::string StationLine(const std::string& place, const std::string& callsign) {
    std::string line = place;
    const std::vector<std::string> parts = Split(callsign, "_");
    for (size_t i = 1; i < parts.size(); ++i)
        if (!parts[i].empty()) line += " " + parts[i];
    return line;
}

}  // namespace

std::string AdminSuffix(int adminRating) {
    if (adminRating == 11) return " (SUP)";
    if (adminRating == 12) return " (ADM)";
    return {};
}

std::string PlaceName(const NetworkModel& model, const AtcClient& atc) {
    std::string code = atc.Location;
    // An observer has no place of its own: its callsign's first part may
    // still name an airport.
    if (code.empty()) code = Split(atc.Callsign, "_").front();
    std::string name;
    if (atc.Facility >= FacilityKind::Centre) {
        if (const SectorEntry* sector = model.Sectors.Find(code)) name = sector->Name;
    } else if (const Airport* airport = model.Airports.Find(code)) {
        name = airport->Name;
    }
    return name.empty() ? code : name;
}

std::string VoiceLine(std::string_view text) {
    const auto letter = [](char c) { return c != '\0'; };
    if (text.size() > 5 && letter(text[0]) && letter(text[1]) && text.substr(2, 3) == ".ts")
        return "Voice: IVAT" + ToUpper(text.substr(0, 2));
    if (text.size() > 5 && text[2] >= '0' && text[2] <= '9' && text.substr(3, 3) == ".ts")
        return "Voice: IVAT" + ToUpper(text.substr(0, 3));
    return {};
}

std::vector<std::string> AtisLines(std::string_view atisText) {
    std::vector<std::string> pieces = Split(atisText, kAtisSeparator);
    if (!pieces.empty() && !VoiceLine(pieces.front()).empty()) pieces.erase(pieces.begin());
    std::vector<std::string> lines;
    bool joinable = false;  // the last line is short and may take the next piece
    for (const std::string& raw : pieces) {
        const std::string piece = Trim(raw);
        if (piece.empty()) continue;
        if (joinable && lines.back().size() + 3 + piece.size() <= kLineChars) {
            lines.back() += " / " + piece;
            continue;
        }
        lines.push_back(CutWithDots(piece, kLineChars));
        joinable = piece.size() < kLineChars;
    }
    return lines;
}

std::vector<std::string> WrapRoute(std::string_view route) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& word : Split(route, " ")) {
        if (word.empty()) continue;
        if (!line.empty() && line.size() + 1 + word.size() <= kLineChars) {
            line += " " + word;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        line = word;
        while (line.size() > kLineChars) {
            lines.push_back(line.substr(0, kLineChars));
            line.erase(0, kLineChars);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> FitLines(std::vector<std::string> lines, size_t room) {
    if (lines.size() <= room) return lines;
    lines.resize(room);
    if (room > 0) {
        std::string& last = lines.back();
        if (last.size() > kLineChars - 3) last.resize(kLineChars - 3);
        last += "...";
    }
    return lines;
}

float SpeedDialAngle(double knots) {
    if (!std::isfinite(knots)) knots = 0;
    return static_cast<float>(std::min(std::max(knots / 2, 0.0), 300.0) - 150);
}

float AltitudeDialAngle(double feet) {
    if (!std::isfinite(feet)) feet = 0;
    return static_cast<float>(std::min(std::max(feet / 150, 0.0), 300.0) - 150);
}

Progress FlightProgress(const PilotClient& p, std::string_view updateStamp) {
    Progress progress;
    const bool depKnown = Known(p.DepLatitude, p.DepLongitude);
    const bool destKnown = Known(p.DestLatitude, p.DestLongitude);
    const double total = depKnown && destKnown
                             ? Distance(p.DepLatitude, p.DepLongitude, p.DestLatitude, p.DestLongitude)
                             : 0;
    // A circuit (total 0) or an unknown airport: nothing to divide by.
    if (!(total > 0)) {
        progress.Text = "?";
        return progress;
    }
    const std::string status = FlightStatus(p, updateStamp).Status;
    if (status == "Boarding" || status == "Departing") {
        progress.Text = "0%";
        return progress;
    }
    const double flown = Distance(p.DepLatitude, p.DepLongitude, p.Latitude, p.Longitude);
    const double share = std::clamp(flown / total, 0.0, 1.0);
    progress.Needle = static_cast<float>(share * 300 - 150);
    progress.Text = std::to_string(static_cast<int>(std::floor(share * 100))) + "%";
    progress.TextX = 60;
    return progress;
}

std::string SelectionRow(const std::string& callsign, const std::string& realName) {
    return Cut(callsign + " " + realName, 30);
}

int PickRowAt(const PickBox& box, int rows, double py) {
    int row = static_cast<int>(RoundHalfEven((box.Top() - py + 5) / 12));
    if (row < 1) row = 1;
    if (row > rows) row = rows;
    return row;
}

// Row k's band reaches from 1 px below the 12k line under the top to
// 11 px above it, as the rounding in PickRowAt divides the box.
float PickRowLowerEdge(const PickBox& box, int k) { return box.Top() - 12.0f * static_cast<float>(k) - 1; }
float PickRowBaseline(const PickBox& box, int k) { return PickRowLowerEdge(box, k) + 3; }

PopupLayout AtcPopupLayout(const NetworkModel& model, int network, const AtcClient& a) {
    Layout l;
    const int hh = kAtcPopupHalfHeight;
    l.result.HalfHeight = hh;
    l.result.SeparatorY = 38;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    const std::string place = PlaceName(model, a);

    l.Bold(-105, 96, "Facility " + a.Callsign);
    l.Bold(-124, 74, "ATC: " + ControllerRatingName(network, a.Rating) + " " + a.RealName + AdminSuffix(a.AdminRating));
    l.Small(MemberIdX(a.MemberId, 91), 62, a.MemberId);
    if (a.Facility == FacilityKind::Observer)
        l.Small(-120, 62, "Position: " + place + " Observer");
    else if (a.Facility == FacilityKind::Atis)
        l.Small(-120, 62, place + " ATIS");
    else
        l.Small(-120, 62, "Controlling in " + place);
    l.Small(-120, 50, "On " + a.Server + " for " + OnlineTime(a.LogonTime, s.UpdateStamp) + ", " + a.Software);
    l.Bold(-124, 26, StationLine(place, a.Callsign));
    l.Small(-124, 14, (a.Facility == FacilityKind::Atis ? "ATIS: " : "COM: ") + a.Frequency + " MHz");
    std::string beside = StationAtis(model, network, a);
    if (beside.empty()) beside = VoiceLine(Split(a.AtisText, kAtisSeparator).front());
    if (!beside.empty()) l.Small(-1, 14, beside);

    // The ATIS lines run down to the buttons, 12 px apart below the COM line.
    const int first = 2, lowest = -hh + 24;
    const size_t room = static_cast<size_t>((first - lowest) / 12 + 1);
    const std::vector<std::string> atis = FitLines(AtisLines(a.AtisText), room);
    for (size_t k = 0; k < atis.size(); ++k) l.Small(-126, first - 12 * static_cast<int>(k), atis[k]);

    Buttons(l, hh, IsFriend(model, a.MemberId));
    return l.result;
}

PopupLayout PilotPopupLayout(const NetworkModel& model, int network, const PilotClient& p) {
    Layout l;
    const int hh = kPilotPopupHalfHeight;
    l.result.HalfHeight = hh;
    l.result.SeparatorY = 168;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];

    std::string kind;
    switch (p.FlightKind.empty() ? ' ' : p.FlightKind[0]) {
        case 'S': kind = " (Scheduled)"; break;
        case 'N': kind = " (Non-scheduled)"; break;
        case 'G': kind = " (General Aviation)"; break;
        case 'M': kind = " (Military)"; break;
        case 'X': kind = " (Training)"; break;
        default: break;
    }
    l.Bold(-105, 226, "Flight " + p.Callsign + kind);
    l.Bold(-124, 204, "Pilot: " + PilotRatingName(network, p.Rating) + " " + p.RealName + AdminSuffix(p.AdminRating));
    l.Small(MemberIdX(p.MemberId, 90), 192, p.MemberId);
    if (const Airport* home = model.Airports.Find(p.HomeAirport))
        l.Small(-120, 192, "Home: " + home->Name + ", " + home->Country);
    else
        l.Small(-120, 192, "Home: " + p.HomeAirport);
    l.Small(-120, 180, "On " + p.Server + " for " + OnlineTime(p.LogonTime, s.UpdateStamp) + ", " + p.Software);
    l.Bold(-124, 156, "Aircraft: " + (p.AircraftFull.empty() ? std::string("unknown") : p.AircraftFull));
    l.Small(78, 156, "POB: " + std::to_string(p.PersonsOnBoard));

    const double knots = FiledKnots(p.CruiseSpeed), feet = PlannedFeet(p.PlannedAltitude);
    l.result.Dials.push_back({-61, 92, SpeedDialAngle(p.GroundSpeed), SpeedDialAngle(knots), knots > 0});
    l.Small(-70, 44, "kts");
    l.Bold(-74, 62, ZeroPad(WholeNumber(p.GroundSpeed, 9999), 4));
    l.result.Dials.push_back({61, 92, AltitudeDialAngle(p.Altitude), AltitudeDialAngle(feet), feet > 0});
    l.Small(49, 44, "feet");
    l.Bold(45, 62, ZeroPad(WholeNumber(p.Altitude, 99999), 5));

    const FlightState state = FlightStatus(p, s.UpdateStamp);
    l.Bold(-124, 14, "Flight status: " + state.Status);
    std::string rules;
    switch (p.FlightRules.empty() ? ' ' : p.FlightRules[0]) {
        case 'I': rules = " IFR"; break;
        case 'V': rules = " VFR"; break;
        case 'S': rules = "SVFR"; break;
        case 'D': rules = "DVFR"; break;
        case 'N': rules = "NVFR"; break;
        case 'C': rules = "CVFR"; break;
        case 'Y': rules = " V>I"; break;
        case 'Z': rules = " I>V"; break;
        default: break;
    }
    if (!rules.empty()) l.Small(102, 14, rules);
    l.Small(-120, 1, "Dep: " + AirportWithName(model, p.Departure));
    l.Small(-120, -11, "Arr: " + AirportWithName(model, p.Destination));

    const bool dep = Known(p.DepLatitude, p.DepLongitude), dest = Known(p.DestLatitude, p.DestLongitude);
    l.Small(-120, -23, dep && dest ? "Total: " + Miles(Distance(p.DepLatitude, p.DepLongitude, p.DestLatitude,
                                                                   p.DestLongitude)) + " nm"
                                   : "Distance: ?");
    l.Small(-120, -47, dep ? "Flown: " + Miles(Distance(p.DepLatitude, p.DepLongitude, p.Latitude, p.Longitude)) + " nm"
                           : "Flown: ?");
    const std::string logon = p.LogonTime.size() >= 12 ? p.LogonTime.substr(8, 4) : std::string("????");
    l.Small(-120, -59, " Conn: " + logon + "Z");
    l.Small(-120, -71, dest ? "To go: " + Miles(Distance(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude)) + " nm"
                            : "To go: ?");
    l.Small(-120, -83, "  ETA: " + state.Arrival);
    l.Small(-120, -107, LatitudeText(p.Latitude) + " " + LongitudeText(p.Longitude));

    const Progress progress = FlightProgress(p, s.UpdateStamp);
    l.result.Dials.push_back({61, -74, progress.Needle, 0, false});
    l.Small(50, -122, "done");
    l.Bold(progress.TextX, -104, progress.Text);

    l.Bold(-124, -132, "Route:");
    const bool noPlan = p.Departure.empty() && p.Destination.empty() && Trim(p.Route).empty();
    if (noPlan) {
        l.Small(-126, -144, "No flight plan received yet");
    } else {
        const int first = -144, lowest = -hh + 24;
        const size_t room = static_cast<size_t>((first - lowest) / 12 + 1);
        const std::vector<std::string> route = FitLines(WrapRoute(p.Route), room);
        for (size_t k = 0; k < route.size(); ++k) l.Small(-126, first - 12 * static_cast<int>(k), route[k]);
    }

    Buttons(l, hh, IsFriend(model, p.MemberId));
    return l.result;
}

}  // namespace kestrava
