#include "kestrav/companion/commands.h"

#include "kestrav/network/notify_events.h"

#include "formats/text.h"
#include "kestrav/network/download.h"
#include "kestrav/network/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kestrava::companion {

namespace {

constexpr const char* kCrLf = "\r\n";

void Say(Companion& c, const std::string& text) { c.Output.AddText(text); }

std::uint8_t Net(const Companion& c) { return c.Model.CurrentNetwork; }
Snapshot& Shown(Companion& c) { return c.Model.Networks[Net(c)]; }
const std::string& NetworkName(const Companion& c) { return c.Model.NetworkName[Net(c)]; }

// Every record of the shown network, ATC before pilots.
template <typename F>
void EachAtc(Companion& c, F&& f) {
    Snapshot& s = Shown(c);
    for (int i = 0; i < s.AtcCount; ++i) f(s.AtcClients[static_cast<size_t>(i)]);
}
template <typename F>
void EachPilot(Companion& c, F&& f) {
    Snapshot& s = Shown(c);
    for (int i = 0; i < s.PilotCount; ++i) f(s.Pilots[static_cast<size_t>(i)]);
}

// --- Airports --------------------------------------------------------------------

struct Place {
    float Latitude = 0;
    float Longitude = 0;
};

// The airport's entry: names, place code, position. Null for a code that
// is not four letters or digits or not in the index.
const Airport* AirportOf(const Companion& c, const std::string& code) {
    return IsAirportCode(code) ? c.Model.Airports.Find(code) : nullptr;
}

Place PositionOf(const Airport& airport) { return Place{airport.Latitude, airport.Longitude}; }

// True when the airport code is in the index with this place code.
bool AirportInPlace(const Companion& c, const std::string& code, const std::string& place) {
    const Airport* airport = c.Model.Airports.Find(code);
    return airport && airport->Country == place;
}

void Unrecognized(Companion& c) { Say(c, std::string("Unrecognized ICAO code") + kCrLf); }
void NotOnline(Companion& c, const std::string& who) { Say(c, who + " is not online" + kCrLf); }

// The closing line of a listing: a blank line and the total, or the line
// for none.
void Total(Companion& c, int count, const std::string& total, const std::string& none) {
    if (count > 0)
        Say(c, kCrLf + std::string("Total: ") + std::to_string(count) + total + kCrLf);
    else
        Say(c, none + kCrLf);
}

std::string Named(const std::string& callsign, const std::string& name) { return callsign + " " + name; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// --- Pieces ------------------------------------------------------------------------

bool IsAirportCode(std::string_view code) {
    return code.size() == 4 && std::all_of(code.begin(), code.end(), [](char ch) {
               return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
           });
}

std::string UpperText(std::string_view text) {
    std::string s(text);
    for (char& ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            ch = static_cast<char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)  // š œ ž
            ch = static_cast<char>(b - 0x10);
        else if (b == 0xFF)  // ÿ
            ch = static_cast<char>(0x9F);
    }
    return s;
}

std::string LowerText(std::string_view text) {
    std::string s(text);
    for (char& ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            ch = static_cast<char>(b + 0x20);
        else if (b == 0x8A || b == 0x8C || b == 0x8E)  // Š Œ Ž
            ch = static_cast<char>(b + 0x10);
        else if (b == 0x9F)  // Ÿ
            ch = static_cast<char>(0xFF);
    }
    return s;
}

std::string FixedDecimals(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, r.ptr);
    // Rounded to zero from below: no "-0.00".
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string StampClock(std::string_view stamp) { return stamp.size() <= 8 ? std::string() : std::string(stamp.substr(8, 4)); }

std::string FiledSpeed(const std::string& cruiseSpeed) {
    const double v = ReadNumber(cruiseSpeed);
    if (!(v > 9)) return cruiseSpeed;  // N0450, M079 and the like: as filed
    if (v > 9999) return "N9999";
    return "N" + ZeroPad(static_cast<long>(RoundHalfEven(v)), 4);
}

std::string FiledLevel(const std::string& plannedAltitude) {
    const double v = ReadNumber(plannedAltitude);
    if (!(v > 9)) return plannedAltitude;  // FL350, A045 and the like: as filed
    // Feet above 999 become hundreds; smaller numbers are hundreds already.
    const double hundreds = v > 999 ? v / 100 : v;
    return "F" + ZeroPad(static_cast<long>(std::min(RoundHalfEven(hundreds), 1e9)), 3);
}

// --- Any time -------------------------------------------------------------------------

void Help(Companion& c) {
    Say(c, std::string("Commands: act atis dist find fp help icao info members metar prof refresh staf stat sups taf "
                       "traffic unwatch update vis watch watches") + kCrLf);
}

void UpdateSectors(Companion& c) {
    if (c.Viewer.UpdateSectors())
        Say(c, std::string("Updating sector data - the status line shows the outcome") + kCrLf);
    else
        Say(c, std::string("No sector update: ") + (c.Model.StatusText.empty() ? "refused" : c.Model.StatusText) +
                   kCrLf);
}

void Icao(Companion& c, const std::string& code) {
    const Airport* airport = AirportOf(c, code);
    if (!airport) return Unrecognized(c);
    Say(c, code + " is " + airport->Name + " (" + airport->Town + ", " + airport->Country + ")" + kCrLf);
    const Place at = PositionOf(*airport);
    c.Viewer.BuildAirportMarker(code, at.Latitude, at.Longitude);
    c.Viewer.CentreMap(at.Latitude, at.Longitude, code, true);
}

void Dist(Companion& c, const std::string& a, const std::string& b) {
    // In the comparison view both networks are searched, IVAO first; later
    // matches win over earlier ones.
    const std::uint8_t net = Net(c);
    const std::vector<std::uint8_t> networks = net == kMerged ? std::vector<std::uint8_t>{kIvao, kVatsim}
                                                              : std::vector<std::uint8_t>{net};
    const auto resolve = [&](const std::string& name) {
        Place at;
        if (const Airport* airport = AirportOf(c, name)) at = PositionOf(*airport);
        for (std::uint8_t n : networks) {
            const Snapshot& s = c.Model.Networks[n];
            for (int i = 0; i < s.PilotCount; ++i) {
                const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
                if (p.Callsign == name) at = Place{p.Latitude, p.Longitude};
            }
            for (int i = 0; i < s.AtcCount; ++i) {
                const AtcClient& r = s.AtcClients[static_cast<size_t>(i)];
                if (r.Callsign == name) at = Place{r.ReportedLatitude, r.ReportedLongitude};
            }
        }
        return at;
    };
    const Place from = resolve(a), to = resolve(b);
    const auto unknown = [](const Place& p) { return p.Latitude == 0 && p.Longitude == 0; };
    if (unknown(from) || unknown(to)) {
        Say(c, std::string("Callsigns / codes not found") + kCrLf);
        return;
    }
    Say(c, "Distance: " + FixedDecimals(Distance(from.Latitude, from.Longitude, to.Latitude, to.Longitude), 2) +
               " nm" + kCrLf);
}

// --- On the shown network ------------------------------------------------------------

void Atis(Companion& c, const std::string& callsign) {
    const Snapshot& s = Shown(c);
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        if (a.Callsign != callsign) continue;
        if (a.AtisText.empty()) {
            Say(c, std::string("No ATIS available") + kCrLf);
            return;
        }
        // The separator is "^" and a section sign: the byte A7, or C2 A7 in
        // the feeds that are written in UTF-8.
        std::string text = a.AtisText;
        for (size_t at; (at = text.find("^\xC2\xA7")) != std::string::npos;) text.erase(at + 1, 1);
        for (const std::string& piece : Split(text, "^\xA7"))
            if (!piece.empty() && piece[0] != '$') Say(c, piece);
        Say(c, "");
        return;
    }
    NotOnline(c, callsign);
}

