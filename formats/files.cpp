#include "files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrava {

std::string ProgramFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

std::string ProgramPath(std::string_view relative) {
    return (std::filesystem::path(ProgramFolder()) / std::filesystem::path(relative)).string();
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

namespace {

// The file a save replaces: the target of a symbolic link at `path` when
// that is a regular file this user may write, else `path` itself.
std::string SaveTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    if (error || !std::filesystem::is_regular_file(target, error) || ::access(target.c_str(), W_OK) != 0)
        return path;
    return target.string();
}

}  // namespace

PendingFile::PendingFile(std::string path)
    : path_(SaveTarget(path)), temp_(path_ + ".tmp" + std::to_string(::getpid())) {}

PendingFile::~PendingFile() {
    if (!committed_) std::remove(temp_.c_str());
}

bool PendingFile::Failed(int error) {
    error_ = std::strerror(error);
    return false;
}

bool PendingFile::Write(std::string_view bytes) {
    error_.clear();
    struct stat existing {};
    const bool replaces = ::stat(path_.c_str(), &existing) == 0;
    if (replaces && S_ISDIR(existing.st_mode)) return Failed(EISDIR);
    if (replaces && ::access(path_.c_str(), W_OK) != 0) return Failed(errno);
    // The new file takes the permissions of the one it replaces before any
    // byte is written: a settings file may hold a proxy password.
    const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, replaces ? 0600 : 0666);
    if (fd < 0) return Failed(errno);
    int error = 0;
    if (replaces && ::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
    while (error == 0 && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) error = n < 0 ? errno : ENOSPC;
        else bytes.remove_prefix(static_cast<size_t>(n));
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error == 0 || Failed(error);
}

bool PendingFile::Commit() {
    if (committed_) return true;
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) return Failed(errno);
    committed_ = true;
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* reason) {
    PendingFile file(path);
    if (file.Write(bytes) && file.Commit()) return true;
    if (reason) *reason = file.Error();
    return false;
}

int RemoveStaleTempFiles(const std::string& folder) {
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const size_t mark = name.rfind(".tmp");
        if (mark == std::string::npos || mark == 0 || mark + 4 == name.size()) continue;
        const std::string digits = name.substr(mark + 4);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        // A process that still runs may be writing it right now.
        if (pid == ::getpid() || (pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))) continue;
        std::error_code kind;
        if (!entry.is_regular_file(kind) || entry.is_symlink(kind)) continue;
        if (std::filesystem::remove(entry.path(), kind)) ++removed;
    }
    return removed;
}

}  // namespace kestrava
