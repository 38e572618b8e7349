#include "settings.h"

#include "files.h"
#include "text.h"

#include <cmath>

namespace kestrava {

namespace {

const char* kZoomKeys[3][3] = {{"X1", "Y1", "Z1"}, {"X2", "Y2", "Z2"}, {"X3", "Y3", "Z3"}};
const char* kZoomDefaults[3][3] = {
    {"1334", "-5415", "149"}, {"-9772", "-4623", "75"}, {"-2768", "-3671", "43"}};

struct FlagKey {
    const char* Key;
    const char* Default;
    bool Settings::*Field;
};

const FlagKey kMapFlags[] = {
    {"ShowLatLon", "1", &Settings::ShowLatLon},
    {"ShowPlanes", "1", &Settings::ShowPlanes},
    {"ShowPlaneLabels", "1", &Settings::ShowPlaneLabels},
    {"ShowATC", "1", &Settings::ShowATC},
    {"ShowATCLabels", "1", &Settings::ShowATCLabels},
    {"ShowAirports", "1", &Settings::ShowAirports},
    {"ShowAirportLabels", "1", &Settings::ShowAirportLabels},
    {"ShowInbounds", "0", &Settings::ShowInbounds},
    {"ShowActualHeading", "0", &Settings::ShowActualHeading},
};

bool StartsWithNumber(const std::string& text) {
    std::string t = Trim(text);
    size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i < t.size() && t[i] == '.') ++i;
    return i < t.size() && t[i] >= '0' && t[i] <= '9';
}

const char* Flag(bool on) { return on ? "1" : "0"; }

// Window position: 0.1 exactly means centred on the screen.
double Placement(const IniFile& ini, const char* key, double screen, double size) {
    double value = ReadNumber(ini.Get("Display", key, "0.1"));
    if (value == 0.1) return std::floor((screen - size) / 2);
    return RoundHalfEven(value);
}

double Dimension(const IniFile& ini, const char* key, const char* fallback, double minimum) {
    double value = RoundHalfEven(ReadNumber(ini.Get("Display", key, fallback)));
    return value < minimum ? minimum : value;
}

}  // namespace

bool ReadFlag(const IniFile& ini, const char* section, const char* key, bool fallback) {
    std::string text = Trim(ini.Get(section, key, fallback ? "1" : "0"));
    if (EqualsNoCase(text, "true")) return true;
    if (EqualsNoCase(text, "false")) return false;
    // Neither a number nor true/false: the key's default.
    if (!StartsWithNumber(text)) return fallback;
    return ReadNumber(text) != 0;
}

int ReadClampedInteger(const IniFile& ini, const char* section, const char* key,
                       const char* fallback, int low, int high) {
    double value = std::floor(ReadNumber(ini.Get(section, key, fallback)));
    if (!(value >= low)) return low;  // also catches NaN
    if (value > high) return high;
    return static_cast<int>(value);
}

Settings ReadSettings(const IniFile& ini, ScreenSize screen) {
    Settings s;
    s.UserIds[0] = ini.Get("User", "IVAO_ID", "100000");
    s.UserIds[1] = ini.Get("User", "VATSIM_ID", "800000");
    s.ColourTheme = ini.Get("Display", "ColourTheme", "default.dc");
    s.DisableSmooth = ReadFlag(ini, "Display", "DisableSmooth", false);
    s.DisableCountries = ReadFlag(ini, "Display", "DisableCountries", false);
    s.WindowWidth = Dimension(ini, "WindowWidth", "800", 720);
    s.WindowHeight = Dimension(ini, "WindowHeight", "600", 540);
    s.WindowLeft = Placement(ini, "WindowLeft", screen.Width, s.WindowWidth);
    s.WindowTop = Placement(ini, "WindowTop", screen.Height, s.WindowHeight);

    s.AutoDownload = ReadFlag(ini, "Network", "AutoDownload", false);
    s.DownloadMinutes = ReadClampedInteger(ini, "Network", "DownloadMinutes", "5", 3, 30);
    s.Timeout = ReadClampedInteger(ini, "Network", "Timeout", "15", 5, 120);
    s.Proxy = ini.Get("Network", "Proxy", "0");
    s.TextForce = ReadFlag(ini, "Network", "TextForce", false);
    s.StatusUrls[0] = ini.Get("Network", "IVAOStatusUrl", s.StatusUrls[0]);
    s.StatusUrls[1] = ini.Get("Network", "VATSIMStatusUrl", s.StatusUrls[1]);

    for (int v = 0; v < 3; ++v) {
        StoredView& view = s.Views[v];
        view.X = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][0], kZoomDefaults[v][0])) / 100);
        view.Y = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][1], kZoomDefaults[v][1])) / 100);
        view.Z = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][2], kZoomDefaults[v][2])) / 100);
    }
    for (const FlagKey& flag : kMapFlags)
        s.*flag.Field = ReadFlag(ini, "Map", flag.Key, flag.Default[0] == '1');
    return s;
}

void WriteSettings(IniFile& ini, const Settings& s) {
    ini.Set("User", "IVAO_ID", s.UserIds[0]);
    ini.Set("User", "VATSIM_ID", s.UserIds[1]);
    ini.Set("Display", "ColourTheme", s.ColourTheme);
    ini.Set("Display", "DisableSmooth", Flag(s.DisableSmooth));
    ini.Set("Display", "DisableCountries", Flag(s.DisableCountries));
    ini.Set("Display", "WindowLeft", FormatDecimal(s.WindowLeft));
    ini.Set("Display", "WindowTop", FormatDecimal(s.WindowTop));
    ini.Set("Display", "WindowWidth", FormatDecimal(s.WindowWidth));
    ini.Set("Display", "WindowHeight", FormatDecimal(s.WindowHeight));
    ini.Set("Network", "AutoDownload", Flag(s.AutoDownload));
    ini.Set("Network", "DownloadMinutes", std::to_string(s.DownloadMinutes));
    ini.Set("Network", "Timeout", std::to_string(s.Timeout));
    ini.Set("Network", "IVAOStatusUrl", s.StatusUrls[0]);
    ini.Set("Network", "VATSIMStatusUrl", s.StatusUrls[1]);
    for (int v = 0; v < 3; ++v) {
        const float values[3] = {s.Views[v].X, s.Views[v].Y, s.Views[v].Z};
        for (int k = 0; k < 3; ++k) {
            double hundredths = RoundHalfEven(static_cast<double>(values[k]) * 100.0);
            ini.Set("Zoom", kZoomKeys[v][k], FormatDecimal(hundredths));
        }
    }
    for (const FlagKey& flag : kMapFlags) ini.Set("Map", flag.Key, Flag(s.*flag.Field));
}

std::string SettingsPath() { return ProgramPath("kestrav.ini"); }
std::string FriendsPath() { return ProgramPath("data/friends.dat"); }

}  // namespace kestrava