void FlightPlan(Companion& c, const std::string& callsign) {
    const Snapshot& s = Shown(c);
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (p.Callsign != callsign) continue;
        if (p.Destination.empty()) {
            Say(c, std::string("Flight plan not sent yet") + kCrLf);
            return;
        }
        Say(c, "(FPL-" + p.Callsign + "-" + p.FlightRules + p.FlightKind);
        Say(c, "-" + p.AircraftFull);
        Say(c, "-" + p.Departure + p.DepartureTime);
        Say(c, "-" + FiledSpeed(p.CruiseSpeed) + FiledLevel(p.PlannedAltitude) + " " + p.Route);
        Say(c, "-" + p.Destination + p.EnrouteTime + " " + p.Alternate);
        Say(c, "-" + p.Remarks + ")" + kCrLf);
        return;
    }
    NotOnline(c, callsign);
}

void Info(Companion& c, const std::string& who) {
    const std::uint8_t net = Net(c);
    const std::string& stamp = Shown(c).UpdateStamp;
    bool found = false;
    EachAtc(c, [&](const AtcClient& a) {
        if (a.Callsign != who && a.MemberId != who) return;
        found = true;
        Say(c, a.Callsign + " is " + a.RealName + " " + ControllerRatingName(net, a.Rating) + " (" + a.MemberId + ")");
        Say(c, " On " + a.Frequency + ", range " + FormatSingle(a.VisualRange) + " nm, online for " +
                   OnlineTime(a.LogonTime, stamp) + kCrLf);
        c.Viewer.CentreMap(a.Latitude, a.Longitude, a.Callsign, false);
    });
    EachPilot(c, [&](const PilotClient& p) {
        if (p.Callsign != who && p.MemberId != who) return;
        found = true;
        const std::string rating = net == kIvao ? " " + PilotRatingName(net, p.Rating) : std::string();
        Say(c, p.Callsign + " is " + p.RealName + rating + " (" + p.MemberId + ")");
        if (!p.Destination.empty()) {
            std::string route = " Route " + p.Departure + "-" + p.Destination + " with " + p.AircraftType;
            if (p.PersonsOnBoard >= 1) route += ", " + std::to_string(p.PersonsOnBoard) + " POB";
            Say(c, route);
        }
        Say(c, " " + FormatSingle(p.Altitude) + " ft, " + FormatSingle(p.GroundSpeed) + " kts, hdg " +
                   ZeroPad(p.Heading, 3) + "\xB0, online for " + OnlineTime(p.LogonTime, stamp) + kCrLf);
        c.Viewer.CentreMap(p.Latitude, p.Longitude, p.Callsign, false);
    });
    if (!found) NotOnline(c, who);
}

