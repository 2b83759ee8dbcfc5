#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "disc/GrabHooks.h"
#include "disc/GrabRange.h"
#include "disc/SectorRereader.h"

namespace melvarin {

class TCDROM;

// Reads the blocks of one range by an extraction method:
//   0 one read; 1 one read, then the noise correction;
//   2 and 3 up to 5 or 10 attempts of read-twice-and-compare, then the
//   silent-sector re-read and the noise correction.
// Repairs touch only blocks in the middle of the range (InMiddleOfRange).
// A block whose read fails is read again sector by sector, each sector once
// (methods 0 and 1) or up to the method's attempts (2 and 3); a sector that no
// read delivers is silence in the block and is remembered as unreadable.
// Owns its buffers; the drive and the re-reader (may be null: repairs then
// only judge) must outlive it; re-read sectors are put into the byte order of
// the blocks.
class BlockReader {
public:
    BlockReader(TCDROM& drive, SectorRereader* rereader, int method, bool readCacheDisabled, bool swap,
                int sectorsPerRead);

    // Sectors per block: the setting, 26 when it is 0.
    int BlockSectors() const { return blockSectors_; }
    // Reads `count` (<= BlockSectors()) sectors at `pos` of `range` into `out`,
    // which holds count x 2352 bytes; every byte of them is written.
    void Read(const GrabRange& range, std::int32_t pos, int count, std::uint8_t* out);
    // Read commands sent since construction.
    int Reads() const { return reads_; }
    // The unreadable sectors found so far inside `range`, in runs of
    // consecutive LBAs, ascending.
    std::vector<SectorRun> UnreadableIn(const GrabRange& range) const;

private:
    bool ReadInto(std::uint8_t* buffer, std::int32_t pos, int count);
    void Salvage(std::int32_t pos, int count, std::uint8_t* out, int tries);

    TCDROM& drive_;
    std::unique_ptr<SectorRereader> swapping_;
    SectorRereader* rereader_;
    int method_;
    bool readCacheDisabled_;
    bool swap_;
    int blockSectors_;
    int reads_ = 0;
    std::vector<std::uint8_t> compare_;
    std::vector<SectorRun> unreadable_;  // in the order found
};

}  // namespace melvarin
