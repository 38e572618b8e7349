#include "viewer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <system_error>

namespace kestrava {

std::string ViewerLockPath(const std::string& programFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime && *runtime) ? runtime : "/tmp";
    char name[64];
    std::snprintf(name, sizeof name, "/kestrav-%016zx.lock", std::hash<std::string>{}(programFolder));
    return folder + name;
}

bool ClaimViewerLock(const std::string& programFolder) {
    const int fd = ::open(ViewerLockPath(programFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;  // the descriptor stays open, and the lock held, until exit
}

bool ViewerRunsIn(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(folder, error);
    if (error) return false;
    const int fd = ::open(ViewerLockPath(canonical.string()).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // no viewer ever ran there
    // A shared lock is refused only while the viewer holds its exclusive one.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

}  // namespace kestrava
