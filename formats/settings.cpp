#include "settings.h"

#include "files.h"
#include "text.h"

#include <cmath>

namespace kestrava {

namespace {

const char* kZoomKeys[3][3] = {{"X1", "Y1", "Z1"}, {"X2", "Y2", "Z2"}, {"X3", "Y3", "Z3"}};
const char* kZoomDefaults[3][3] = {
    {"1334", "-5415", "149"}, {"-9772", "-4623", "75"}, {"-2768", "-3671", "43"}};

// Section, name and default of the keys the viewer and the editor share.
const std::array<SettingsKey, kSharedKeyCount> kSharedKeys{{
    {"User", "IVAO_ID", "100000"},
    {"User", "VATSIM_ID", "800000"},
    {"Display", "ColourTheme", "default.dc"},
    {"Display", "DisableSmooth", "0"},
    {"Display", "DisableCountries", "0"},
    {"Network", "AutoDownload", "0"},
    {"Network", "DownloadMinutes", "5"},
    {"Network", "Timeout", "15"},
    {"Network", "Proxy", "0"},
    {"Network", "TextForce", "0"},
    {"Map", "ShowLatLon", "1"},
    {"Map", "ShowPlanes", "1"},
    {"Map", "ShowPlaneLabels", "1"},
    {"Map", "ShowATC", "1"},
    {"Map", "ShowATCLabels", "1"},
    {"Map", "ShowAirports", "1"},
    {"Map", "ShowAirportLabels", "1"},
    {"Map", "ShowInbounds", "0"},
    {"Map", "ShowActualHeading", "0"},
}};

// What the viewer makes of DownloadMinutes and Timeout.
constexpr int kMinutesLow = 3, kMinutesHigh = 30;
constexpr int kTimeoutLow = 5, kTimeoutHigh = 120;
// The editor keeps them as 16-bit numbers.
constexpr int kInt16Low = -32768, kInt16High = 32767;

struct FlagKey {
    SharedKey Key;
    bool Settings::*Field;
};

const FlagKey kFlags[] = {
    {SharedKey::DisableSmooth, &Settings::DisableSmooth},
    {SharedKey::DisableCountries, &Settings::DisableCountries},
    {SharedKey::AutoDownload, &Settings::AutoDownload},
    {SharedKey::TextForce, &Settings::TextForce},
    {SharedKey::ShowLatLon, &Settings::ShowLatLon},
    {SharedKey::ShowPlanes, &Settings::ShowPlanes},
    {SharedKey::ShowPlaneLabels, &Settings::ShowPlaneLabels},
    {SharedKey::ShowATC, &Settings::ShowATC},
    {SharedKey::ShowATCLabels, &Settings::ShowATCLabels},
    {SharedKey::ShowAirports, &Settings::ShowAirports},
    {SharedKey::ShowAirportLabels, &Settings::ShowAirportLabels},
    {SharedKey::ShowInbounds, &Settings::ShowInbounds},
    {SharedKey::ShowActualHeading, &Settings::ShowActualHeading},
};

std::string SharedText(const IniFile& ini, SharedKey key) {
    const SettingsKey& k = KeyOf(key);
    return ini.Get(k.Section, k.Name, k.Default);
}

int SharedInteger(const IniFile& ini, SharedKey key, int low, int high) {
    const SettingsKey& k = KeyOf(key);
    return ReadClampedInteger(ini, k.Section, k.Name, k.Default, low, high);
}

void SetShared(IniFile& ini, SharedKey key, const std::string& value) {
    const SettingsKey& k = KeyOf(key);
    ini.Set(k.Section, k.Name, value);
}

// The nine layer flags of section Map, in their order.
void WriteMapFlags(IniFile& ini, const Settings& s) {
    for (const FlagKey& flag : kFlags)
        if (flag.Key >= SharedKey::ShowLatLon) SetShared(ini, flag.Key, s.*flag.Field ? "1" : "0");
}

// The texts and flags, read alike by the viewer and the editor.
void ReadSharedTextsAndFlags(const IniFile& ini, Settings& s);

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

const std::array<SettingsKey, kSharedKeyCount>& SharedKeys() { return kSharedKeys; }

const SettingsKey& KeyOf(SharedKey key) { return kSharedKeys[static_cast<size_t>(key)]; }

namespace {
void ReadSharedTextsAndFlags(const IniFile& ini, Settings& s) {
    s.UserIds[0] = SharedText(ini, SharedKey::IvaoId);
    s.UserIds[1] = SharedText(ini, SharedKey::VatsimId);
    s.ColourTheme = SharedText(ini, SharedKey::ColourTheme);
    s.Proxy = SharedText(ini, SharedKey::Proxy);
    for (const FlagKey& flag : kFlags) {
        const SettingsKey& k = KeyOf(flag.Key);
        s.*flag.Field = ReadFlag(ini, k.Section, k.Name, k.Default[0] == '1');
    }
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
    ReadSharedTextsAndFlags(ini, s);
    s.WindowWidth = Dimension(ini, "WindowWidth", "800", 720);
    s.WindowHeight = Dimension(ini, "WindowHeight", "600", 540);
    s.WindowLeft = Placement(ini, "WindowLeft", screen.Width, s.WindowWidth);
    s.WindowTop = Placement(ini, "WindowTop", screen.Height, s.WindowHeight);

    s.DownloadMinutes = SharedInteger(ini, SharedKey::DownloadMinutes, kMinutesLow, kMinutesHigh);
    s.Timeout = SharedInteger(ini, SharedKey::Timeout, kTimeoutLow, kTimeoutHigh);
    s.StatusUrls[0] = ini.Get("Network", "IVAOStatusUrl", s.StatusUrls[0]);
    s.StatusUrls[1] = ini.Get("Network", "VATSIMStatusUrl", s.StatusUrls[1]);

    for (int v = 0; v < 3; ++v) {
        StoredView& view = s.Views[v];
        view.X = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][0], kZoomDefaults[v][0])) / 100);
        view.Y = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][1], kZoomDefaults[v][1])) / 100);
        view.Z = static_cast<float>(ReadNumber(ini.Get("Zoom", kZoomKeys[v][2], kZoomDefaults[v][2])) / 100);
    }
    return s;
}

