// Files the benchmarks read: the real captures of the field and whole files.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#ifndef KESTRAVA_REALDATA_DIR
#define KESTRAVA_REALDATA_DIR "../shared/realdata"
#endif

namespace benchsupport {

// The folder of real captures: KESTRAVA_REALDATA, else the shared one.
inline std::string RealDataFolder() {
    const char* folder = std::getenv("KESTRAVA_REALDATA");
    return folder ? folder : KESTRAVA_REALDATA_DIR;
}

// A whole file, empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace benchsupport