void Profile(Companion& c, const std::string& who) {
    // Only an all-digit id goes into the address, and only an http or https
    // profile address is opened.
    const auto open = [&](const std::string& id) {
        const bool digits = !id.empty() && std::all_of(id.begin(), id.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        const std::string address = digits ? ProfileAddress(Shown(c).ProfileUrl, id) : std::string();
        if (!address.empty() && c.Viewer.OpenUrl(address))
            Say(c, "Opened profile of " + id + kCrLf);
        else
            Say(c, "Could not open profile of " + id + kCrLf);
    };
    const Snapshot& s = Shown(c);
    for (int i = 0; i < s.AtcCount; ++i) {
        const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
        if (a.Callsign == who || a.MemberId == who) return open(a.MemberId);
    }
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (p.Callsign == who || p.MemberId == who) return open(p.MemberId);
    }
    const double id = ReadNumber(who);
    if (id >= 100000 && id < 3000000) return open(who);
    NotOnline(c, who);
}

void Stat(Companion& c) {
    const Snapshot& s = Shown(c);
    // Controllers are counted from their records: the snapshot's client
    // total also covers records the caps left out.
    int controllers = 0;
    for (int i = 0; i < s.AtcCount; ++i) {
        const FacilityKind facility = s.AtcClients[static_cast<size_t>(i)].Facility;
        if (facility >= FacilityKind::Ground && facility <= FacilityKind::FlightService) ++controllers;
    }
    Say(c, NetworkName(c) + " data of " + StampClock(s.UpdateStamp) + "Z - " + std::to_string(c.Model.ClientTotal[Net(c)]) +
               " clients (" + std::to_string(controllers) + " ATC, " + std::to_string(s.PilotCount) + " planes, " +
               std::to_string(s.ObserverCount) + " observers)" + kCrLf);
}

