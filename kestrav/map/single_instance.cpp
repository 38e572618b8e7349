#include "single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace kestrava {

bool ClaimSingleInstance(const std::string& programFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime && *runtime) ? runtime : "/tmp";
    char name[64];
    std::snprintf(name, sizeof name, "/kestrav-%016zx.lock", std::hash<std::string>{}(programFolder));
    const int fd = ::open((folder + name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no lock to be had: do not refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;  // the descriptor stays open, and the lock held, until exit
}

}  // namespace kestrava
