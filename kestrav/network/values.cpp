#include "kestrav/network/values.h"

#include "formats/text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kestrava {

// --- Field access and look-ups -------------------------------------------

std::string FieldOf(std::string_view line, int n) {
    if (n < 0) return {};
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        size_t colon = line.find(':', start);
        if (colon == std::string_view::npos) return {};
        start = colon + 1;
    }
    size_t end = line.find(':', start);
    return std::string(line.substr(start, end == std::string_view::npos ? line.size() - start
                                                                          : end - start));
}

bool HasKey(const FriendList& list, std::string_view key) { return list.Has(key); }

bool IsFriend(const NetworkModel& model, std::string_view memberId) {
    return HasKey(model.Friends, memberId);
}

std::string ProfileAddress(std::string_view base, std::string_view memberId) {
    const std::string trimmed = Trim(base);
    const std::string lower = ToLower(trimmed);
    if (memberId.empty() || !(StartsWith(lower, "http://") || StartsWith(lower, "https://"))) return {};
    // A fragment ("#top") stays at the end, after the id.
    const size_t hash = trimmed.find('#');
    const std::string fragment = hash == std::string::npos ? std::string() : trimmed.substr(hash);
    std::string address = trimmed.substr(0, hash) + "?ID=";
    static const char* kHex = "0123456789ABCDEF";
    for (unsigned char ch : memberId) {
        const bool plain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                           ch == '-' || ch == '.' || ch == '_' || ch == '~';
        if (plain) {
            address += static_cast<char>(ch);
        } else {
            address += '%';
            address += kHex[ch >> 4];
            address += kHex[ch & 15];
        }
    }
    return address + fragment;
}

// --- Text forms ------------------------------------------------------------

namespace {

// Whole degrees padded to `digits`, "*", minutes with one decimal, "'". The
// minutes are rounded to tenths; 59.96 minutes carry into the next degree
// rather than showing as 60.0. A value beyond +-limit is shown as the limit
// (a feed may send any single-precision number as a position), NaN as 0.
std::string DegreesAndMinutes(float value, int digits, float limit) {
    if (std::isnan(value)) value = 0;
    float absolute = std::min(std::fabs(value), limit);
    float whole = std::floor(absolute);
    float minutes = (absolute - whole) * 60.0f;
    long degrees = static_cast<long>(whole);
    long tenths = static_cast<long>(std::floor(static_cast<double>(minutes) * 10.0 + 0.5));
    if (tenths >= 600) {
        tenths -= 600;
        ++degrees;
    }
    return ZeroPad(degrees, digits) + "*" + ZeroPad(tenths / 10, 2) + "." +
           std::to_string(tenths % 10) + "'";
}

}  // namespace

std::string LatitudeText(float latitude) {
    return (latitude < 0 ? "S" : "N") + DegreesAndMinutes(latitude, 2, 90);
}

std::string LongitudeText(float longitude) {
    if (longitude < -180) {
        longitude += 360;
    } else if (longitude > 180) {
        longitude -= 360;
    }
    return (longitude < 0 ? "W" : "E") + DegreesAndMinutes(longitude, 2, 180);
}

std::string PilotRatingName(int net, int rating) {
    static const std::array<const char*, 9> kIvaoPilot = {"SFO", "FFO", "C",   "FC", "SC",
                                                     "SFC", "CC",  "CFC", "CSC"};
    if (net == kIvao && rating >= 2 && rating <= 10) return kIvaoPilot[rating - 2];
    return {};
}

std::string ControllerRatingName(int net, int rating) {
    static const std::array<const char*, 9> kIvaoController = {"S1", "S2", "S3", "C1", "C2",
                                                     "C3", "I1", "I2", "I3"};
    static const std::array<const char*, 11> kVatsimController = {"OBS",  "OBS", "STU", "STU+",
                                                        "STU+", "CTR", "CTR+", "CTR+",
                                                        "INS",  "INS+", "INS+"};
    if (net == kIvao && rating >= 2 && rating <= 10) return kIvaoController[rating - 2];
    if (net == kVatsim && rating >= 0 && rating <= 10) return kVatsimController[rating];
    return {};
}

namespace {

// Characters [from, from + count) of a stamp read as a number; 0 when the
// stamp is too short.
long StampPart(std::string_view stamp, size_t from, size_t count) {
    if (from >= stamp.size()) return 0;
    double v = ReadNumber(stamp.substr(from, count));
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return 0;
    return static_cast<long>(std::trunc(v));
}

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a calendar date; months and days outside their
// range roll over into the neighbouring ones (month 13 is January of the next
// year, day 0 the last day of the previous month).
long long DayNumber(long year, long month, long day) {
    long long m0 = month - 1;
    long long y = year + FloorDiv(m0, 12);
    long long m = m0 - 12 * FloorDiv(m0, 12) + 1;  // 1..12
    // Days from civil (proleptic Gregorian calendar).
    y -= m <= 2;
    long long era = FloorDiv(y, 400);
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + (day - 1);
}

long long StampMinutes(std::string_view stamp) {
    long long days = DayNumber(StampPart(stamp, 0, 4), StampPart(stamp, 4, 2), StampPart(stamp, 6, 2));
    return days * 1440 + StampPart(stamp, 8, 2) * 60 + StampPart(stamp, 10, 2);
}

}  // namespace

