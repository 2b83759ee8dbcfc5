#include "disc/BlockReader.h"

#include <algorithm>
#include <cstring>

#include "disc/SampleUtils.h"
#include "disc/SectorRereader.h"
#include "drive/ReadCommands.h"
#include "drive/TCDROM.h"

namespace melvarin {

namespace {

// The repair passes' re-reads in the byte order of the grab: a drive that
// delivers big-endian samples has its re-read sectors swapped like its blocks.
class SwappingRereader : public SectorRereader {
public:
    explicit SwappingRereader(SectorRereader& inner) : inner_(inner) {}
    bool SetReadSpeed(int speed) override { return inner_.SetReadSpeed(speed); }
    bool Seek(std::int32_t lba) override { return inner_.Seek(lba); }
    bool ReadSectors(std::int32_t lba, int count, std::uint8_t* buffer) override {
        const bool ok = inner_.ReadSectors(lba, count, buffer);
        if (count > 0) SwapBytes(buffer, std::size_t(count) * kCdSectorBytes);
        return ok;
    }

private:
    SectorRereader& inner_;
};

}  // namespace

BlockReader::BlockReader(TCDROM& drive, SectorRereader* rereader, int method, bool readCacheDisabled,
                         bool swap, int sectorsPerRead)
    : drive_(drive),
      swapping_(swap && rereader ? std::make_unique<SwappingRereader>(*rereader) : nullptr),
      rereader_(swapping_ ? swapping_.get() : rereader),
      method_(std::clamp(method, 0, 3)),
      readCacheDisabled_(readCacheDisabled),
      swap_(swap),
      blockSectors_(SectorsPerRead(static_cast<std::uint8_t>(std::clamp(sectorsPerRead, 0, 255)))),
      read_(std::size_t(blockSectors_) * kCdSectorBytes) {
    if (method_ >= 2) compare_.resize(read_.size());
}

bool BlockReader::ReadInto(std::vector<std::uint8_t>& buffer, std::int32_t pos, int count) {
    ++reads_;
    if (pos < 0) return false;
    return drive_.ReadSectors(static_cast<std::uint32_t>(pos), static_cast<std::uint16_t>(count),
                              std::span<std::uint8_t>(buffer), swap_) == 1;
}

void BlockReader::Read(const GrabRange& range, std::int32_t pos, int count) {
    count = std::clamp(count, 0, blockSectors_);
    const std::size_t bytes = std::size_t(count) * kCdSectorBytes;
    std::memset(read_.data(), 0, read_.size());
    if (count == 0) return;
    const bool middle = InMiddleOfRange(range, pos);

    if (method_ <= 1) {
        ReadInto(read_, pos, count);
        if (method_ == 1 && middle) CorrectBlock(read_.data(), count, rereader_, pos);
        return;
    }
    const int attempts = method_ == 2 ? 5 : 10;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Reading the following block first pushes this one out of the drive's cache.
        if (readCacheDisabled_) ReadInto(compare_, pos + count, count);
        ReadInto(compare_, pos, count);
        ReadInto(read_, pos, count);
        if (std::memcmp(read_.data(), compare_.data(), bytes) == 0) break;
    }
    if (middle) {
        RereadSilentSectors(read_.data(), count, pos, rereader_);
        CorrectBlock(read_.data(), count, rereader_, pos);
    }
}

}  // namespace melvarin
