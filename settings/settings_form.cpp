#include "settings/settings_form.h"

#include "formats/text.h"
#include "formats/typed_text.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace kestrava {

namespace {

constexpr const char* kIvaoHelp = "Your IVAO VID (such as 104729). Used to center on yourself in Map View";
constexpr const char* kVatsimHelp = "Your VATSIM PID (such as 835210). Used to center on yourself in Map View";
constexpr const char* kIntervalHelp = "Interval of auto download in minutes (3-30 minutes)";
constexpr const char* kTimeoutHelp =
    "If no response received from the server in this interval (seconds), the download will fail. "
    "Increase if you have a slow connection, decrease to reduce waiting time for non-responsive servers";
constexpr const char* kProxyHelp =
    "Proxy address, if you connect to the internet via a proxy (you can also use the "
    "user:password@address syntax - be careful, it won't be encrypted)";
constexpr const char* kSchemeHelp =
    "Colour scheme of Kestrava (use the button to browse to a scheme). To view and edit schemes, use huebench";
constexpr const char* kHeadingHelp =
    "Direction of aircraft arrows (nose to destination, or real heading from the simulator)";

// Columns of the check boxes in "Display and Map".
constexpr int kLeftColumn = 308;
constexpr int kRightColumn = 462;
constexpr int kRow = 28;

const std::vector<ControlSpec> kControls = {
    {"fraUser", ControlKind::Frame, "User", {8, 8, 280, 84}, ""},
    {"fraConnection", ControlKind::Frame, "Connection", {8, 100, 280, 180}, ""},
    {"fraDisplay", ControlKind::Frame, "Display and Map", {296, 8, 346, 272}, ""},

    {"lblIVAOID", ControlKind::Caption, "IVAO VID:", {20, 32, 100, 22}, kIvaoHelp},
    {"txtIVAOID", ControlKind::TextBox, "", {124, 32, 152, 22}, kIvaoHelp},
    {"lblVATSIMID", ControlKind::Caption, "VATSIM PID:", {20, 60, 100, 22}, kVatsimHelp},
    {"txtVATSIMID", ControlKind::TextBox, "", {124, 60, 152, 22}, kVatsimHelp},

    {"lblInterval", ControlKind::Caption, "Refresh Interval:", {20, 124, 110, 22}, kIntervalHelp},
    {"txtInterval", ControlKind::TextBox, "", {134, 124, 60, 22}, kIntervalHelp},
    {"lblIntervalUnit", ControlKind::Caption, "minutes", {200, 124, 80, 22}, kIntervalHelp},
    {"lblTimeout", ControlKind::Caption, "Timeout:", {20, 152, 110, 22}, kTimeoutHelp},
    {"txtTimeout", ControlKind::TextBox, "", {134, 152, 60, 22}, kTimeoutHelp},
    {"lblTimeoutUnit", ControlKind::Caption, "seconds", {200, 152, 80, 22}, kTimeoutHelp},
    {"lblProxy", ControlKind::Caption, "Proxy:", {20, 180, 60, 22}, kProxyHelp},
    {"txtProxy", ControlKind::TextBox, "", {84, 180, 192, 22}, kProxyHelp},
    {"chkAutoRefr", ControlKind::CheckBox, "Enable Auto Refresh", {20, 212, 256, 22},
     "Automatically download the data from the last viewed network in fixed intervals of time (not recommended)"},
    {"chkTextforce", ControlKind::CheckBox, "Force Text Download", {20, 240, 256, 22},
     "If Kestrava fails to download IVAO information (zipped by default), and you cannot get it to work with "
     "the solutions in the FAQ, check this option to have Kestrava download text data"},
    {"lblLive", ControlKind::Caption, "", {20, 262, 256, 16},
     "Live refresh downloads the shown network again at this pace; press R in Kestrava to switch it"},

    {"lblScheme", ControlKind::Caption, "Colour Scheme:", {308, 32, 100, 22}, kSchemeHelp},
    {"txtScheme", ControlKind::TextBox, "", {412, 32, 188, 22}, kSchemeHelp},
    {"cmdBrowse", ControlKind::Button, "...", {604, 32, 28, 22}, "Select a colour scheme"},
    {"lblHdg", ControlKind::Caption, "Aircraft Heading:", {308, 60, 324, 20}, kHeadingHelp},
    {"cmbHdg", ControlKind::ComboBox, "", {308, 82, 324, 24}, ""},
    {"chkSmooth", ControlKind::CheckBox, "Disable Smoothing", {kLeftColumn, 116, 150, 22},
     "Disable coastline and border smoothing in Kestrava to get a faster map display"},
    {"chkBorders", ControlKind::CheckBox, "Disable Country Borders", {kRightColumn, 116, 172, 22},
     "Disable loading of Country Borders to get a faster startup and less memory usage"},
    {"chkGrid", ControlKind::CheckBox, "Show Grid", {kLeftColumn, 116 + kRow, 150, 22},
     "Display latitude/longitude grid on the globe (same as pressing G in Kestrava)"},
    {"chkInb", ControlKind::CheckBox, "Show Inbound Arrows", {kRightColumn, 116 + kRow, 172, 22},
     "Display arrows pointing to airports, representing inbound traffic (same as pressing F3 in Kestrava)"},
    {"chkR", ControlKind::CheckBox, "Show Airports", {kLeftColumn, 116 + 2 * kRow, 150, 22},
     "Display active airports (same as pressing Shift+F4 in Kestrava)"},
    {"chkRL", ControlKind::CheckBox, "Show Airport Labels", {kRightColumn, 116 + 2 * kRow, 172, 22},
     "Display labels of active airports (same as pressing F4 in Kestrava)"},
    {"chkP", ControlKind::CheckBox, "Show Planes", {kLeftColumn, 116 + 3 * kRow, 150, 22},
     "Display aircraft (same as pressing Shift+F6 in Kestrava)"},
    {"chkPL", ControlKind::CheckBox, "Show Plane Labels", {kRightColumn, 116 + 3 * kRow, 172, 22},
     "Display labels of aircraft (same as pressing F6 in Kestrava)"},
    {"chkA", ControlKind::CheckBox, "Show ATC", {kLeftColumn, 116 + 4 * kRow, 150, 22},
     "Display controllers and controlled airspace (same as pressing Shift+F5 in Kestrava)"},
    {"chkAL", ControlKind::CheckBox, "Show ATC Labels", {kRightColumn, 116 + 4 * kRow, 172, 22},
     "Display labels of controllers and controlled airspace (same as pressing F5 in Kestrava)"},

    {"cmdLoad", ControlKind::Button, "&Load", {8, 290, 90, 28},
     "Load kestrav.ini (or browse for it if not in default location)"},
    {"cmdSave", ControlKind::Button, "&Save", {106, 290, 90, 28}, "Save kestrav.ini"},
    {"cmdDefaults", ControlKind::Button, "&Defaults", {204, 290, 90, 28},
     "Load default values on this form (does not save them yet)"},
    {"lblH", ControlKind::HelpLabel, "", {8, 326, 634, 64}, ""},
};

struct FlagBox {
    const char* Name;
    SharedKey Key;
};

const FlagBox kFlagBoxes[] = {
    {"chkAutoRefr", SharedKey::AutoDownload},   {"chkTextforce", SharedKey::TextForce},
    {"chkSmooth", SharedKey::DisableSmooth},    {"chkBorders", SharedKey::DisableCountries},
    {"chkGrid", SharedKey::ShowLatLon},         {"chkInb", SharedKey::ShowInbounds},
    {"chkR", SharedKey::ShowAirports},          {"chkRL", SharedKey::ShowAirportLabels},
    {"chkP", SharedKey::ShowPlanes},            {"chkPL", SharedKey::ShowPlaneLabels},
    {"chkA", SharedKey::ShowATC},               {"chkAL", SharedKey::ShowATCLabels},
};


bool ReadTextBox(const std::string& utf8, const char* caption, std::string& into, std::string& refusal) {
    const TypedTextFault fault = CheckTypedText(utf8, into);
    if (fault == TypedTextFault::None) return true;
    refusal = TypedTextMessage(caption, fault);
    return false;
}

bool ReadNumberBox(const std::string& text, const char* caption, int& into, std::string& refusal) {
    switch (ReadTypedNumber(text, into)) {
        case TypedNumber::Valid:
            return true;
        case TypedNumber::NotANumber:
            refusal = std::string(caption) + " must be a number, not \"" + text + "\". Nothing was saved.";
            return false;
        case TypedNumber::OutOfRange:
            refusal = std::string(caption) + " must lie between -32768 and 32767. Nothing was saved.";
            return false;
    }
    return false;
}

}  // namespace

