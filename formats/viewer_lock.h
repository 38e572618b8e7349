// The lock that a running viewer holds on its program folder: one viewer
// per folder, and the side programs can tell whether one runs beside a file.
#pragma once

#include <string>

namespace kestrava {

// The lock file of a program folder (in XDG_RUNTIME_DIR, else /tmp).
std::string ViewerLockPath(const std::string& programFolder);

// Takes the folder's lock for the life of the process; false when a running
// viewer holds it. Where no lock file can be made, the viewer still starts.
bool ClaimViewerLock(const std::string& programFolder);

// True while a viewer started from this folder runs. The folder is compared
// as the viewer names it: absolute, with links resolved.
bool ViewerRunsIn(const std::string& folder);

}  // namespace kestrava
