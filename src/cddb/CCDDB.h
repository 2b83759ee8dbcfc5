#pragma once
#include <cstdint>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cddb/CCDDBSite.h"

namespace melvarin {

class CHTTPSocket;

// The freedb protocol over HTTP/1.0: one connection per request. The whole
// request (connecting, sending, receiving) ends within the time-out, however
// slowly a server sends. Replies larger than kMaxReply fail.
class CCDDB {
public:
    static constexpr std::size_t kMaxReply = std::size_t(4) << 20;
    static constexpr std::size_t kMaxResults = 100;

    // Called with the body of a read reply; its result is the result of Read.
    std::function<bool(const std::string& body)> Callback;
    std::string LastReply;
    int TimeOut;
    std::string ClientName = "Melvarin";
    std::string ClientVersion = "3.x";
    int ProtoLevel = 5;
    std::string ProxyHost;
    int ProxyPort = 80;
    std::string ProxyUser;
    std::string ProxyPassword;

    explicit CCDDB(int timeoutMs) : TimeOut(timeoutMs) {}
    virtual ~CCDDB() = default;

    void SetProxy(const std::string& host, int port, const std::string& user, const std::string& password);

    // Fills `sites` with at most `capacity` sites of `site`'s "sites" reply; returns
    // how many.
    int GetSites(const CCDDBSite& site, std::vector<CCDDBSite>& sites, std::size_t capacity = 20);

    // Queries the disc: `offsets` are the track starts in frames (LBA + 150),
    // `discSeconds` the lead-out's minutes * 60 + seconds. True when the server gave
    // a usable status (results may still be empty: no match); `sendFailed` tells
    // that no request could be sent.
    bool Query(const CCDDBSite& site, std::uint32_t discId, const std::vector<std::uint32_t>& offsets,
               std::uint32_t discSeconds, std::vector<CCDDBQueryResult>& results, bool& sendFailed);

    // Reads the entry of `discId` in `category`; the callback's result, false on any
    // failure.
    bool Read(const CCDDBSite& site, std::uint32_t discId, const std::string& category);

    std::string MakeHello() const;
    virtual std::string LocalUserName() const;
    virtual std::string LocalHostName() const;

    // The bytes of one GET request for `command` (arguments joined by "+").
    std::string BuildRequest(const CCDDBSite& site, const std::string& command) const;

    // Receives a reply. Mode 1 ends at a complete single-line reply (status below
    // 210 or from 220); both modes end at the terminator "\r\n.\r\n", which is cut
    // off. On failure `LastReply` holds what arrived. Ends with failure once the
    // request's time-out has run out (a wait of at most the time-out when
    // called outside a request).
    bool ReceiveReply(CHTTPSocket& socket, int mode, std::string& reply);

    // The body of a reply: the text after the first "\r\n\r\n" (the whole reply when
    // it has none).
    static std::string_view Body(std::string_view reply);
    // The status code of a body: its first three characters; 0 for an empty body,
    // -1 for a shorter or non-numeric one.
    static int Status(std::string_view body);
    // Parses a query reply; true for a usable status.
    static bool ParseQueryReply(std::string_view reply, std::vector<CCDDBQueryResult>& results);
    // Parses a sites reply.
    static int ParseSitesReply(std::string_view reply, std::vector<CCDDBSite>& sites, std::size_t capacity);

    static std::string Base64(std::string_view data);
    // Replaces every character that is not an ASCII letter or digit with "_".
    static std::string Sanitise(std::string_view text);

private:
    // Milliseconds the next wait may take: the time-out, cut to what is left of
    // the request's; 0 once that is over.
    int WaitMs() const;

    std::optional<std::chrono::steady_clock::time_point> deadline_;

    bool Exchange(const CCDDBSite& site, const std::string& command, int mode, int attempts,
                  std::string& reply, bool& sendFailed);
};

}  // namespace melvarin
