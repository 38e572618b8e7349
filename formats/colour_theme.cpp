#include "colour_theme.h"

#include "files.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace kestrava {

const std::array<ColourKeyInfo, kColourCount>& ColourKeys() {
    static const std::array<ColourKeyInfo, kColourCount> keys{{
        {Colour::ScreenBackground, "Screen", "ScreenBackground", "10103A", "Screen Background (behind globe)"},
        {Colour::ScreenBorder, "Screen", "ScreenBorder", "FFFFFF", "Screen Border and Text"},
        {Colour::WindowBackground, "Screen", "WindowBackground", "000000", "Popup Windows Background"},
        {Colour::WindowShading, "Screen", "WindowShading", "6D8CBA", "Windows and Bars Shading"},
        {Colour::IVAO, "Screen", "IVAO", "288DFF", "IVAO"},
        {Colour::VATSIM, "Screen", "VATSIM", "00FF4E", "VATSIM"},
        {Colour::GlobeEquator, "Geo", "GlobeEquator", "11112D", "Globe at Equator"},
        {Colour::GlobePoles, "Geo", "GlobePoles", "0D0D22", "Globe at Poles"},
        {Colour::GridEquator, "Geo", "GridEquator", "404A49", "Lat/Lon Grid at Equator"},
        {Colour::GridPoles, "Geo", "GridPoles", "1E1E4F", "Lat/Lon Grid at Poles"},
        {Colour::CoastEquator, "Geo", "CoastEquator", "455389", "Coastline at Equator"},
        {Colour::CoastPoles, "Geo", "CoastPoles", "3E6582", "Coastline at Poles"},
        {Colour::CountryBorders, "Geo", "CountryBorders", "3D4974", "Country Borders"},
        {Colour::Airports, "Geo", "Airports", "616974", "Airports"},
        {Colour::Highlight, "Geo", "Highlight", "FFFF1F", "Highlight"},
        {Colour::ATCLabel, "ATC", "ATCLabel", "00FF4E", "ATC Labels"},
        {Colour::CTRFill, "ATC", "CTRFill", "10254E", "CTR Fill"},
        {Colour::CTRBorder, "ATC", "CTRBorder", "2E5381", "CTR Border"},
        {Colour::APPFillCenter, "ATC", "APPFillCenter", "143421", "APP Fill Center"},
        {Colour::APPFillOut, "ATC", "APPFillOut", "1D492F", "APP Fill Out"},
        {Colour::APPBorder, "ATC", "APPBorder", "307E50", "APP Border"},
        {Colour::TWRFillCenter, "ATC", "TWRFillCenter", "143421", "TWR Fill Center"},
        {Colour::TWRFillOut, "ATC", "TWRFillOut", "1D492F", "TWR Fill Out"},
        {Colour::TWRBorder, "ATC", "TWRBorder", "307E50", "TWR Border"},
        {Colour::PlaneLabel, "PLANES", "PlaneLabel", "FFFF9C", "Plane Labels"},
        {Colour::PlaneFill, "PLANES", "PlaneFill", "323274", "Plane Fill"},
        {Colour::PlaneBorder, "PLANES", "PlaneBorder", "FFFF2A", "Plane Border"},
    }};
    return keys;
}

const ColourKeyInfo& ColourKeyOf(Colour entry) {
    for (const ColourKeyInfo& info : ColourKeys())
        if (info.Entry == entry) return info;
    return ColourKeys().front();
}

