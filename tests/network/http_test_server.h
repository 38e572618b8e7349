// A tiny HTTP/1.1 server and a counting HTTP proxy for the download tests,
// both listening on 127.0.0.1 (port chosen by the system) and talking to
// nothing else. Each connection is one request; the answer closes it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace networktest {

namespace detail {

inline int ListenLoopback(std::uint16_t& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, 16);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

inline int ConnectLoopback(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// The request head (up to the blank line), or "" when the client went away.
inline std::string ReadHead(int fd) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return {};
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return {};
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

// Accepts connections on a thread and hands each to `handle` on a thread of
// its own; everything is joined when the listener goes.
class Listener {
public:
    explicit Listener(std::function<void(int)> handle) : handle_(std::move(handle)) {
        fd_ = ListenLoopback(port_);
        thread_ = std::thread([this] { Run(); });
    }
    ~Listener() {
        stopping = true;
        thread_.join();
        for (auto& t : workers_) t.join();
        ::close(fd_);
    }
    std::uint16_t Port() const { return port_; }
    std::atomic<bool> stopping{false};

private:
    void Run() {
        while (!stopping) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) continue;
            workers_.emplace_back([this, client] {
                handle_(client);
                ::close(client);
            });
        }
    }
    std::function<void(int)> handle_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::vector<std::thread> workers_;
};

}  // namespace detail

class TestHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
        std::chrono::milliseconds delay{0};  // before the answer
        bool truncated = false;              // announces more than it sends
        // The body sent in small pieces spread over this time.
        std::chrono::milliseconds trickle{0};
        // Sent as the ETag; a request that names it gets a bodiless 304.
        std::string etag{};
    };

    TestHttpServer() : listener_([this](int fd) { Handle(fd); }) {}

    void Serve(const std::string& path, Reply reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        replies_[path] = std::move(reply);
    }
    void Serve(const std::string& path, std::string body) { Serve(path, Reply{200, std::move(body)}); }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(listener_.Port()) + path;
    }
    std::uint16_t Port() const { return listener_.Port(); }
    int Requests(const std::string& path) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = counts_.find(path);
        return it == counts_.end() ? 0 : it->second;
    }

private:
    void Handle(int fd) {
        std::string head = detail::ReadHead(fd);
        size_t first = head.find(' '), second = head.find(' ', first + 1);
        if (first == std::string::npos || second == std::string::npos) return;
        std::string path = head.substr(first + 1, second - first - 1);
        Reply reply{404, "not found"};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++counts_[path];
            auto it = replies_.find(path);
            if (it != replies_.end()) reply = it->second;
        }
        auto until = std::chrono::steady_clock::now() + reply.delay;
        while (std::chrono::steady_clock::now() < until && !listener_.stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!reply.etag.empty() && head.find("If-None-Match: " + reply.etag + "\r\n") != std::string::npos) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ++notModified_[path];
            }
            detail::SendAll(fd, "HTTP/1.1 304 Not Modified\r\nETag: " + reply.etag + "\r\nConnection: close\r\n\r\n");
            return;
        }
        size_t announced = reply.body.size() + (reply.truncated ? 1000 : 0);
        std::string answer = "HTTP/1.1 " + std::to_string(reply.status) + (reply.status < 400 ? " OK" : " Error") +
                             "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                             std::to_string(announced) + "\r\n" +
                             (reply.etag.empty() ? std::string() : "ETag: " + reply.etag + "\r\n") +
                             "Connection: close\r\n\r\n";
        if (reply.trickle.count() <= 0) {
            detail::SendAll(fd, answer + reply.body);
            return;
        }
        if (!detail::SendAll(fd, answer)) return;
        // 40 pieces a second, evenly over the time asked for.
        const size_t pieces = std::max<size_t>(1, static_cast<size_t>(reply.trickle.count() / 25));
        const size_t piece = std::max<size_t>(1, (reply.body.size() + pieces - 1) / pieces);
        for (size_t at = 0; at < reply.body.size() && !listener_.stopping; at += piece) {
            if (!detail::SendAll(fd, reply.body.substr(at, piece))) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }

public:
    // The 304 answers given for a path.
    int NotModified(const std::string& path) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = notModified_.find(path);
        return it == notModified_.end() ? 0 : it->second;
    }

private:

    mutable std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::map<std::string, int> counts_;
    std::map<std::string, int> notModified_;
    detail::Listener listener_;
};

// A forwarding HTTP proxy that counts the requests it carries and keeps the
// last Proxy-Authorization header. It forwards only to 127.0.0.1.
class TestHttpProxy {
public:
    TestHttpProxy() : listener_([this](int fd) { Handle(fd); }) {}

    std::string Address() const { return "127.0.0.1:" + std::to_string(listener_.Port()); }
    int Requests() const { return requests_; }
    std::string LastAuthorization() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return authorization_;
    }

private:
    void Handle(int fd) {
        std::string head = detail::ReadHead(fd);
        // "GET http://127.0.0.1:port/path HTTP/1.1"
        const std::string prefix = "GET http://127.0.0.1:";
        if (head.compare(0, prefix.size(), prefix) != 0) {
            detail::SendAll(fd, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        ++requests_;
        size_t portEnd = head.find('/', prefix.size());
        size_t pathEnd = head.find(' ', portEnd);
        int port = std::stoi(head.substr(prefix.size(), portEnd - prefix.size()));
        std::string path = head.substr(portEnd, pathEnd - portEnd);
        size_t auth = head.find("Proxy-Authorization: ");
        {
            std::lock_guard<std::mutex> lock(mutex_);
            authorization_ = auth == std::string::npos
                                 ? std::string()
                                 : head.substr(auth + 21, head.find("\r\n", auth) - auth - 21);
        }
        int upstream = detail::ConnectLoopback(static_cast<std::uint16_t>(port));
        if (upstream < 0) return;
        detail::SendAll(upstream, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                      "\r\nConnection: close\r\n\r\n");
        char buffer[16384];
        ssize_t n;
        while ((n = ::recv(upstream, buffer, sizeof buffer, 0)) > 0)
            if (!detail::SendAll(fd, std::string(buffer, static_cast<size_t>(n)))) break;
        ::close(upstream);
    }

    mutable std::mutex mutex_;
    std::atomic<int> requests_{0};
    std::string authorization_;
    detail::Listener listener_;
};

}  // namespace networktest
