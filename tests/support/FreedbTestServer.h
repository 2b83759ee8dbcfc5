#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace melvarin::test {

// A freedb server on 127.0.0.1 for tests: answers HTTP/1.0 GET requests for
// "sites", "cddb query" and "cddb read" from the entries it was given, one
// connection at a time, and misbehaves on demand. Stops with the object.
class FreedbTestServer {
public:
    enum class Behaviour {
        Normal,
        NeverAnswer,    // reads the request, then stays silent
        Slow,           // sends the reply a few bytes at a time
        CutConnection,  // sends half of the reply, then closes
        Huge,           // sends 5 MB without a terminator
        NoTerminator,   // sends the reply without the final "." line, then closes
        Junk,           // sends binary junk, then closes
        Drip,           // sends the reply one byte every 200 ms
    };
    struct Entry {
        std::string category;
        std::uint32_t discId;
        std::string title;  // DTITLE value shown in query matches
        std::string xmcd;   // the entry as sent by "cddb read"
    };

    FreedbTestServer();
    ~FreedbTestServer();
    FreedbTestServer(const FreedbTestServer&) = delete;
    FreedbTestServer& operator=(const FreedbTestServer&) = delete;

    int port() const { return port_; }
    // "127.0.0.1:PORT"
    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }

    void setBehaviour(Behaviour b) { behaviour_ = b; }
    void addEntry(Entry e);
    // Lines of the "sites" reply after its status line.
    void setSiteLines(std::vector<std::string> lines);
    // Replaces the body of every query reply (status line included).
    void setQueryBody(std::string body);
    // Answers only requests for this CGI path (also in a proxy's absolute
    // form), others with HTTP 404, as a real freedb server does. Empty: any.
    void setPath(std::string path);

    // Every request received, as raw text up to the blank line.
    std::vector<std::string> requests() const;

private:
    void serve();
    void handle(int fd);
    std::string replyFor(const std::string& request) const;

    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<Behaviour> behaviour_{Behaviour::Normal};
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::vector<std::string> siteLines_;
    std::string queryBody_;
    std::string path_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace melvarin::test
