#include "cddb/XmcdRecord.h"

#include <cstdio>

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

// The text after the first "=" of a line.
std::string_view valueOf(std::string_view line) {
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
}

bool contains(std::string_view line, std::string_view key) { return line.find(key) != std::string_view::npos; }

std::vector<std::string_view> nonEmptyLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            if (i > start) lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

// The number of a "TTITLEn=" line, or -1.
long titleNumber(std::string_view line) {
    const auto key = line.find("TTITLE");
    std::size_t p = key + 6;
    long n = 0;
    std::size_t digits = 0;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9' && digits < 6) {
        n = n * 10 + (line[p] - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || p >= line.size() || line[p] != '=') return -1;
    return n;
}

bool parseHex32(std::string_view s, std::uint32_t& out) {
    if (s.empty() || s.size() > 8) return false;
    std::uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    out = v;
    return true;
}

}  // namespace

std::string Xmcd::hexId(std::uint32_t id, bool upper) {
    char buf[9];
    std::snprintf(buf, sizeof buf, upper ? "%08X" : "%08x", id);
    return buf;
}

std::string Xmcd::render(const XmcdRecord& d) {
    const std::string id = hexId(d.discId, false);
    std::string out;
    auto line = [&out](std::string_view s) {
        out += s;
        out += "\r\n";
    };
    line("#FILENAME=" + id);
    line("# xmcd CD database file");
    line("#");
    line("# Track frame offsets:");
    for (auto off : d.frameOffsets) line("#\t" + std::to_string(off));
    line("#");
    line("# Disc length: " + std::to_string(d.discLengthSeconds) + " seconds");
    line("#");
    line("# Revision: 1");
    line("# Submitted via: Melvarin v3.4a");
    line("#");
    line("DISCID=" + id);
    line("DTITLE=" + d.artist + " / " + d.album);
    line("DYEAR=" + d.year);
    line("DGENRE=" + d.genre);
    for (std::size_t n = 0; n < d.titles.size(); ++n) line("TTITLE" + std::to_string(n) + "=" + d.titles[n]);
    for (std::size_t n = 0; n < d.titles.size(); ++n) line("EXTT" + std::to_string(n) + "=");
    line("PLAYORDER=");
    return out;
}

XmcdParseInfo Xmcd::parse(std::string_view text, XmcdRecord& disc, std::size_t maxTracks) {
    XmcdParseInfo info;
    const auto firstEnd = text.find_first_of("\r\n");
    text = firstEnd == std::string_view::npos ? std::string_view{} : text.substr(firstEnd);
    const std::vector<std::string_view> lines = nonEmptyLines(text);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line == "#") continue;
        if (line[0] == '#') {
            if (contains(line, "xmcd")) info.headerSeen = true;
            continue;
        }
        if (contains(line, "DISCID=")) {
            info.discIdSeen = true;
            info.discIdValue.clear();
            for (char c : valueOf(line))
                if (c != ' ') info.discIdValue += c;
        } else if (contains(line, "DTITLE=")) {
            // freedb writes "artist / album": the first " / " divides them, so
            // "AC/DC / Back in Black" keeps its artist whole; a bare "/" does
            // only where no " / " stands.
            const std::string_view v = valueOf(line);
            auto slash = v.find(" / ");
            if (slash != std::string_view::npos) ++slash;
            else slash = v.find('/');
            if (slash == std::string_view::npos) {
                disc.artist = std::string(v);
                info.artistSeen = true;
            } else {
                std::string_view artist = v.substr(0, slash);
                std::string_view album = v.substr(slash + 1);
                if (!album.empty() && album.front() == ' ') album.remove_prefix(1);
                if (!artist.empty() && artist.back() == ' ') artist.remove_suffix(1);
                if (!album.empty()) disc.album = std::string(album);
                if (!artist.empty()) {
                    disc.artist = std::string(artist);
                    info.artistSeen = true;
                }
            }
        } else if (contains(line, "DYEAR=")) {
            disc.year = std::string(valueOf(line));
            info.yearSeen = true;
        } else if (contains(line, "DGENRE=")) {
            disc.genre = std::string(valueOf(line));
            info.genreSeen = true;
        } else if (contains(line, "TTITLE0=")) {
            // The run of title lines. A key repeated on the next line continues
            // the same title, as xmcd splits long values.
            long previous = -1;
            for (; i < lines.size() && contains(lines[i], "TTITLE"); ++i) {
                const long n = titleNumber(lines[i]);
                if (n < 0 || static_cast<std::size_t>(n) >= maxTracks) continue;
                const auto k = static_cast<std::size_t>(n);
                if (disc.titles.size() <= k) disc.titles.resize(k + 1);
                if (n == previous) {
                    disc.titles[k] += valueOf(lines[i]);
                } else {
                    disc.titles[k] = std::string(valueOf(lines[i]));
                    ++info.titlesRead;
                }
                previous = n;
            }
            if (info.headerSeen && info.genreSeen && info.yearSeen && info.artistSeen) break;
            --i;
        }
    }
    return info;
}

std::vector<std::string_view> Xmcd::splitEntries(std::string_view text) {
    // An entry cut off in mid-line runs straight into the next one's
    // "#FILENAME=": that still begins the next entry.
    std::vector<std::size_t> starts;
    for (auto pos = text.find("#FILENAME="); pos != std::string_view::npos; pos = text.find("#FILENAME=", pos + 10))
        starts.push_back(pos);
    std::vector<std::string_view> out;
    if (starts.empty()) {
        if (!text.empty()) out.push_back(text);
        return out;
    }
    starts[0] = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        out.push_back(text.substr(starts[i], end - starts[i]));
    }
    return out;
}

bool Xmcd::entryId(std::string_view entry, std::uint32_t& id) {
    for (std::string_view line : nonEmptyLines(entry)) {
        std::string_view v;
        if (line.rfind("#FILENAME=", 0) == 0) v = line.substr(10);
        else if (line.rfind("DISCID=", 0) == 0) v = line.substr(7);
        else continue;
        while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
        const auto end = v.find_first_of(", ");
        if (parseHex32(v.substr(0, end), id)) return true;
    }
    return false;
}

std::string Xmcd::decodeText(std::string_view bytes) {
    return Cp1251::isValidUtf8(bytes) ? std::string(bytes) : Cp1251::toUtf8(bytes);
}

}  // namespace melvarin
