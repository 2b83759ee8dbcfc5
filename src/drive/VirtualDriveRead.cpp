// The audio read commands of the emulated drive: the nine read CDBs, their
// transfer limits and the faults drive.ini asks for.
#include "drive/VirtualDrive.h"

#include <algorithm>
#include <cstring>

namespace melvarin {

namespace {

constexpr std::size_t kRaw = 2352;

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint32_t be(std::span<const std::uint8_t> cdb, std::size_t at, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v = v << 8 | cdb[at + i];
    return v;
}

}  // namespace

int VirtualDrive::readType(std::span<const std::uint8_t> cdb) {
    const std::size_t n = cdb.size();
    switch (cdb[0]) {
    case 0xBE:
        if (n < 12) return -1;
        if (cdb[9] == 0xF8) return 7;
        return ((cdb[1] >> 2) & 0x07) == 1 ? 0 : 8;  // expected sector type CD-DA, or any
    case 0xD4: return n == 10 ? 1 : n == 12 ? 2 : -1;
    case 0xD5: return n == 10 ? 3 : -1;
    case 0xA8: return n >= 12 ? 4 : -1;
    case 0xD8: return n == 12 ? 5 : -1;
    case 0x28: return n >= 10 ? 6 : -1;
    default: return -1;
    }
}

ScsiResult VirtualDrive::read(const ScsiCommand& c, int type) {
    if (!(config_.readCommands >> type & 1u)) {
        if (unitAttention_ && !trayOpen_ && media_ != Media::None) {
            unitAttention_ = false;
            return check(0x06, 0x28, 0x00);
        }
        return check(0x05, 0x20, 0x00);
    }
    if (auto p = mediumProblem()) return check(*p);

    const auto& cdb = c.cdb;
    const std::int64_t lba = std::int32_t(be(cdb, 2, 4));
    std::int64_t count = 0;
    switch (type) {
    case 0: case 7: case 8: count = be(cdb, 6, 3); break;
    case 1: case 3: case 6: count = be(cdb, 7, 2); break;
    case 4: count = be(cdb, 6, 4); break;
    default: count = be(cdb, 8, 2); break;
    }
    const bool readCd = cdb[0] == 0xBE;
    const bool expectAudio = readCd && ((cdb[1] >> 2) & 0x07) == 1;
    const bool rawData = readCd ? (cdb[9] & 0x80) != 0 : (type != 4 && type != 6);

    if (count > config_.maxSectors) return check(0x05, 0x24, 0x00);
    if (count == 0) return good();
    if (lba < 0 || lba + count > disc_->leadOut()) return check(0x05, 0x21, 0x00);

    // Bytes each sector delivers: a whole 2352-byte sector for audio and raw
    // reads, the user data of a data sector otherwise.
    std::vector<std::uint16_t> sizes(static_cast<std::size_t>(count));
    std::vector<std::uint8_t> audio(static_cast<std::size_t>(count));
    std::size_t total = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const VirtualDisc::Track* t = disc_->trackAt(lba + i);
        if (!t) return check(0x05, 0x21, 0x00);  // between the sessions
        if (t->isData() && expectAudio) return check(0x05, 0x64, 0x00);  // illegal mode for this track
        audio[std::size_t(i)] = !t->isData();
        std::size_t size = kRaw;
        if (t->isData() && !rawData) size = t->mode == VirtualCueSheet::TrackMode::Mode2 ? 2336 : 2048;
        sizes[std::size_t(i)] = std::uint16_t(size);
        total += size;
    }
    if (c.direction != DataDirection::In || c.data.size() < total) return check(0x05, 0x24, 0x00);

