#include "disc/SampleUtils.h"

#include <cmath>
#include <cstring>

#include "disc/DiscRecord.h"
#include "disc/SectorRereader.h"

namespace melvarin {
namespace {

constexpr int kMaxDiffering = 75;
constexpr int kRereadSpeed = 4;

// Set while a pair is judged again after its re-read, so a re-read never
// triggers another one.
thread_local bool rereadGuard = false;

std::int16_t sampleAt(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

void storeSample(std::uint8_t* p, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u & 0xFF);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}

// Steps 1-3 of the pair check: 0 clean, 1 suspicious, -1 suspicious and worth a
// re-read.
int judgePair(const std::uint8_t* a, const std::uint8_t* b) {
    int equal = 0, differing = 0;
    for (int k = 0; k < kCdSectorBytes; ++k) {
        if (a[kCdSectorBytes - 1 - k] == b[k]) {
            ++equal;
        } else if (++differing > kMaxDiffering) {
            return 0;
        }
    }
    if (equal == 0) return 0;
    return rereadGuard ? 1 : -1;
}

}  // namespace

void SwapBytes(std::uint8_t* buffer, std::size_t bytes) {
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const std::uint8_t t = buffer[i];
        buffer[i] = buffer[i + 1];
        buffer[i + 1] = t;
    }
}

void FindPeak(const std::uint8_t* samples, std::size_t bytes, std::int16_t& peak) {
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const int v = sampleAt(samples + i);
        const int magnitude = v == -32768 ? 32767 : std::abs(v);
        if (magnitude >= peak) peak = static_cast<std::int16_t>(magnitude);
    }
}

double NormalisationGain(std::int16_t peak, int setMin, int setMax, int min, int max) {
    if (peak <= 1) return 1.0;
    const double level = (peak - 0.999999) * 100.0 / 32768.0;
    if (setMin > level) return min / level * 0.9999;
    if (setMax < level) return max / level * 0.9999;
    return 1.0;
}

void ApplyGain(std::uint8_t* samples, std::size_t bytes, double gain) {
    if (gain == 1.0 || gain == 0.0) return;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        double v = std::trunc(gain * sampleAt(samples + i) + 0.5);
        if (v > 32767.0) v = 32767.0;
        if (v < -32768.0) v = -32768.0;
        storeSample(samples + i, static_cast<std::int16_t>(v));
    }
}

std::size_t StereoToMono(std::int16_t* samples, std::size_t sampleCount) {
    const std::size_t frames = sampleCount / 2;
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<std::int16_t>(samples[2 * i] / 2 + samples[2 * i + 1] / 2);
    return frames;
}

int CheckSectorPair(std::uint8_t* a, std::uint8_t* b, std::int32_t lbaA, SectorRereader* drive) {
    const int first = judgePair(a, b);
    if (first >= 0) return first;
    if (drive == nullptr) return 1;
    drive->SetReadSpeed(kRereadSpeed);
    drive->Seek(lbaA);
    drive->ReadSectors(lbaA, 1, a);
    drive->ReadSectors(lbaA + 1, 1, b);
    rereadGuard = true;
    const int again = judgePair(a, b);
    rereadGuard = false;
    return again == 0 ? 0 : 1;
}

std::uint8_t CorrectBlock(std::uint8_t* block, int count, SectorRereader* drive, std::int32_t lba) {
    unsigned sum = 0;
    for (int i = 0; i + 1 < count; ++i) {
        std::uint8_t* sector = block + std::size_t(i) * kCdSectorBytes;
        sum += static_cast<unsigned>(CheckSectorPair(sector, sector + kCdSectorBytes, lba + i, drive));
    }
    return static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
}

int RereadSilentSectors(std::uint8_t* block, int count, std::int32_t lba, SectorRereader* drive) {
    if (count <= 0) return 0;
    for (int i = 0; i + 1 < count; ++i) {
        std::uint8_t* sector = block + std::size_t(i) * kCdSectorBytes;
        int zeros = 0;
        for (int k = 0; k < kCdSectorBytes; ++k) zeros += sector[k] == 0;
        if (zeros > kCdSectorBytes / 2 && drive != nullptr) {
            drive->Seek(lba + i);
            drive->ReadSectors(lba + i, 1, sector);
        }
    }
    return count - 1;
}

}  // namespace melvarin
