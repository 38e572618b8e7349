#include "single_instance.h"

#include "formats/viewer_lock.h"

namespace kestrava {

// The lock lives beside the file readers, so that the settings editor can
// tell when it saves beside a running viewer.
bool ClaimSingleInstance(const std::string& programFolder) { return ClaimViewerLock(programFolder); }

}  // namespace kestrava
