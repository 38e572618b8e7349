// The console without a window: a host that records the transcript and the
// map's requests, and a small IVAO snapshot built record by record around
// Frankfurt (every distance below is along the 8.5E meridian from EDDF at
// 50N, one degree being 60.04 nm with the program's constants).
#pragma once

#include "formats/text.h"
#include "kestrav/companion/console.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace companiontest {

class RecordingHost : public kestrava::ViewerActions, public kestrava::ConsoleOutput {
public:
    void AddText(const std::string& text) override { transcript += "\r\n" + text; }
    void CentreMap(float latitude, float longitude, const std::string& label, bool zoomIn) override {
        calls.push_back("centre " + label + " " + kestrava::FormatSingle(latitude) + " " +
                        kestrava::FormatSingle(longitude) + (zoomIn ? " zoom" : ""));
    }
    void BuildAirportMarker(const std::string& code, float latitude, float longitude) override {
        calls.push_back("marker " + code + " " + kestrava::FormatSingle(latitude) + " " +
                        kestrava::FormatSingle(longitude));
    }
    void btnDownload(int network) override {
        calls.push_back("download " + std::to_string(network));
        if (download) download(network);
    }
    bool UpdateSectors() override {
        calls.push_back("update sectors");
        return updates ? updates() : true;
    }
    bool OpenUrl(const std::string& address) override {
        calls.push_back("open " + address);
        return opens;
    }

    // The transcript so far with "\n" for each CR LF, then cleared. A line
    // end without its CR fails the test.
    std::string Take() {
        std::string text;
        for (size_t i = 0; i < transcript.size(); ++i) {
            if (transcript[i] == '\r' && i + 1 < transcript.size() && transcript[i + 1] == '\n') continue;
            EXPECT_NE(transcript[i], '\r') << "a CR without its LF";
            if (transcript[i] == '\n') {
                EXPECT_TRUE(i > 0 && transcript[i - 1] == '\r') << "an LF without its CR";
            }
            text += transcript[i];
        }
        transcript.clear();
        return text;
    }

    std::string transcript;
    std::vector<std::string> calls;
    std::function<void(int)> download;
    std::function<bool()> updates;
    bool opens = true;
};

// EDDF, LHBP, EDDM and KJFK; sectors EDGG and EDMM.
void AddAirports(kestrava::NetworkModel& model);
// Five ATC records (tower, approach, two centres, an observer) and three
// pilots (a departure at the gate, an arrival 36 nm out, one without a
// flight plan) on IVAO, shown.
void FillFrankfurt(kestrava::NetworkModel& model);

class Console : public testing::Test {
protected:
    void SetUp() override {
        AddAirports(model);
        FillFrankfurt(model);
    }
    // Each line through ReadText; the transcript they made.
    std::string Run(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) kestrava::ReadText(console, line);
        return host.Take();
    }

    kestrava::NetworkModel model;
    RecordingHost host;
    kestrava::Companion console{model, host, host, {}, {}};
};

}  // namespace companiontest
