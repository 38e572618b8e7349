// Gzip decompression of a downloaded snapshot, with its size cap: the input
// is the body the server sent. A failure must leave the plain file that was
// there; a success never passes the cap.
#include "fuzz/fuzz_support.h"
#include "kestrav/network/transfer.h"

#include <filesystem>

namespace {
constexpr std::size_t kCap = 1u << 20;  // small, so that bombs end quickly
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = fuzzing::ScratchFolder();
    const std::string gzipPath = folder + "/whazzup.txt.gz", plainPath = folder + "/whazzup.txt";
    fuzzing::WriteBytes(gzipPath, fuzzing::Text(data, size));
    fuzzing::WriteBytes(plainPath, "previous");
    const bool ok = kestrava::UncompressFile(gzipPath, plainPath, kCap);
    std::error_code ec;
    const auto plainSize = std::filesystem::file_size(plainPath, ec);
    fuzzing::Require(!ec, "the plain file is there");
    if (ok) {
        fuzzing::Require(plainSize <= kCap, "cap held");
    } else {
        fuzzing::Require(plainSize == 8, "a failure keeps the previous file");
    }
    // Nothing else is left beside the two files.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        (void)entry;
        ++files;
    }
    fuzzing::Require(files == 2, "no temporary file left behind");
    return 0;
}
