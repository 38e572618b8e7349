#include "kestrav/network/transfer.h"

#include "formats/files.h"
#include "kestrav/network/fault.h"

#include <curl/curl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrava {

namespace {

constexpr int kFaultTooLarge = 31001;
constexpr int kFaultUnzip = 31003;
constexpr int kFaultNotAFile = 31004;
constexpr int kFaultCancelled = 31005;
constexpr int kFaultStrayNotModified = 31006;

void InitialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Receiver {
    std::string body;
    std::size_t limit = 0;
    bool tooLarge = false;
    const TransferOptions* options = nullptr;
    Validators validators;
};

size_t Receive(char* data, size_t size, size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    size_t bytes = size * count;
    if (receiver->body.size() + bytes > receiver->limit) {
        receiver->tooLarge = true;
        return 0;  // aborts the transfer
    }
    receiver->body.append(data, bytes);
    if (receiver->options->Progress) receiver->options->Progress(receiver->body.size());
    return bytes;
}

// Called by the transfer at least once a second, bytes or not: a cancel
// request ends it.
int Xfer(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* receiver = static_cast<const Receiver*>(user);
    const std::atomic<bool>* cancel = receiver->options->Cancel;
    return cancel && cancel->load() ? 1 : 0;
}

// Each header line of the answer (of the last one, after redirects): the
// validators are kept.
size_t Header(char* data, size_t size, size_t count, void* user) {
    auto* receiver = static_cast<Receiver*>(user);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    if (line.substr(0, 5) == "HTTP/") receiver->validators = {};  // a new answer begins
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return bytes;
    std::string name(line.substr(0, colon));
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) value.remove_suffix(1);
    // A header that long is no validator of ours: it is not sent back.
    if (value.size() > 256) return bytes;
    if (name == "etag") receiver->validators.ETag = value;
    if (name == "last-modified") receiver->validators.LastModified = value;
    return bytes;
}

std::string LimitText(std::size_t bytes) {
    if (bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// A file address is read only when it names a regular file within the
// limit: a FIFO would block without any time limit, a device (/dev/zero)
// would be read until the limit.
void CheckFileAddress(const std::string& address, const TransferOptions& options) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
    char* path = nullptr;
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK ||
        curl_url_get(url.get(), CURLUPART_PATH, &path, CURLU_URLDECODE) != CURLUE_OK)
        throw Fault(kFaultNotAFile, "Malformed file address " + address);
    const std::string file = path;
    curl_free(path);
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw Fault(kFaultNotAFile, "Not a regular file: " + file);
    if (static_cast<std::uint64_t>(info.st_size) > options.MaxBytes)
        throw Fault(kFaultTooLarge, "Response larger than " + LimitText(options.MaxBytes) + " refused");
}

struct Fetched {
    std::string body;
    long status = 0;
    Validators validators;
};

Fetched Fetch(const std::string& address, const TransferOptions& options, const Validators& prior = {}) {
    InitialiseCurl();
    if (StartsWithNoCase(address, "file:")) CheckFileAddress(address, options);
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) throw Fault(kFaultOutOfMemory, "Out of memory");
    CURL* c = curl.get();
    char error[CURL_ERROR_SIZE] = "";
    Receiver receiver;
    receiver.limit = options.MaxBytes;
    receiver.options = &options;

    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    // No cap on the whole transfer: the time-out is the time without an
    // answer, to connect and then between bytes.
    const long timeoutMs = std::max<long>(1, static_cast<long>(options.Timeout.count()));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, std::max<long>(1, (timeoutMs + 999) / 1000));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Xfer);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &receiver);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &receiver);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxBytes));
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Receive);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &receiver);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Kestrava/" KESTRAVA_VERSION);
    // Compressed answers are welcome; the limit applies to the decoded body.
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    // The proxy is the setting's alone: an empty one switches off the
    // environment's proxies too.
    const std::string proxy = options.Proxy.size() < 2 ? std::string() : options.Proxy;
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(c, CURLOPT_NOPROXY, "");
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, &curl_slist_free_all);
    const auto addHeader = [&](const std::string& line) {
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (!grown) throw Fault(kFaultOutOfMemory, "Out of memory");
        headers.release();
        headers.reset(grown);
    };
    if (!prior.ETag.empty()) addHeader("If-None-Match: " + prior.ETag);
    if (!prior.LastModified.empty()) addHeader("If-Modified-Since: " + prior.LastModified);
    if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    CURLcode result = curl_easy_perform(c);
    if (result == CURLE_OK) {
        Fetched fetched;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &fetched.status);
        fetched.body = std::move(receiver.body);
        fetched.validators = std::move(receiver.validators);
        return fetched;
    }
    if (result == CURLE_ABORTED_BY_CALLBACK && options.Cancel && options.Cancel->load())
        throw Fault(kFaultCancelled, "Transfer cancelled");
    if (receiver.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw Fault(kFaultTooLarge, "Response larger than " + LimitText(options.MaxBytes) + " refused");
    if (result == CURLE_HTTP_RETURNED_ERROR) {
        long status = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
        throw Fault(static_cast<int>(status), "HTTP error " + std::to_string(status));
    }
    if (result == CURLE_OPERATION_TIMEDOUT) throw Fault(static_cast<int>(result), "Request timed out");
    throw Fault(static_cast<int>(result), error[0] ? error : curl_easy_strerror(result));
}

}  // namespace

