#pragma once
#include <cstddef>
#include <cstdint>

#include "disc/DiscRecord.h"

namespace melvarin {

// Takes the album title, the disc artist and the track titles from a READ TOC
// format 5 (CD-TEXT) reply of `length` bytes: 4 header bytes, then 18-byte packs
// (type, track, sequence, block/character position, 12 text bytes, CRC). Only
// block 0 is read; its texts are cp1251 (as Russian discs carry them, whatever
// they declare) or ISO-8859-1, told apart by their bytes; ISO-8859-1 letters
// the cp1251 record cannot hold lose their accents. Title packs (0x80) name the album
// (track 0) and the tracks, performer packs (0x81) of track 0 the disc artist.
// Every zero byte ends one text, which belongs to the pack's track number plus
// the texts already ended in that pack; a text may continue over packs. Texts
// are cut to their record fields, tracks beyond `trackCount` are ignored.
// False when the reply holds no pack.
bool ParseCDText(const std::uint8_t* reply, std::size_t length, DiscRecord& disc, int trackCount);

}  // namespace melvarin
