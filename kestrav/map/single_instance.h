// One viewer per program folder (per user of an installed copy): a second
// start in the same folder ends silently, while separate copies do not block
// each other. A lock that cannot be opened is no reason to end: the viewer
// starts and says so on standard error.
#pragma once

#include <string>

namespace kestrava {

// Takes the folder's lock for the life of the process; false when another
// running viewer holds it.
bool ClaimSingleInstance(const std::string& programFolder);

}  // namespace kestrava
