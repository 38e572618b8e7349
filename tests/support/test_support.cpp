#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace testsupport {

std::string SourcePath(const std::string& relative) {
    return std::string(KESTRAVA_SOURCE_DIR) + "/" + relative;
}

std::string RealDataPath(const std::string& relative) {
    return std::string(KESTRAVA_REALDATA_DIR) + "/" + relative;
}

std::string ReproductionPath(const std::string& name) {
    return std::string(KESTRAVA_SOURCE_DIR) + "/../shared/reproductions/" + name;
}

std::string ReproductionInput(const std::string& name) {
    std::string bytes = ReadFile(ReproductionPath(name));
    return bytes.empty() ? bytes : bytes.substr(1);
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
