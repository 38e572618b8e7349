// kestrav.ini: what the viewer remembers between runs.
#pragma once

#include "ini_file.h"

#include <array>
#include <string>
#include <vector>

namespace kestrava {

// One stored camera: X spin, Y tilt, Z zoom.
struct StoredView {
    float X = 0;
    float Y = 0;
    float Z = 1;
};

// The nine layer switches of the map (section Map), compared as one.
struct MapLayers {
    bool ShowLatLon = true;
    bool ShowPlanes = true;
    bool ShowPlaneLabels = true;
    bool ShowATC = true;
    bool ShowATCLabels = true;
    bool ShowAirports = true;
    bool ShowAirportLabels = true;
    bool ShowInbounds = false;
    bool ShowActualHeading = false;
    bool operator==(const MapLayers&) const = default;
};

// VATSIM's map data answer: the current commit of the VAT-Spy data and the
// addresses of its files.
inline constexpr const char* kDefaultSectorDataUrl = "https://api.vatsim.net/api/map_data/";
inline constexpr int kSectorCheckDaysHigh = 3650;
inline constexpr int kLiveSecondsLow = 15, kLiveSecondsHigh = 600;
// A LiveSeconds value as the viewer takes it: 0 (or less) is off, anything
// else is held to 15..600.
int LiveSecondsValue(long long seconds);

struct Settings {
    std::array<std::string, 2> UserIds{"100000", "800000"};  // IVAO, VATSIM
    std::string ColourTheme = "default.dc";
    bool DisableSmooth = false;
    bool DisableCountries = false;
    // Window geometry in screen pixels (fractions allowed).
    double WindowLeft = 0;
    double WindowTop = 0;
    double WindowWidth = 800;
    double WindowHeight = 600;
    bool AutoDownload = false;
    int DownloadMinutes = 5;
    int Timeout = 15;
    std::string Proxy = "0";
    bool TextForce = false;
    // The feed addresses of each network (IVAO, VATSIM); users may point
    // them at a mirror. The status file names the snapshot addresses.
    std::array<std::string, 2> StatusUrls{
        "https://www.ivao.aero/whazzup/status.txt",
        "https://status.vatsim.net/status.json"};
    // A data address used directly, without the status file; empty: the
    // status file's. IVAO's JSON feed by default, unless kestrav.ini names
    // the status file alone.
    std::array<std::string, 2> DataUrls{"https://api.ivao.aero/v2/tracker/whazzup", ""};
    // Where the controllers of a JSON feed are found when it gives no
    // position (VATSIM's transceivers); empty: the status file's.
    std::array<std::string, 2> TransceiverUrls;
    // The base of the member profile pages when the status file names none.
    std::array<std::string, 2> ProfileUrls{"https://www.ivao.aero/Member.aspx", ""};
    // The offline demo feed of the program folder instead of the addresses
    // above.
    bool DemoFeed = false;
    // The map data answer that names the current sector data (the sector
    // update), and the days after which the viewer checks them at start-up
    // (0: never).
    std::string SectorDataUrl = kDefaultSectorDataUrl;
    int SectorCheckDays = 7;
    // Live refresh: the shown network downloaded again every LiveSeconds
    // (0: off; else 15 to 600, never sooner than the network allows).
    int LiveSeconds = 0;
    // With live refresh: aircraft move along their tracks between snapshots
    // (section Map), and the trails of where each has been are drawn.
    bool PlaneMotion = true;
    bool ShowTrails = false;
    // [Notify]: which events notify, and whether closing the window with
    // live refresh on keeps the viewer running in the tray (-1: not asked
    // yet, 0 no, 1 yes).
    bool NotifyFriendOnline = true;
    bool NotifyFriendLanded = true;
    bool NotifyWatchOpened = true;
    bool NotifyWatchClosed = false;
    int KeepInTray = -1;
    std::array<StoredView, 3> Views{StoredView{13.34f, -54.15f, 1.49f},
                                    StoredView{-97.72f, -46.23f, 0.75f},
                                    StoredView{-27.68f, -36.71f, 0.43f}};
    MapLayers Layers;
};

// The keys that the viewer and the settings editor share, in the order in
// which the editor writes them.
enum class SharedKey {
    IvaoId, VatsimId, ColourTheme, DisableSmooth, DisableCountries,
    AutoDownload, DownloadMinutes, Timeout, Proxy, TextForce,
    ShowLatLon, ShowPlanes, ShowPlaneLabels, ShowATC, ShowATCLabels,
    ShowAirports, ShowAirportLabels, ShowInbounds, ShowActualHeading,
    Count
};
inline constexpr int kSharedKeyCount = static_cast<int>(SharedKey::Count);

// The switch of a flag key (DisableSmooth, DisableCountries, AutoDownload,
// TextForce and the nine layers); null for a key that is no flag.
bool* SharedFlag(Settings& settings, SharedKey key);
const bool* SharedFlag(const Settings& settings, SharedKey key);

// A key of kestrav.ini: its section, name and default text.
struct SettingsKey {
    const char* Section;
    const char* Name;
    const char* Default;
};

// The 19 shared keys in SharedKey order.
const std::array<SettingsKey, kSharedKeyCount>& SharedKeys();
const SettingsKey& KeyOf(SharedKey key);

// The size of the primary screen in pixels, for centring the window.
struct ScreenSize {
    int Width = 1024;
    int Height = 768;
};

// Settings from an already read file (missing keys take their defaults).
// The window geometry comes back within the range of an int.
Settings ReadSettings(const IniFile& ini, ScreenSize screen);

// A rectangle of the desktop in whole pixels.
struct PixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The smallest window the viewer opens with (where the screen allows it).
inline constexpr int kMinimumWindowWidth = 720;
inline constexpr int kMinimumWindowHeight = 540;

// Where the window is shown for the stored geometry. The values are first
// rounded and brought into the range of an int (NaN reads as 0). The window
// then goes onto the screen area that holds its centre, or the first area
// when none does: at least 720 x 540 but never larger than that area, and
// moved as little as needed to lie wholly on it. Without any screen area
// only the int range and the minimum size apply.
PixelRect FitWindowToScreens(double left, double top, double width, double height,
                             const std::vector<PixelRect>& screens);

// Writes every key the viewer owns into `ini`; Proxy and TextForce are never
// written. The caller stores the window geometry to be saved (the one from
// before full-screen mode while it is on) into `settings` first.
void WriteSettings(IniFile& ini, const Settings& settings);

// The settings editor's reading of the shared keys: texts and flags as the
// viewer reads them (a flag is on when its number is not 0), DownloadMinutes
// and Timeout truncated but only limited to 16 bits (the viewer clamps them
// when it reads), and an empty ColourTheme as "default.dc", the theme the
// viewer then draws; LiveSeconds as the viewer takes it, to be shown, never
// written. Every other field keeps its default.
Settings ReadEditorSettings(const IniFile& ini);

// Writes the 19 shared keys in their order, Proxy and TextForce included;
// never the window geometry, the stored views or the feed addresses.
void WriteEditorSettings(IniFile& ini, const Settings& settings);

// The reading rules of the file, shared with the settings editor.
bool ReadFlag(const IniFile& ini, const char* section, const char* key, bool fallback);
int ReadClampedInteger(const IniFile& ini, const char* section, const char* key,
                       const char* fallback, int low, int high);

}  // namespace kestrava
