#include "settings.h"

#include "text.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// The flags in key order: four of Settings, then the nine layers.
struct FlagKey {
    SharedKey Key;
    bool Settings::*Field = nullptr;
    bool MapLayers::*Layer = nullptr;
};

const FlagKey kFlags[] = {
    {SharedKey::DisableSmooth, &Settings::DisableSmooth},
    {SharedKey::DisableCountries, &Settings::DisableCountries},
    {SharedKey::AutoDownload, &Settings::AutoDownload},
    {SharedKey::TextForce, &Settings::TextForce},
    {SharedKey::ShowLatLon, nullptr, &MapLayers::ShowLatLon},
    {SharedKey::ShowPlanes, nullptr, &MapLayers::ShowPlanes},
    {SharedKey::ShowPlaneLabels, nullptr, &MapLayers::ShowPlaneLabels},
    {SharedKey::ShowATC, nullptr, &MapLayers::ShowATC},
    {SharedKey::ShowATCLabels, nullptr, &MapLayers::ShowATCLabels},
    {SharedKey::ShowAirports, nullptr, &MapLayers::ShowAirports},
    {SharedKey::ShowAirportLabels, nullptr, &MapLayers::ShowAirportLabels},
    {SharedKey::ShowInbounds, nullptr, &MapLayers::ShowInbounds},
    {SharedKey::ShowActualHeading, nullptr, &MapLayers::ShowActualHeading},
};

bool& FlagOf(Settings& s, const FlagKey& flag) { return flag.Field ? s.*flag.Field : s.Layers.*flag.Layer; }
bool FlagOf(const Settings& s, const FlagKey& flag) { return FlagOf(const_cast<Settings&>(s), flag); }

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
        if (flag.Key >= SharedKey::ShowLatLon) SetShared(ini, flag.Key, FlagOf(s, flag) ? "1" : "0");
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

// A rounded number within the range of an int; NaN reads as 0.
long long IntRange(double value) {
    if (std::isnan(value)) return 0;
    value = RoundHalfEven(value);
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<long long>(value);
}

// Window position: 0.1 exactly means centred on the screen.
double Placement(const IniFile& ini, const char* key, double screen, double size) {
    double value = ReadNumber(ini.Get("Display", key, "0.1"));
    if (value == 0.1) return static_cast<double>(IntRange(std::floor((screen - size) / 2)));
    return static_cast<double>(IntRange(value));
}

double Dimension(const IniFile& ini, const char* key, const char* fallback, double minimum) {
    double value = static_cast<double>(IntRange(ReadNumber(ini.Get("Display", key, fallback))));
    return value < minimum ? minimum : value;
}

// A stored view value: the key's hundredths. One that no float holds (1e400,
// -1e300) reads as the key's default: it could not be written back.
float ViewValue(const IniFile& ini, const char* key, const char* fallback) {
    double value = ReadNumber(ini.Get("Zoom", key, fallback)) / 100;
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) value = ReadNumber(fallback) / 100;
    return static_cast<float>(value);
}

// The area that holds the window's centre, else the first one.
const PixelRect& ScreenOf(long long left, long long top, long long width, long long height,
                          const std::vector<PixelRect>& screens) {
    const long long x = left + width / 2, y = top + height / 2;
    for (const PixelRect& s : screens) {
        if (x >= s.Left && x < static_cast<long long>(s.Left) + s.Width && y >= s.Top &&
            y < static_cast<long long>(s.Top) + s.Height)
            return s;
    }
    return screens.front();
}

}  // namespace

const std::array<SettingsKey, kSharedKeyCount>& SharedKeys() { return kSharedKeys; }

const SettingsKey& KeyOf(SharedKey key) { return kSharedKeys[static_cast<size_t>(key)]; }

bool* SharedFlag(Settings& settings, SharedKey key) {
    for (const FlagKey& flag : kFlags)
        if (flag.Key == key) return &FlagOf(settings, flag);
    return nullptr;
}

const bool* SharedFlag(const Settings& settings, SharedKey key) {
    return SharedFlag(const_cast<Settings&>(settings), key);
}