const std::array<Colour, kColourCount>& EditorColourOrder() {
    static const std::array<Colour, kColourCount> order = [] {
        std::array<Colour, kColourCount> entries{};
        entries[0] = Colour::IVAO;
        entries[1] = Colour::VATSIM;
        size_t next = 2;
        for (const ColourKeyInfo& info : ColourKeys())
            if (info.Entry != Colour::IVAO && info.Entry != Colour::VATSIM) entries[next++] = info.Entry;
        return entries;
    }();
    return order;
}

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One or two hexadecimal digits; -1 when empty or not hexadecimal.
int HexComponent(const std::string& text) {
    if (text.empty()) return -1;
    int value = 0;
    for (char c : text) {
        int d = HexDigit(c);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

std::string Mid(const std::string& text, size_t start, size_t length) {
    return start < text.size() ? text.substr(start, length) : std::string();
}

// Red from characters 1-2, green from 3-4, blue from the last two; the
// count of leading components that are valid hexadecimal.
int ColourComponents(const std::string& text, int values[3]) {
    const std::string last = text.size() >= 2 ? text.substr(text.size() - 2) : text;
    const std::string parts[3] = {Mid(text, 0, 2), Mid(text, 2, 2), last};
    for (int k = 0; k < 3; ++k) {
        values[k] = HexComponent(parts[k]);
        if (values[k] < 0) return k;
    }
    return 3;
}
}  // namespace

void ParseColourText(ColourTheme& theme, Colour entry, const std::string& text) {
    const int i = static_cast<int>(entry);
    float* targets[3] = {&theme.Red[i], &theme.Green[i], &theme.Blue[i]};
    int values[3];
    const int valid = ColourComponents(text, values);
    for (int k = 0; k < valid; ++k) *targets[k] = static_cast<float>(values[k]) / 255.0f;
}

void ParseColourText(ColourBytes& colour, const std::string& text) {
    std::uint8_t* targets[3] = {&colour.Red, &colour.Green, &colour.Blue};
    int values[3];
    const int valid = ColourComponents(text, values);
    for (int k = 0; k < valid; ++k) *targets[k] = static_cast<std::uint8_t>(values[k]);
}

std::string ColourHex(ColourBytes colour) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::uint8_t byte : {colour.Red, colour.Green, colour.Blue}) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 0xF]);
    }
    return hex;
}

std::string ColourText(const IniFile& ini, const ColourKeyInfo& key) {
    return ini.Get(key.Section, key.Key, key.Default);
}

void ReadColourTheme(const IniFile& ini, ColourTheme& theme) {
    for (const ColourKeyInfo& info : ColourKeys()) ParseColourText(theme, info.Entry, ColourText(ini, info));
}

ColourTheme LoadColourTheme(const std::string& path) {
    IniFile ini;
    ini.Load(path);
    ColourTheme theme;
    ReadColourTheme(ini, theme);
    return theme;
}

bool ReadThemeDocument(const IniFile& ini, ThemeDocument& document) {
    const auto name = ini.Find("Description", "ThemeName");
    const auto author = ini.Find("Description", "Author");
    bool anyColour = false;
    for (const ColourKeyInfo& info : ColourKeys()) anyColour = anyColour || ini.Find(info.Section, info.Key);
    if (!anyColour && !name && !author) return false;
    ThemeDocument read;
    read.Name = name.value_or("unknown");
    read.Author = author.value_or("unknown");
    for (const ColourKeyInfo& info : ColourKeys())
        ParseColourText(read.Colours[static_cast<size_t>(info.Entry)], ColourText(ini, info));
    read.Lines = ini;
    document = std::move(read);
    return true;
}

ThemeFileResult OpenThemeDocument(const std::string& path, ThemeDocument& document) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || !FileExists(path)) return ThemeFileResult::Unreadable;
    if (size > kMaxThemeFileBytes) return ThemeFileResult::TooLarge;
    IniFile ini;
    if (!ini.Load(path)) return ThemeFileResult::Unreadable;
    return ReadThemeDocument(ini, document) ? ThemeFileResult::Done : ThemeFileResult::NoTheme;
}

namespace {
IniFile SavedLines(const ThemeDocument& document) {
    IniFile lines = document.Lines;
    lines.Set("Description", "ThemeName", document.Name);
    lines.Set("Description", "Author", document.Author);
    for (const ColourKeyInfo& info : ColourKeys())
        lines.Set(info.Section, info.Key, ColourHex(document.Colours[static_cast<size_t>(info.Entry)]));
    return lines;
}
}  // namespace

std::string ThemeDocumentText(const ThemeDocument& document) { return SavedLines(document).Text(); }

ThemeFileResult SaveThemeDocument(const std::string& path, ThemeDocument& document) {
    IniFile lines = SavedLines(document);
    if (!lines.Save(path)) return ThemeFileResult::WriteFailed;
    document.Lines = std::move(lines);
    return ThemeFileResult::Done;
}

Rgb BlendByLatitude(const ColourTheme& theme, Colour equator, Colour poles, float latitude) {
    float t = std::fabs(latitude) / 90.0f;
    Rgb e = theme.Get(equator), p = theme.Get(poles);
    return {t * (p.Red - e.Red) + e.Red, t * (p.Green - e.Green) + e.Green,
            t * (p.Blue - e.Blue) + e.Blue};
}

}  // namespace kestrava