bool IsWebAddress(std::string_view address) {
    return StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
}

void KeepWebAddresses(std::vector<std::string>& addresses) {
    std::erase_if(addresses, [](const std::string& address) { return !IsWebAddress(address); });
}

std::string ResolveAddress(std::string_view statusAddress, std::string_view address) {
    const size_t scheme = statusAddress.find("://");
    const size_t folderEnd = statusAddress.rfind('/');
    if (address.empty() || address.find("://") != std::string_view::npos || address.front() == '/' ||
        scheme == std::string_view::npos || folderEnd < scheme + 3)
        return std::string(address);
    std::string_view relative = address;
    while (relative.substr(0, 2) == "./") relative.remove_prefix(2);
    return std::string(statusAddress.substr(0, folderEnd + 1)) + std::string(relative);
}

void ResolveAddresses(std::string_view statusAddress, std::vector<std::string>& addresses) {
    for (std::string& address : addresses) address = ResolveAddress(statusAddress, address);
}

namespace {

bool IsGzip(const std::string& body) {
    return body.size() >= 2 && static_cast<unsigned char>(body[0]) == 0x1F && static_cast<unsigned char>(body[1]) == 0x8B;
}

}  // namespace

std::string FetchText(const std::string& address, const TransferOptions& options) {
    std::string body = Fetch(address, options).body;
    if (IsGzip(body)) body = GunzipText(body, options.MaxBytes);
    return body;
}

ConditionalAnswer FetchIfChanged(const std::string& address, const TransferOptions& options,
                                 const Validators& prior, bool asText) {
    Fetched fetched = Fetch(address, options, prior);
    ConditionalAnswer answer;
    if (fetched.status == 304) {
        if (prior.Empty()) throw Fault(kFaultStrayNotModified, "Server answered 'not modified' to a plain request");
        answer.NotModified = true;
        answer.Current = prior;
        return answer;
    }
    answer.Body = std::move(fetched.body);
    if (asText && IsGzip(answer.Body)) answer.Body = GunzipText(answer.Body, options.MaxBytes);
    answer.Current = std::move(fetched.validators);
    return answer;
}

std::string GunzipText(std::string_view gzip, std::size_t maxBytes) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) throw Fault(kFaultOutOfMemory, "Out of memory");
    std::string out;
    char buffer[1 << 16];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gzip.data()));
    z.avail_in = static_cast<uInt>(gzip.size());
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) break;
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > maxBytes) {
            inflateEnd(&z);
            throw Fault(kFaultTooLarge, "Response larger than " + LimitText(maxBytes) + " refused");
        }
        if (result == Z_OK && z.avail_in == 0 && z.avail_out != 0) break;  // the data ended early
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END) throw Fault(kFaultUnzip, "Error unzipping data");
    return out;
}

std::string FetchBytes(const std::string& address, const TransferOptions& options) {
    return Fetch(address, options).body;
}

bool UncompressFile(const std::string& gzipPath, const std::string& plainPath, std::size_t maxBytes) {
    PendingFile plain(plainPath);
    gzFile in = gzopen(gzipPath.c_str(), "rb");
    if (!in) return false;
    gzbuffer(in, 128 * 1024);
    std::FILE* out = std::fopen(plain.TempPath().c_str(), "wb");
    if (!out) {
        gzclose_r(in);
        return false;
    }
    std::vector<char> buffer(256 * 1024);
    std::size_t total = 0;
    bool ok = true;
    while (true) {
        int n = gzread(in, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        // Data without a gzip header would be passed through unchanged.
        if (gzdirect(in)) {
            ok = false;
            break;
        }
        total += static_cast<std::size_t>(n);
        if (total > maxBytes || std::fwrite(buffer.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
            ok = false;
            break;
        }
    }
    if (total == 0 && gzdirect(in)) ok = false;
    if (gzclose_r(in) != Z_OK) ok = false;
    if (std::fclose(out) != 0) ok = false;
    return ok && plain.Commit();
}

bool UncompressFile(const std::string& gzipPath, std::size_t maxBytes) {
    if (gzipPath.size() <= 3 || gzipPath.compare(gzipPath.size() - 3, 3, ".gz") != 0) return false;
    return UncompressFile(gzipPath, gzipPath.substr(0, gzipPath.size() - 3), maxBytes);
}

}  // namespace kestrava