namespace {
void ReadSharedTextsAndFlags(const IniFile& ini, Settings& s) {
    s.UserIds[0] = SharedText(ini, SharedKey::IvaoId);
    s.UserIds[1] = SharedText(ini, SharedKey::VatsimId);
    s.ColourTheme = SharedText(ini, SharedKey::ColourTheme);
    s.Proxy = SharedText(ini, SharedKey::Proxy);
    for (const FlagKey& flag : kFlags) {
        const SettingsKey& k = KeyOf(flag.Key);
        FlagOf(s, flag) = ReadFlag(ini, k.Section, k.Name, k.Default[0] == '1');
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

int LiveSecondsValue(long long seconds) {
    if (seconds <= 0) return 0;
    return static_cast<int>(std::clamp<long long>(seconds, kLiveSecondsLow, kLiveSecondsHigh));
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
    for (int n = 0; n < 2; ++n) {
        const std::string net = n == 0 ? "IVAO" : "VATSIM";
        const std::string status = net + "StatusUrl", data = net + "DataUrl";
        // A file that names only the status address (older files, mirrors)
        // keeps using the status file.
        if (ini.Find("Network", status) && !ini.Find("Network", data)) s.DataUrls[n].clear();
        s.StatusUrls[n] = ini.Get("Network", status, s.StatusUrls[n]);
        s.DataUrls[n] = ini.Get("Network", data, s.DataUrls[n]);
        s.TransceiverUrls[n] = ini.Get("Network", net + "TransceiverUrl", s.TransceiverUrls[n]);
        s.ProfileUrls[n] = ini.Get("Network", net + "ProfileUrl", s.ProfileUrls[n]);
    }
    s.DemoFeed = ReadFlag(ini, "Network", "DemoFeed", false);
    // An empty address means the default one.
    s.SectorDataUrl = Trim(ini.Get("Network", "SectorDataUrl", kDefaultSectorDataUrl));
    if (s.SectorDataUrl.empty()) s.SectorDataUrl = kDefaultSectorDataUrl;
    s.SectorCheckDays = ReadClampedInteger(ini, "Network", "SectorCheckDays", "7", 0, kSectorCheckDaysHigh);
    s.LiveSeconds = LiveSecondsValue(ReadClampedInteger(ini, "Network", "LiveSeconds", "0", -1, kLiveSecondsHigh + 1));
    s.PlaneMotion = ReadFlag(ini, "Map", "PlaneMotion", true);
    s.ShowTrails = ReadFlag(ini, "Map", "ShowTrails", false);
    s.NotifyFriendOnline = ReadFlag(ini, "Notify", "FriendOnline", true);
    s.NotifyFriendLanded = ReadFlag(ini, "Notify", "FriendLanded", true);
    s.NotifyWatchOpened = ReadFlag(ini, "Notify", "WatchOpened", true);
    s.NotifyWatchClosed = ReadFlag(ini, "Notify", "WatchClosed", false);
    s.KeepInTray = ReadClampedInteger(ini, "Notify", "KeepInTray", "-1", -1, 1);

    for (int v = 0; v < 3; ++v) {
        StoredView& view = s.Views[v];
        view.X = ViewValue(ini, kZoomKeys[v][0], kZoomDefaults[v][0]);
        view.Y = ViewValue(ini, kZoomKeys[v][1], kZoomDefaults[v][1]);
        view.Z = ViewValue(ini, kZoomKeys[v][2], kZoomDefaults[v][2]);
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
    for (int n = 0; n < 2; ++n) {
        const std::string net = n == 0 ? "IVAO" : "VATSIM";
        ini.Set("Network", net + "StatusUrl", s.StatusUrls[n]);
        ini.Set("Network", net + "DataUrl", s.DataUrls[n]);
        ini.Set("Network", net + "TransceiverUrl", s.TransceiverUrls[n]);
        ini.Set("Network", net + "ProfileUrl", s.ProfileUrls[n]);
    }
    ini.Set("Network", "DemoFeed", Flag(s.DemoFeed));
    ini.Set("Network", "SectorDataUrl", s.SectorDataUrl);
    ini.Set("Network", "SectorCheckDays", std::to_string(s.SectorCheckDays));
    ini.Set("Network", "LiveSeconds", std::to_string(s.LiveSeconds));
    ini.Set("Map", "PlaneMotion", Flag(s.PlaneMotion));
    ini.Set("Map", "ShowTrails", Flag(s.ShowTrails));
    ini.Set("Notify", "FriendOnline", Flag(s.NotifyFriendOnline));
    ini.Set("Notify", "FriendLanded", Flag(s.NotifyFriendLanded));
    ini.Set("Notify", "WatchOpened", Flag(s.NotifyWatchOpened));
    ini.Set("Notify", "WatchClosed", Flag(s.NotifyWatchClosed));
    ini.Set("Notify", "KeepInTray", std::to_string(s.KeepInTray));
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
    s.LiveSeconds = LiveSecondsValue(ReadClampedInteger(ini, "Network", "LiveSeconds", "0", -1, kLiveSecondsHigh + 1));
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

PixelRect FitWindowToScreens(double left, double top, double width, double height,
                             const std::vector<PixelRect>& screens) {
    long long l = IntRange(left), t = IntRange(top);
    long long w = std::max<long long>(IntRange(width), kMinimumWindowWidth);
    long long h = std::max<long long>(IntRange(height), kMinimumWindowHeight);
    if (!screens.empty()) {
        const PixelRect& s = ScreenOf(l, t, w, h, screens);
        w = std::min<long long>(w, std::max(s.Width, 1));
        h = std::min<long long>(h, std::max(s.Height, 1));
        l = std::clamp<long long>(l, s.Left, static_cast<long long>(s.Left) + std::max<long long>(s.Width - w, 0));
        t = std::clamp<long long>(t, s.Top, static_cast<long long>(s.Top) + std::max<long long>(s.Height - h, 0));
    }
    return PixelRect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace kestrava
