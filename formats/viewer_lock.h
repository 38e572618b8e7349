// The lock that a running viewer holds on its program folder: one viewer
// per folder, and the side programs can tell whether one runs beside a file.
#pragma once

#include <string>

namespace kestrava {

// The lock file of a folder the viewer keeps its files in (the per-user
// folder of an installed copy, else the program folder). It lies in
// XDG_RUNTIME_DIR when that is a folder of this user's that no one else may
// write, else in the folder itself: never under a name in a shared folder
// that another user could create first and hold.
std::string ViewerLockPath(const std::string& programFolder);

// Takes the folder's lock for the life of the process; false when a running
// viewer holds it. Where the lock file cannot be made or opened, the viewer
// still starts and `warning` (when given) says why.
bool ClaimViewerLock(const std::string& programFolder, std::string* warning = nullptr);

// True while a viewer started from this folder runs. The folder is compared
// as the viewer names it: absolute, with links resolved.
bool ViewerRunsIn(const std::string& folder);

}  // namespace kestrava
