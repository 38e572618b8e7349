// Colour themes (colours/*.dc): 27 named colours.
#pragma once

#include "ini_file.h"

#include <array>
#include <cstdint>
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
const ColourKeyInfo& ColourKeyOf(Colour entry);

// The colour editor's list order: IVAO and VATSIM first, then file order.
const std::array<Colour, kColourCount>& EditorColourOrder();

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

// A colour as its red, green and blue bytes (the colour editor's form).
struct ColourBytes {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    bool operator==(const ColourBytes&) const = default;
};

// Stores the components of "RRGGBB" into the entry; parsing stops at the
// first component that is not valid hexadecimal, which keeps its value.
void ParseColourText(ColourTheme& theme, Colour entry, const std::string& text);
// The same reading into bytes.
void ParseColourText(ColourBytes& colour, const std::string& text);
// "RRGGBB", upper case.
std::string ColourHex(ColourBytes colour);

// The text of one colour key as the viewer looks it up: any case, trimmed,
// the key's default when the file, section or key is missing.
std::string ColourText(const IniFile& ini, const ColourKeyInfo& key);

// Reads every key with its default (a missing file gives the defaults).
void ReadColourTheme(const IniFile& ini, ColourTheme& theme);
ColourTheme LoadColourTheme(const std::string& path);

// A theme as the colour editor edits it. Colours are read with the viewer's
// own lookup and parsing, so the editor shows what the viewer would draw.
struct ThemeDocument {
    std::string Name = "unknown";  // [Description] ThemeName, Windows-1252
    std::string Author = "unknown";
    std::array<ColourBytes, kColourCount> Colours{};  // indexed by Colour; black when new
    IniFile Lines;  // the opened file, whose lines a save updates in place
};

// Theme files larger than this are refused.
inline constexpr std::uintmax_t kMaxThemeFileBytes = 1024 * 1024;

enum class ThemeFileResult { Done, Unreadable, TooLarge, NoTheme, WriteFailed };

// The theme in `ini`; false (and `document` untouched) when it holds no
// colour key, no name and no author. A missing key gives the viewer's
// default; the name and author are taken whole from [Description].
bool ReadThemeDocument(const IniFile& ini, ThemeDocument& document);
// Reads the file into `document`; on any result but Done it is untouched.
ThemeFileResult OpenThemeDocument(const std::string& path, ThemeDocument& document);
// The file as a save writes it: the opened lines with name, author and the
// 27 colours replaced in place; a new theme in the layout the editor writes.
std::string ThemeDocumentText(const ThemeDocument& document);
// Writes the file atomically; `document` then holds the written lines.
ThemeFileResult SaveThemeDocument(const std::string& path, ThemeDocument& document);

// Linear blend between the equator and pole colours by |latitude| / 90.
Rgb BlendByLatitude(const ColourTheme& theme, Colour equator, Colour poles, float latitude);

}  // namespace kestrava