const std::vector<ControlSpec>& EditorControls() { return kControls; }

const ControlSpec* FindControl(std::string_view name) {
    for (const ControlSpec& control : kControls)
        if (name == control.Name) return &control;
    return nullptr;
}

SettingsForm FormFromSettings(const Settings& s) {
    SettingsForm form;
    form.IvaoId = Cp1252ToUtf8(s.UserIds[0]);
    form.VatsimId = Cp1252ToUtf8(s.UserIds[1]);
    form.Interval = std::to_string(s.DownloadMinutes);
    form.Timeout = std::to_string(s.Timeout);
    form.Proxy = s.Proxy.size() >= 2 ? Cp1252ToUtf8(s.Proxy) : std::string();
    form.Scheme = Cp1252ToUtf8(s.ColourTheme);
    for (const FlagBox& box : kFlagBoxes) form.Checked[box.Name] = *SharedFlag(s, box.Key);
    form.Heading = s.Layers.ShowActualHeading ? 1 : 0;
    form.Live = s.LiveSeconds > 0 ? "Live refresh: every " + std::to_string(s.LiveSeconds) + " seconds"
                                  : std::string("Live refresh: off");
    return form;
}

bool SettingsFromForm(const SettingsForm& form, Settings& settings, std::string& refusal) {
    Settings read = settings;
    std::string proxy;
    if (!ReadTextBox(form.IvaoId, "IVAO VID", read.UserIds[0], refusal) ||
        !ReadTextBox(form.VatsimId, "VATSIM PID", read.UserIds[1], refusal) ||
        !ReadNumberBox(form.Interval, "Refresh Interval", read.DownloadMinutes, refusal) ||
        !ReadNumberBox(form.Timeout, "Timeout", read.Timeout, refusal) ||
        !ReadTextBox(form.Proxy, "Proxy", proxy, refusal) ||
        !ReadTextBox(form.Scheme, "Colour Scheme", read.ColourTheme, refusal))
        return false;
    read.Proxy = proxy.size() >= 2 ? proxy : "0";
    for (const FlagBox& box : kFlagBoxes) {
        auto checked = form.Checked.find(box.Name);
        *SharedFlag(read, box.Key) = checked != form.Checked.end() && checked->second;
    }
    read.Layers.ShowActualHeading = form.Heading == 1;
    settings = read;
    return true;
}

TypedNumber ReadTypedNumber(std::string_view text, int& value) {
    const std::string trimmed = Trim(text);
    if (!IsWholeNumber(trimmed)) return TypedNumber::NotANumber;
    const double rounded = RoundHalfEven(ReadNumber(trimmed));
    if (!(rounded >= -32768 && rounded <= 32767)) return TypedNumber::OutOfRange;
    value = static_cast<int>(rounded);
    return TypedNumber::Valid;
}

std::string SchemeOfChosenFile(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool SchemeOutsideViewerColours(const std::string& schemePath, const std::string& settingsPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path colours = fs::weakly_canonical(fs::absolute(settingsPath).parent_path() / "colours", error);
    if (error) return true;
    const fs::path folder = fs::weakly_canonical(fs::absolute(schemePath).parent_path(), error);
    return error || folder != colours;
}

}  // namespace kestrava
