// Transfers of the network feed: a resource fetched as text or as bytes over
// http, https or file addresses (libcurl), and a gzip file decompressed to
// the plain file beside it (zlib). Failures are Faults with a description
// the status line shows ("HTTP error 404", "Request timed out").
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace kestrava {

constexpr std::size_t kMaxTransferBytes = 64u << 20;  // 64 MiB

struct TransferOptions {
    // Time-out of the whole request.
    std::chrono::milliseconds Timeout{15000};
    // A named proxy, "host:port" or "user:password@host:port"; with fewer than
    // two characters no proxy is used, whatever the environment says.
    std::string Proxy = "0";
    // A larger response is refused.
    std::size_t MaxBytes = kMaxTransferBytes;
};

// The resource at `address` as text / as bytes (the same bytes either way:
// text is 8-bit). Throws a Fault when the transfer fails, the server answers
// with an HTTP error status (400 or above), or the response is larger than
// the limit.
std::string FetchText(const std::string& address, const TransferOptions& options);
std::string FetchBytes(const std::string& address, const TransferOptions& options);

// Decompresses the gzip file into `plainPath`. The plain file is written
// under a temporary name and replaces an older one only when the whole data
// decompressed without error; data that is not gzip, is damaged or
// truncated, or is larger than `maxBytes` decompressed is a failure (false)
// that leaves the old plain file in place.
bool UncompressFile(const std::string& gzipPath, const std::string& plainPath,
                    std::size_t maxBytes = kMaxTransferBytes);
// The same from "<name>.gz" into "<name>".
bool UncompressFile(const std::string& gzipPath, std::size_t maxBytes = kMaxTransferBytes);

}  // namespace kestrava
