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

// The local socket on which the running viewer of a folder listens for a
// second start (which asks it to come forward): beside the lock in
// XDG_RUNTIME_DIR, else in a folder of the user's own in the temporary
// folder (/tmp/kestrav-<uid>, made with access for the user alone); empty
// when that folder is not the user's alone.
std::string ViewerSocketPath(const std::string& programFolder);

// Takes the folder's lock for the life of the process; false when a running
// viewer holds it. A lock file left by a viewer that was killed is no lock
// (the lock is the kernel's, and ends with its holder). Where the lock file
// cannot be made or opened (a folder in its place, no permission), the
// viewer still starts and `warning` (when given) says why.
bool ClaimViewerLock(const std::string& programFolder, std::string* warning = nullptr);

// True while a viewer started from this folder runs. The folder is compared
// as the viewer names it: absolute, with links resolved.
bool ViewerRunsIn(const std::string& folder);

}  // namespace kestrava
