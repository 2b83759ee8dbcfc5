#include "drive/CdTextBuilder.h"

#include "platform/Cp1251.h"

#include <algorithm>
#include <array>

namespace melvarin {

namespace {

constexpr std::size_t kTextBytes = 12;
constexpr std::size_t kMaxStringBytes = 160;

std::string encode(const std::string& utf8, CdTextBuilder::Charset charset) {
    std::string out;
    if (charset == CdTextBuilder::Charset::Cp1251) {
        out = Cp1251::fromUtf8(utf8);
    } else {
        const char32_t limit = charset == CdTextBuilder::Charset::Ascii ? 0x7F : 0xFF;
        std::size_t pos = 0;
        while (pos < utf8.size()) {
            const char32_t cp = Cp1251::nextCodePoint(utf8, pos);
            out += cp <= limit ? char(cp) : '?';
        }
    }
    // A zero byte would end the string early on the disc.
    std::replace(out.begin(), out.end(), '\0', '?');
    if (out.size() > kMaxStringBytes) out.resize(kMaxStringBytes);
    return out;
}

struct PackWriter {
    std::vector<std::uint8_t> packs;
    std::array<int, 16> countOfType{};

    void add(std::uint8_t type, std::uint8_t track, std::uint8_t position, const std::uint8_t* text) {
        const std::size_t at = packs.size();
        packs.resize(at + CdTextBuilder::kPackBytes, 0);
        std::uint8_t* p = packs.data() + at;
        p[0] = type;
        p[1] = track;
        p[2] = std::uint8_t(at / CdTextBuilder::kPackBytes);  // sequence number
        p[3] = std::uint8_t(std::min<int>(position, 15));      // block 0, character position
        std::copy(text, text + kTextBytes, p + 4);
        const std::uint16_t crc = CdTextBuilder::packCrc(p);
        p[16] = std::uint8_t(crc >> 8);
        p[17] = std::uint8_t(crc);
        ++countOfType[type & 0x0F];
    }

    std::size_t count() const { return packs.size() / CdTextBuilder::kPackBytes; }
};

// Emits the packs of one type: the disc string, then one per track, each
// ending with a zero byte, 12 bytes to a pack.
void addStrings(PackWriter& w, std::uint8_t type, const std::vector<std::string>& strings, int firstTrack) {
    struct Byte {
        std::uint8_t value;
        std::uint8_t track;
        int position;
    };
    std::vector<Byte> stream;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const std::uint8_t track = std::uint8_t(i == 0 ? 0 : firstTrack + int(i) - 1);
        int pos = 0;
        for (char c : strings[i]) stream.push_back({std::uint8_t(c), track, pos++});
        stream.push_back({0, track, pos});
    }
    for (std::size_t at = 0; at < stream.size(); at += kTextBytes) {
        std::uint8_t text[kTextBytes] = {};
        const std::size_t n = std::min(kTextBytes, stream.size() - at);
        for (std::size_t k = 0; k < n; ++k) text[k] = stream[at + k].value;
        w.add(type, stream[at].track, std::uint8_t(std::min(stream[at].position, 15)), text);
    }
}

}  // namespace

std::uint16_t CdTextBuilder::packCrc(const std::uint8_t* pack) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        crc ^= std::uint16_t(pack[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
    }
    return std::uint16_t(~crc);
}

std::vector<std::uint8_t> CdTextBuilder::build(const Texts& disc, const std::vector<Texts>& tracks, int firstTrack,
                                               Charset charset) {
    std::vector<std::string> titles{encode(disc.title, charset)};
    std::vector<std::string> performers{encode(disc.performer, charset)};
    for (const Texts& t : tracks) {
        titles.push_back(encode(t.title, charset));
        performers.push_back(encode(t.performer, charset));
    }
    auto anyText = [](const std::vector<std::string>& v) {
        return std::any_of(v.begin(), v.end(), [](const std::string& s) { return !s.empty(); });
    };
    const bool haveTitles = anyText(titles);
    const bool havePerformers = anyText(performers);
    if (!haveTitles && !havePerformers) return {};

    PackWriter w;
    if (haveTitles) addStrings(w, 0x80, titles, firstTrack);
    if (havePerformers) addStrings(w, 0x81, performers, firstTrack);
    if (w.count() + 3 > kMaxPacks) return {};

    // Size information: 36 bytes over three packs.
    std::uint8_t info[36] = {};
    info[0] = charset == Charset::Ascii ? 0x01 : 0x00;
    info[1] = std::uint8_t(firstTrack);
    info[2] = std::uint8_t(firstTrack + int(tracks.size()) - 1);
    w.countOfType[0x0F] = 3;
    for (int t = 0; t < 16; ++t) info[4 + t] = std::uint8_t(w.countOfType[t]);
    info[20] = std::uint8_t(w.count() + 3 - 1);  // last sequence number of block 0
    info[28] = 0x09;                             // block 0 language: English
    for (std::uint8_t k = 0; k < 3; ++k) w.add(0x8F, k, 0, info + 12 * k);
    return w.packs;
}

}  // namespace melvarin
