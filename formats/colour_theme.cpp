#include "colour_theme.h"

#include <cmath>

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
}  // namespace

void ParseColourText(ColourTheme& theme, Colour entry, const std::string& text) {
    const int i = static_cast<int>(entry);
    const std::string last = text.size() >= 2 ? text.substr(text.size() - 2) : text;
    const std::string parts[3] = {Mid(text, 0, 2), Mid(text, 2, 2), last};
    float* targets[3] = {&theme.Red[i], &theme.Green[i], &theme.Blue[i]};
    for (int k = 0; k < 3; ++k) {
        int value = HexComponent(parts[k]);
        if (value < 0) return;
        *targets[k] = static_cast<float>(value) / 255.0f;
    }
}

void ReadColourTheme(const IniFile& ini, ColourTheme& theme) {
    for (const ColourKeyInfo& info : ColourKeys())
        ParseColourText(theme, info.Entry, ini.Get(info.Section, info.Key, info.Default));
}

ColourTheme LoadColourTheme(const std::string& path) {
    IniFile ini;
    ini.Load(path);
    ColourTheme theme;
    ReadColourTheme(ini, theme);
    return theme;
}

Rgb BlendByLatitude(const ColourTheme& theme, Colour equator, Colour poles, float latitude) {
    float t = std::fabs(latitude) / 90.0f;
    Rgb e = theme.Get(equator), p = theme.Get(poles);
    return {t * (p.Red - e.Red) + e.Red, t * (p.Green - e.Green) + e.Green,
            t * (p.Blue - e.Blue) + e.Blue};
}

}  // namespace kestrava
