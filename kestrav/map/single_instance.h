// One viewer per program folder (per user of an installed copy): a second
// start in the same folder brings the running viewer's window forward and
// ends, while separate copies do not block each other. A lock that cannot
// be opened is no reason to end: the viewer starts and says so on standard
// error.
#pragma once

#include <functional>
#include <string>

namespace kestrava {

// Takes the folder's lock for the life of the process; false when another
// running viewer holds it.
bool ClaimSingleInstance(const std::string& programFolder);

// A second start: asks the viewer that holds the folder's lock to raise and
// focus its window, and waits for it to answer (a few seconds at most).
// False, said on standard error, when no viewer answers.
bool RaiseRunningViewer(const std::string& programFolder);

// The running viewer: listens for later starts in the same folder (a local
// socket beside the lock); each calls `raise` on the event loop's thread.
// A socket that cannot be made is said on standard error; the viewer runs
// on without it.
void ListenForLaterStarts(const std::string& programFolder, std::function<void()> raise);

}  // namespace kestrava
