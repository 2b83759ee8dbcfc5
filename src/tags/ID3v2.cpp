#include "tags/ID3v2.h"

#include <array>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kPadding = 8192;

struct TextFrame {
    const char* id;
    std::string TIDTag::*field;
};

// The text frames this program reads and writes (COMM and WXXX are separate).
constexpr std::array<TextFrame, 10> kTextFrames = {{
    {"TIT2", &TIDTag::Title},   {"TPE1", &TIDTag::Artist},     {"TALB", &TIDTag::Album},
    {"TRCK", &TIDTag::Track},   {"TCOP", &TIDTag::Rights},     {"TOPE", &TIDTag::OrigArtist},
    {"TCOM", &TIDTag::Composer}, {"TCON", &TIDTag::Genre},     {"TYER", &TIDTag::Year},
    {"TENC", &TIDTag::EncodedBy},
}};

std::u32string codePoints(std::string_view utf8) {
    std::u32string out;
    for (std::size_t pos = 0; pos < utf8.size();) out += Cp1251::nextCodePoint(utf8, pos);
    return out;
}

bool isLatin1(const std::u32string& text) {
    for (char32_t c : text)
        if (c > 0xFF) return false;
    return true;
}

void appendLatin1(std::string& out, const std::u32string& text) {
    for (char32_t c : text) out += static_cast<char>(c <= 0xFF ? c : '?');
}

void appendUtf16(std::string& out, const std::u32string& text) {
    auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    out += "\xFF\xFE";
    for (char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            unit(0xD800 + (c >> 10));
            unit(0xDC00 + (c & 0x3FF));
        } else {
            unit(c);
        }
    }
}

void appendFrame(std::string& out, const char* id, std::uint8_t flag0, std::string_view body) {
    out.append(id, 4);
    const std::uint32_t n = static_cast<std::uint32_t>(body.size());
    out += static_cast<char>(n >> 24);
    out += static_cast<char>(n >> 16);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(n);
    out += static_cast<char>(flag0);
    out += '\0';
    out.append(body);
}

// A frame body: the encoding byte, for COMM three zero bytes in place of the
// language, for COMM an empty description (its terminator in the chosen
// encoding), then the text without terminator.
std::string textBody(const std::string& utf8, bool withLanguage, bool withDescription) {
    const std::u32string text = codePoints(utf8);
    const bool latin = isLatin1(text);
    std::string body;
    body += latin ? '\0' : '\1';
    if (withLanguage) body.append(3, '\0');
    if (withDescription) body += latin ? std::string(1, '\0') : std::string("\xFF\xFE\0\0", 4);
    if (latin)
        appendLatin1(body, text);
    else
        appendUtf16(body, text);
    return body;
}

std::uint32_t readBE32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t readSynchsafe(const std::uint8_t* p) {
    return (std::uint32_t(p[0] & 0x7F) << 21) | (std::uint32_t(p[1] & 0x7F) << 14) |
           (std::uint32_t(p[2] & 0x7F) << 7) | (p[3] & 0x7F);
}

// Undoes unsynchronisation: every 0xFF 0x00 becomes 0xFF.
std::vector<std::uint8_t> resynchronise(const std::uint8_t* p, std::size_t n) {
    std::vector<std::uint8_t> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(p[i]);
        if (p[i] == 0xFF && i + 1 < n && p[i + 1] == 0x00) ++i;
    }
    return out;
}

// Length of a string in `encoding` at the start of `s`, up to its terminator
// (or the end), and the number of bytes consumed including the terminator.
std::size_t terminated(std::string_view s, std::uint8_t encoding, std::size_t& consumed) {
    if (encoding == 1 || encoding == 2) {
        for (std::size_t i = 0; i + 1 < s.size(); i += 2)
            if (s[i] == '\0' && s[i + 1] == '\0') {
                consumed = i + 2;
                return i;
            }
        consumed = s.size();
        return s.size() & ~std::size_t(1);
    }
    const std::size_t z = s.find('\0');
    if (z == std::string_view::npos) {
        consumed = s.size();
        return s.size();
    }
    consumed = z + 1;
    return z;
}

std::string decodeUtf16(std::string_view s, bool bigEndian) {
    std::string out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const auto b0 = static_cast<std::uint8_t>(s[i]), b1 = static_cast<std::uint8_t>(s[i + 1]);
        char32_t u = bigEndian ? (char32_t(b0) << 8 | b1) : (char32_t(b1) << 8 | b0);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
            const auto c0 = static_cast<std::uint8_t>(s[i + 2]), c1 = static_cast<std::uint8_t>(s[i + 3]);
            const char32_t low = bigEndian ? (char32_t(c0) << 8 | c1) : (char32_t(c1) << 8 | c0);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                u = 0xFFFD;
            }
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        Cp1251::appendUtf8(out, u);
    }
    return out;
}

