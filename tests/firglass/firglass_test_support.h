// Shared pieces of the sector viewer's tests: crafted sector pairs written
// to disk, where a point of the globe lands in the picture, and colours.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace firglasstest {

// "DISPLAY_LIST_<n>" blocks of "<lat>:<lon>" lines and the closing line.
struct Polygon {
    int Number;
    std::vector<std::pair<float, float>> Points;
};
std::string DisplayText(const std::vector<Polygon>& polygons);

// Writes firdisplay.dat and a list file (CR LF lines) into `folder`; the
// list's path.
std::string WritePair(const std::string& folder, const std::vector<Polygon>& polygons,
                      const std::vector<std::string>& listLines, const std::string& listName = "firlist.dat");

// The pixel (from the picture's top-left corner) of a latitude and
// longitude under spin 0, tilt 0 and `zoom` in a width x height picture.
std::pair<int, int> PixelOf(float latitude, float longitude, float zoom, int width, int height);

using Rgb = std::array<int, 3>;
// A colour of 0..1 components as 0..255.
Rgb Bytes(float r, float g, float b);
bool Near(const Rgb& a, const Rgb& b, int tolerance = 6);
// Blends `top` at `alpha` over `below`.
Rgb Over(const Rgb& top, float alpha, const Rgb& below);

}  // namespace firglasstest
