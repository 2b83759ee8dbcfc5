#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disc/DiscRecord.h"
#include "tags/TIDTag.h"

namespace melvarin {

// The three case commands of the track list.
enum class CaseCommand { CapitaliseWords, AllLower, AllUpper };

// The per-track tags of the disc in the drive: one TIDTag per track, owned here.
// The disc record holds the disc-level texts and the track titles; the
// operations below keep the two in step. Used from one thread at a time.
class TDiscTags {
public:
    // Replaces all tags by `count` empty ones.
    void Resize(unsigned count);
    // The tag of track `index`; nullptr when index >= GetCount().
    TIDTag* GetTag(unsigned index);
    const TIDTag* GetTag(unsigned index) const;
    unsigned GetCount() const { return static_cast<unsigned>(Tags.size()); }

    // Resize(count), then reads `count` stored records from the tag file at `path`.
    // False (tags left empty) when the file cannot be read. A short file fills the
    // tracks it holds and leaves the others empty.
    bool LoadFromFile(const std::string& path, unsigned count);
    // Writes one stored record per tag, in track order, replacing the file
    // atomically. False when it cannot be written (the old file is kept).
    bool SaveToFile(const std::string& path) const;

    // Folder + disc identifier as a signed 32-bit decimal number + ".dat.tag",
    // the tag file beside the disc's saved record (`albumsDir` ends with "/").
    static std::string TagFileName(const std::string& albumsDir, std::uint32_t discId);

    // After a disc refresh: the tag file of the disc when it can be read, else one
    // tag per track with the record's title, artist and album.
    void FillAfterRefresh(const DiscRecord& disc, const std::string& albumsDir);
    // The same without a file: titles, artist and album from the record, the
    // track number as FreedbTrackNumber gives it.
    void FillFromDisc(const DiscRecord& disc);

    // Track `index` (0-based) named by a freedb reply: title, the record's
    // artist (also as original artist), album, year and genre, and the track
    // number as FreedbTrackNumber gives it. Grows the tags when needed.
    void SetFreedbTrack(unsigned index, std::string_view title, const DiscRecord& disc);
    // 1-based track number with a leading "0" below 10: "01" .. "09", "10", ...
    static std::string FreedbTrackNumber(unsigned index);

    // A title edited in the track list: into the record and the tag.
    void EditTitle(unsigned index, std::string_view title, DiscRecord& disc);
    // The artist box edited: the record's artist, and every tag whose Artist is
    // empty. The album box likewise with Album.
    void EditArtist(std::string_view artist, DiscRecord& disc);
    void EditAlbum(std::string_view album, DiscRecord& disc);

    // A case command: every track title of the record (and the tag's Title takes
    // the same text), then the artist and the album as EditArtist and EditAlbum.
    void ApplyCase(CaseCommand command, DiscRecord& disc);

private:
    std::vector<std::unique_ptr<TIDTag>> Tags;
};

// The text with the case command applied.
std::string ApplyCaseCommand(CaseCommand command, std::string_view utf8);

}  // namespace melvarin
