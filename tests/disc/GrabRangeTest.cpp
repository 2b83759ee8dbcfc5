#include <gtest/gtest.h>

#include "disc/GrabRange.h"

using namespace melvarin;

namespace {

// Two tracks: LBA 0-999 and 1000-2999, lead-out at 3000.
DiscRecord TwoTracks() {
    DiscRecord disc;
    disc.clear();
    disc.TrackCount = 2;
    const int starts[] = {0, 1000, 3000};
    for (int i = 0; i < 3; ++i) {
        disc.Tracks[i].StartSector = starts[i];
        disc.Tracks[i].Start = MsfAddress::fromFrames(starts[i] + kLeadInFrames);
        disc.Tracks[i].Audio = i < 2;
    }
    disc.Tracks[0].Size = 1000 * kCdSectorBytes;
    disc.Tracks[1].Size = 2000 * kCdSectorBytes;
    return disc;
}

void Trim(TrackEntry& e, int startLba, int endFrames) {
    e.Trimmed = 1;
    e.TrimStart = MsfAddress::fromFrames(startLba + kLeadInFrames);
    e.TrimEnd = MsfAddress::fromFrames(endFrames);
}

}  // namespace

TEST(GrabRange, TrimmedRangesAndTheirFallbacks) {
    DiscRecord disc = TwoTracks();
    EXPECT_EQ(TrackRange(disc, 1).First, 1000);
    EXPECT_EQ(TrackRange(disc, 1).End, 3000);

    Trim(disc.Tracks[1], 1200, 2500 + kLeadInFrames);
    GrabRange r = TrackRange(disc, 1);
    EXPECT_EQ(r.First, 1200);
    EXPECT_EQ(r.End, 2500);
    EXPECT_EQ(disc.Tracks[1].Trimmed, 1);

    // A zero end means the track's end; a start before the track moves to it.
    Trim(disc.Tracks[1], 500, 0);
    r = TrackRange(disc, 1);
    EXPECT_EQ(r.First, 1000);
    EXPECT_EQ(r.End, 3000);
    EXPECT_EQ(disc.Tracks[1].Trimmed, 1);

    // An end not after the start, or past the track, gives the whole track
    // and clears the flag.
    Trim(disc.Tracks[1], 2000, 1800 + kLeadInFrames);
    r = TrackRange(disc, 1);
    EXPECT_EQ(r.First, 1000);
    EXPECT_EQ(r.End, 3000);
    EXPECT_EQ(disc.Tracks[1].Trimmed, 0);
    Trim(disc.Tracks[1], 1200, 3100 + kLeadInFrames);
    r = TrackRange(disc, 1);
    EXPECT_EQ(r.End, 3000);
    EXPECT_EQ(disc.Tracks[1].Trimmed, 0);
}

TEST(GrabRange, AudioPartSkipsADataTrackInFront) {
    DiscRecord disc = TwoTracks();
    disc.Tracks[0].Audio = 0;
    const GrabRange r = AudioRange(disc);
    EXPECT_EQ(r.First, 1000);
    EXPECT_EQ(r.End, 3000);
    disc.Tracks[1].Audio = 0;
    EXPECT_EQ(AudioRange(disc).Total(), 0);
}

// Repairs skip the first and last 150 sectors of a range.
TEST(GrabRange, MiddleOfRangeAndPercentages) {
    const GrabRange r{1000, 2000};
    EXPECT_FALSE(InMiddleOfRange(r, 1149));
    EXPECT_TRUE(InMiddleOfRange(r, 1150));
    EXPECT_TRUE(InMiddleOfRange(r, 1849));
    EXPECT_FALSE(InMiddleOfRange(r, 1850));

    EXPECT_EQ(GrabPercent(r, 1026), 3);
    EXPECT_EQ(GrabPercent(r, 1500), 50);
    EXPECT_EQ(GrabPercent(r, 2014), 100);
    // Under 100 sectors the hundredth of the range would be 0.
    const GrabRange tiny{0, 40};
    EXPECT_EQ(GrabPercent(tiny, 26), 65);
    EXPECT_EQ(GrabPercent(tiny, 52), 100);
}
