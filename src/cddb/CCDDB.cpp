#include "cddb/CCDDB.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "cddb/CHTTPSocket.h"
#include "cddb/XmcdRecord.h"
#include "platform/Cp1251.h"

namespace melvarin {
namespace {

constexpr std::string_view kTerminator = "\r\n.\r\n";

std::vector<std::string_view> bodyLines(std::string_view body) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < body.size()) {
        auto nl = body.find('\n', start);
        if (nl == std::string_view::npos) nl = body.size();
        std::string_view line = body.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = nl + 1;
    }
    return lines;
}

}  // namespace

void CCDDB::SetProxy(const std::string& host, int port, const std::string& user, const std::string& password) {
    ProxyHost = host;
    ProxyPort = port;
    ProxyUser = user;
    ProxyPassword = password;
}

std::string CCDDB::Sanitise(std::string_view text) {
    // Characters, not bytes: a Cyrillic letter becomes one "_".
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size() && out.size() < 260) {
        const char32_t c = Cp1251::nextCodePoint(text, pos);
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        out += keep ? static_cast<char>(c) : '_';
    }
    return out;
}

std::string CCDDB::LocalUserName() const {
    const passwd* pw = ::getpwuid(::getuid());
    if (!pw || !pw->pw_name || !*pw->pw_name) return "Unknown";
    return Sanitise(pw->pw_name);
}

std::string CCDDB::LocalHostName() const {
    char buf[261] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "Unknown";
    return Sanitise(buf);
}

std::string CCDDB::MakeHello() const {
    return "hello=" + LocalUserName() + "+" + LocalHostName() + "+" + ClientName + "+" + ClientVersion +
           "&proto=" + std::to_string(ProtoLevel);
}

std::string CCDDB::Base64(std::string_view data) {
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(data[i]) << 16) |
                           (static_cast<unsigned char>(data[i + 1]) << 8) | static_cast<unsigned char>(data[i + 2]);
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += abc[(v >> 6) & 63];
        out += abc[v & 63];
    }
    if (i < data.size()) {
        unsigned v = static_cast<unsigned char>(data[i]) << 16;
        if (i + 1 < data.size()) v |= static_cast<unsigned char>(data[i + 1]) << 8;
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += i + 1 < data.size() ? abc[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string CCDDB::BuildRequest(const CCDDBSite& site, const std::string& command) const {
    const std::string query = site.Path + "?cmd=" + command + "&" + MakeHello();
    if (ProxyHost.empty()) return "GET " + query + " HTTP/1.0\r\n\r\n";
    std::string headers;
    if (!ProxyUser.empty())
        headers = "Proxy-Authorization: Basic " + Base64(ProxyUser + ":" + ProxyPassword) + "\r\n";
    // A server on a port other than 80 names its port, or the proxy could not reach it.
    const std::string authority = site.Port == 80 ? site.Host : site.Host + ":" + std::to_string(site.Port);
    headers += "Host: " + authority;
    return "GET http://" + authority + query + " HTTP/1.0\r\n" + headers + "\r\n\r\n";
}

std::string_view CCDDB::Body(std::string_view reply) {
    const auto p = reply.find("\r\n\r\n");
    return p == std::string_view::npos ? reply : reply.substr(p + 4);
}

int CCDDB::Status(std::string_view body) {
    if (body.empty()) return 0;
    if (body.size() < 3) return -1;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (body[i] < '0' || body[i] > '9') return -1;
        code = code * 10 + (body[i] - '0');
    }
    return code;
}

bool CCDDB::ReceiveReply(CHTTPSocket& socket, int mode, std::string& reply) {
    reply.clear();
    char chunk[4096];
    for (;;) {
        bool ready = false;
        const int wait = WaitMs();
        if (wait <= 0 || !socket.WaitReadable(wait, ready) || !ready) break;
        const long n = socket.Receive(chunk, sizeof chunk);
        if (n <= 0) break;
        reply.append(chunk, static_cast<std::size_t>(n));
        if (reply.size() > kMaxReply) break;

        // Only the newly arrived bytes and the four before them can complete the
        // terminator.
        const std::size_t from = reply.size() - static_cast<std::size_t>(n);
        const auto term = reply.find(kTerminator, from >= 4 ? from - 4 : 0);
        if (term != std::string::npos) {
            reply.resize(term);
            LastReply = reply;
            return true;
        }
        if (mode == 1) {
            // A single-line reply is complete once its line has ended.
            const auto headerEnd = reply.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                const std::string_view body = std::string_view(reply).substr(headerEnd + 4);
                const int code = Status(body);
                if (body.find('\n') != std::string_view::npos && (code < 210 || code >= 220)) {
                    LastReply = reply;
                    return true;
                }
            }
        }
    }
    LastReply = reply;
    return false;
}

