// The Companion console's logic: one typed command line normalised,
// dispatched and answered from the shown network's snapshot, with the map,
// the download and the browser reached through the viewer's port
// (ViewerActions). No Qt and no
// OpenGL here: the window frmCompanion feeds lines in and shows the text the
// output is given; the tests drive it with a recording port and output.
//
// Text is Windows-1252 bytes. Every answer line goes out through
// ConsoleOutput::AddText, which starts a new line before it; the last line
// of an answer ends with "\r\n", so a blank line separates answers.
#pragma once

#include "kestrav/network/model.h"
#include "kestrav/render/viewer_actions.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrava {

// Where the console's answers go: its own output box.
class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;
    // Appends "\r\n" and the text to the output box and scrolls to it.
    virtual void AddText(const std::string& text) = 0;
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

// The console: the shown model, the viewer's window (the map, the download,
// the browser), the output box, the weather source and the one line Up
// recalls.
struct Companion {
    NetworkModel& Model;
    ViewerActions& Viewer;
    ConsoleOutput& Output;
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
