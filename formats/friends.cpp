#include "friends.h"

#include "files.h"
#include "text.h"

#include <algorithm>

namespace kestrava {

namespace {

// FNV-1a over the upper-cased bytes: keys that differ only in case meet.
size_t FoldedHash(std::string_view key) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return static_cast<size_t>(hash ^ (hash >> 29));
}

}  // namespace

size_t FriendList::SlotOf(std::string_view memberId) const {
    const size_t mask = slots_.size() - 1;
    const size_t hash = FoldedHash(memberId);
    const auto tag = static_cast<std::uint32_t>(hash);
    // A slot's key is compared only when its hash matches.
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots_[i] == 0 || (tags_[i] == tag && EqualsNoCase(keys_[slots_[i] - 1], memberId))) return i;
    }
}

void FriendList::Place(size_t k) {
    const size_t slot = SlotOf(keys_[k]);
    slots_[slot] = static_cast<std::uint32_t>(k + 1);
    tags_[slot] = static_cast<std::uint32_t>(FoldedHash(keys_[k]));
}

void FriendList::Rehash(size_t slotCount) {
    slots_.assign(slotCount, 0);
    tags_.assign(slotCount, 0);
    for (size_t k = 0; k < keys_.size(); ++k) Place(k);
}

void FriendList::Reserve(size_t count) {
    keys_.reserve(count);
    size_t slots = 16;
    while (slots < 4 * count) slots *= 2;  // at most a quarter full: look-ups of strangers end soon
    if (slots > slots_.size()) Rehash(slots);
}

bool FriendList::Has(std::string_view memberId) const {
    return !slots_.empty() && slots_[SlotOf(memberId)] != 0;
}

bool FriendList::Add(std::string_view memberId) {
    if (memberId.empty() || Has(memberId)) return false;
    if (4 * (keys_.size() + 1) > slots_.size()) Reserve(2 * (keys_.size() + 1));
    keys_.emplace_back(memberId);
    Place(keys_.size() - 1);
    return true;
}

bool FriendList::Remove(std::string_view memberId) {
    if (!Has(memberId)) return false;
    const std::uint32_t position = slots_[SlotOf(memberId)] - 1;
    keys_.erase(keys_.begin() + position);
    Rehash(slots_.size());  // the later keys moved up by one
    return true;
}

void ReadFriends(std::string_view text, FriendList& friends) {
    // Usually one id a line; beyond a million the list grows as it goes.
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    friends.Reserve(friends.Size() + std::min<size_t>(lines, 1000000));
    ForEachLine(text, [&](std::string_view line) {
        size_t i = 0;
        while (i <= line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            std::string field;
            if (i < line.size() && line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string_view::npos) close = line.size();
                field = line.substr(i + 1, close - i - 1);
                i = line.find(',', close);
                i = (i == std::string_view::npos) ? line.size() + 1 : i + 1;
            } else {
                size_t comma = line.find(',', i);
                if (comma == std::string_view::npos) comma = line.size();
                field = Trim(line.substr(i, comma - i));
                i = comma + 1;
            }
            if (!field.empty()) friends.Add(field);
        }
    });
}

void LoadFriends(const std::string& path, FriendList& friends) {
    std::string text;
    if (ReadWholeFile(path, text)) ReadFriends(text, friends);
}

std::string FriendsText(const FriendList& friends) {
    std::string text;
    for (const std::string& key : friends.Keys()) text += key + "\r\n";
    return text;
}

bool SaveFriends(const std::string& path, const FriendList& friends, std::string* reason) {
    return WriteFileAtomic(path, FriendsText(friends), reason);
}

}  // namespace kestrava
