#pragma once
#include "drive/VirtualCueSheet.h"
#include "drive/VirtualImageFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace melvarin {

// The disc in an emulated drive's tray: the tracks of a CUE sheet laid out on the
// disc's address space, the sectors behind each address and the CD-TEXT packs.
// Addresses are LBAs: track 1 INDEX 01 is LBA 0 (absolute MSF 00:02:00).
class VirtualDisc {
public:
    struct Track {
        int number = 0;
        VirtualCueSheet::TrackMode mode = VirtualCueSheet::TrackMode::Audio;
        std::uint8_t control = 0;  // Q control nibble
        int session = 1;
        std::int64_t pregapStart = 0;  // first sector of INDEX 00 (= start without a pre-gap)
        std::int64_t start = 0;        // INDEX 01: the address in the TOC
        std::int64_t end = 0;          // one past the track's last sector
        bool isData() const { return (control & 0x4) != 0; }
    };

    enum class ReadStatus { Ok, OutOfRange, ReadError };

    // The disc described by `sheetPath` (files relative to its folder). On failure
    // returns null and stores the reason in `error`. Sheets are limited to 1 MB.
    static std::unique_ptr<VirtualDisc> load(const std::string& sheetPath, std::string* error);
    // The same from sheet text already read; `folder` ends with "/".
    static std::unique_ptr<VirtualDisc> fromSheet(const VirtualCueSheet& sheet, const std::string& folder,
                                                  std::string* error);

    const std::vector<Track>& tracks() const { return tracks_; }
    // One past the last sector of the last track: the lead-out address.
    std::int64_t leadOut() const { return leadOut_; }
    // Lead-out of session 1 when the disc has two sessions, else leadOut().
    std::int64_t firstSessionLeadOut() const { return firstSessionLeadOut_; }
    int sessionCount() const { return tracks_.back().session; }
    // Recorded on a CD-RW (the sheet says "REM MEDIUM CD-RW"): it can be blanked.
    bool rewritable() const { return rewritable_; }
    // Packs of READ TOC format 5 after its header; empty without CD-TEXT.
    const std::vector<std::uint8_t>& cdText() const { return cdText_; }
    // The track holding `lba` (pre-gap included), or null.
    const Track* trackAt(std::int64_t lba) const;
    // The files named by the sheet, as full paths (to notice replaced files).
    const std::vector<std::string>& filePaths() const { return filePaths_; }

    // Reads the 2352 bytes of one sector: file data, or silence in a pre-gap the
    // drive supplies. OutOfRange for addresses before 0, past the lead-out or
    // between the sessions.
    ReadStatus readSector(std::int64_t lba, std::uint8_t* out) const { return readSectors(lba, 1, out, nullptr); }

    // Reads up to `count` sectors from `lba` into `out` (2352 bytes each) as
    // readSector does, but stops where the stretch holding `lba` ends (the end of
    // its file's run of sectors or of a supplied pre-gap). On Ok, `delivered` (may
    // be null) gets the number of sectors read, at least 1; otherwise nothing in
    // `out` is usable.
    ReadStatus readSectors(std::int64_t lba, std::int64_t count, std::uint8_t* out, std::int64_t* delivered) const;

    // Frames between the end of session 1 and INDEX 01 of session 2's first
    // track: lead-out 6750 + lead-in 4500 + pre-gap 150.
    static constexpr std::int64_t kSessionGap = 11400;
    // The last address a disc may reach: 99:59:74 absolute.
    static constexpr std::int64_t kMaxLeadOut = 100 * 4500 - 1 - 150;

private:
    struct Extent {
        std::int64_t lba = 0;
        std::int64_t length = 0;
        int file = -1;  // -1: silence
        std::int64_t fileSector = 0;
    };

    std::vector<Track> tracks_;
    std::vector<Extent> extents_;
    std::vector<VirtualImageFile> files_;
    std::vector<std::string> filePaths_;
    std::vector<std::uint8_t> cdText_;
    std::int64_t leadOut_ = 0;
    std::int64_t firstSessionLeadOut_ = 0;
    bool rewritable_ = false;
};

}  // namespace melvarin
