#include "tags/ID3v1.h"

#include <cstring>
#include <fstream>

#include "platform/Cp1251.h"
#include "tags/GenreTable.h"

namespace melvarin {
namespace {

void put(std::string& block, std::size_t offset, std::size_t maxLen, const std::string& utf8) {
    const std::string cp = Cp1251::fromUtf8(utf8);
    std::memcpy(&block[offset], cp.data(), std::min(cp.size(), maxLen));
}

std::string field(const std::uint8_t* block, std::size_t offset, std::size_t size) {
    return Cp1251::readField(reinterpret_cast<const char*>(block + offset), size);
}

// Leading decimal digits of `text` ("03", "3/12"); -1 when it does not start
// with a digit or the number exceeds 255.
int trackNumber(const std::string& text) {
    int value = -1;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = (value < 0 ? 0 : value) * 10 + (c - '0');
        if (value > 255) return -1;
    }
    return value;
}

}  // namespace

std::uint8_t ID3v1GenreByte(const std::string& genre) {
    if (genre.empty() || GenreName(static_cast<std::size_t>(GenreIndex(genre))) != genre) return kID3v1NoGenre;
    return static_cast<std::uint8_t>(GenreIndex(genre));
}

std::string WriteID3v1(const TIDTag& tag) {
    std::string block(kID3v1Size, '\0');
    std::memcpy(&block[0], "TAG", 3);
    put(block, 3, 30, tag.Title);
    put(block, 33, 30, tag.Artist);
    put(block, 63, 30, tag.Album);
    put(block, 93, 4, tag.Year);
    put(block, 97, 28, tag.Comment);
    const int track = trackNumber(tag.Track);
    block[126] = static_cast<char>(track < 0 ? 0 : track);
    block[127] = static_cast<char>(ID3v1GenreByte(tag.Genre));
    return block;
}

bool ReadID3v1(TIDTag& tag, const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kID3v1Size) return false;
    const std::uint8_t* b = data + size - kID3v1Size;
    if (std::memcmp(b, "TAG", 3) != 0) return false;
    tag.Title = field(b, 3, 30);
    tag.Artist = field(b, 33, 30);
    tag.Album = field(b, 63, 30);
    tag.Year = field(b, 93, 4);
    if (b[125] == 0) {
        tag.Comment = field(b, 97, 28);
        tag.Track = b[126] == 0 ? std::string() : std::to_string(b[126]);
    } else {
        tag.Comment = field(b, 97, 30);
        tag.Track.clear();
    }
    if (b[127] <= 122) tag.Genre = std::string(GenreName(b[127]));
    tag.URL.clear();
    tag.EncodedBy.clear();
    tag.Rights.clear();
    tag.OrigArtist.clear();
    tag.Composer.clear();
    tag.HasID3v1 = 1;
    return true;
}

bool ReadID3v1FromFile(TIDTag& tag, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < static_cast<std::streamoff>(kID3v1Size)) return false;
    in.seekg(end - static_cast<std::streamoff>(kID3v1Size));
    std::uint8_t block[kID3v1Size];
    if (!in.read(reinterpret_cast<char*>(block), sizeof block)) return false;
    return ReadID3v1(tag, block, sizeof block);
}

}  // namespace melvarin
