#include "disc/CDText.h"

#include <string>
#include <vector>

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

constexpr std::size_t kPackSize = 18;
constexpr std::size_t kHeader = 4;
constexpr std::size_t kTextBytes = 12;
constexpr std::size_t kMaxText = 1024;

struct PackText {
    std::uint8_t type = 0;
    int track = 0;
    std::string bytes;
};

// The bytes of a letter in cp1251 (А-я, Ё, ё) and of an accented letter in
// ISO-8859-1 (À-ÿ) alike.
bool IsLetterByte(std::uint8_t b) { return b >= 0xC0 || b == 0xA8 || b == 0xB8; }

bool IsAsciiLetter(std::uint8_t b) { return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'); }

// Whether block 0 carries cp1251 rather than ISO-8859-1. The size-information
// pack cannot tell: Russian pressings declare character code 0x00
// (ISO-8859-1) and carry cp1251 bytes. The texts themselves can, because the
// two scripts place their letter bytes (0xC0-0xFF, 0xA8, 0xB8) differently:
// Cyrillic words are runs of them ("Кино"), while a Latin-1 title has its
// accented letters one by one next to ASCII letters ("Café Noël", "ÉTÉ").
// Each letter byte in a run of two or more counts for cp1251, each one
// standing alone beside an ASCII letter counts for ISO-8859-1, and one standing
// alone as a word ("Я", "À", "é") counts for neither. The texts are cp1251
// when its count is the larger, or when any byte is 0x80-0x9F: control codes
// in ISO-8859-1 that no real title holds, dashes, quotes and letters in
// cp1251. Otherwise (a tie, no letter bytes at all) they are ISO-8859-1, as
// declared.
bool LooksLikeCp1251(const std::vector<PackText>& texts) {
    std::size_t cyrillic = 0;
    std::size_t latin = 0;
    for (const PackText& t : texts) {
        const std::size_t n = t.bytes.size();
        auto at = [&](std::size_t i) { return i < n ? std::uint8_t(t.bytes[i]) : std::uint8_t(0); };
        for (std::size_t i = 0; i < n;) {
            const std::uint8_t b = at(i);
            if (b >= 0x80 && b <= 0x9F) return true;
            if (!IsLetterByte(b)) {
                ++i;
                continue;
            }
            std::size_t end = i + 1;
            while (end < n && IsLetterByte(at(end))) ++end;
            if (end - i > 1)
                cyrillic += end - i;
            else if ((i > 0 && IsAsciiLetter(at(i - 1))) || IsAsciiLetter(at(end)))
                ++latin;
            i = end;
        }
    }
    return cyrillic > latin;
}

// The ISO-8859-1 letters 0xC0-0xFF, none of which cp1251 holds, as the plain
// letters a cp1251 record can keep.
const char* const kLatinLetters[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "x", "O", "U", "U", "U", "U", "Y", "Th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "-", "o", "u", "u", "u", "u", "y", "th", "y",
};

// ISO-8859-1 bytes as UTF-8 that survives the cp1251 record: signs cp1251
// has (©, «, °, …) stay, accented letters lose their accent, the rest is '?'.
std::string Latin1ToRecordUtf8(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        const std::uint8_t b = std::uint8_t(c);
        if (b < 0x80) {
            out += c;
        } else if (b >= 0xC0) {
            out += kLatinLetters[b - 0xC0];
        } else {
            std::string utf8;
            Cp1251::appendUtf8(utf8, char32_t(b));
            out += Cp1251::fromUtf8(utf8) == "?" ? std::string("?") : utf8;
        }
    }
    return out;
}

}  // namespace

bool ParseCDText(const std::uint8_t* reply, std::size_t length, DiscRecord& disc, int trackCount) {
    if (reply == nullptr || length <= kHeader) return false;
    const std::size_t packs = (length - kHeader) / kPackSize;
    if (packs == 0) return false;
    std::vector<PackText> texts;
    std::string text;
    for (std::size_t k = 0; k < packs; ++k) {
        const std::uint8_t* p = reply + kHeader + kPackSize * k;
        if (((p[3] >> 4) & 0x07) != 0) continue;
        const std::uint8_t type = p[0];
        int track = p[1] & 0x7F;
        // NULs right after the one that ended a text in this pack are padding:
        // they end no text and name no track.
        bool ended = false;
        for (std::size_t i = 0; i < kTextBytes; ++i) {
            const char c = static_cast<char>(p[4 + i]);
            if (c != '\0') {
                if (text.size() < kMaxText) text += c;
                ended = false;
                continue;
            }
            if (ended) continue;
            ended = true;
            const bool wanted = (type == 0x80 && (track == 0 || track <= trackCount)) || (type == 0x81 && track == 0);
            if (wanted) texts.push_back({type, track, text});
            text.clear();
            ++track;
        }
    }
    const bool cp1251 = LooksLikeCp1251(texts);
    for (const PackText& t : texts) {
        const std::string utf8 = cp1251 ? Cp1251::toUtf8(t.bytes) : Latin1ToRecordUtf8(t.bytes);
        if (t.type == 0x81)
            disc.setArtist(utf8);
        else if (t.track == 0)
            disc.setAlbum(utf8);
        else
            disc.setTitle(t.track - 1, utf8);
    }
    return true;
}

}  // namespace melvarin
