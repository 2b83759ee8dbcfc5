#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace melvarin {

// One freedb server.
struct CCDDBSite {
    static constexpr const char* kDefaultHost = "gnudb.gnudb.org";
    static constexpr const char* kDefaultPath = "/~cddb/cddb.cgi";

    int Port = 80;
    std::string Path = kDefaultPath;
    int North = 1;
    int Latitude = 0;  // degrees * 60 + minutes
    int East = 1;
    int Longitude = 0;
    std::string Description;
    std::string Host = kDefaultHost;

    // A site from a server text "host" or "host:port" (port 80 otherwise) and a path.
    // A port that is not a number from 1 to 65535 leaves the whole text as the host.
    static CCDDBSite FromServer(const std::string& server, const std::string& path);
    // The site a lookup asks, from the settings' server and path: an empty (or
    // blank) server is the default host, an empty path the default path, and a
    // path gets the "/" it lacks. The settings themselves stay as they are.
    static CCDDBSite ForLookup(const std::string& server, const std::string& path);

    // Parses one line of a "sites" reply: host, protocol (must begin with "http"),
    // port, path, latitude "N037.21", longitude "W122.05", then the description.
    static bool ParseSiteLine(std::string_view line, CCDDBSite& site);
};

// One match of a query.
struct CCDDBQueryResult {
    std::string Category;
    std::uint32_t DiscId = 0;
    std::string DiscTitle;

    // "category discid title": false when the category or identifier is missing.
    static bool Parse(std::string_view line, CCDDBQueryResult& result);
};

}  // namespace melvarin
