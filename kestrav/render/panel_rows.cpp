#include "panel_rows.h"

#include "formats/text.h"
#include "kestrav/network/values.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

std::string Cut(std::string_view text, size_t chars) { return std::string(text.substr(0, chars)); }

// A text longer than `longest` keeps `longest` - 1 characters and ")".
std::string Closed(const std::string& text, size_t longest) {
    return text.size() > longest ? text.substr(0, longest - 1) + ")" : text;
}

std::string Mark(int network, int adminRating) {
    const bool ivao = network == kIvao;
    if (adminRating == 11) return ivao ? "/SUP" : "SUP";
    if (adminRating == 12) return ivao ? "/ADM" : "ADM";
    return {};
}

const Snapshot& Of(const NetworkModel& model, int network) { return model.Networks[static_cast<size_t>(network)]; }

std::string Online(const NetworkModel& model, int network, const std::string& logon) {
    return OnlineTime(logon, Of(model, network).UpdateStamp);
}

// The place in parentheses after a code, when the airport is known.
std::string WithPlace(const NetworkModel& model, const std::string& code) {
    const Airport* airport = model.Airports.Find(code);
    return airport ? code + " (" + airport->Country + ")" : code;
}

// Where the name column starts in a tab's rows (0-based).
size_t NameColumn(int tab) {
    switch (tab) {
        case kFriendsTab: return 14;
        case kPilotsTab: return 19;
        default: return 22;
    }
}

long Whole(double value, long limit) {
    if (!std::isfinite(value)) return limit;
    return static_cast<long>(RoundHalfEven(std::clamp(value, -static_cast<double>(limit), static_cast<double>(limit))));
}

}  // namespace

int PanelRows(double heightPixels) {
    const double rows = std::floor((heightPixels - 112) / 12);
    if (!(rows >= 2)) return 2;
    return rows > 1000 ? 1000 : static_cast<int>(rows);
}

int AirportPanelRows(double heightPixels) { return std::min(PanelRows(heightPixels), 57); }

// --- List window ---------------------------------------------------------------

const std::string& ListHeader(int tab) {
    static const std::string kFriends =
        "call          name                                 action                                                   onl  ";
    static const std::string kControllers =
        "call          freq     name                                 position                                        onl  ";
    static const std::string kPilots =
        "call          type  name                          departure                    destination                  onl  ";
    switch (tab) {
        case kFriendsTab: return kFriends;
        case kPilotsTab: return kPilots;
        default: return kControllers;
    }
}

const std::string& KindWord(int tab) {
    static const std::string kWords[] = {"friends", "controllers", "pilots", "observers"};
    return kWords[std::clamp(tab, 0, 3)];
}

std::string Cell(std::string_view text, size_t width) {
    std::string cell = Cut(text, width);
    cell.resize(width, ' ');
    return cell;
}

std::string AtcNameCell(int network, const AtcClient& a, size_t width, size_t cut) {
    const std::string name =
        Trim(a.RealName) + " " + ControllerRatingName(network, a.Rating) + Mark(network, a.AdminRating);
    return Cell(Cut(name, cut), width);
}

std::string PilotNameCell(int network, const PilotClient& p, size_t width, size_t cut) {
    std::string name = Trim(p.RealName);
    if (network == kIvao) name += " " + PilotRatingName(network, p.Rating) + Mark(network, p.AdminRating);
    return Cell(Cut(name, cut), width);
}

std::string PositionText(const NetworkModel& model, const AtcClient& a) {
    const std::string suffix = a.Callsign.size() > 3 ? a.Callsign.substr(a.Callsign.size() - 3) : a.Callsign;
    const Airport* airport = a.Facility >= FacilityKind::Ground && a.Facility <= FacilityKind::Approach ? model.Airports.Find(a.Location) : nullptr;
    if (airport) {
        const std::string place = airport->Town == airport->Name ? airport->Name : airport->Town + " - " + airport->Name;
        return place + " " + suffix + ", " + airport->Country;
    }
    if (const SectorEntry* sector = a.Facility >= FacilityKind::Centre ? model.Sectors.Find(a.Location) : nullptr)
        return sector->Name + " " + suffix + ", " + sector->Country;
    return a.Location + " " + suffix;
}

std::string FriendAction(const NetworkModel& model, const AtcClient& a) {
    if (Observes(a.Facility)) return "Observing";
    return Cut("Controlling as " + PositionText(model, a), 55);
}