std::string OnlineTime(std::string_view logonStamp, std::string_view snapshotStamp) {
    long long minutes = StampMinutes(snapshotStamp) - StampMinutes(logonStamp);
    if (minutes < 0) minutes = 0;
    long long hours = minutes / 60;
    minutes %= 60;
    if (hours > 99) {
        hours = 99;
        minutes = 59;
    }
    return ZeroPad(static_cast<long>(hours), 2) + ":" + ZeroPad(static_cast<long>(minutes), 2);
}

// --- Flight state ----------------------------------------------------------

namespace {

long Rounded(double value) {
    if (!std::isfinite(value)) return 0;
    if (value > 1e9) return 1000000000L;
    if (value < -1e9) return -1000000000L;
    return static_cast<long>(RoundHalfEven(value));
}

// The arrival clock: `minutes` after the snapshot's time of day, "hhmmZ".
std::string ArrivalClock(std::string_view updateStamp, long minutes) {
    long hour = StampPart(updateStamp, 8, 2);
    long minute = StampPart(updateStamp, 10, 2) + minutes;
    hour += minute / 60;
    minute %= 60;
    if (hour > 23) hour -= 24;
    return ZeroPad(hour, 2) + ZeroPad(minute, 2) + "Z";
}

}  // namespace

double FiledKnots(std::string_view text) {
    double value = ReadNumber(text);
    double knots = 0;
    if (value > 0) {
        knots = value;
    } else if (StartsWith(text, "N")) {
        knots = ReadNumber(text.substr(1));
    } else if (StartsWith(text, "M")) {
        knots = ReadNumber(text.substr(1)) * 5.75;
    } else if (StartsWith(text, "K")) {
        knots = ReadNumber(text.substr(1)) / 1.85;
    }
    return std::isfinite(knots) ? knots : 0;
}

long CruiseKnots(std::string_view text) {
    long rounded = Rounded(FiledKnots(text));
    return rounded > 3000 ? 0 : rounded;
}

double PlannedFeet(std::string_view text) {
    double value = ReadNumber(text);
    if (value > 0) return value < 501 ? value * 100 : value;
    double feet = 0;
    if (StartsWith(text, "F")) feet = ReadNumber(text.substr(1)) * 100;
    if (StartsWith(text, "FL")) feet = ReadNumber(text.substr(2)) * 100;
    if (StartsWith(text, "A")) feet = ReadNumber(text.substr(1)) * 100;
    return feet;
}

FlightState FlightStatus(const PilotClient& p, std::string_view updateStamp) {
    const long gs = Rounded(p.GroundSpeed);
    const long cruise = CruiseKnots(p.CruiseSpeed);
    const double alt = static_cast<double>(Rounded(p.Altitude));
    const double planned = PlannedFeet(p.PlannedAltitude);
    const double total = Distance(p.DestLatitude, p.DestLongitude, p.DepLatitude, p.DepLongitude);
    const double fromDep = Distance(p.DepLatitude, p.DepLongitude, p.Latitude, p.Longitude);
    const double toDest = Distance(p.DestLatitude, p.DestLongitude, p.Latitude, p.Longitude);
    const bool destKnown = p.DestLatitude != 0 || p.DestLongitude != 0;

    FlightState state;
    state.Status = "Unknown";
    if (gs == 0) state.Status = "Diverted";
    if (fromDep < 4 && total > 8) {
        state.Status = gs == 0 ? "Boarding" : "Departing";
        if (cruise > 0 && total / cruise < 24 && destKnown) state.Eta = Rounded(total * 60 / cruise);
    }
    if (toDest < 4) {
        state.Status = gs == 0 ? "On blocks" : "Landed";
        state.Eta = 0;
    }
    if (gs > 50) {
        state.Status = "En route";
        state.Eta = Rounded(toDest * 60 / gs + alt / 3000);
        if (fromDep < 120 && fromDep < total / 2 && alt < planned * 0.7) {
            state.Status = "Climbing";
            if (cruise > 0) state.Eta = Rounded(toDest * 60 / cruise + alt / 3000);
        }
        if (toDest < 120 && toDest < total / 2 && alt < planned * 0.85) state.Status = "Descending";
        if (toDest < 50 && toDest < total / 2 && alt < 10000 && alt < planned * 0.5)
            state.Status = "Approach";
    }
    if (p.Destination.size() < 2) state.Status = "N/A";
    if (!destKnown) state.Eta = -1;

    // The arrival allows 5 % for the approach. An adjusted eta of 1439 minutes
    // is shown like 1438 (one minute short of a full day).
    const long adjusted = static_cast<long>(std::floor(state.Eta * 1.05));
    if (adjusted < 0 || adjusted >= 1440) {
        state.Arrival = "?";
    } else if (adjusted == 0) {
        state.Arrival = "-";
    } else {
        state.Arrival = ArrivalClock(updateStamp, adjusted);
    }
    return state;
}

}  // namespace kestrava
