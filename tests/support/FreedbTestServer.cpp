#include "support/FreedbTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace melvarin::test {
namespace {

void sendAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string hex8(std::uint32_t id) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08x", id);
    return buf;
}

// The words of the "cmd=" argument of a request line.
std::vector<std::string> commandWords(const std::string& request) {
    std::vector<std::string> words;
    auto p = request.find("cmd=");
    if (p == std::string::npos) return words;
    p += 4;
    const auto end = request.find_first_of("& \r\n", p);
    const std::string cmd = request.substr(p, end == std::string::npos ? std::string::npos : end - p);
    std::size_t s = 0;
    while (s <= cmd.size()) {
        auto plus = cmd.find('+', s);
        if (plus == std::string::npos) plus = cmd.size();
        words.push_back(cmd.substr(s, plus - s));
        s = plus + 1;
    }
    return words;
}

// The path of a request line "GET target HTTP/1.0", without its query and
// without the scheme and authority of a proxy's absolute form.
std::string requestPath(const std::string& request) {
    if (request.rfind("GET ", 0) != 0) return {};
    std::string target = request.substr(4, request.find_first_of("? \r\n", 4) - 4);
    if (target.rfind("http://", 0) == 0) {
        const auto slash = target.find('/', 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    return target;
}

}  // namespace

FreedbTestServer::FreedbTestServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listenFd_, 16);
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    if (::pipe(stopPipe_) != 0) stopPipe_[0] = stopPipe_[1] = -1;
    siteLines_ = {"freedb.example.org http 80 /~cddb/cddb.cgi N037.21 W122.05 Example mirror, Somewhere"};
    thread_ = std::thread([this] { serve(); });
}

FreedbTestServer::~FreedbTestServer() {
    if (stopPipe_[1] >= 0) {
        const char c = 'x';
        (void)!::write(stopPipe_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    for (int fd : {listenFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) ::close(fd);
}

void FreedbTestServer::addEntry(Entry e) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(e));
}

void FreedbTestServer::setSiteLines(std::vector<std::string> lines) {
    std::lock_guard lock(mutex_);
    siteLines_ = std::move(lines);
}

void FreedbTestServer::setQueryBody(std::string body) {
    std::lock_guard lock(mutex_);
    queryBody_ = std::move(body);
}

void FreedbTestServer::setPath(std::string path) {
    std::lock_guard lock(mutex_);
    path_ = std::move(path);
}

std::vector<std::string> FreedbTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void FreedbTestServer::serve() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                handle(fd);
                ::close(fd);
            }
        }
    }
}

void FreedbTestServer::handle(int fd) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request.substr(0, request.find("\r\n\r\n")));
    }
    bool known = true;
    {
        std::lock_guard lock(mutex_);
        known = path_.empty() || requestPath(request) == path_;
    }
    if (!known) {
        sendAll(fd, "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<h1>Not Found</h1>\r\n");
        ::shutdown(fd, SHUT_RDWR);
        return;
    }
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n" + replyFor(request);
    switch (behaviour_.load()) {
    case Behaviour::Normal:
        sendAll(fd, reply);
        break;
    case Behaviour::NeverAnswer: {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        ::poll(fds, 2, 30000);  // until the client gives up or the server stops
        break;
    }
    case Behaviour::Slow:
        for (std::size_t i = 0; i < reply.size(); i += 7) {
            sendAll(fd, reply.substr(i, 7));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        break;
    case Behaviour::CutConnection:
        sendAll(fd, reply.substr(0, reply.size() / 2));
        break;
    case Behaviour::Huge: {
        sendAll(fd, "HTTP/1.0 200 OK\r\n\r\n210 huge\r\n");
        const std::string line(1023, 'x');
        for (int i = 0; i < 5 * 1024; ++i) sendAll(fd, line + "\n");
        break;
    }
    case Behaviour::NoTerminator: {
        const auto term = reply.rfind(".\r\n");
        sendAll(fd, term == std::string::npos ? reply : reply.substr(0, term));
        break;
    }
    case Behaviour::Drip:
        // Until the reply is out, the client has gone or the server stops.
        for (char c : reply) {
            if (::send(fd, &c, 1, MSG_NOSIGNAL) != 1) break;
            pollfd stop{stopPipe_[0], POLLIN, 0};
            if (::poll(&stop, 1, 200) != 0) break;
        }
        break;
    case Behaviour::Junk: {
        std::string junk;
        for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
        sendAll(fd, junk);
        break;
    }
    }
    ::shutdown(fd, SHUT_RDWR);
}

std::string FreedbTestServer::replyFor(const std::string& request) const {
    std::lock_guard lock(mutex_);
    const auto w = commandWords(request);
    if (w.size() == 1 && w[0] == "sites") {
        std::string body = "210 OK, site information follows (until terminating `.')\r\n";
        for (const auto& l : siteLines_) body += l + "\r\n";
        return body + ".\r\n";
    }
    if (w.size() >= 3 && w[0] == "cddb" && w[1] == "query") {
        if (!queryBody_.empty()) return queryBody_;
        std::vector<const Entry*> found;
        for (const auto& e : entries_)
            if (hex8(e.discId) == w[2]) found.push_back(&e);
        if (found.empty()) return "202 No match for disc ID " + w[2] + ".\r\n";
        if (found.size() == 1)
            return "200 " + found[0]->category + " " + hex8(found[0]->discId) + " " + found[0]->title + "\r\n";
        std::string body = "211 Found inexact matches, list follows (until terminating `.')\r\n";
        for (const Entry* e : found) body += e->category + " " + hex8(e->discId) + " " + e->title + "\r\n";
        return body + ".\r\n";
    }
    if (w.size() == 4 && w[0] == "cddb" && w[1] == "read") {
        for (const auto& e : entries_) {
            char upper[9];
            std::snprintf(upper, sizeof upper, "%08X", e.discId);
            if (e.category == w[2] && w[3] == upper)
                return "210 " + e.category + " " + hex8(e.discId) + " CD database entry follows (until terminating `.')\r\n" +
                       e.xmcd + ".\r\n";
        }
        return "401 " + w[2] + " " + w[3] + " No such CD entry in database.\r\n";
    }
    return "500 Unrecognized command.\r\n";
}

}  // namespace melvarin::test