void Sups(Companion& c) {
    int count = 0;
    const auto line = [&](std::int16_t adminRating, const std::string& callsign, const std::string& name) {
        if (adminRating <= 10) return;
        ++count;
        Say(c, Named(callsign, name));
    };
    EachAtc(c, [&](const AtcClient& a) { line(a.AdminRating, a.Callsign, a.RealName); });
    EachPilot(c, [&](const PilotClient& p) { line(p.AdminRating, p.Callsign, p.RealName); });
    Total(c, count, " SUP/ADM on " + NetworkName(c), "No SUP/ADM on " + NetworkName(c));
}

void Refresh(Companion& c) {
    const std::uint8_t net = Net(c);
    const std::string name = NetworkName(c);
    if (WithinReloadInterval(c.Model, net)) {
        Say(c, "Please wait at least " + std::to_string(Shown(c).ReloadMinutes * 60) +
                   " seconds between two downloads" + kCrLf);
        return;
    }
    Say(c, "Downloading " + name + " data...");
    const Clock::time_point before = c.Model.Networks[net].LastDownload;
    // The answer follows when the download's outcome is shown.
    c.Viewer.DownloadThen(net, [&c, net, name, before] {
        // A failed download leaves the old records: only a newer interpreted
        // snapshot counts.
        const Snapshot& s = c.Model.Networks[net];
        if (s.LastDownload == before || s.AtcCount + s.PilotCount == 0) {
            Say(c, " Error downloading " + name + " data" + kCrLf);
            return;
        }
        Say(c, " " + name + " data of " + StampClock(s.UpdateStamp) + "Z downloaded - " +
                   std::to_string(c.Model.ClientTotal[net]) + " clients online" + kCrLf);
    });
}

void Watch(Companion& c, const std::string& code) {
    std::string upper, refusal;
    if (!CheckWatchCode(code, upper, refusal)) {
        Say(c, refusal + kCrLf);
        return;
    }
    if (!c.Model.Watches.Add(upper)) {
        Say(c, upper + " is watched already" + kCrLf);
        return;
    }
    Say(c, "Watching " + upper + " - ATC opening there notifies" + kCrLf);
}

void Unwatch(Companion& c, const std::string& code) {
    std::string upper, refusal;
    if (!CheckWatchCode(code, upper, refusal)) {
        Say(c, refusal + kCrLf);
        return;
    }
    Say(c, (c.Model.Watches.Remove(upper) ? "No longer watching " : "Not watched: ") + upper + kCrLf);
}

void Watches(Companion& c) {
    for (const std::string& code : c.Model.Watches.Keys()) Say(c, code);
    Total(c, static_cast<int>(c.Model.Watches.Size()), " watched", "Nothing watched");
}