std::string decodeLatin1(std::string_view s) {
    std::string out;
    for (char c : s) Cp1251::appendUtf8(out, static_cast<std::uint8_t>(c));
    return out;
}

// Decodes one string (without terminator) in `encoding` to UTF-8.
std::string decodeText(std::string_view s, std::uint8_t encoding) {
    switch (encoding) {
    case 1:
        if (s.size() >= 2 && std::uint8_t(s[0]) == 0xFE && std::uint8_t(s[1]) == 0xFF)
            return decodeUtf16(s.substr(2), true);
        if (s.size() >= 2 && std::uint8_t(s[0]) == 0xFF && std::uint8_t(s[1]) == 0xFE)
            return decodeUtf16(s.substr(2), false);
        return decodeUtf16(s, false);
    case 2:
        return decodeUtf16(s, true);
    case 3:
        return Cp1251::isValidUtf8(s) ? std::string(s) : decodeLatin1(s);
    default:
        return decodeLatin1(s);
    }
}

// The first string of `body` in `encoding`, as UTF-8.
std::string firstString(std::string_view body, std::uint8_t encoding) {
    std::size_t consumed = 0;
    const std::size_t len = terminated(body, encoding, consumed);
    return decodeText(body.substr(0, len), encoding);
}

// Takes one frame into `tag`; false when the frame is not one this program reads.
bool takeFrame(TIDTag& tag, std::string_view id, std::string_view body, bool& commentTaken) {
    for (const TextFrame& f : kTextFrames) {
        if (id != f.id) continue;
        if (!body.empty() && body[0] <= 3) tag.*f.field = firstString(body.substr(1), std::uint8_t(body[0]));
        return true;
    }
    if (id == "COMM") {
        if (body.size() < 4 || body[0] > 3) return true;
        const auto enc = static_cast<std::uint8_t>(body[0]);
        std::string_view rest = body.substr(4);
        std::size_t consumed = 0;
        const std::size_t descLen = terminated(rest, enc, consumed);
        // A described comment (player data such as loudness values) never
        // replaces the plain comment.
        if (descLen > 2 && commentTaken) return true;
        tag.Comment = firstString(rest.substr(consumed), enc);
        commentTaken = descLen <= 2;
        return true;
    }
    if (id == "WXXX") {
        if (body.empty() || body[0] > 3) return true;
        const auto enc = static_cast<std::uint8_t>(body[0]);
        std::size_t consumed = 0;
        terminated(body.substr(1), enc, consumed);
        tag.URL = firstString(body.substr(1 + consumed), 0);
        return true;
    }
    return false;
}

bool validFrameId(const std::uint8_t* p) {
    for (int i = 0; i < 4; ++i)
        if (!((p[i] >= 'A' && p[i] <= 'Z') || (p[i] >= '0' && p[i] <= '9'))) return false;
    return true;
}

}  // namespace

std::string WriteID3v2(const TIDTag& tag) {
    std::string frames;
    appendFrame(frames, "TIT2", 0, textBody(tag.Title, false, false));
    appendFrame(frames, "COMM", 0, textBody(tag.Comment, true, true));
    appendFrame(frames, "TPE1", 0, textBody(tag.Artist, false, false));
    appendFrame(frames, "TALB", 0, textBody(tag.Album, false, false));
    appendFrame(frames, "TRCK", 0, textBody(tag.Track, false, false));
    appendFrame(frames, "TCOP", 0, textBody(tag.Rights, false, false));
    appendFrame(frames, "TOPE", 0, textBody(tag.OrigArtist, false, false));
    appendFrame(frames, "TCOM", 0, textBody(tag.Composer, false, false));
    appendFrame(frames, "TCON", 0, textBody(tag.Genre, false, false));
    appendFrame(frames, "TYER", 0, textBody(tag.Year, false, false));
    appendFrame(frames, "TENC", 0x40, textBody(tag.EncodedBy, false, false));
    std::string wxxx("\0\0", 2);
    appendLatin1(wxxx, codePoints(tag.URL));
    appendFrame(frames, "WXXX", 0, wxxx);
    for (const ID3Frame& f : tag.ExtraFrames) {
        if (f.id.size() != 4) continue;
        const std::size_t start = frames.size();
        appendFrame(frames, f.id.c_str(), f.flags[0], f.body);
        frames[start + 9] = static_cast<char>(f.flags[1]);
    }

    std::string out;
    out.reserve(kHeaderSize + frames.size() + kPadding);
    out.append("ID3\x03\x00\x00", 6);
    const std::uint32_t s = static_cast<std::uint32_t>(frames.size() + kPadding);
    out += static_cast<char>((s >> 21) & 0x7F);
    out += static_cast<char>((s >> 14) & 0x7F);
    out += static_cast<char>((s >> 7) & 0x7F);
    out += static_cast<char>(s & 0x7F);
    out += frames;
    out.append(kPadding, '\0');
    return out;
}

