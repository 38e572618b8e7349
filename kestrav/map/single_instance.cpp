#include "single_instance.h"

#include "formats/viewer_lock.h"

#include <cstdio>

namespace kestrava {

// The lock lives beside the file readers, so that the settings editor can
// tell when it saves beside a running viewer.
bool ClaimSingleInstance(const std::string& programFolder) {
    std::string warning;
    const bool claimed = ClaimViewerLock(programFolder, &warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    return claimed;
}

}  // namespace kestrava
