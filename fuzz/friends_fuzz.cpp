// data/friends.dat: free-format fields, each id once whatever its case, in
// file order; what is saved reads back the same. The input is the file.
#include "formats/friends.h"
#include "formats/text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrava;
    FriendList friends;
    ReadFriends(fuzzing::Text(data, size), friends);
    bool plain = true;
    for (const std::string& key : friends.Keys()) {
        fuzzing::Require(!key.empty() && friends.Has(key) && friends.Has(ToLower(key)) && friends.Has(ToUpper(key)),
                         "every key is found whatever its case");
        // Ids with commas, quotes, line ends or outer blanks cannot be written
        // back as they are.
        plain = plain && key.find_first_of(",\"\r\n") == std::string::npos && Trim(key) == key;
    }
    if (plain) {
        FriendList again;
        ReadFriends(FriendsText(friends), again);
        fuzzing::Require(again.Keys() == friends.Keys(), "saved friends read back the same");
    }
    // Removing every other key keeps the list and its look-ups in step.
    std::vector<std::string> keys = friends.Keys();
    for (size_t i = 0; i < keys.size(); i += 2) fuzzing::Require(friends.Remove(keys[i]), "remove a present key");
    for (size_t i = 0; i < keys.size(); ++i)
        fuzzing::Require(friends.Has(keys[i]) == (i % 2 == 1), "look-up after removal");
    fuzzing::Require(friends.Size() == keys.size() / 2, "size after removal");
    return 0;
}
