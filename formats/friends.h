// The user's friends: member ids in the order they were added, each once,
// looked up without regard to case. Stored in data/friends.dat.
#pragma once

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
    void Clear() { keys_.clear(); }

private:
    std::vector<std::string> keys_;
};

// Reads friends.dat: fields as free-format text (leading blanks skipped, a
// comma or the line end ends a field, a quoted field loses its quotes);
// empty fields are skipped. A missing file leaves the list empty.
void LoadFriends(const std::string& path, FriendList& friends);

// Writes every key on a line of its own (CR LF), replacing the file safely.
bool SaveFriends(const std::string& path, const FriendList& friends);

}  // namespace kestrava
