#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace melvarin {

constexpr int kFramesPerSecond = 75;
constexpr int kFramesPerMinute = 4500;
constexpr int kCdSectorBytes = 2352;
constexpr int kLeadInFrames = 150;
constexpr int kMaxTracks = 100;  // track entries, the lead-out included

#pragma pack(push, 1)
// Minute, second, frame.
struct MsfAddress {
    std::uint8_t M;
    std::uint8_t S;
    std::uint8_t F;

    int frames() const { return M * kFramesPerMinute + S * kFramesPerSecond + F; }
    static MsfAddress fromFrames(int frames);
};

// One track of the disc (144 bytes). Start addresses are absolute (they include
// the 150-frame lead-in); `Length` is a duration.
struct TrackEntry {
    char Title[100];
    MsfAddress Start;
    MsfAddress Length;
    MsfAddress TrimStart;
    std::uint8_t Reserved1[3];
    std::int32_t StartSector;   // LBA = Start in frames - 150
    std::uint32_t Size;         // Length in frames * 2352
    std::uint8_t Reserved2;
    std::uint8_t Trimmed;       // TrimStart and TrimEnd apply
    std::uint8_t Grabbed;       // the track was grabbed already
    std::uint8_t Audio;         // 1 audio, 0 data
    MsfAddress TrimEnd;
    std::uint8_t Reserved3[17];
};

// The disc in the drive: 14560 bytes, stored raw as the disc's ".dat" file.
// Texts are cp1251, zero-terminated inside their field. Entry `TrackCount`
// describes the lead-out; every track ends where the next entry starts.
struct DiscRecord {
    char Album[50];
    char Artist[50];
    std::uint8_t Compilation;   // each track has its own artist (take texts from its tag)
    std::uint8_t Reserved1[3];
    std::uint8_t TrackCount;
    std::uint8_t Reserved2[3];
    std::uint32_t DiscId;
    std::uint8_t Reserved3[4];
    TrackEntry Tracks[kMaxTracks];
    char Year[10];
    char Genre[20];
    char HexId[10];             // 8 hexadecimal digits of DiscId
    std::uint16_t LeadIn;       // always 150
    std::uint8_t Reserved4[2];

    // UTF-8 views of the text fields; setters cut on a character boundary.
    std::string album() const;
    std::string artist() const;
    std::string year() const;
    std::string genre() const;
    std::string hexId() const;
    std::string title(int track) const;
    void setAlbum(std::string_view utf8);
    void setArtist(std::string_view utf8);
    void setYear(std::string_view utf8);
    void setGenre(std::string_view utf8);
    void setHexId(std::string_view text);
    void setTitle(int track, std::string_view utf8);

    // TrackCount, at most 99 even when a stored record says more, so that
    // Tracks[trackCount()] (the lead-out) is always inside the record.
    int trackCount() const { return TrackCount < kMaxTracks ? TrackCount : kMaxTracks - 1; }

    // Zeroes every byte.
    void clear();
    // The record's bytes as stored, and the reverse (false, record untouched,
    // when `bytes` is not exactly sizeof(DiscRecord) long).
    std::string toBytes() const;
    bool fromBytes(std::string_view bytes);
};
#pragma pack(pop)

static_assert(sizeof(MsfAddress) == 3);
static_assert(sizeof(TrackEntry) == 144);
static_assert(offsetof(TrackEntry, Title) == 0);
static_assert(offsetof(TrackEntry, Start) == 100);
static_assert(offsetof(TrackEntry, Length) == 103);
static_assert(offsetof(TrackEntry, TrimStart) == 106);
static_assert(offsetof(TrackEntry, StartSector) == 112);
static_assert(offsetof(TrackEntry, Size) == 116);
static_assert(offsetof(TrackEntry, Trimmed) == 121);
static_assert(offsetof(TrackEntry, Grabbed) == 122);
static_assert(offsetof(TrackEntry, Audio) == 123);
static_assert(offsetof(TrackEntry, TrimEnd) == 124);
static_assert(sizeof(DiscRecord) == 14560);
static_assert(offsetof(DiscRecord, Album) == 0);
static_assert(offsetof(DiscRecord, Artist) == 50);
static_assert(offsetof(DiscRecord, Compilation) == 100);
static_assert(offsetof(DiscRecord, TrackCount) == 104);
static_assert(offsetof(DiscRecord, DiscId) == 108);
static_assert(offsetof(DiscRecord, Tracks) == 116);
static_assert(offsetof(DiscRecord, Year) == 14516);
static_assert(offsetof(DiscRecord, Genre) == 14526);
static_assert(offsetof(DiscRecord, HexId) == 14546);
static_assert(offsetof(DiscRecord, LeadIn) == 14556);

}  // namespace melvarin