std::string FriendAction(const NetworkModel& model, const PilotClient& p) {
    if (p.Departure.empty() || p.Destination.empty()) return "Flying (no flight plan sent yet)";
    std::string action = "Flying from " + WithPlace(model, p.Departure) + " to " + WithPlace(model, p.Destination);
    if (!p.AircraftType.empty()) action += " with " + p.AircraftType;
    return action.size() > 55 ? action.substr(0, 55) + ")" : action;
}

std::string AirportCell(const NetworkModel& model, const std::string& code, size_t longest) {
    const Airport* airport = model.Airports.Find(code);
    if (!airport) return Closed(code, longest);
    return Closed(code + " (" + airport->Name + ", " + airport->Country + ")", longest);
}

std::vector<std::string> TabRows(const NetworkModel& model, int network, int tab) {
    std::vector<std::string> rows;
    if (network != kIvao && network != kVatsim) return rows;
    const Snapshot& s = Of(model, network);
    const auto atc = [&](int i) -> const AtcClient& { return s.AtcClients[static_cast<size_t>(i)]; };
    const auto pilot = [&](int i) -> const PilotClient& { return s.Pilots[static_cast<size_t>(i)]; };
    switch (tab) {
        case kFriendsTab:
            for (int i = 0; i < s.AtcCount; ++i) {
                const AtcClient& a = atc(i);
                if (a.Facility == FacilityKind::Atis || !IsFriend(model, a.MemberId)) continue;
                rows.push_back(Cell(a.Callsign, 14) + AtcNameCell(network, a, 37, 35) +
                               Cell(FriendAction(model, a), 57) + Online(model, network, a.LogonTime));
            }
            for (int i = 0; i < s.PilotCount; ++i) {
                const PilotClient& p = pilot(i);
                if (!IsFriend(model, p.MemberId)) continue;
                rows.push_back(Cell(p.Callsign, 14) + PilotNameCell(network, p, 37, 35) +
                               Cell(FriendAction(model, p), 57) + Online(model, network, p.LogonTime));
            }
            break;
        case kControllersTab:
            for (int i = 0; i < s.AtcCount; ++i) {
                const AtcClient& a = atc(i);
                if (a.Facility < FacilityKind::Ground) continue;
                rows.push_back(Cell(a.Callsign, 14) + Cell(a.Frequency, 9) + AtcNameCell(network, a, 37, 35) +
                               Cell(Cut(PositionText(model, a), 46), 48) + Online(model, network, a.LogonTime));
            }
            break;
        case kPilotsTab:
            for (int i = 0; i < s.PilotCount; ++i) {
                const PilotClient& p = pilot(i);
                rows.push_back(Cell(p.Callsign, 14) + Cell(p.AircraftType, 6) + PilotNameCell(network, p, 30, 28) +
                               Cell(AirportCell(model, p.Departure, 27), 29) +
                               Cell(AirportCell(model, p.Destination, 27), 29) + Online(model, network, p.LogonTime));
            }
            break;
        case kObserversTab:
            for (int i = 0; i < s.AtcCount; ++i) {
                const AtcClient& a = atc(i);
                if (!Observes(a.Facility)) continue;
                rows.push_back(Cell(a.Callsign, 14) + Cell(a.Frequency, 9) + AtcNameCell(network, a, 37, 35) +
                               Cell("Observer", 48) + Online(model, network, a.LogonTime));
            }
            break;
        default:
            break;
    }
    for (std::string& row : rows) row = Cut(row, kRowWidth);
    return rows;
}

void SortRows(std::vector<std::string>& rows, int tab) {
    const size_t from = NameColumn(tab);
    const auto key = [from](const std::string& row) {
        return ToUpper(from < row.size() ? std::string_view(row).substr(from, 31) : std::string_view());
    };
    std::vector<std::pair<std::string, size_t>> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keyed.emplace_back(key(rows[i]), i);
    // Character-code order: compare the bytes as unsigned.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                            });
    });
    std::vector<std::string> sorted;
    sorted.reserve(rows.size());
    for (const auto& [k, i] : keyed) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

ListPage PageOf(int total, int perPage, int page, int tab, const std::string& network) {
    ListPage result;
    if (perPage < 1) perPage = 1;
    if (total <= 0) {
        result.Summary = "No " + KindWord(tab) + " on " + network;
        return result;
    }
    result.Page = std::clamp(page, 0, (total - 1) / perPage);
    result.First = perPage * result.Page + 1;
    result.Last = std::min(perPage * (result.Page + 1), total);
    result.Summary = std::to_string(total) + " " + KindWord(tab) + " on " + network + ", displaying " +
                     std::to_string(result.First) + " - " + std::to_string(result.Last);
    return result;
}