void Visible(Companion& c, const std::string& callsign) {
    Place centre;
    float atcRange = 0, pilotRange = 0;
    bool found = false;
    EachAtc(c, [&](const AtcClient& a) {
        if (found || a.Callsign != callsign) return;
        found = true;
        centre = Place{a.ReportedLatitude, a.ReportedLongitude};
        atcRange = a.VisualRange;
    });
    EachPilot(c, [&](const PilotClient& p) {
        if (found || p.Callsign != callsign) return;
        found = true;
        centre = Place{p.Latitude, p.Longitude};
        pilotRange = 40;
    });
    if (!found) return NotOnline(c, callsign);
    int count = 0;
    const auto line = [&](const std::string& other, const std::string& name, float d) {
        ++count;
        Say(c, other + " " + name + " (" + FixedDecimals(d, 1) + " nm)");
    };
    EachAtc(c, [&](const AtcClient& a) {
        if (a.Callsign == callsign) return;
        const float d = Distance(centre.Latitude, centre.Longitude, a.ReportedLatitude, a.ReportedLongitude);
        if (d < atcRange + a.VisualRange) line(a.Callsign, a.RealName, d);
    });
    EachPilot(c, [&](const PilotClient& p) {
        if (p.Callsign == callsign) return;
        const float d = Distance(centre.Latitude, centre.Longitude, p.Latitude, p.Longitude);
        if (d < atcRange + pilotRange) line(p.Callsign, p.RealName, d);
    });
    Total(c, count, " clients in visual range of " + callsign, "No clients in visual range of " + callsign);
}

void Members(Companion& c, const std::string& place) {
    int count = 0;
    EachAtc(c, [&](const AtcClient& a) {
        // The station's airport or sector: the start of its location, else
        // of its callsign.
        std::string code;
        if (a.Location.size() >= 4)
            code = a.Location.substr(0, 4);
        else if (a.Callsign.size() > 3)
            code = a.Callsign.substr(0, 4);
        else
            return;
        const SectorEntry* sector = c.Model.Sectors.Find(code);
        if (AirportInPlace(c, code, place) || (!c.Model.Airports.Has(code) && sector && sector->Country == place)) {
            ++count;
            Say(c, Named(a.Callsign, a.RealName) + " (" + a.MemberId + ")");
        }
    });
    EachPilot(c, [&](const PilotClient& p) {
        if (p.HomeAirport.size() != 4 || !AirportInPlace(c, p.HomeAirport, place)) return;
        ++count;
        Say(c, Named(p.Callsign, p.RealName) + " " + p.HomeAirport + " (" + p.MemberId + ")");
    });
    Total(c, count, " members from " + place + " on " + NetworkName(c), "No members from " + place + " on " + NetworkName(c));
}

void Find(Companion& c, const std::string& text) {
    int count = 0;
    const auto match = [&](const std::string& callsign, const std::string& name, const std::string& id) {
        if (!Contains(LowerText(callsign), text) && !Contains(LowerText(name), text)) return;
        ++count;
        Say(c, Named(callsign, name) + " (" + id + ")");
    };
    EachAtc(c, [&](const AtcClient& a) { match(a.Callsign, a.RealName, a.MemberId); });
    EachPilot(c, [&](const PilotClient& p) { match(p.Callsign, p.RealName, p.MemberId); });
    Total(c, count, " matches found", "Search string does not match with any callsign / name");
}

