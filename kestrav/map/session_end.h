// The ways the system ends the viewer from outside: SIGTERM (a shutdown,
// `kill`), SIGHUP (the terminal gone), SIGINT (Ctrl+C in a terminal) and the
// desktop session ending. Each runs the viewer's one exit, as the close box
// does: the settings and friends are saved, then the program ends.
#pragma once

#include <functional>

namespace kestrava {

// Routes the three signals and the session's end to `exit`, on the event
// loop's thread (a signal handler only writes a byte to a pipe). Call once,
// after the application object exists. Signals that arrive before the
// event loop runs are acted on once it does.
void ExitOnSignalsAndSessionEnd(std::function<void()> exit);

}  // namespace kestrava
