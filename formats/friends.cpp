#include "friends.h"

#include "files.h"
#include "text.h"

#include <algorithm>

namespace kestrava {

bool FriendList::Has(std::string_view memberId) const {
    return std::any_of(keys_.begin(), keys_.end(),
                       [&](const std::string& k) { return EqualsNoCase(k, memberId); });
}

bool FriendList::Add(std::string_view memberId) {
    if (memberId.empty() || Has(memberId)) return false;
    keys_.emplace_back(memberId);
    return true;
}

bool FriendList::Remove(std::string_view memberId) {
    auto it = std::find_if(keys_.begin(), keys_.end(),
                           [&](const std::string& k) { return EqualsNoCase(k, memberId); });
    if (it == keys_.end()) return false;
    keys_.erase(it);
    return true;
}

void LoadFriends(const std::string& path, FriendList& friends) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return;
    for (const std::string& line : lines) {
        size_t i = 0;
        while (i <= line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            std::string field;
            if (i < line.size() && line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string::npos) close = line.size();
                field = line.substr(i + 1, close - i - 1);
                i = line.find(',', close);
                i = (i == std::string::npos) ? line.size() + 1 : i + 1;
            } else {
                size_t comma = line.find(',', i);
                if (comma == std::string::npos) comma = line.size();
                field = Trim(line.substr(i, comma - i));
                i = comma + 1;
            }
            if (!field.empty()) friends.Add(field);
        }
    }
}

bool SaveFriends(const std::string& path, const FriendList& friends) {
    std::string text;
    for (const std::string& key : friends.Keys()) text += key + "\r\n";
    return WriteFileAtomic(path, text);
}

}  // namespace kestrava
