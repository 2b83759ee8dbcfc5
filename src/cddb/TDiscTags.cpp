#include "cddb/TDiscTags.h"

#include <cstring>

#include "cddb/TextCase.h"
#include "platform/FileUtil.h"
#include "tags/TagRecord.h"

namespace melvarin {

void TDiscTags::Resize(unsigned count) {
    Tags.clear();
    Tags.reserve(count);
    for (unsigned i = 0; i < count; ++i) Tags.push_back(std::make_unique<TIDTag>());
}

TIDTag* TDiscTags::GetTag(unsigned index) {
    return index < Tags.size() ? Tags[index].get() : nullptr;
}

const TIDTag* TDiscTags::GetTag(unsigned index) const {
    return index < Tags.size() ? Tags[index].get() : nullptr;
}

bool TDiscTags::LoadFromFile(const std::string& path, unsigned count) {
    Resize(count);
    const auto bytes = FileUtil::readAll(path, std::size_t(kMaxTracks > count ? kMaxTracks : count) * sizeof(TagRecord));
    if (!bytes) return false;
    std::string_view rest(*bytes);
    for (unsigned i = 0; i < count && rest.size() >= sizeof(TagRecord); ++i) {
        TagRecordFromBytes(rest, *Tags[i]);
        rest.remove_prefix(sizeof(TagRecord));
    }
    for (unsigned i = 0; i < Tags.size(); ++i)
        if (Tags[i]->Track.empty()) Tags[i]->Track = FreedbTrackNumber(i);
    return true;
}

bool TDiscTags::SaveToFile(const std::string& path) const {
    std::string bytes;
    bytes.reserve(Tags.size() * sizeof(TagRecord));
    for (const auto& tag : Tags) {
        TagRecord r;
        ToTagRecord(*tag, r);
        bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return FileUtil::writeAtomically(path, bytes);
}

std::string TDiscTags::TagFileName(const std::string& albumsDir, std::uint32_t discId) {
    return albumsDir + std::to_string(static_cast<std::int32_t>(discId)) + ".dat.tag";
}

void TDiscTags::FillAfterRefresh(const DiscRecord& disc, const std::string& albumsDir) {
    if (!LoadFromFile(TagFileName(albumsDir, disc.DiscId), static_cast<unsigned>(disc.trackCount())))
        FillFromDisc(disc);
}

void TDiscTags::FillFromDisc(const DiscRecord& disc) {
    Resize(static_cast<unsigned>(disc.trackCount()));
    const std::string artist = disc.artist(), album = disc.album();
    for (unsigned i = 0; i < Tags.size(); ++i) {
        Tags[i]->Title = disc.title(static_cast<int>(i));
        Tags[i]->Artist = artist;
        Tags[i]->Album = album;
        Tags[i]->Track = FreedbTrackNumber(i);
    }
}

std::string TDiscTags::FreedbTrackNumber(unsigned index) {
    const unsigned n = index + 1;
    return (n < 10 ? "0" : "") + std::to_string(n);
}

void TDiscTags::SetFreedbTrack(unsigned index, std::string_view title, const DiscRecord& disc) {
    while (Tags.size() <= index) Tags.push_back(std::make_unique<TIDTag>());
    TIDTag& t = *Tags[index];
    t.Title = std::string(title);
    t.Artist = disc.artist();
    t.Album = disc.album();
    t.Year = disc.year();
    t.Genre = disc.genre();
    t.OrigArtist = t.Artist;
    t.Track = FreedbTrackNumber(index);
}

void TDiscTags::EditTitle(unsigned index, std::string_view title, DiscRecord& disc) {
    disc.setTitle(static_cast<int>(index), title);
    if (TIDTag* t = GetTag(index)) t->Title = std::string(title);
}

void TDiscTags::EditArtist(std::string_view artist, DiscRecord& disc) {
    disc.setArtist(artist);
    for (auto& t : Tags)
        if (t->Artist.empty()) t->Artist = std::string(artist);
}

void TDiscTags::EditAlbum(std::string_view album, DiscRecord& disc) {
    disc.setAlbum(album);
    for (auto& t : Tags)
        if (t->Album.empty()) t->Album = std::string(album);
}

void TDiscTags::ApplyCase(CaseCommand command, DiscRecord& disc) {
    for (int i = 0; i < disc.trackCount(); ++i)
        EditTitle(static_cast<unsigned>(i), ApplyCaseCommand(command, disc.title(i)), disc);
    EditArtist(ApplyCaseCommand(command, disc.artist()), disc);
    EditAlbum(ApplyCaseCommand(command, disc.album()), disc);
}

std::string ApplyCaseCommand(CaseCommand command, std::string_view utf8) {
    switch (command) {
    case CaseCommand::CapitaliseWords: return CapitaliseWords(utf8);
    case CaseCommand::AllLower: return LowerCaseText(utf8);
    case CaseCommand::AllUpper: return UpperCaseText(utf8);
    }
    return std::string(utf8);
}

}  // namespace melvarin
