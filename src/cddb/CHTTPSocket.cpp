#include "cddb/CHTTPSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace melvarin {
namespace {

bool waitFor(int fd, short events, int timeoutMs, bool& ready) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        ready = r > 0;
        return true;
    }
}

// Connects one address without blocking longer than `timeoutMs`; the socket or -1.
int connectOne(const addrinfo* ai, int timeoutMs) {
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) return -1;
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int r = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (r != 0 && errno == EINPROGRESS) {
        bool ready = false;
        int err = 0;
        socklen_t len = sizeof err;
        if (waitFor(fd, POLLOUT, timeoutMs, ready) && ready &&
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0)
            r = 0;
    }
    if (r != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, flags);
    return fd;
}

}  // namespace

CHTTPSocket::~CHTTPSocket() { Close(); }

void CHTTPSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool CHTTPSocket::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    if (host.empty() || port <= 0 || port > 65535) return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    // Dotted addresses first, without asking the resolver.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        hints.ai_flags = AI_NUMERICSERV;
        if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return false;
    }
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, ::freeaddrinfo);
    for (const addrinfo* ai = list.get(); ai; ai = ai->ai_next) {
        fd_ = connectOne(ai, timeoutMs);
        if (fd_ >= 0) return true;
    }
    return false;
}

bool CHTTPSocket::Send(const char* data, std::size_t length) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::send(fd_, data + done, length - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

long CHTTPSocket::Receive(char* buffer, std::size_t size) {
    if (fd_ < 0) return -1;
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

bool CHTTPSocket::WaitReadable(int timeoutMs, bool& ready) {
    ready = false;
    if (fd_ < 0) return false;
    return waitFor(fd_, POLLIN, timeoutMs, ready);
}

}  // namespace melvarin
