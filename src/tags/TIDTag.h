#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace melvarin {

// One ID3v2 frame this program does not interpret, kept byte for byte so that a
// tag read from a file can be written again without losing it (pictures, lyrics).
struct ID3Frame {
    std::string id;       // four characters
    std::uint8_t flags[2] = {0, 0};
    std::string body;     // as stored in an ID3v2.3 tag
};

// The descriptive texts of one track. Texts are UTF-8. Owned by whoever made it
// (the disc tags own one per track, a decoder the one it read); encoders only
// read it.
class TIDTag {
public:
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Comment;
    std::string Track;       // decimal text, "01" .. "99"
    std::string URL;
    std::string EncodedBy;
    std::string Rights;
    std::string OrigArtist;
    std::string Composer;
    std::string Genre;       // genre name (see GenreTable.h)
    std::string Year;
    std::uint8_t HasID3v1 = 0;  // 1 when an ID3v1 tag was read into this tag
    std::uint8_t HasID3v2 = 0;  // 1 when an ID3v2 tag was read into this tag

    // Frames of a read ID3v2.3 tag that none of the fields above holds; written
    // back after the fixed frames.
    std::vector<ID3Frame> ExtraFrames;

    // Empties every text and clears both flags and the extra frames.
    void Clear();
};

// Copies all twelve texts, both flags and the extra frames.
void CopyTag(TIDTag& destination, const TIDTag& source);

}  // namespace melvarin
