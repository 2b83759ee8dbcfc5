#include "disc/DiscToc.h"

#include <cstdio>

namespace melvarin {
namespace {

constexpr int kSessionGapFrames = 11400;
constexpr std::size_t kTocHeader = 4;
constexpr std::size_t kDescriptor = 8;

const std::uint8_t* descriptor(const std::uint8_t* toc, int k) { return toc + kTocHeader + kDescriptor * k; }

int seconds(const std::uint8_t* d) { return d[5] * 60 + d[6]; }

int frames(const std::uint8_t* d) { return (d[5] * 60 + d[6]) * kFramesPerSecond + d[7]; }

int digitSum(int n) {
    int sum = 0;
    for (; n > 0; n /= 10) sum += n % 10;
    return sum;
}

bool isAudioControl(int control) {
    return control == 0 || control == 1 || control == 2 || control == 8 || control == 9;
}

void setLength(TrackEntry& e, int lengthFrames) {
    if (lengthFrames < 0) lengthFrames = 0;
    e.Length = MsfAddress::fromFrames(lengthFrames);
    e.Size = static_cast<std::uint32_t>(e.Length.frames()) * kCdSectorBytes;
}

}  // namespace

int TocTrackCount(const std::uint8_t* toc, std::size_t size) {
    if (toc == nullptr || size < kTocHeader) return 0;
    const int first = toc[2], count = toc[3];
    if (first != 1 || count < 1 || count >= kMaxTracks) return 0;
    if (kTocHeader + kDescriptor * (std::size_t(count) + 1) > size) return 0;
    return count;
}

std::uint32_t DiscId(const std::uint8_t* toc, std::size_t size) {
    const int count = TocTrackCount(toc, size);
    if (count == 0) return 0;
    int n = 0;
    for (int k = 0; k < count; ++k) n += digitSum(seconds(descriptor(toc, k)));
    int t = seconds(descriptor(toc, count)) - seconds(descriptor(toc, 0));
    if (t < 0) t = 0;
    return (std::uint32_t(n % 255) << 24) | (std::uint32_t(t & 0xFFFF) << 8) | std::uint32_t(count);
}

std::string DiscFileStem(std::uint32_t discId) { return std::to_string(static_cast<std::int32_t>(discId)); }

std::string HexDiscId(std::uint32_t discId) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08x", discId);
    return buf;
}

bool FillTracksFromToc(const std::uint8_t* toc, std::size_t size, DiscRecord& disc, bool nameTracks) {
    const int count = TocTrackCount(toc, size);
    if (count == 0) return false;
    for (int i = 0; i <= count; ++i) {
        TrackEntry& e = disc.Tracks[i];
        const std::uint8_t* d = descriptor(toc, i);
        if (nameTracks) disc.setTitle(i, "Track " + std::to_string(i + 1));
        setLength(e, i < count ? frames(descriptor(toc, i + 1)) - frames(d) : 0);
        e.Start = MsfAddress{d[5], d[6], d[7]};
        e.StartSector = frames(d) - kLeadInFrames;
        e.Audio = isAudioControl(d[1] & 0x0F) ? 1 : 0;
        if (i > 0 && i < count && !e.Audio) AdjustForDataSession(e, disc.Tracks[i - 1]);
    }
    return true;
}

void AdjustForDataSession(TrackEntry& entry, TrackEntry& previous) {
    if (entry.Audio || !previous.Audio) return;
    const int moved = entry.Start.frames() - kSessionGapFrames;
    const int sector = moved - kLeadInFrames;
    if (sector < previous.StartSector) return;
    entry.StartSector = sector;
    entry.Start = MsfAddress::fromFrames(moved);
    setLength(previous, sector - previous.StartSector);
}

}  // namespace melvarin
