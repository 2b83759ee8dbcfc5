#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "disc/GrabRange.h"
#include "disc/SectorRereader.h"

namespace melvarin {

class TCDROM;

// Reads the blocks of one range by an extraction method:
//   0 one read; 1 one read, then the noise correction;
//   2 and 3 up to 5 or 10 attempts of read-twice-and-compare, then the
//   silent-sector re-read and the noise correction.
// Repairs touch only blocks in the middle of the range (InMiddleOfRange).
// Read errors are not reported: the block holds what the drive delivered
// (zeros where nothing arrived). Owns its buffers; the drive and the re-reader
// (may be null: repairs then only judge) must outlive it; re-read sectors are
// put into the byte order of the blocks.
class BlockReader {
public:
    BlockReader(TCDROM& drive, SectorRereader* rereader, int method, bool readCacheDisabled, bool swap,
                int sectorsPerRead);

    // Sectors per block: the setting, 26 when it is 0.
    int BlockSectors() const { return blockSectors_; }
    // Reads `count` (<= BlockSectors()) sectors at `pos` of `range` into Data().
    void Read(const GrabRange& range, std::int32_t pos, int count);
    const std::uint8_t* Data() const { return read_.data(); }
    // Read commands sent since construction.
    int Reads() const { return reads_; }

private:
    bool ReadInto(std::vector<std::uint8_t>& buffer, std::int32_t pos, int count);

    TCDROM& drive_;
    std::unique_ptr<SectorRereader> swapping_;
    SectorRereader* rereader_;
    int method_;
    bool readCacheDisabled_;
    bool swap_;
    int blockSectors_;
    int reads_ = 0;
    std::vector<std::uint8_t> read_;
    std::vector<std::uint8_t> compare_;
};

}  // namespace melvarin
