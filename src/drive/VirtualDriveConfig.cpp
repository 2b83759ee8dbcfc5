#include "drive/VirtualDriveConfig.h"

#include <charconv>
#include <cstdlib>

namespace melvarin {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if ((line[i] == ';' || line[i] == '#') && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
            return line.substr(0, i);
    return line;
}

template <typename T>
bool toNumber(std::string_view s, T& out) {
    s = trim(s);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool toBool(std::string_view s, bool& out) {
    int v = 0;
    if (!toNumber(s, v) || (v != 0 && v != 1)) return false;
    out = v == 1;
    return true;
}

std::string unquote(std::string_view s) {
    s = trim(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

bool startsPair(std::string_view word) {
    const std::size_t eq = word.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    for (char c : word.substr(0, eq))
        if (!((c >= 'a' && c <= 'z') || c == '_')) return false;
    return true;
}

// Calls `pair(key, value)` for every setting of the text. A word "key=..."
// starts a setting; the words up to the next such word belong to its value.
template <typename F>
void forEachPair(std::string_view text, F pair) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(withoutComment(text.substr(pos, end - pos)));
        pos = end + 1;
        if (line.empty() || line.front() == '[') continue;
        std::string_view key;
        std::size_t valueStart = 0, valueEnd = 0;
        std::size_t at = 0;
        while (at < line.size()) {
            std::size_t stop = line.find_first_of(" \t", at);
            if (stop == std::string_view::npos) stop = line.size();
            const std::string_view word = line.substr(at, stop - at);
            if (startsPair(word)) {
                if (!key.empty()) pair(key, line.substr(valueStart, valueEnd - valueStart));
                key = word.substr(0, word.find('='));
                valueStart = at + key.size() + 1;
                valueEnd = stop;
            } else if (!key.empty()) {
                valueEnd = stop;
            } else {
                pair(word, std::string_view());
            }
            at = stop;
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        }
        if (!key.empty()) pair(key, line.substr(valueStart, valueEnd - valueStart));
    }
}

}  // namespace

VirtualDriveConfig VirtualDriveConfig::parse(std::string_view text) {
    VirtualDriveConfig c;
    forEachPair(text, [&c](std::string_view key, std::string_view value) {
        bool ok = true;
        if (key == "vendor") {
            c.vendor = unquote(value);
        } else if (key == "product") {
            c.product = unquote(value);
        } else if (key == "revision") {
            c.revision = unquote(value);
        } else if (key == "read_commands") {
            std::uint32_t mask = 0;
            std::string_view rest = value;
            while (ok && !rest.empty()) {
                const std::size_t comma = rest.find(',');
                int t = -1;
                ok = toNumber(rest.substr(0, comma), t) && t >= 0 && t <= 8;
                if (ok) mask |= 1u << t;
                rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            }
            if (ok) c.readCommands = mask;
        } else if (key == "max_sectors") {
            int v = 0;
            ok = toNumber(value, v) && v >= 1 && v <= 65535;
            if (ok) c.maxSectors = v;
        } else if (key == "big_endian") {
            ok = toBool(value, c.bigEndian);
        } else if (key == "transient_errors") {
            const std::string s(trim(value));
            char* end = nullptr;
            const double v = s.empty() ? -1 : std::strtod(s.c_str(), &end);
            ok = !s.empty() && end == s.c_str() + s.size() && v >= 0.0 && v <= 1.0;
            if (ok) c.transientErrors = v;
        } else if (key == "bad_sectors") {
            std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
            std::string_view rest = trim(value);
            while (ok && !rest.empty()) {
                const std::size_t comma = rest.find(',');
                const std::string_view item = trim(rest.substr(0, comma));
                const std::size_t dash = item.find('-');
                std::int64_t a = 0, b = 0;
                ok = toNumber(item.substr(0, dash), a) &&
                     (dash == std::string_view::npos ? (b = a, true) : toNumber(item.substr(dash + 1), b)) &&
                     a >= 0 && b >= a;
                if (ok) ranges.emplace_back(a, b);
                rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            }
            if (ok) c.badSectors = std::move(ranges);
        } else if (key == "error_seed") {
            ok = toNumber(value, c.errorSeed);
        } else if (key == "speed_x") {
            int v = 0;
            ok = toNumber(value, v) && v >= 0 && v <= 1000;
            if (ok) c.speedX = v;
        } else if (key == "writer") {
            ok = toBool(value, c.writer);
        } else if (key == "rewriter") {
            ok = toBool(value, c.rewriter);
        } else if (key == "test_write") {
            ok = toBool(value, c.testWrite);
        } else if (key == "buffer_kb") {
            int v = 0;
            ok = toNumber(value, v) && v >= 0 && v <= 65535;
            if (ok) c.bufferKb = v;
        } else {
            c.warnings.push_back("drive.ini: unknown key \"" + std::string(key) + "\"");
            return;
        }
        if (!ok)
            c.warnings.push_back("drive.ini: bad value \"" + std::string(trim(value)) + "\" for " + std::string(key));
    });
    return c;
}

bool VirtualDriveConfig::isBadSector(std::int64_t lba) const {
    for (const auto& [a, b] : badSectors)
        if (lba >= a && lba <= b) return true;
    return false;
}

VirtualBlankDisc VirtualBlankDisc::parse(std::string_view text) {
    VirtualBlankDisc d;
    forEachPair(text, [&d](std::string_view key, std::string_view value) {
        if (key == "capacity") {
            std::int64_t v = 0;
            if (toNumber(value, v) && v > 0 && v <= 449849) d.capacity = v;
        } else if (key == "rewritable") {
            toBool(value, d.rewritable);
        }
    });
    return d;
}

}  // namespace melvarin
