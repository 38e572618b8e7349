// The cost of a snapshot's notification events at event scale (10,000
// pilots, 500 friends among them, 200 watched codes) against the reading of
// the same snapshot, both timed side by side in one run. Run it from the
// program folder build/bin (it builds its snapshot from the demo feed).
#include "full_snapshot.h"
#include "kestrav/network/feed.h"
#include "kestrav/network/notify_events.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

using namespace kestrava;

namespace {

// The demo feed's pilots repeated to 10,000 under new callsigns (moved a
// little each time), its 700 stations once.
std::string EventScaleSnapshot(const std::string& stamp, float shift) {
    const std::string full = benchsupport::FullSnapshot(0, 0);
    std::vector<std::string> pilots, atc;
    for (const std::string& line : SplitNetworkLines(full)) {
        const auto fields = Split(line, ":");
        if (fields.size() > 3 && fields[3] == "PILOT") pilots.push_back(line);
        if (fields.size() > 3 && fields[3] == "ATC") atc.push_back(line);
    }
    std::string text = "!GENERAL\r\nVERSION = 6\r\nRELOAD = 1\r\nUPDATE = " + stamp +
                       "\r\nCONNECTED CLIENTS = 10700\r\n!CLIENTS\r\n";
    for (int i = 0; i < 10000 && !pilots.empty(); ++i) {
        auto f = Split(pilots[static_cast<size_t>(i) % pilots.size()], ":");
        f[0] = "EV" + std::to_string(i);
        f[1] = std::to_string(400000 + i);
        f[5] = FormatSinglePlain(static_cast<float>(ReadNumber(f[5])) + shift);
        std::string line;
        for (size_t k = 0; k < f.size(); ++k) line += (k ? ":" : "") + f[k];
        text += line + "\r\n";
    }
    for (const std::string& line : atc) text += line + "\r\n";
    return text + "!SERVERS\r\n";
}

template <typename F>
double MedianMs(int rounds, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    NetworkModel model;
    for (int i = 0; i < 500; ++i) model.Friends.Add(std::to_string(400000 + i * 20));
    const std::string before = EventScaleSnapshot("20261208120000", 0), after = EventScaleSnapshot("20261208120100", 0.05f);
    // 200 watched codes: the stations' own prefixes first, then made-up ones.
    FeedResult first = ParseFeed(before, kIvao, model, {});
    for (int i = 0; i < first.Data.AtcCount && model.Watches.Size() < 200; ++i) {
        const std::string& callsign = first.Data.AtcClients[static_cast<size_t>(i)].Callsign;
        model.Watches.Add(callsign.substr(0, callsign.find('_')));
    }
    for (int i = 0; model.Watches.Size() < 200; ++i) model.Watches.Add("ZZ" + std::to_string(i));
    DisplayHooks none;
    CommitFeed(model, none, kIvao, std::move(first));
    std::printf("snapshot: %d pilots, %d ATC; %zu friends, %zu watched codes\n", model.Networks[0].PilotCount,
                model.Networks[0].AtcCount, model.Friends.Size(), model.Watches.Size());

    const double parse = MedianMs(31, [&] {
        FeedResult result = ParseFeed(after, kIvao, model, {});
        if (!result.Ok) std::printf("not read\n");
    });
    // Events against a memory that has seen the snapshot before: the steady
    // state of live refresh.
    NotifyMemory seen;
    SnapshotEvents(seen, model, kIvao, NotifyChoices{});
    std::size_t told = 0;
    const double events = MedianMs(std::getenv("NOTIFY_ROUNDS") ? std::atoi(std::getenv("NOTIFY_ROUNDS")) : 31, [&] {
        NotifyMemory memory = seen;
        told = SnapshotEvents(memory, model, kIvao, NotifyChoices{}).size();
    });
    const double copy = MedianMs(31, [&] { NotifyMemory memory = seen; });
    std::printf("reading the snapshot %.1f ms; its events %.2f ms (of which copying the memory for the run %.2f ms), "
                "%zu events; events / reading %.1f%% (goal <= 5%%)\n",
                parse, events, copy, told, 100 * (events - copy) / parse);
    return 0;
}
