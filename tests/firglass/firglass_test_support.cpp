#include "firglass_test_support.h"

#include "support/test_support.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace firglasstest {

std::string DisplayText(const std::vector<Polygon>& polygons) {
    std::ostringstream text;
    for (const Polygon& polygon : polygons) {
        text << "DISPLAY_LIST_" << polygon.Number << "\r\n";
        for (const auto& [lat, lon] : polygon.Points) text << lat << ':' << lon << "\r\n";
    }
    text << "DISPLAY_LIST_END\r\n";
    return text.str();
}

std::string WritePair(const std::string& folder, const std::vector<Polygon>& polygons,
                      const std::vector<std::string>& listLines, const std::string& listName) {
    testsupport::WriteFile(folder + "/firdisplay.dat", DisplayText(polygons));
    std::string list;
    for (const std::string& line : listLines) list += line + "\r\n";
    const std::string path = folder + "/" + listName;
    testsupport::WriteFile(path, list);
    return path;
}

std::pair<int, int> PixelOf(float latitude, float longitude, float zoom, int width, int height) {
    const double k = 3.14159 / 180;
    const double x = std::cos(latitude * k) * std::sin(longitude * k);
    const double y = std::sin(latitude * k);
    return {static_cast<int>(std::lround(width / 2.0 + x * zoom * height)),
            static_cast<int>(std::lround(height / 2.0 - y * zoom * height))};
}

Rgb Bytes(float r, float g, float b) {
    return {static_cast<int>(std::lround(r * 255)), static_cast<int>(std::lround(g * 255)),
            static_cast<int>(std::lround(b * 255))};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[static_cast<size_t>(i)] - b[static_cast<size_t>(i)]) > tolerance) return false;
    return true;
}

Rgb Over(const Rgb& top, float alpha, const Rgb& below) {
    Rgb out;
    for (size_t i = 0; i < 3; ++i)
        out[i] = static_cast<int>(std::lround(top[i] * alpha + below[i] * (1 - alpha)));
    return out;
}

}  // namespace firglasstest
