// Colour themes (colours/*.dc): 27 named colours.
#pragma once

#include "ini_file.h"

#include <array>
#include <string>

namespace kestrava {

// Entry order of the theme's colour arrays.
enum class Colour {
    IVAO, VATSIM, ScreenBackground, ScreenBorder, WindowBackground, WindowShading,
    GlobePoles, GlobeEquator, GridPoles, GridEquator, CoastPoles, CoastEquator,
    CountryBorders, CTRFill, CTRBorder, APPFillCenter, APPFillOut, APPBorder,
    TWRFillCenter, TWRFillOut, TWRBorder, Highlight, ATCLabel, Airports,
    PlaneFill, PlaneBorder, PlaneLabel,
    Count
};
constexpr int kColourCount = static_cast<int>(Colour::Count);

struct ColourKeyInfo {
    Colour Entry;
    const char* Section;
    const char* Key;
    const char* Default;  // RRGGBB
    const char* Label;    // the editor's label
};

// The 27 keys in file order: Screen, Geo, ATC and PLANES sections.
const std::array<ColourKeyInfo, kColourCount>& ColourKeys();

struct Rgb {
    float Red = 0;
    float Green = 0;
    float Blue = 0;
};

struct ColourTheme {
    std::array<float, kColourCount> Red{};
    std::array<float, kColourCount> Green{};
    std::array<float, kColourCount> Blue{};

    Rgb Get(Colour c) const {
        int i = static_cast<int>(c);
        return {Red[i], Green[i], Blue[i]};
    }
};

// Stores the components of "RRGGBB" into the entry; parsing stops at the
// first component that is not valid hexadecimal, which keeps its value.
void ParseColourText(ColourTheme& theme, Colour entry, const std::string& text);

// Reads every key with its default (a missing file gives the defaults).
void ReadColourTheme(const IniFile& ini, ColourTheme& theme);
ColourTheme LoadColourTheme(const std::string& path);

// Linear blend between the equator and pole colours by |latitude| / 90.
Rgb BlendByLatitude(const ColourTheme& theme, Colour equator, Colour poles, float latitude);

}  // namespace kestrava
