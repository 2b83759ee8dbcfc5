#include "disc/DiscStore.h"

#include <algorithm>
#include <filesystem>

#include "cddb/TextCase.h"
#include "disc/DiscToc.h"
#include "platform/Cp1251.h"
#include "platform/FileUtil.h"

namespace melvarin {

DiscStore::DiscStore(std::string albumsDir) : albumsDir_(FileUtil::withSlash(albumsDir)) {}

std::string DiscStore::DatFileName(std::uint32_t discId) const {
    return albumsDir_ + DiscFileStem(discId) + ".dat";
}

std::string DiscStore::TagFileName(std::uint32_t discId) const {
    return TDiscTags::TagFileName(albumsDir_, discId);
}

bool DiscStore::ReadSaved(std::uint32_t discId, DiscRecord& disc) const {
    const auto bytes = FileUtil::readAll(DatFileName(discId), sizeof(DiscRecord));
    return bytes && disc.fromBytes(*bytes);
}

bool DiscStore::SaveDiscInfo(const DiscRecord& disc, const TDiscTags& tags,
                             const std::function<void(const DiscRecord&)>& storeInLocalCddb) const {
    if (disc.artist().empty() && disc.album().empty()) return false;
    if (!FileUtil::makeDirs(albumsDir_)) return false;
    const bool record = FileUtil::writeAtomically(DatFileName(disc.DiscId), disc.toBytes());
    const bool tagFile = tags.SaveToFile(TagFileName(disc.DiscId));
    // The local CDDB never holds texts that the disc's own record lacks.
    if (record && tagFile && storeInLocalCddb) storeInLocalCddb(disc);
    return record && tagFile;
}

std::vector<std::string> DiscStore::SavedArtists() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(albumsDir_, ec)) {
        if (entry.path().extension() == ".dat") names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> artists;
    for (const std::string& name : names) {
        const auto bytes = FileUtil::readAll(name, sizeof(DiscRecord));
        if (!bytes || bytes->size() < offsetof(DiscRecord, Artist) + sizeof(DiscRecord::Artist)) continue;
        AddArtistOnce(artists, Cp1251::readField(bytes->data() + offsetof(DiscRecord, Artist),
                                                 sizeof(DiscRecord::Artist)));
    }
    return artists;
}

bool AddArtistOnce(std::vector<std::string>& list, const std::string& artist) {
    if (artist.empty()) return false;
    const std::string key = LowerCaseText(artist);
    for (const std::string& a : list)
        if (LowerCaseText(a) == key) return false;
    list.push_back(artist);
    return true;
}

}  // namespace melvarin