int CCDDB::WaitMs() const {
    if (!deadline_) return TimeOut;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline_ - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, TimeOut));
}

bool CCDDB::Exchange(const CCDDBSite& site, const std::string& command, int mode, int attempts,
                     std::string& reply, bool& sendFailed) {
    const std::string request = BuildRequest(site, command);
    const std::string& host = ProxyHost.empty() ? site.Host : ProxyHost;
    const int port = ProxyHost.empty() ? site.Port : ProxyPort;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeOut);
    CHTTPSocket socket;
    sendFailed = true;
    // The first attempt always goes; later ones only while time is left.
    for (int i = 0; i < attempts && sendFailed && (i == 0 || WaitMs() > 0); ++i)
        if (socket.Connect(host, port, std::max(1, WaitMs())) && socket.Send(request.data(), request.size()))
            sendFailed = false;
    const bool ok = !sendFailed && ReceiveReply(socket, mode, reply);
    deadline_.reset();
    return ok;
}

int CCDDB::ParseSitesReply(std::string_view reply, std::vector<CCDDBSite>& sites, std::size_t capacity) {
    const std::string_view body = Body(reply);
    const int code = Status(body);
    if (code < 210 || code > 219) return 0;
    const auto lines = bodyLines(body);
    int count = 0;
    for (std::size_t i = 1; i < lines.size() && sites.size() < capacity; ++i) {
        CCDDBSite s;
        if (CCDDBSite::ParseSiteLine(lines[i], s)) {
            sites.push_back(std::move(s));
            ++count;
        }
    }
    return count;
}

int CCDDB::GetSites(const CCDDBSite& site, std::vector<CCDDBSite>& sites, std::size_t capacity) {
    std::string reply;
    bool sendFailed = false;
    if (!Exchange(site, "sites", 0, 1, reply, sendFailed)) return 0;
    return ParseSitesReply(Xmcd::decodeText(reply), sites, capacity);
}

bool CCDDB::ParseQueryReply(std::string_view reply, std::vector<CCDDBQueryResult>& results) {
    const std::string_view body = Body(reply);
    const int code = Status(body);
    if (code >= 210 && code <= 219) {
        const auto lines = bodyLines(body);
        for (std::size_t i = 1; i < lines.size() && results.size() < kMaxResults; ++i) {
            if (lines[i] == ".") break;
            CCDDBQueryResult r;
            if (CCDDBQueryResult::Parse(lines[i], r)) results.push_back(std::move(r));
        }
        return true;
    }
    if (code == 200) {
        if (body.size() > 5) {
            CCDDBQueryResult r;
            if (CCDDBQueryResult::Parse(body.substr(4), r)) results.push_back(std::move(r));
        }
        return true;
    }
    return code == 202;
}

bool CCDDB::Query(const CCDDBSite& site, std::uint32_t discId, const std::vector<std::uint32_t>& offsets,
                  std::uint32_t discSeconds, std::vector<CCDDBQueryResult>& results, bool& sendFailed) {
    results.clear();
    std::string command = "cddb+query+" + Xmcd::hexId(discId, false) + "+" + std::to_string(offsets.size());
    for (auto off : offsets) command += "+" + std::to_string(off);
    command += "+" + std::to_string(discSeconds);
    std::string reply;
    if (!Exchange(site, command, 1, 5, reply, sendFailed)) return false;
    return ParseQueryReply(Xmcd::decodeText(reply), results);
}

bool CCDDB::Read(const CCDDBSite& site, std::uint32_t discId, const std::string& category) {
    std::string reply;
    bool sendFailed = false;
    const std::string command = "cddb+read+" + category + "+" + Xmcd::hexId(discId, true);
    if (!Exchange(site, command, 0, 1, reply, sendFailed)) return false;
    LastReply = Xmcd::decodeText(reply);
    if (!Callback) return false;
    return Callback(std::string(Body(LastReply)));
}

}  // namespace melvarin
