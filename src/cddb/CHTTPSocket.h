#pragma once
#include <cstddef>
#include <string>

namespace melvarin {

// One TCP connection, closed when the object dies. Blocking send and receive;
// connecting and waiting are bounded by time-outs.
class CHTTPSocket {
public:
    CHTTPSocket() = default;
    ~CHTTPSocket();
    CHTTPSocket(const CHTTPSocket&) = delete;
    CHTTPSocket& operator=(const CHTTPSocket&) = delete;

    // Connects to `host` (a dotted address or a name to resolve) at `port`, giving
    // up after `timeoutMs`. Closes any earlier connection first.
    bool Connect(const std::string& host, int port, int timeoutMs);
    // Sends all bytes; false on any error.
    bool Send(const char* data, std::size_t length);
    // Receives at most `size` bytes; the count, 0 at the end of the stream, < 0 on error.
    long Receive(char* buffer, std::size_t size);
    // Waits until data can be read. False on a wait error; `ready` is false when the
    // time-out passed first.
    bool WaitReadable(int timeoutMs, bool& ready);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace melvarin
