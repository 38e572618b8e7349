// A DisplayHooks that records every call, with the status text at the time
// the status line was rebuilt, and snapshot lines built field by field.
#pragma once

#include "kestrav/network/model.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace networktest {

class RecordingHooks : public kestrava::DisplayHooks {
public:
    explicit RecordingHooks(const kestrava::NetworkModel& model) : model_(model) {}

    void BuildStatusLine() override {
        calls.push_back("status");
        statuses.push_back(model_.StatusText);
    }
    void BuildNetworkMarks() override { calls.push_back("marks"); }
    void BuildClientCountBar() override { calls.push_back("countbar"); }
    void DrawScene() override { calls.push_back("draw"); }
    void BuildNetworkScene(int net) override { calls.push_back("scene " + std::to_string(net)); }
    void BuildMergedScene() override { calls.push_back("merged scene"); }
    void ClearSceneBuilt(int index) override { calls.push_back("clear built " + std::to_string(index)); }
    void DiscardSceneLists(int net) override { calls.push_back("discard " + std::to_string(net)); }
    void CloseOverlays() override { calls.push_back("close overlays"); }
    void EnableAutoDownloadTimer(bool on) override {
        calls.push_back(on ? "auto timer on" : "auto timer off");
        autoTimer = on;
    }
    void ShowNetworkMessage(const std::string& text) override { messages.push_back(text); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) n += c == call;
        return n;
    }

    std::vector<std::string> calls;
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    bool autoTimer = false;

private:
    const kestrava::NetworkModel& model_;
};

// A ":" line of `count` fields with the given ones filled in.
inline std::string Line(int count, std::initializer_list<std::pair<int, std::string>> fields) {
    std::vector<std::string> parts(count);
    for (const auto& [index, value] : fields) parts[index] = value;
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (i) line += ':';
        line += parts[i];
    }
    return line;
}

}  // namespace networktest