void PrepareListWindow(PanelState& panel, int& page, int tab, const NetworkModel& model, double heightPixels) {
    panel.Rows = PanelRows(heightPixels);
    const int network = model.CurrentNetwork;
    if (panel.Rebuild) {
        panel.Lines = TabRows(model, network, tab);
        panel.Rebuild = false;
        panel.Sorted = false;
    }
    const std::string& name = model.NetworkName[static_cast<size_t>(std::min(network, 1))];
    const ListPage view = PageOf(static_cast<int>(panel.Lines.size()), panel.Rows - 1, page, tab, name);
    page = view.Page;
    panel.Summary = view.Summary;
}

std::string RowCallsign(std::string_view row) { return Trim(row.substr(0, 14)); }

// --- Where a click lands -----------------------------------------------------------

namespace {

// The parts both panels share; nullopt-like Nothing for the bands.
PanelHit HitFrame(double px, double py, int rows, bool& topBand, bool& bottomBand) {
    const double h = PanelHalfHeight(rows);
    topBand = bottomBand = false;
    if (std::fabs(px) >= kPanelHalfWidth || std::fabs(py) >= h) return {PanelPart::Outside, 0};
    topBand = py > h - 20;
    bottomBand = py < -(h - 20);
    if (topBand && px >= 325) return {PanelPart::CloseBox, 0};
    if (topBand || bottomBand) return {PanelPart::Nothing, 0};
    const int row = std::min(static_cast<int>(std::floor((h - 21 - py) / 12)), rows);
    if (row < 1) return {PanelPart::Header, 0};
    return {PanelPart::Row, row};
}

}  // namespace

PanelHit HitListWindow(double px, double py, int rows) {
    bool top = false, bottom = false;
    const PanelHit hit = HitFrame(px, py, rows, top, bottom);
    if (top && hit.Part == PanelPart::Nothing) {
        for (int tab = 0; tab < 4; ++tab) {
            const double left = -325 + 162.5 * tab;
            if (px > left && px < left + 162.5) return {PanelPart::Tab, tab};
        }
    }
    if (bottom) {
        if (px >= 275) return {PanelPart::NextPage, 0};
        if (px >= 205) return {PanelPart::PrevPage, 0};
    }
    return hit;
}

PanelHit HitAirportWindow(double px, double py, int rows) {
    bool top = false, bottom = false;
    const PanelHit hit = HitFrame(px, py, rows, top, bottom);
    if (bottom) {
        if (px >= 260) return {PanelPart::Tab, kRadarTab};
        if (px >= 175) return {PanelPart::Tab, kTimetableTab};
    }
    if (hit.Part == PanelPart::Header) return {PanelPart::Row, 0};
    return hit;
}

// --- Airport window -----------------------------------------------------------------------

const std::string kArrivalsHeader =
    "call          type  name                         arriving from                  via      alt   spd    dist  ETA  ";
const std::string kDeparturesHeader =
    "call          type  name                         departing to                   via      alt   spd    dist       ";

std::string AirportTitle(const NetworkModel& model, const std::string& code) {
    const Airport* airport = model.Airports.Find(code);
    if (!airport) return code;
    return code + " " + airport->Name + " (" + airport->Town + ", " + airport->Country + ")";
}

std::string TimeToGo(const PilotClient& p, double d) {
    double s = FiledKnots(p.CruiseSpeed);
    if (s > 3000) s = 0;
    if (0.7 * s < p.GroundSpeed) s = p.GroundSpeed;
    double minutes = 6000;
    if (s > 0) minutes = RoundHalfEven(d * 60 / s + p.Altitude / 3000.0);
    if (!std::isfinite(minutes) || minutes < 0) minutes = std::isfinite(minutes) ? 0 : 6000;
    // Hours by division, kept to 99 before anything becomes an integer.
    const double hours = std::min(std::floor(minutes / 60), 99.0);
    const double rest = minutes >= 6000 ? std::fmod(minutes, 60) : minutes - 60 * hours;
    std::string text = ZeroPad(static_cast<long>(hours), 2) + ":" + ZeroPad(static_cast<long>(rest), 2);
    if (p.GroundSpeed < 60 && d == 0) text = "--:--";
    if (hours > 80) text = "n/a";
    return text;
}

