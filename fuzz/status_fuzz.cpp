// A network's status file: its addresses, profile address and messages,
// then the choice of a snapshot address. First byte: TextForce (odd on);
// the rest: the status file.
#include "fuzz/fuzz_support.h"
#include "kestrav/network/download.h"

#include <algorithm>

namespace {

using namespace kestrava;

class MessageCount : public DisplayHooks {
public:
    void ShowNetworkMessage(const std::string& text) override {
        ++boxes;
        longest = std::max(longest, text.size());
    }
    int boxes = 0;
    size_t longest = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // One snapshot for all inputs: a fresh one is a large allocation.
    static Snapshot& s = *new Snapshot;
    s.DataUrls.clear();
    s.GzipUrls.clear();
    s.ProfileUrl.clear();
    MessageCount display;
    const bool textForce = data[0] & 1;
    ReadStatusFile(s, display, fuzzing::Text(data + 1, size - 1), textForce);
    fuzzing::Require(s.DataUrls.size() <= kMaxServerUrls && s.GzipUrls.size() <= kMaxServerUrls, "nine addresses");
    fuzzing::Require(!textForce || s.GzipUrls.empty(), "TextForce drops the gzip addresses");
    fuzzing::Require(display.boxes <= 1, "one message box");
    fuzzing::Require(display.longest <= kMaxMessageCharacters + 4, "message length");
    for (double r : {0.0, 0.5, 0.999999999}) {
        for (const auto* list : {&s.DataUrls, &s.GzipUrls}) {
            const std::string& address = ChooseAddress(*list, r);
            fuzzing::Require(list->empty() ? address.empty() : !address.empty(), "address choice");
        }
    }
    return 0;
}
