#include "tags/TagRecord.h"

#include <cstring>

#include "platform/Cp1251.h"

namespace melvarin {

void ToTagRecord(const TIDTag& tag, TagRecord& r) {
    std::memset(&r, 0, sizeof r);
    Cp1251::writeField(r.Title, sizeof r.Title, tag.Title);
    Cp1251::writeField(r.Artist, sizeof r.Artist, tag.Artist);
    Cp1251::writeField(r.Album, sizeof r.Album, tag.Album);
    Cp1251::writeField(r.Comment, sizeof r.Comment, tag.Comment);
    Cp1251::writeField(r.Track, sizeof r.Track, tag.Track);
    Cp1251::writeField(r.URL, sizeof r.URL, tag.URL);
    Cp1251::writeField(r.EncodedBy, sizeof r.EncodedBy, tag.EncodedBy);
    Cp1251::writeField(r.Rights, sizeof r.Rights, tag.Rights);
    Cp1251::writeField(r.OrigArtist, sizeof r.OrigArtist, tag.OrigArtist);
    Cp1251::writeField(r.Composer, sizeof r.Composer, tag.Composer);
    Cp1251::writeField(r.Genre, sizeof r.Genre, tag.Genre);
    Cp1251::writeField(r.Year, sizeof r.Year, tag.Year);
}

void FromTagRecord(const TagRecord& r, TIDTag& tag) {
    tag.Title = Cp1251::readField(r.Title, sizeof r.Title);
    tag.Artist = Cp1251::readField(r.Artist, sizeof r.Artist);
    tag.Album = Cp1251::readField(r.Album, sizeof r.Album);
    tag.Comment = Cp1251::readField(r.Comment, sizeof r.Comment);
    tag.Track = Cp1251::readField(r.Track, sizeof r.Track);
    tag.URL = Cp1251::readField(r.URL, sizeof r.URL);
    tag.EncodedBy = Cp1251::readField(r.EncodedBy, sizeof r.EncodedBy);
    tag.Rights = Cp1251::readField(r.Rights, sizeof r.Rights);
    tag.OrigArtist = Cp1251::readField(r.OrigArtist, sizeof r.OrigArtist);
    tag.Composer = Cp1251::readField(r.Composer, sizeof r.Composer);
    tag.Genre = Cp1251::readField(r.Genre, sizeof r.Genre);
    tag.Year = Cp1251::readField(r.Year, sizeof r.Year);
}

bool TagRecordFromBytes(std::string_view bytes, TIDTag& tag) {
    if (bytes.size() < sizeof(TagRecord)) return false;
    TagRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    FromTagRecord(r, tag);
    return true;
}

}  // namespace melvarin
