// Timings of the settings editor on this machine: start to the first painted
// window and to the Load dialog (it opens only once the window has painted),
// and Load and Save of a 1000-line kestrav.ini. Run it from the program
// folder build/bin under an X server (xvfb-run): settings_bench [starts]
#include "formats/files.h"
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "support/program_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-40s median %8.3f ms   min %8.3f   max %8.3f   (%zu runs)\n", what, times[times.size() / 2],
                times.front(), times.back(), times.size());
}

// A kestrav.ini of 1000 lines: the viewer's keys with comments and foreign
// sections between them, the Map section last.
std::string ThousandLineFile() {
    std::string text = "; kestrav.ini with many notes\r\n[User]\r\nIVAO_ID=654321\r\nVATSIM_ID=876543\r\n";
    int lines = 4;
    auto filler = [&](int count, const std::string& section) {
        text += "[" + section + "]\r\n";
        ++lines;
        for (int i = 0; i < count; ++i, ++lines)
            text += (i % 3 == 0 ? "; note " : "key" + std::to_string(i) + "=value ") + std::to_string(i) + "\r\n";
    };
    filler(300, "Notes");
    text += "[Display]\r\nColourTheme=default.dc\r\nDisableSmooth=0\r\nDisableCountries=0\r\nWindowLeft=10\r\n"
            "WindowTop=20\r\nWindowWidth=900\r\nWindowHeight=650\r\n";
    lines += 8;
    filler(300, "Plugins");
    text += "[Network]\r\nAutoDownload=0\r\nDownloadMinutes=5\r\nTimeout=15\r\nProxy=0\r\nTextForce=0\r\n"
            "[Zoom]\r\nX1=1334\r\nY1=-5415\r\nZ1=149\r\n";
    lines += 10;
    filler(1000 - lines - 1 - 10, "History");  // its section line, and the ten of [Map]
    text += "[Map]\r\nShowLatLon=1\r\nShowPlanes=1\r\nShowPlaneLabels=1\r\nShowATC=1\r\nShowATCLabels=1\r\n"
            "ShowAirports=1\r\nShowAirportLabels=1\r\nShowInbounds=0\r\nShowActualHeading=0\r\n";
    return text;
}

void TimeFile(int runs) {
    // Beside the program, on the disk where kestrav.ini lives.
    const auto folder = std::filesystem::path(kestrava::ProgramFolder()) / ("settings-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "kestrav.ini").string();
    kestrava::WriteFileAtomic(path, ThousandLineFile());
    std::vector<double> loads, saves, updates;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        kestrava::IniFile ini;
        if (!ini.Load(path)) std::exit(1);
        kestrava::Settings settings = kestrava::ReadEditorSettings(ini);
        loads.push_back(MillisecondsSince(start));
        settings.DownloadMinutes = 5 + run % 7;
        start = Clock::now();
        kestrava::IniFile updated = ini;
        kestrava::WriteEditorSettings(updated, settings);
        const std::string bytes = updated.Text();
        updates.push_back(MillisecondsSince(start));
        start = Clock::now();
        kestrava::WriteEditorSettings(ini, settings);
        if (!ini.Save(path)) std::exit(1);
        saves.push_back(MillisecondsSince(start));
    }
    kestrava::IniFile check;
    check.Load(path);
    const std::string text = check.Text();
    std::printf("file: %zu bytes, %d lines\n", text.size(), static_cast<int>(std::count(text.begin(), text.end(), '\n')));
    Report("Load of a 1000-line kestrav.ini", loads);
    Report("Save of a 1000-line kestrav.ini", saves);
    Report("  the same key updates and text in memory", updates);
    std::filesystem::remove_all(folder);
}

void TimeStart(int runs) {
    std::vector<double> windows, dialogs;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        testsupport::ProgramProcess editor(kestrava::ProgramPath("settings"));
        if (!editor.WaitForWindow("Kestrava Settings Editor", 30)) {
            std::fprintf(stderr, "no settings window after %.0f ms (run %d, exit status %d)\n", MillisecondsSince(start), run, editor.WaitForExit(1));
            std::exit(1);
        }
        windows.push_back(MillisecondsSince(start));
        if (!editor.WaitForWindow("Browse for kestrav.ini", 30)) {
            std::fprintf(stderr, "no Load dialog (exit status %d)\n", editor.WaitForExit(1));
            std::exit(1);
        }
        dialogs.push_back(MillisecondsSince(start));
    }
    Report("start to window shown", windows);
    Report("start to Load dialog shown", dialogs);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int starts = argc > 1 ? std::atoi(argv[1]) : 5;
    TimeFile(200);
    if (std::getenv("DISPLAY")) TimeStart(starts);
    return 0;
}
