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
      blockSectors_(SectorsPerRead(static_cast<std::uint8_t>(std::clamp(sectorsPerRead, 0, 255)))) {
    if (method_ >= 2) compare_.resize(std::size_t(blockSectors_) * kCdSectorBytes);
}

bool BlockReader::ReadInto(std::uint8_t* buffer, std::int32_t pos, int count) {
    ++reads_;
    if (pos < 0) return false;
    return drive_.ReadSectors(static_cast<std::uint32_t>(pos), static_cast<std::uint16_t>(count),
                              std::span<std::uint8_t>(buffer, std::size_t(count) * kCdSectorBytes), swap_) == 1;
}

void BlockReader::Salvage(std::int32_t pos, int count, std::uint8_t* out, int tries) {
    for (int i = 0; i < count; ++i) {
        std::uint8_t* sector = out + std::size_t(i) * kCdSectorBytes;
        bool ok = false;
        for (int t = 0; t < tries && !ok; ++t) ok = ReadInto(sector, pos + i, 1);
        if (ok) continue;
        std::memset(sector, 0, kCdSectorBytes);
        const std::int32_t lba = pos + i;
        if (!unreadable_.empty() && unreadable_.back().first + unreadable_.back().count == lba)
            ++unreadable_.back().count;
        else
            unreadable_.push_back({lba, 1});
    }
}

void BlockReader::Read(const GrabRange& range, std::int32_t pos, int count, std::uint8_t* out) {
    count = std::clamp(count, 0, blockSectors_);
    if (count == 0) return;
    const std::size_t bytes = std::size_t(count) * kCdSectorBytes;
    const bool middle = InMiddleOfRange(range, pos);

    if (method_ <= 1) {
        if (!ReadInto(out, pos, count)) Salvage(pos, count, out, 1);
        if (method_ == 1 && middle) CorrectBlock(out, count, rereader_, pos);
        return;
    }
    const int attempts = method_ == 2 ? 5 : 10;
    bool ok = false;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Reading the following block first pushes this one out of the drive's cache.
        if (readCacheDisabled_) ReadInto(compare_.data(), pos + count, count);
        const bool first = ReadInto(compare_.data(), pos, count);
        ok = ReadInto(out, pos, count);
        if (first && ok && std::memcmp(out, compare_.data(), bytes) == 0) break;
    }
    if (!ok) Salvage(pos, count, out, attempts);
    if (middle) {
        RereadSilentSectors(out, count, pos, rereader_);
        CorrectBlock(out, count, rereader_, pos);
    }
}

std::vector<SectorRun> BlockReader::UnreadableIn(const GrabRange& range) const {
    std::vector<SectorRun> runs;
    for (const SectorRun& r : unreadable_) {
        const std::int32_t first = std::max(r.first, range.First);
        const std::int32_t end = std::min(r.first + r.count, range.End);
        if (first < end) runs.push_back({first, end - first});
    }
    std::sort(runs.begin(), runs.end(), [](const SectorRun& a, const SectorRun& b) { return a.first < b.first; });
    return runs;
}

}  // namespace melvarin
