// A one-connection HTTP server on loopback for tests of the page download.
#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>

// Serves one connection on 127.0.0.1 with a canned answer; an empty answer
// keeps the connection open without a word until the test ends.
class tOneShotServer {
public:
    explicit tOneShotServer(std::string answer) : answer_(std::move(answer)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
            ::listen(listen_, 1) != 0 ||
            ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~tOneShotServer() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(listen_);
    }
    std::string Address(const std::string& path = "/downl1de.htm") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    const std::string& Request() const { return request_; }

private:
    bool Wait(int fd, short events) {
        pollfd p{fd, events, 0};
        while (!stop_)
            if (::poll(&p, 1, 50) > 0)
                return true;
        return false;
    }
    void Serve() {
        if (!Wait(listen_, POLLIN))
            return;
        const int fd = ::accept(listen_, nullptr, nullptr);
        char buf[4096];
        while (request_.find("\r\n\r\n") == std::string::npos && Wait(fd, POLLIN)) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request_.append(buf, static_cast<std::size_t>(n));
        }
        for (std::size_t sent = 0; sent < answer_.size() && Wait(fd, POLLOUT);) {
            const ssize_t n =
                ::send(fd, answer_.data() + sent, answer_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<std::size_t>(n);
        }
        if (answer_.empty())
            Wait(-1, 0); // silent until the test ends
        ::close(fd);
    }

    std::string answer_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::string request_;
};

inline std::string HttpOk(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}
