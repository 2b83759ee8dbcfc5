#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cddb/TDiscTags.h"
#include "disc/DiscRecord.h"

namespace melvarin {

// The saved information of discs seen before: in the albums folder
// (ProgramHome::albumsDir()), the disc record as "<id>.dat" and its tags as
// "<id>.dat.tag", <id> the disc identifier as a signed decimal number.
class DiscStore {
public:
    explicit DiscStore(std::string albumsDir);

    const std::string& AlbumsDir() const { return albumsDir_; }
    std::string DatFileName(std::uint32_t discId) const;
    std::string TagFileName(std::uint32_t discId) const;

    // Reads the saved record of `discId` over `disc`. False (record untouched)
    // when there is none or it is not a whole record.
    bool ReadSaved(std::uint32_t discId, DiscRecord& disc) const;

    // Saves the record and the tags of the disc, replacing both files atomically
    // and creating the folder. Skipped (false) when artist and album are both
    // empty; `storeInLocalCddb`, when given, is called with the record once
    // both files are written, and not at all when one could not be. False
    // when a file cannot be written.
    bool SaveDiscInfo(const DiscRecord& disc, const TDiscTags& tags,
                      const std::function<void(const DiscRecord&)>& storeInLocalCddb = {}) const;

    // The artists of every saved record, without empty texts and without
    // duplicates that differ only in letter case (the first spelling stays).
    std::vector<std::string> SavedArtists() const;

private:
    std::string albumsDir_;
};

// Appends `artist` to `list` unless it is empty or the list holds it already in
// any letter case. True when appended.
bool AddArtistOnce(std::vector<std::string>& list, const std::string& artist);

}  // namespace melvarin