void WriteSettings(IniFile& ini, const Settings& s) {
    SetShared(ini, SharedKey::IvaoId, s.UserIds[0]);
    SetShared(ini, SharedKey::VatsimId, s.UserIds[1]);
    SetShared(ini, SharedKey::ColourTheme, s.ColourTheme);
    SetShared(ini, SharedKey::DisableSmooth, Flag(s.DisableSmooth));
    SetShared(ini, SharedKey::DisableCountries, Flag(s.DisableCountries));
    ini.Set("Display", "WindowLeft", FormatDecimal(s.WindowLeft));
    ini.Set("Display", "WindowTop", FormatDecimal(s.WindowTop));
    ini.Set("Display", "WindowWidth", FormatDecimal(s.WindowWidth));
    ini.Set("Display", "WindowHeight", FormatDecimal(s.WindowHeight));
    SetShared(ini, SharedKey::AutoDownload, Flag(s.AutoDownload));
    SetShared(ini, SharedKey::DownloadMinutes, std::to_string(s.DownloadMinutes));
    SetShared(ini, SharedKey::Timeout, std::to_string(s.Timeout));
    ini.Set("Network", "IVAOStatusUrl", s.StatusUrls[0]);
    ini.Set("Network", "VATSIMStatusUrl", s.StatusUrls[1]);
    for (int v = 0; v < 3; ++v) {
        const float values[3] = {s.Views[v].X, s.Views[v].Y, s.Views[v].Z};
        for (int k = 0; k < 3; ++k) {
            double hundredths = RoundHalfEven(static_cast<double>(values[k]) * 100.0);
            ini.Set("Zoom", kZoomKeys[v][k], FormatDecimal(hundredths));
        }
    }
    WriteMapFlags(ini, s);
}

Settings ReadEditorSettings(const IniFile& ini) {
    Settings s;
    ReadSharedTextsAndFlags(ini, s);
    if (s.ColourTheme.empty()) s.ColourTheme = KeyOf(SharedKey::ColourTheme).Default;
    s.DownloadMinutes = SharedInteger(ini, SharedKey::DownloadMinutes, kInt16Low, kInt16High);
    s.Timeout = SharedInteger(ini, SharedKey::Timeout, kInt16Low, kInt16High);
    return s;
}

void WriteEditorSettings(IniFile& ini, const Settings& s) {
    SetShared(ini, SharedKey::IvaoId, s.UserIds[0]);
    SetShared(ini, SharedKey::VatsimId, s.UserIds[1]);
    SetShared(ini, SharedKey::ColourTheme, s.ColourTheme);
    SetShared(ini, SharedKey::DisableSmooth, Flag(s.DisableSmooth));
    SetShared(ini, SharedKey::DisableCountries, Flag(s.DisableCountries));
    SetShared(ini, SharedKey::AutoDownload, Flag(s.AutoDownload));
    SetShared(ini, SharedKey::DownloadMinutes, std::to_string(s.DownloadMinutes));
    SetShared(ini, SharedKey::Timeout, std::to_string(s.Timeout));
    SetShared(ini, SharedKey::Proxy, s.Proxy);
    SetShared(ini, SharedKey::TextForce, Flag(s.TextForce));
    WriteMapFlags(ini, s);
}

std::string SettingsPath() { return ProgramPath("kestrav.ini"); }
std::string FriendsPath() { return ProgramPath("data/friends.dat"); }

}  // namespace kestrava
