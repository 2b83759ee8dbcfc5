#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/SettingsRecord.h"
#include "disc/DiscRecord.h"
#include "disc/DiscStore.h"
#include "drive/TCDROM.h"

namespace melvarin {

class TDiscTags;
class UserPrompt;

// The reading drive as the disc's owner sees it: reads the table of contents
// into the disc record and names the tracks from the saved record of the disc,
// the local CDDB, CD-TEXT or "Track N", in that order.
class TAudioCD : public TCDROM {
public:
    // Fills the texts of the record (album, artist, titles, year, genre) for the
    // disc identifier when the local CDDB holds the disc.
    using LocalLookup = std::function<bool(std::uint32_t discId, DiscRecord& disc)>;

    // `albumsDir`: the folder of the saved disc records. `prompt` shows message
    // 2 when the drive cannot be opened (and the drive layer's messages).
    TAudioCD(std::string albumsDir, std::unique_ptr<DeviceLayer> layer = nullptr, UserPrompt* prompt = nullptr);

    void SetLocalLookup(LocalLookup lookup) { lookup_ = std::move(lookup); }

    // Opens the settings' drive and reads its disc into `disc`. The same disc as
    // the one in the record keeps the record untouched (edited titles, grabbed
    // flags, trimming). A new disc: zeroed record, then the saved record, else
    // (unless UseOnlyLocalBase) the local CDDB, else (with CDTEXT) CD-TEXT,
    // else "Track N" titles; the boundaries always come from the TOC. False
    // (record untouched) when the drive cannot be opened (message 2) or holds no
    // readable disc.
    bool ReadDisc(DiscRecord& disc, const SettingsRecord& settings);

    // The freedb identifier of the last TOC read.
    std::uint32_t DiscId() const;

    // Album, artist and titles from the disc's CD-TEXT; false when the drive
    // gives none. Titles CD-TEXT leaves empty become "Track N".
    bool ReadCDText(DiscRecord& disc);
    using TCDROM::ReadCDText;

    const DiscStore& Store() const { return store_; }

    // The READ TOC reply of the last ReadDisc.
    std::array<std::uint8_t, kTocLength> RawToc{};

private:
    DiscStore store_;
    UserPrompt* prompt_;
    LocalLookup lookup_;
};

// The disc refresh's core: ReadDisc, zeroing the record when it fails, then the
// disc tags from the tag file or the record. True when a disc was read.
bool LoadDisc(TAudioCD& drive, const SettingsRecord& settings, DiscRecord& disc, TDiscTags& tags);

// Frames from the first track's start to the lead-out.
int DiscLengthFrames(const DiscRecord& disc);

}  // namespace melvarin
