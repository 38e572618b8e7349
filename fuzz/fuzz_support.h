// Helpers shared by the fuzz targets: the input as text, its parts, a
// private scratch folder, and a check that stops the run on a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace fuzzing {

inline std::string Text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The text cut at every line that holds only "@@" (the way several files
// travel in one input); at least `count` parts, empty ones added.
inline std::vector<std::string> Parts(std::string_view text, std::size_t count) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find("\n@@\n", start);
        if (at == std::string_view::npos) break;
        parts.emplace_back(text.substr(start, at + 1 - start));
        start = at + 4;
    }
    parts.emplace_back(text.substr(start));
    while (parts.size() < count) parts.emplace_back();
    return parts;
}

// A folder of this process's own, in memory (/dev/shm) where the system has
// it, else under the temporary folder; removed when the process ends. On a
// disk every rename over a file waits for the disk.
inline const std::string& ScratchFolder() {
    // Kept on the heap so that it outlives the static objects at exit.
    static const std::string* folder = [] {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const auto path = base / ("kestrava-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*folder, ec);
        });
        return new std::string(path.string());
    }();
    return *folder;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A promise of the code under test; a broken one is a finding.
inline void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "Broken promise: %s\n", what);
    std::abort();
}

}  // namespace fuzzing
