// The user's friends: member ids in the order they were added, each once,
// looked up without regard to case. Stored in data/friends.dat.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

class FriendList {
public:
    bool Has(std::string_view memberId) const;
    bool Add(std::string_view memberId);      // false when already present
    bool Remove(std::string_view memberId);   // false when absent
    const std::vector<std::string>& Keys() const { return keys_; }
    size_t Size() const { return keys_.size(); }
    bool Empty() const { return keys_.empty(); }
    // Room for `count` keys in all, so that loading a long file does not
    // grow the list step by step.
    void Reserve(size_t count);
    void Clear() {
        keys_.clear();
        slots_.clear();
        tags_.clear();
    }

private:
    // The keys in the order they were added, and beside them a hash table of
    // their positions (open addressing; 0 is an empty slot, k + 1 is keys_[k])
    // for look-ups without regard to case, with each slot's key's hash.
    std::vector<std::string> keys_;
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> tags_;

    size_t SlotOf(std::string_view memberId) const;  // its slot, or the empty one it would take
    void Place(size_t k);                            // keys_[k] into its slot
    void Rehash(size_t slotCount);
};

// Reads friends.dat: fields as free-format text (leading blanks skipped, a
// comma or the line end ends a field, a quoted field loses its quotes);
// empty fields are skipped. A missing file leaves the list empty.
void LoadFriends(const std::string& path, FriendList& friends);
// The same from the file's text.
void ReadFriends(std::string_view text, FriendList& friends);

// The text of friends.dat: every key on a line of its own (CR LF).
std::string FriendsText(const FriendList& friends);
// Writes that text, replacing the file safely; on failure `reason` (when
// given) says why.
bool SaveFriends(const std::string& path, const FriendList& friends, std::string* reason = nullptr);

}  // namespace kestrava
