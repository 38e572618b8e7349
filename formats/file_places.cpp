#include "file_places.h"

#include "files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrava {

namespace fs = std::filesystem;

namespace {

bool Absolute(const char* path) { return path && path[0] == '/'; }

// The base of the per-user folder by the XDG rules: an absolute
// XDG_DATA_HOME, else ~/.local/share; "" when there is no home folder.
std::string DataHome(const char* xdgDataHome, const char* home) {
    if (Absolute(xdgDataHome)) return xdgDataHome;
    if (Absolute(home)) return std::string(home) + "/.local/share";
    if (const passwd* user = ::getpwuid(::geteuid()); user && Absolute(user->pw_dir))
        return std::string(user->pw_dir) + "/.local/share";
    return {};
}

std::string CannotSave(const std::string& what) {
    return "Kestrava " + what +
           ". It runs with the files it can read and saves nothing this time: settings, friends "
           "and other files are not written, downloads are kept only while it runs.";
}

// A temporary folder of this process for downloads when nothing may be
// saved; removed at exit.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        std::string pattern = (fs::temp_directory_path(error) / "kestrava-XXXXXX").string();
        if (error) pattern = "/tmp/kestrava-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

bool FolderWritable(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string FilePlaces::ReadPath(std::string_view relative) const {
    if (Installed()) {
        // Anything of the user's in that place is theirs, even a folder
        // (which then fails to read, rather than the shipped file being
        // read and saved over it).
        std::string own = (fs::path(UserFolder) / fs::path(relative)).string();
        struct stat info {};
        if (::stat(own.c_str(), &info) == 0) return own;
    }
    return (fs::path(ProgramFolder) / fs::path(relative)).string();
}

std::string FilePlaces::WritePath(std::string_view relative) const {
    if (!CanSave()) return {};
    const fs::path path = fs::path(OwnFolder()) / fs::path(relative);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    return path.string();
}

std::string FilePlaces::LockFolder() const {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(OwnFolder(), error);
    return error ? OwnFolder() : canonical.string();
}

FilePlaces FindFilePlaces(const std::string& programFolder, const char* xdgDataHome, const char* home) {
    FilePlaces places;
    places.ProgramFolder = programFolder;
    if (FolderWritable(programFolder) && !FileExists(programFolder + "/" + kInstalledMarker)) return places;

    const std::string base = DataHome(xdgDataHome, home);
    if (base.empty()) {
        places.UserFolder = "~/.local/share/kestrava";
        places.Problem = CannotSave("finds no home folder for its folder " + places.UserFolder);
        return places;
    }
    places.UserFolder = base + "/kestrava";
    // The folder itself first: nothing is made inside one that is read-only.
    for (const char* sub : {"", "/data", "/colours"}) {
        const std::string folder = places.UserFolder + sub;
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            places.Problem = CannotSave("cannot create its folder " + folder + " (" + error.message() + ")");
            return places;
        }
        if (!FolderWritable(folder)) {
            places.Problem = CannotSave("cannot write into its folder " + folder);
            return places;
        }
    }
    return places;
}

const FilePlaces& Places() {
    static const FilePlaces places = FindFilePlaces(ProgramFolder(), std::getenv("XDG_DATA_HOME"),
                                                    std::getenv("HOME"));
    return places;
}

std::string ReadPath(std::string_view relative) { return Places().ReadPath(relative); }
std::string WritePath(std::string_view relative) { return Places().WritePath(relative); }

int RemoveInterruptedSaves(const FilePlaces& places) {
    if (!places.CanSave()) return 0;
    int removed = 0;
    for (const char* sub : {"", "/data", "/colours"}) removed += RemoveStaleTempFiles(places.OwnFolder() + sub);
    return removed;
}

std::string DownloadFolder() {
    static const std::string folder = [] {
        if (Places().CanSave()) {
            const std::string data = Places().OwnFolder() + "/data";
            std::error_code error;
            fs::create_directories(data, error);
            return data;
        }
        static const ScratchFolder scratch;
        return scratch.Path().empty() ? std::string("/tmp") : scratch.Path();
    }();
    return folder;
}

}  // namespace kestrava
