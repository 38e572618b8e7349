// File locations and safe writing.
#pragma once

#include <string>
#include <string_view>

namespace kestrava {

// The folder that holds the running program (no trailing slash).
std::string ProgramFolder();

// path joined to the program folder: ProgramPath("data/airports.dat").
std::string ProgramPath(std::string_view relative);

bool FileExists(const std::string& path);

// A file that replaces `path` only once it is complete: written under a
// temporary name beside it (TempPath), renamed over `path` by Commit, and
// removed when it is never committed. Until then `path` is untouched. The
// new file keeps the permissions of the one it replaces.
class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& TempPath() const { return temp_; }
    // The whole content written to the temporary file and flushed to disk.
    bool Write(std::string_view bytes);
    // Renames the temporary file over `path`; false when that fails (the
    // temporary file is then removed).
    bool Commit();

private:
    std::string path_;
    std::string temp_;
    bool committed_ = false;
};

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so a crash mid-write leaves the old file intact. False on failure
// (the old file is then untouched).
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace kestrava