std::size_t ID3v2TagSize(const std::uint8_t* h, std::size_t size) {
    if (h == nullptr || size < kHeaderSize || std::memcmp(h, "ID3", 3) != 0) return 0;
    if (h[3] == 0xFF || h[4] == 0xFF) return 0;
    std::size_t total = kHeaderSize + readSynchsafe(h + 6);
    if (h[3] == 4 && (h[5] & 0x10)) total += kHeaderSize;  // footer
    return total;
}

bool ReadID3v2(TIDTag& tag, const std::uint8_t* data, std::size_t size) {
    const std::size_t total = ID3v2TagSize(data, size);
    if (total == 0) return false;
    const std::uint8_t version = data[3];
    if (version != 3 && version != 4) return false;
    const std::uint8_t flags = data[5];
    const std::size_t end = std::min(size, kHeaderSize + std::size_t(readSynchsafe(data + 6)));

    std::vector<std::uint8_t> body;
    if (version == 3 && (flags & 0x80))
        body = resynchronise(data + kHeaderSize, end - kHeaderSize);
    else
        body.assign(data + kHeaderSize, data + end);

    std::size_t pos = 0;
    if (flags & 0x40) {  // extended header
        if (body.size() < 4) return false;
        const std::size_t ext = version == 3 ? readBE32(body.data()) + 4 : readSynchsafe(body.data());
        if (ext > body.size()) return false;
        pos = ext;
    }

    bool commentTaken = false;
    while (pos + kHeaderSize <= body.size()) {
        const std::uint8_t* h = body.data() + pos;
        if (!validFrameId(h)) break;  // padding or garbage
        const std::size_t len = version == 3 ? readBE32(h + 4) : readSynchsafe(h + 4);
        if (len > body.size() - pos - kHeaderSize) break;
        const std::string id(reinterpret_cast<const char*>(h), 4);
        const std::uint8_t f0 = h[8], f1 = h[9];
        const std::uint8_t* b = h + kHeaderSize;
        pos += kHeaderSize + len;

        // Compressed or encrypted frames cannot be read; grouping adds a byte.
        const bool v3 = version == 3;
        if (v3 ? (f1 & 0xC0) : (f1 & 0x0C)) {
            if (v3) tag.ExtraFrames.push_back({id, {f0, f1}, std::string(reinterpret_cast<const char*>(b), len)});
            continue;
        }
        std::size_t skip = 0;
        if (v3 && (f1 & 0x20)) skip = 1;
        if (!v3 && (f1 & 0x40)) skip += 1;
        if (!v3 && (f1 & 0x01)) skip += 4;
        if (skip > len) continue;
        std::vector<std::uint8_t> plain;
        std::string_view content(reinterpret_cast<const char*>(b + skip), len - skip);
        if (!v3 && ((f1 & 0x02) || (flags & 0x80))) {
            plain = resynchronise(b + skip, len - skip);
            content = std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size());
        }
        if (!takeFrame(tag, id, content, commentTaken) && v3)
            tag.ExtraFrames.push_back({id, {f0, f1}, std::string(reinterpret_cast<const char*>(b), len)});
    }
    tag.HasID3v2 = 1;
    return true;
}

bool ReadID3v2FromFile(TIDTag& tag, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint8_t header[kHeaderSize];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    const std::size_t total = ID3v2TagSize(header, sizeof header);
    if (total == 0) return false;
    std::vector<std::uint8_t> bytes(header, header + sizeof header);
    bytes.resize(total);
    in.read(reinterpret_cast<char*>(bytes.data() + kHeaderSize), static_cast<std::streamsize>(total - kHeaderSize));
    bytes.resize(kHeaderSize + static_cast<std::size_t>(in.gcount()));
    return ReadID3v2(tag, bytes.data(), bytes.size());
}

}  // namespace melvarin
