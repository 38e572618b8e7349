#include "keyed_index.h"

#include "text.h"

namespace kestrava {

bool KeyedIndex::Add(std::string_view key, Items items) {
    return entries_.try_emplace(ToUpper(key), std::move(items)).second;
}

const KeyedIndex::Items* KeyedIndex::Find(std::string_view key) const {
    auto it = entries_.find(ToUpper(key));
    return it == entries_.end() ? nullptr : &it->second;
}

std::string KeyedIndex::Item(std::string_view key, size_t index) const {
    const Items* items = Find(key);
    if (!items || index >= items->size()) return {};
    return (*items)[index];
}

}  // namespace kestrava