void Activity(Companion& c, const std::string& code) {
    const Airport* airport = AirportOf(c, code);
    if (!airport) return Unrecognized(c);
    const Place at = PositionOf(*airport);
    const auto from = [&](float lat, float lon) { return Distance(at.Latitude, at.Longitude, lat, lon); };
    int atc = 0, pilots = 0, observers = 0;
    // The nearest centre or flight service within 200 nm, by the distance
    // of its display position, both compared and kept.
    const AtcClient* centre = nullptr;
    float nearest = 200;
    EachAtc(c, [&](const AtcClient& a) {
        const float d = from(a.Latitude, a.Longitude);
        const FacilityKind f = a.Facility;
        if ((f >= FacilityKind::Atis && f <= FacilityKind::Tower && d < 3) || (f == FacilityKind::Approach && d < 25)) {
            ++atc;
            Say(c, Named(a.Callsign, a.RealName));
        } else if ((f == FacilityKind::Centre || f == FacilityKind::FlightService) && d < nearest) {
            centre = &a;
            nearest = d;
        }
    });
    if (centre) {
        ++atc;
        Say(c, Named(centre->Callsign, centre->RealName));
    }
    EachPilot(c, [&](const PilotClient& p) {
        const float d = from(p.Latitude, p.Longitude);
        const char* way = nullptr;
        if (!p.Departure.empty()) {
            if (d < 50) way = p.Destination == code ? " (inbound)" : p.Departure == code ? " (outbound)" : nullptr;
        } else if (d < 5 && p.GroundSpeed < 20) {
            way = " (outbound)";
        }
        if (!way) return;
        ++pilots;
        Say(c, Named(p.Callsign, p.RealName) + way);
    });
    EachAtc(c, [&](const AtcClient& a) {
        if (!Observes(a.Facility) || !(from(a.Latitude, a.Longitude) < 20)) return;
        ++observers;
        Say(c, Named(a.Callsign, a.RealName));
    });
    const int total = atc + pilots + observers;
    if (total == 0) {
        Say(c, "No clients in vicinity of " + code + kCrLf);
        return;
    }
    Say(c, kCrLf + std::string("Total: ") + std::to_string(total) + " clients in vicinity of " + code + " (" +
               std::to_string(atc) + " ATC, " + std::to_string(pilots) + " pilots, " + std::to_string(observers) +
               " observers)" + kCrLf);
    c.Viewer.CentreMap(at.Latitude, at.Longitude, code, true);
}

void TrafficInPlace(Companion& c, const std::string& place) {
    int count = 0;
    EachPilot(c, [&](const PilotClient& p) {
        if (!AirportInPlace(c, p.Departure, place) && !AirportInPlace(c, p.Destination, place)) return;
        ++count;
        Say(c, Named(p.Callsign, p.RealName) + " (" + p.Departure + "-" + p.Destination + ", " + p.AircraftType + ")");
    });
    Total(c, count, " movements in " + place, "No movements in " + place);
}

void TrafficAtAirport(Companion& c, const std::string& code) {
    const Airport* airport = AirportOf(c, code);
    if (!airport) return Unrecognized(c);
    const Place at = PositionOf(*airport);
    // A movement's line ends with its state near the airport, or its distance.
    const auto movement = [&](const PilotClient& p, float d, const char* near) {
        const std::string where = d <= 3 || p.GroundSpeed <= 50 ? std::string(near) : FixedDecimals(d, 1) + " nm)";
        Say(c, Named(p.Callsign, p.RealName) + " (" + p.Departure + "-" + p.Destination + ", " + p.AircraftType + ", " +
                   where);
    };
    int outbound = 0, inbound = 0;
    EachPilot(c, [&](const PilotClient& p) {
        const float d = Distance(at.Latitude, at.Longitude, p.Latitude, p.Longitude);
        if (p.Departure == code && p.Destination != code) {
            ++outbound;
            movement(p, d, "departing)");
        } else if (p.Departure.empty() && d < 3 && p.GroundSpeed < 20) {
            ++outbound;
            Say(c, Named(p.Callsign, p.RealName) + " (no fp)");
        }
    });
    EachPilot(c, [&](const PilotClient& p) {
        if (p.Destination != code) return;
        ++inbound;
        movement(p, Distance(at.Latitude, at.Longitude, p.Latitude, p.Longitude), "landed)");
    });
    if (outbound + inbound == 0) {
        Say(c, "No traffic at " + code + kCrLf);
        return;
    }
    Say(c, kCrLf + std::string("Total: ") + std::to_string(outbound + inbound) + " aircraft (" + std::to_string(outbound) +
               " outbound, " + std::to_string(inbound) + " inbound)" + kCrLf);
}

}  // namespace kestrava::companion
