#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "tags/TIDTag.h"

namespace melvarin {

constexpr std::size_t kID3v1Size = 128;

// The genre byte players read as "no genre" (0 would be "Blues").
constexpr std::uint8_t kID3v1NoGenre = 255;

// The genre byte of genre name `genre`: its table index (exact, case-sensitive
// name), else kID3v1NoGenre for an empty or unknown name.
std::uint8_t ID3v1GenreByte(const std::string& genre);

// The 128-byte ID3v1.1 block for `tag`, to be appended at the end of a file.
// Texts are cp1251: title, artist and album cut to 30 characters, year to 4,
// comment to 28 (byte 125 stays 0); byte 126 the track number (0 when `Track` is
// not a number from 0 to 255); byte 127 ID3v1GenreByte(Genre).
std::string WriteID3v1(const TIDTag& tag);

// Reads an ID3v1 block from the last 128 of the `size` bytes at `data` (normally
// the end of a file). False when there are fewer than 128 bytes or no "TAG".
// Otherwise sets Title, Artist, Album, Comment, Year and Track (empty for 0),
// empties URL, EncodedBy, Rights, OrigArtist and Composer, sets Genre only when
// the genre byte is at most 122, sets HasID3v1 and returns true. A block whose
// byte 125 is not zero is ID3v1.0: its comment runs to byte 126 and it has no
// track number.
bool ReadID3v1(TIDTag& tag, const std::uint8_t* data, std::size_t size);

// ReadID3v1 on the last 128 bytes of the file at `path`.
bool ReadID3v1FromFile(TIDTag& tag, const std::string& path);

}  // namespace melvarin
