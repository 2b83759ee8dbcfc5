#include "disc/GrabRange.h"

#include <algorithm>

namespace melvarin {

GrabRange TrackRange(DiscRecord& disc, int track) {
    TrackEntry& entry = disc.Tracks[track];
    const std::int32_t start = entry.StartSector;
    const std::int32_t next = disc.Tracks[track + 1].StartSector;
    GrabRange range{start, next};
    if (!entry.Trimmed) return range;

    range.First = entry.TrimStart.frames() - kLeadInFrames;
    const std::int32_t trimmedEnd = entry.TrimEnd.frames() - kLeadInFrames;
    range.End = trimmedEnd <= 0 ? next : trimmedEnd;
    if (range.First < start || range.First > next) range.First = start;
    if (range.First >= range.End || range.End > next) {
        range = GrabRange{start, next};
        entry.Trimmed = 0;
    }
    return range;
}

GrabRange AudioRange(const DiscRecord& disc) {
    int firstAudio = -1;
    int lastAudio = -1;
    for (int i = 0; i < disc.trackCount(); ++i) {
        if (!disc.Tracks[i].Audio) continue;
        if (firstAudio < 0) firstAudio = i;
        lastAudio = i;
    }
    if (firstAudio < 0) return {};
    const TrackEntry& last = disc.Tracks[lastAudio];
    return {disc.Tracks[firstAudio].StartSector,
            last.StartSector + static_cast<std::int32_t>(last.Size / kCdSectorBytes)};
}

bool InMiddleOfRange(const GrabRange& range, std::int32_t pos) {
    const std::int32_t remaining = range.End - pos;
    return remaining <= range.Total() - kLeadInFrames && remaining > kLeadInFrames;
}

int GrabPercent(const GrabRange& range, std::int32_t pos) {
    const std::int64_t total = range.Total();
    if (total <= 0) return 100;
    const std::int64_t remaining = std::max<std::int64_t>(0, range.End - pos);
    const std::int64_t percent = total >= 100 ? 100 - remaining / (total / 100) : (total - remaining) * 100 / total;
    return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

}  // namespace melvarin
