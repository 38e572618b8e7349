#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <vector>

namespace testsupport {

std::string SourcePath(const std::string& relative) {
    return std::string(KESTRAVA_SOURCE_DIR) + "/" + relative;
}

std::string RealDataFolder() {
    const char* folder = std::getenv("KESTRAVA_REALDATA");
    return folder && *folder ? folder : KESTRAVA_REALDATA_DIR;
}

std::string RealDataPath(const std::string& relative) { return RealDataFolder() + "/" + relative; }

bool RealDataPresent() { return std::filesystem::is_directory(RealDataFolder()); }

std::string SkipWithoutRealDataReason() {
    return "needs the real captures, and " + RealDataFolder() + " is missing";
}

std::string BinPath(const std::string& relative) {
    return std::string(KESTRAVA_BIN_DIR) + "/" + relative;
}

namespace {

// Every folder MakeTempFolder made in this process, removed when the process
// ends (each test runs in a process of its own), so a run of the suite leaves
// nothing behind. KESTRAVA_KEEP_TEMP=1 keeps them for a look after a failure.
class TempFolders {
public:
    void Add(const std::filesystem::path& folder) {
        std::lock_guard lock(mutex_);
        folders_.push_back(folder);
    }
    ~TempFolders() {
        const char* keep = std::getenv("KESTRAVA_KEEP_TEMP");
        if (keep && *keep && std::string(keep) != "0") return;
        for (const auto& folder : folders_) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::filesystem::path> folders_;
};

TempFolders& MadeFolders() {
    static TempFolders folders;
    return folders;
}

}  // namespace

std::string MakeTempFolder(const std::string& tag) {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path() /
                ("kestrava-" + tag + "-" + std::to_string(rd()));
    std::filesystem::create_directories(base);
    MadeFolders().Add(base);
    return base.string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace testsupport