std::string FormatTimetableRow(const NetworkModel& model, int network, const PilotClient& p, bool inbound) {
    const std::string& other = inbound ? p.Departure : p.Destination;
    std::string via;
    const std::vector<std::string> words = Split(Trim(p.Route), " ");
    if (!Trim(p.Route).empty()) {
        std::string word = inbound ? words.back() : words.front();
        if (StartsWith(word, "+")) word.erase(0, 1);
        if (word.size() <= 8) via = word;
    }
    double d = inbound ? Distance(p.Latitude, p.Longitude, p.DestLatitude, p.DestLongitude)
                       : Distance(p.Latitude, p.Longitude, p.DepLatitude, p.DepLongitude);
    if (d < 4 && p.GroundSpeed < 60) d = 0;
    std::string dist = std::to_string(Whole(d, 99999));
    if (dist.size() > 4) dist = "9999";
    std::string row = Cell(p.Callsign, 14) + Cell(p.AircraftType, 6) + PilotNameCell(network, p, 29, 27) +
                      Cell(AirportCell(model, other, 29), 31) + Cell(via, 9) +
                      Cell(ZeroPad(Whole(p.Altitude, 99999), 5), 6) + Cell(ZeroPad(Whole(p.GroundSpeed, 9999), 4), 7) +
                      std::string(4 - dist.size(), ' ') + dist + "  ";
    if (inbound) row += Cell(TimeToGo(p, d), 5);
    return Cut(row, kRowWidth);
}

void BuildTimetable(PanelState& panel, const NetworkModel& model, int network, const std::string& code) {
    std::vector<std::string> inbound, outbound;
    if (network == kIvao || network == kVatsim) {
        const Snapshot& s = Of(model, network);
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (p.Destination == code)
                inbound.push_back(FormatTimetableRow(model, network, p, true));
            else if (p.Departure == code)
                outbound.push_back(FormatTimetableRow(model, network, p, false));
        }
    }
    // Inbound by the ETA column's text ("--:--" first, "n/a" last), outbound
    // by distance, nearest first; equal keys keep their order.
    std::stable_sort(inbound.begin(), inbound.end(), [](const std::string& a, const std::string& b) {
        return ToUpper(a.substr(std::min(a.size(), size_t{108}))) < ToUpper(b.substr(std::min(b.size(), size_t{108})));
    });
    std::stable_sort(outbound.begin(), outbound.end(), [](const std::string& a, const std::string& b) {
        return ReadNumber(a.substr(std::min(a.size(), size_t{102}), 4)) <
               ReadNumber(b.substr(std::min(b.size(), size_t{102}), 4));
    });
    const int rows = panel.Rows, in = static_cast<int>(inbound.size()), out = static_cast<int>(outbound.size());
    int header = 0;
    if (in > 0) {
        header = in + 1;
        if (rows / 2.0 > header) header = static_cast<int>(RoundHalfEven(rows / 2.0));
        if (out > header) header = rows - out - 1;
        if (header < in + 1) header = in + 1;
    }
    panel.Lines.assign(static_cast<size_t>(std::max(rows, header + out + 1)), std::string());
    for (int k = 0; k < in; ++k) panel.Lines[static_cast<size_t>(k + 1)] = inbound[static_cast<size_t>(k)];
    if (out > 0) {
        for (int k = 0; k < out; ++k) panel.Lines[static_cast<size_t>(header + k + 1)] = outbound[static_cast<size_t>(k)];
    } else {
        header = rows + 2;  // no departures header
    }
    panel.InboundCount = in;
    panel.OutboundCount = out;
    panel.DepartHeaderRow = header;
    panel.Rebuild = false;
}

std::vector<RadarBlip> RadarBlips(const NetworkModel& model, int network, const std::string& code, double r) {
    std::vector<RadarBlip> blips;
    if (network != kIvao && network != kVatsim) return blips;
    const Snapshot& s = Of(model, network);
    const auto place = [&](const PilotClient& p, float lat, float lon, double scale, float angle, float speed,
                           float size, float alpha) {
        const double b = Bearing(lat, lon, p.Latitude, p.Longitude) * kDegree;
        blips.push_back({std::sin(b) * scale, std::cos(b) * scale, angle, speed, size, alpha, p.Callsign});
    };
    // Outbound, then inbound within the range, then inbound farther out.
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (p.GroundSpeed <= 40) continue;
            const bool outbound = pass == 0;
            if (outbound ? (p.Departure != code || p.Destination == code) : p.Destination != code) continue;
            const float lat = outbound ? p.DepLatitude : p.DestLatitude;
            const float lon = outbound ? p.DepLongitude : p.DestLongitude;
            if (lat == 0 && lon == 0) continue;  // an airport the file lacks
            const double d = Distance(lat, lon, p.Latitude, p.Longitude);
            if (pass < 2 && d < 100)
                place(p, lat, lon, r * d / 100, p.Heading, p.GroundSpeed, 0.05f, 0.8f);
            else if (pass == 2 && d >= 100)
                place(p, lat, lon, r, p.Course, 0, 0.025f, 0.4f);
        }
    }
    return blips;
}

}  // namespace kestrava
