// A keyed collection of field lists, looked up without regard to case.
// Used for the airport and sector indexes; a repeated key keeps its first
// entry.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrava {

class KeyedIndex {
public:
    using Items = std::vector<std::string>;

    // Adds the entry; false (and nothing changes) when the key is present.
    bool Add(std::string_view key, Items items);
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    const Items* Find(std::string_view key) const;
    // The item at `index` of the entry, or the empty string.
    std::string Item(std::string_view key, size_t index) const;
    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    void Clear() { entries_.clear(); }

private:
    std::unordered_map<std::string, Items> entries_;
};

}  // namespace kestrava
