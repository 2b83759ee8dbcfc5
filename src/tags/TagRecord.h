#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tags/TIDTag.h"

namespace melvarin {

#pragma pack(push, 1)
// The flat form of a TIDTag: 1489 bytes as stored in tag files and handed to the
// encoders that take fixed slots. Texts are cp1251, zero-terminated inside their
// slot, unused bytes zero; a slot holds at most its size - 1 characters.
struct TagRecord {
    std::uint8_t Zero;
    char Title[50];
    char Artist[50];
    char Album[50];
    char Comment[1024];
    char Track[4];
    char URL[50];
    char EncodedBy[50];
    char Rights[50];
    char OrigArtist[50];
    char Composer[50];
    char Genre[50];
    char Year[10];
};
#pragma pack(pop)

static_assert(sizeof(TagRecord) == 1489);
static_assert(offsetof(TagRecord, Title) == 1);
static_assert(offsetof(TagRecord, Artist) == 51);
static_assert(offsetof(TagRecord, Album) == 101);
static_assert(offsetof(TagRecord, Comment) == 151);
static_assert(offsetof(TagRecord, Track) == 1175);
static_assert(offsetof(TagRecord, URL) == 1179);
static_assert(offsetof(TagRecord, EncodedBy) == 1229);
static_assert(offsetof(TagRecord, Rights) == 1279);
static_assert(offsetof(TagRecord, OrigArtist) == 1329);
static_assert(offsetof(TagRecord, Composer) == 1379);
static_assert(offsetof(TagRecord, Genre) == 1429);
static_assert(offsetof(TagRecord, Year) == 1479);

// Fills every slot of `record` from `tag` (texts cut on a character boundary;
// characters with no cp1251 form become "?").
void ToTagRecord(const TIDTag& tag, TagRecord& record);

// Sets the twelve texts of `tag` from `record`, each read up to its zero byte and
// never past its slot. Flags and extra frames are left as they are.
void FromTagRecord(const TagRecord& record, TIDTag& tag);

// Reads a stored record from `bytes`; false (tag untouched) when fewer than
// sizeof(TagRecord) bytes are given.
bool TagRecordFromBytes(std::string_view bytes, TIDTag& tag);

}  // namespace melvarin
