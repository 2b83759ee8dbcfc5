#include "cddb/CCDDBSite.h"

#include <vector>

namespace melvarin {
namespace {

std::vector<std::string_view> splitSpaces(std::string_view s, std::size_t maxFields, std::string_view& rest) {
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while (out.size() < maxFields) {
        while (p < s.size() && s[p] == ' ') ++p;
        if (p >= s.size()) break;
        const std::size_t start = p;
        while (p < s.size() && s[p] != ' ') ++p;
        out.push_back(s.substr(start, p - start));
    }
    while (p < s.size() && s[p] == ' ') ++p;
    rest = s.substr(p);
    return out;
}

bool parseDecimal(std::string_view s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

// "N037.21": hemisphere letter, degrees in characters 2-4, minutes in 6-7.
bool parseCoordinate(std::string_view s, char positive, char negative, int& sign, int& value) {
    if (s.size() != 7 || (s[0] != positive && s[0] != negative)) return false;
    int degrees = 0, minutes = 0;
    if (!parseDecimal(s.substr(1, 3), degrees) || !parseDecimal(s.substr(5, 2), minutes)) return false;
    sign = s[0] == positive ? 1 : 0;
    value = degrees * 60 + minutes;
    return true;
}

}  // namespace

CCDDBSite CCDDBSite::FromServer(const std::string& server, const std::string& path) {
    CCDDBSite site;
    site.Host = server;
    site.Path = path;
    const auto colon = server.rfind(':');
    if (colon != std::string::npos && server.find(':') == colon) {
        int port = 0;
        if (parseDecimal(std::string_view(server).substr(colon + 1), port) && port >= 1 && port <= 65535) {
            site.Host = server.substr(0, colon);
            site.Port = port;
        }
    }
    return site;
}

CCDDBSite CCDDBSite::ForLookup(const std::string& server, const std::string& path) {
    const auto blank = [](const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; };
    std::string p = blank(path) ? std::string(kDefaultPath) : path;
    if (p.front() != '/') p.insert(p.begin(), '/');
    return FromServer(blank(server) ? std::string(kDefaultHost) : server, p);
}

bool CCDDBSite::ParseSiteLine(std::string_view line, CCDDBSite& site) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    std::string_view rest;
    const auto f = splitSpaces(line, 6, rest);
    if (f.size() < 6 || f[1].rfind("http", 0) != 0) return false;
    CCDDBSite s;
    if (!parseDecimal(f[2], s.Port) || s.Port < 1 || s.Port > 65535) return false;
    if (!parseCoordinate(f[4], 'N', 'S', s.North, s.Latitude)) return false;
    if (!parseCoordinate(f[5], 'E', 'W', s.East, s.Longitude)) return false;
    s.Host = std::string(f[0]);
    s.Path = std::string(f[3]);
    s.Description = std::string(rest);
    site = std::move(s);
    return true;
}

bool CCDDBQueryResult::Parse(std::string_view line, CCDDBQueryResult& result) {
    const auto end = line.find_first_of("\r\n");
    if (end != std::string_view::npos) line = line.substr(0, end);
    const auto sp = line.find(' ');
    if (sp == std::string_view::npos || sp == 0) return false;
    std::size_t p = sp;
    while (p < line.size() && line[p] == ' ') ++p;
    std::uint32_t id = 0;
    std::size_t digits = 0;
    for (; p < line.size() && line[p] != ' '; ++p, ++digits) {
        const char c = line[p];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        if (digits >= 8) return false;
        id = (id << 4) | static_cast<std::uint32_t>(d);
    }
    if (digits == 0) return false;
    while (p < line.size() && line[p] == ' ') ++p;
    result.Category = std::string(line.substr(0, sp));
    result.DiscId = id;
    result.DiscTitle = std::string(line.substr(p));
    return true;
}

}  // namespace melvarin
