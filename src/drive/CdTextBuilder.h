#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace melvarin {

// Builds the CD-TEXT packs of block 0 as a drive sends them in the READ TOC
// format 5 reply (after the 4-byte header): 18-byte packs of type 0x80 (titles)
// and 0x81 (performers), strings packed back to back so that one pack may end a
// string and start the next and a long string runs over several packs, then the
// three size-information packs (0x8F). Every pack carries its CRC.
class CdTextBuilder {
public:
    static constexpr std::size_t kPackBytes = 18;
    static constexpr std::size_t kMaxPacks = 256;  // sequence numbers are one byte

    // How UTF-8 input is stored: ISO-8859-1 (character code 0x00), ASCII (0x01),
    // or Windows-1251 bytes declared as code 0x00 as Russian discs carry them.
    // Characters with no form in the chosen set become '?'.
    enum class Charset { Latin1, Ascii, Cp1251 };

    struct Texts {
        std::string title;      // UTF-8; disc: the album title
        std::string performer;  // UTF-8; disc: the album artist
    };

    // `disc` is the album entry, `tracks` one entry per track, numbered from
    // `firstTrack`. Returns no packs when every text is empty, or when the texts
    // would need more than kMaxPacks packs. Strings are cut at 160 bytes.
    static std::vector<std::uint8_t> build(const Texts& disc, const std::vector<Texts>& tracks, int firstTrack,
                                           Charset charset);

    // CRC of a pack: CRC-16 with polynomial 0x1021 over bytes 0-15, initial value
    // 0, inverted; stored most significant byte first in bytes 16-17.
    static std::uint16_t packCrc(const std::uint8_t* pack);
};

}  // namespace melvarin
