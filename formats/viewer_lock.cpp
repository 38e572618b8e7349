#include "viewer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <utility>

namespace kestrava {

namespace {

// A folder that only this user may write: owned by them, without write
// permission for group or others.
bool PrivateFolder(const char* folder) {
    struct stat info {};
    return folder && folder[0] == '/' && ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string ViewerLockPath(const std::string& programFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!PrivateFolder(runtime)) return programFolder + "/kestrav.lock";
    char name[64];
    std::snprintf(name, sizeof name, "/kestrav-%016zx.lock", std::hash<std::string>{}(programFolder));
    return runtime + std::string(name);
}

std::string ViewerSocketPath(const std::string& programFolder) {
    // A socket's path is short (108 bytes): never in the program folder.
    const size_t hash = std::hash<std::string>{}(programFolder);
    char name[96];
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (PrivateFolder(runtime) && std::strlen(runtime) < 60) {
        std::snprintf(name, sizeof name, "/kestrav-%016zx.socket", hash);
        return runtime + std::string(name);
    }
    // Else a folder of the user's own in the temporary folder, never a name
    // there that another user could create first: one that is not the
    // user's alone gives no socket.
    const std::string own = "/tmp/kestrav-" + std::to_string(::geteuid());
    ::mkdir(own.c_str(), 0700);
    if (!PrivateFolder(own.c_str())) return {};
    std::snprintf(name, sizeof name, "/kestrav-%016zx.socket", hash);
    return own + name;
}

bool ClaimViewerLock(const std::string& programFolder, std::string* warning) {
    auto warn = [warning](std::string text) {
        if (warning) *warning = std::move(text);
        return true;
    };
    if (warning) warning->clear();
    const std::string path = ViewerLockPath(programFolder);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return warn("Kestrava cannot open its lock file " + path + " (" + std::strerror(errno) +
                    "): it starts without telling whether another viewer runs from the same folder.");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return false;
        return warn("Kestrava cannot lock " + path + " (" + std::strerror(error) + ").");
    }
    return true;  // the descriptor stays open, and the lock held, until exit
}

bool ViewerRunsIn(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(folder, error);
    if (error) return false;
    const int fd = ::open(ViewerLockPath(canonical.string()).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;  // no viewer ever ran there
    // A shared lock is refused only while the viewer holds its exclusive one.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

}  // namespace kestrava
