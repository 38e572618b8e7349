// The Companion console's logic: one typed command line normalised,
// dispatched and answered from the shown network's snapshot, with the map,
// the download and the browser reached through CompanionHost. No Qt and no
// OpenGL here: the window frmCompanion feeds lines in and shows the text the
// host is given; the tests drive it with a recording host.
//
// Text is Windows-1252 bytes. Every answer line goes out through
// CompanionHost::AddText, which starts a new line before it; the last line
// of an answer ends with "\r\n", so a blank line separates answers.
#pragma once

#include "kestrav/network/model.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrava {

// What the console asks of the viewer's windows.
class CompanionHost {
public:
    virtual ~CompanionHost() = default;
    // Appends "\r\n" and the text to the output box and scrolls to it.
    virtual void AddText(const std::string& text) = 0;
    // Turns the map onto a point, says "Centered on " + label in the status
    // line and draws. zoomIn: zoom 16 and every overlay closed as well.
    virtual void CentreMap(float latitude, float longitude, const std::string& label, bool zoomIn) = 0;
    // The airport marker (list 42): a Highlight point with the code beside it.
    virtual void BuildAirportMarker(const std::string& code, float latitude, float longitude) = 0;
    // The map window's download of network 0 or 1, run to completion.
    virtual void btnDownload(int network) = 0;
    // Opens a checked http/https address in the browser; false when that failed.
    virtual bool OpenProfile(const std::string& address) = 0;
};

// Where the weather commands fetch from: WeatherUrl (section Network of
// kestrav.ini) followed by the station-file paths below.
constexpr const char* kDefaultWeatherUrl = "https://tgftp.nws.noaa.gov/data";
constexpr std::size_t kMaxWeatherBytes = 64u << 10;  // 64 KiB
struct WeatherOptions {
    std::string WeatherUrl = kDefaultWeatherUrl;  // without a trailing "/"
    std::chrono::milliseconds Timeout{15000};
    std::string Proxy = "0";
};

// The console: the shown model, the host, the weather source and the one
// line Up recalls.
struct Companion {
    NetworkModel& Model;
    CompanionHost& Host;
    WeatherOptions Weather;
    std::string RecallLine;
};

// The output box's first text, before any command.
constexpr const char* kWelcomeText =
    "Welcome to the Kestrava Companion\r\n Refer to companion.txt for list of functions\r\n";

// One command line, already trimmed and not empty: remembered for recall,
// then the abbreviations "inf ", "wx " and "staf " expanded, the verb
// found and the command run when its form fits. Anything else is silent.
void ReadText(Companion& c, std::string_view line);

// The WeatherUrl setting as used: trimmed, without trailing "/"; the
// default when empty.
std::string WeatherBase(std::string_view setting);

}  // namespace kestrava
