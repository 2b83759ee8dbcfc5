#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "tags/TIDTag.h"

namespace melvarin {

// The ID3v2.3 tag for the start of a new file, audio to follow directly after the
// returned bytes. Twelve frames in this order, each even when its text is empty:
// TIT2 COMM TPE1 TALB TRCK TCOP TOPE TCOM TCON TYER TENC WXXX, then the tag's
// extra frames, then 8192 zero bytes of padding. A text that is all Latin-1 is
// stored with encoding 0, any other text with encoding 1 (UTF-16 with BOM); the
// URL of WXXX is Latin-1 ("?" for other characters). The header's size field is
// the returned size - 10. TENC carries the "discard when altered" flag.
std::string WriteID3v2(const TIDTag& tag);

// Total size (header included) of the ID3v2 tag whose first 10 bytes are given;
// 0 when `header` does not start an ID3v2 tag or fewer than 10 bytes are given.
std::size_t ID3v2TagSize(const std::uint8_t* header, std::size_t size);

// Reads an ID3v2.3 or ID3v2.4 tag from the `size` bytes at `data` (the start of
// a file). False when they hold no such tag. Otherwise fills the fields of the
// frames present (text encodings 0-3 are decoded to UTF-8), keeps other frames
// of an ID3v2.3 tag in ExtraFrames, sets HasID3v2 and returns true. A frame or
// tag that runs past the data ends the parse; nothing outside the data is read.
bool ReadID3v2(TIDTag& tag, const std::uint8_t* data, std::size_t size);

// ReadID3v2 on the tag at the start of the file at `path`.
bool ReadID3v2FromFile(TIDTag& tag, const std::string& path);

}  // namespace melvarin
