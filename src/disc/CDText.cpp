#include "disc/CDText.h"

#include <string>

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

constexpr std::size_t kPackSize = 18;
constexpr std::size_t kHeader = 4;
constexpr std::size_t kTextBytes = 12;
constexpr std::size_t kMaxText = 1024;

std::string latin1ToUtf8(const std::string& s) {
    std::string out;
    for (char c : s) Cp1251::appendUtf8(out, static_cast<std::uint8_t>(c));
    return out;
}

}  // namespace

bool ParseCDText(const std::uint8_t* reply, std::size_t length, DiscRecord& disc, int trackCount) {
    if (reply == nullptr || length <= kHeader) return false;
    const std::size_t packs = (length - kHeader) / kPackSize;
    if (packs == 0) return false;
    std::string text;
    for (std::size_t k = 0; k < packs; ++k) {
        const std::uint8_t* p = reply + kHeader + kPackSize * k;
        if (((p[3] >> 4) & 0x07) != 0) continue;
        const std::uint8_t type = p[0];
        int track = p[1] & 0x7F;
        for (std::size_t i = 0; i < kTextBytes; ++i) {
            const char c = static_cast<char>(p[4 + i]);
            if (c != '\0') {
                if (text.size() < kMaxText) text += c;
                continue;
            }
            const std::string utf8 = latin1ToUtf8(text);
            if (type == 0x80) {
                if (track == 0)
                    disc.setAlbum(utf8);
                else if (track <= trackCount)
                    disc.setTitle(track - 1, utf8);
            } else if (type == 0x81 && track == 0) {
                disc.setArtist(utf8);
            }
            text.clear();
            ++track;
        }
    }
    return true;
}

}  // namespace melvarin