    endPlay();
    std::uint8_t sector[kRaw];
    std::size_t done = 0;
    bool wholeRuns = true;  // cleared after a run fails, to find the failing sector
    for (std::int64_t i = 0; i < count;) {
        const std::int64_t at = lba + i;
        position_ = at;
        std::optional<SenseData> fault;
        if (config_.isBadSector(at)) {
            fault = SenseData{0x03, 0x11, 0x00};  // unrecovered read error, as for a cut file
        } else if (wholeRuns && sizes[std::size_t(i)] == kRaw) {
            // Whole sectors up to the next bad or cut one go straight into the reply.
            std::int64_t run = 1;
            while (i + run < count && sizes[std::size_t(i + run)] == kRaw && !config_.isBadSector(at + run)) ++run;
            std::uint8_t* out = c.data.data() + done;
            std::int64_t got = 0;
            if (disc_->readSectors(at, run, out, &got) == VirtualDisc::ReadStatus::Ok) {
                for (std::int64_t k = 0; k < got; ++k)
                    if (audio[std::size_t(i + k)]) finishAudio(at + k, out + std::size_t(k) * kRaw);
                position_ = at + got - 1;
                done += std::size_t(got) * kRaw;
                i += got;
                continue;
            }
            wholeRuns = false;
            continue;
        } else {
            switch (disc_->readSector(at, sector)) {
            case VirtualDisc::ReadStatus::Ok: break;
            case VirtualDisc::ReadStatus::OutOfRange: fault = SenseData{0x05, 0x21, 0x00}; break;
            case VirtualDisc::ReadStatus::ReadError: fault = SenseData{0x03, 0x11, 0x00}; break;
            }
        }
        if (fault) {
            pace(done);
            ScsiResult r = check(*fault, std::uint32_t(at));
            r.transferred = done;
            return r;
        }
        const std::size_t size = sizes[std::size_t(i)];
        if (audio[std::size_t(i)]) finishAudio(at, sector);
        std::memcpy(c.data.data() + done, sector + (size == kRaw ? 0 : 16), size);
        done += size;
        ++i;
    }
    pace(done);
    return good(done);
}

void VirtualDrive::finishAudio(std::int64_t lba, std::uint8_t* sector) {
    corrupt(lba, sector);
    if (config_.bigEndian)
        for (std::size_t k = 0; k + 1 < kRaw; k += 2) std::swap(sector[k], sector[k + 1]);
}

void VirtualDrive::corrupt(std::int64_t lba, std::uint8_t* sector) {
    if (config_.transientErrors <= 0.0) return;
    const std::uint32_t nth = ++readsOfSector_[lba];
    std::uint64_t h = mix(mix(config_.errorSeed) ^ mix(std::uint64_t(lba) * 2 + 1) ^ (std::uint64_t(nth) << 32));
    const double draw = double(h >> 11) * (1.0 / 9007199254740992.0);
    if (draw >= config_.transientErrors) return;
    // A burst of damaged samples, as a scratch or jitter leaves it.
    h = mix(h);
    const std::size_t first = std::size_t(h % 588);
    const std::size_t length = 1 + std::size_t((h >> 16) % 64);
    for (std::size_t s = first; s < std::min<std::size_t>(588, first + length); ++s) {
        h = mix(h);
        for (std::size_t b = 0; b < 4; ++b) sector[s * 4 + b] ^= std::uint8_t((h >> (8 * b)) | 1);
    }
}

void VirtualDrive::pace(std::size_t bytes) {
    if (config_.speedX <= 0 || bytes == 0) return;
    double rate = double(config_.speedX) * 176400.0;
    if (readSpeedKb_ > 0 && readSpeedKb_ < 0xFFFF) rate = std::min(rate, double(readSpeedKb_) * 1000.0);
    const std::int64_t now = clock_->nowMicros();
    // After a pause the drive is not behind: pacing starts again from now.
    if (paceNext_ < now) paceNext_ = now;
    paceNext_ += std::int64_t(double(bytes) * 1e6 / rate);
    if (paceNext_ > now) clock_->sleepMicros(paceNext_ - now);
}

}  // namespace melvarin
