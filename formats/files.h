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
// temporary name beside it (TempPath, "<name>.tmp<process id>"), renamed over
// `path` by Commit, and removed when it is never committed. Until then
// `path` is untouched. The new file keeps the permissions of the one it
// replaces. A symbolic link at `path` whose target is a regular file this
// user may write stays a link: its target is replaced. An existing file
// this user may not write, or a folder in its place, is refused.
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
    // Why the last Write or Commit failed ("No space left on device").
    const std::string& Error() const { return error_; }

private:
    std::string path_;
    std::string temp_;
    std::string error_;
    bool committed_ = false;

    bool Failed(int error);
};

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`, so a crash mid-write leaves the old file intact. False on failure
// (the old file is then untouched), with the reason in `reason` when given.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* reason = nullptr);

// Removes the temporary files that an interrupted save left in `folder`
// ("<name>.tmp<process id>" of a process that no longer runs); gives the
// number removed.
int RemoveStaleTempFiles(const std::string& folder);

}  // namespace kestrava
