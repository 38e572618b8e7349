#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

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

std::string MakeTempFolder(const std::string& tag) {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path() /
                ("kestrava-" + tag + "-" + std::to_string(rd()));
    std::filesystem::create_directories(base);
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
