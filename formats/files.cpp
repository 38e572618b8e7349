#include "files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
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

PendingFile::PendingFile(std::string path)
    : path_(std::move(path)), temp_(path_ + ".tmp" + std::to_string(::getpid())) {}

PendingFile::~PendingFile() {
    if (!committed_) std::remove(temp_.c_str());
}

bool PendingFile::Write(std::string_view bytes) {
    // The new file takes the permissions of the one it replaces before any
    // byte is written: a settings file may hold a proxy password.
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) == 0) {
        const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        const bool kept = ::fchmod(fd, existing.st_mode & 07777) == 0;
        ::close(fd);
        if (!kept) return false;
    }
    {
        std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) return false;
    }
    if (FILE* f = std::fopen(temp_.c_str(), "rb")) {
        ::fsync(fileno(f));
        std::fclose(f);
    }
    return true;
}

bool PendingFile::Commit() {
    if (committed_) return true;
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) return false;
    committed_ = true;
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
    PendingFile file(path);
    return file.Write(bytes) && file.Commit();
}

}  // namespace kestrava
