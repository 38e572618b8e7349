// Transfers of the network feed: a resource fetched as text or as bytes over
// http, https or file addresses (libcurl), and a gzip file decompressed to
// the plain file beside it (zlib). Failures are Faults with a description
// the status line shows ("HTTP error 404", "Request timed out").
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

constexpr std::size_t kMaxTransferBytes = 64u << 20;  // 64 MiB

struct TransferOptions {
    // How long the server may leave us without an answer: to connect, and
    // then between bytes (a body that trickles below one byte a second for
    // this long fails with "Request timed out"). A slow body that keeps
    // coming is waited for, however long it takes.
    std::chrono::milliseconds Timeout{15000};
    // A named proxy, "host:port" or "user:password@host:port"; with fewer than
    // two characters no proxy is used, whatever the environment says.
    std::string Proxy = "0";
    // A larger response is refused.
    std::size_t MaxBytes = kMaxTransferBytes;
    // Told the bytes received so far as they come (on the transfer's thread).
    std::function<void(std::size_t received)> Progress;
    // Set from any thread: the transfer ends at once ("Transfer cancelled").
    const std::atomic<bool>* Cancel = nullptr;
};

// A conditional request's validators: what the server said of the last
// answer it gave (its ETag and Last-Modified headers), sent back as
// If-None-Match and If-Modified-Since.
struct Validators {
    std::string ETag;
    std::string LastModified;
    bool Empty() const { return ETag.empty() && LastModified.empty(); }
};

struct ConditionalAnswer {
    bool NotModified = false;  // 304: the last answer still holds, no body
    std::string Body;          // as FetchText gives it
    Validators Current;        // of this answer (the old ones on a 304)
};

// An http or https address (the scheme's case does not matter).
bool IsWebAddress(std::string_view address);
// Drops every address that is not http or https: the addresses a status
// file from the network names stay on the network.
void KeepWebAddresses(std::vector<std::string>& addresses);
// An address a status file names, read against the status file's own
// address: one with a scheme ("https://", "file://") stays as it is, a
// relative one ("vatsim/data.json") names a file beside the status file.
// So a status file shipped with the program needs no folder written into it.
std::string ResolveAddress(std::string_view statusAddress, std::string_view address);
void ResolveAddresses(std::string_view statusAddress, std::vector<std::string>& addresses);

// The resource at `address` as text / as bytes. A file address must name a
// regular file (no FIFO, no device) no larger than the limit; anything else
// is refused before a byte is read. Compression is asked for
// and undone by the transfer; text that arrives as a gzip file (it starts
// with the bytes 1F 8B) is decompressed as well, bytes are left as they
// came. Throws a Fault when the transfer fails, the server answers with an
// HTTP error status (400 or above), the decoded response is larger than the
// limit, or gzip text is damaged.
std::string FetchText(const std::string& address, const TransferOptions& options);
std::string FetchBytes(const std::string& address, const TransferOptions& options);
// FetchText (or FetchBytes, `asText` false) asking only for a body newer
// than the one `prior` describes. A 304 answer to a request without
// validators is a Fault: there is no earlier answer it could mean.
ConditionalAnswer FetchIfChanged(const std::string& address, const TransferOptions& options,
                                 const Validators& prior, bool asText = true);

// The text of gzip data held in memory; a Fault when it is damaged,
// truncated or larger than `maxBytes` decompressed.
std::string GunzipText(std::string_view gzip, std::size_t maxBytes = kMaxTransferBytes);

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
