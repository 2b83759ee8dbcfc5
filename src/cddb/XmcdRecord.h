#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

// The texts and layout of one disc as an xmcd entry holds them. Texts are UTF-8.
struct XmcdRecord {
    std::uint32_t discId = 0;
    std::vector<std::uint32_t> frameOffsets;  // track starts, LBA + 150
    std::uint32_t discLengthSeconds = 0;
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::vector<std::string> titles;
};

// What the key-line walk saw besides the texts it stored.
struct XmcdParseInfo {
    bool headerSeen = false;
    bool artistSeen = false;
    bool yearSeen = false;
    bool genreSeen = false;
    bool discIdSeen = false;
    std::string discIdValue;  // the DISCID value with its spaces removed
    std::size_t titlesRead = 0;
};

// Renders and parses xmcd entries as the local CDDB stores them and freedb sends them.
class Xmcd {
public:
    // The entry for `disc`, lines ending in CR LF, texts UTF-8 (the caller picks the
    // byte encoding of the file).
    static std::string render(const XmcdRecord& disc);

    // Walks the key lines of `text` (its first line is skipped: a status or
    // "#FILENAME=" line) and stores what it finds into `disc`: DTITLE gives artist
    // and album (an empty part leaves the field as it was), DYEAR, DGENRE, and the
    // run of TTITLEn lines starting at "TTITLE0=" the titles of tracks n below
    // `maxTracks` (`disc.titles` grows as needed; a key repeated on consecutive
    // lines continues its title). Parsing stops after the title run once the
    // header, genre, year and artist have all been seen.
    static XmcdParseInfo parse(std::string_view text, XmcdRecord& disc, std::size_t maxTracks);

    // Splits a file holding several entries, each beginning with "#FILENAME="
    // (at a line's start, or where a cut entry ran into it), into those entries.
    // Text before the first one belongs to the first entry. A file without any
    // "#FILENAME=" is one entry.
    static std::vector<std::string_view> splitEntries(std::string_view text);

    // The identifier an entry names in its "#FILENAME=" line, else in its "DISCID="
    // line (the first identifier of that line); false when it names none.
    static bool entryId(std::string_view entry, std::uint32_t& id);

    // Decodes file or network bytes: UTF-8 when valid, else code page 1251.
    static std::string decodeText(std::string_view bytes);

    // Formats an identifier as 8 hexadecimal digits.
    static std::string hexId(std::uint32_t id, bool upper);
};

}  // namespace melvarin
