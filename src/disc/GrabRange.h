#pragma once
#include <cstdint>

#include "disc/DiscRecord.h"

namespace melvarin {

// A run of sectors to read: [First, End).
struct GrabRange {
    std::int32_t First = 0;
    std::int32_t End = 0;
    std::int32_t Total() const { return End - First; }
};

// The sectors of track `track` (0-based, < disc.trackCount()): from its start
// to the next entry's start, or the trimmed part when its Trimmed flag is set.
// A trimmed start outside the track moves to the track's start; a trimmed end
// of zero means the track's end. A trimmed range that is empty or ends after
// the track falls back to the whole track and clears the Trimmed flag.
GrabRange TrackRange(DiscRecord& disc, int track);

// The sectors of every audio track together: from the start of the first audio
// track to the end of the last one. Empty (First == End) without audio tracks.
GrabRange AudioRange(const DiscRecord& disc);

// Whether a block starting at `pos` may be repaired: at least 150 sectors of
// the range lie before it and more than 150 remain.
bool InMiddleOfRange(const GrabRange& range, std::int32_t pos);

// Percentage done when the next block starts at `pos`, 0 to 100. Ranges of
// 100 sectors or more count in whole hundredths of the range as the progress
// display always did; shorter ranges are counted exactly.
int GrabPercent(const GrabRange& range, std::int32_t pos);

}  // namespace melvarin
