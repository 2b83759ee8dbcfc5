// Analog play on the emulated drive's clock, and the mode pages the drive
// layer reads and writes.
#include "VirtualDriveFixture.h"

#include <gtest/gtest.h>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kReadPosition = {0x42, 0x02 /* MSF */, 0x40 /* SubQ */, 0x01 /* current position */, 0, 0, 0,
                             0, 24 /* allocation */, 0};
const Bytes kStopPlay = {0x4E, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kPause = {0x4B, 0, 0, 0, 0, 0, 0, 0, 0x00, 0};
const Bytes kResume = {0x4B, 0, 0, 0, 0, 0, 0, 0, 0x01, 0};
const Bytes kMechanismStatus = {0xBD, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0};

Bytes playMsf(int m0, int s0, int f0, int m1, int s1, int f1) {
    return {0x47, 0, 0, std::uint8_t(m0), std::uint8_t(s0), std::uint8_t(f0),  // start M S F
            std::uint8_t(m1), std::uint8_t(s1), std::uint8_t(f1), 0};           // end M S F
}

class VirtualDriveAudioTest : public ::testing::Test, protected VirtualDriveFixture {
protected:
    // Two audio tracks of 20 s and 10 s, then a data track in session 2.
    void putDisc(const std::string& driveIni = {}) {
        write("a.bin", binSectors(2250, 0));
        write("d.bin", binSectors(100, 0));
        write("disc.cue",
              "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    INDEX 01 00:20:00\n"
              "REM SESSION 02\nFILE \"d.bin\" BINARY\n  TRACK 03 MODE1/2352\n    INDEX 01 00:00:00\n");
        if (!driveIni.empty()) write("drive.ini", driveIni);
    }
    struct Position {
        int status, track, index, minute, second, frame;
    };
    Position position() {
        const Reply r = in(kReadPosition, 16);
        EXPECT_TRUE(r.good());
        EXPECT_EQ(r.data.size(), 16u);
        if (r.data.size() < 16) return {};
        return {r.data[1], r.data[6], r.data[7], r.data[9], r.data[10], r.data[11]};
    }
    void advance(double seconds) { clock->now += std::int64_t(seconds * 1e6); }
};

TEST_F(VirtualDriveAudioTest, PlayPositionFollowsTheClock) {
    putDisc();
    EXPECT_EQ(position().status, 0x15);  // nothing played yet

    ASSERT_TRUE(none(playMsf(0, 12, 0, 0, 32, 0)).good());  // LBA 750 to 2250
    Position p = position();
    EXPECT_EQ(p.status, 0x11);
    EXPECT_EQ(p.track, 1);
    EXPECT_EQ(p.second, 12);
    EXPECT_EQ(in(kMechanismStatus, 32).data[1] >> 5, 1);  // playing

    advance(10.5);  // into track 2
    p = position();
    EXPECT_EQ(p.status, 0x11);
    EXPECT_EQ(p.track, 2);
    EXPECT_EQ(p.index, 1);
    EXPECT_EQ(p.second, 22);
    EXPECT_EQ(p.frame, 37);

    ASSERT_TRUE(none(kPause).good());
    advance(5);
    p = position();
    EXPECT_EQ(p.status, 0x12);
    EXPECT_EQ(p.second, 22);  // paused: the position stands
    ASSERT_TRUE(none(kResume).good());
    advance(1);
    EXPECT_EQ(position().second, 23);

    // The end of the range: "completed" once, then no status.
    advance(60);
    p = position();
    EXPECT_EQ(p.status, 0x13);
    EXPECT_EQ(position().status, 0x15);
    EXPECT_EQ(in(kMechanismStatus, 32).data[1] >> 5, 0);

    ASSERT_TRUE(none(playMsf(0, 2, 0, 0, 10, 0)).good());
    advance(1);
    ASSERT_TRUE(none(kStopPlay).good());
    EXPECT_EQ(position().status, 0x15);
    EXPECT_EQ(none(kResume).sense(), (SenseData{0x05, 0x2C, 0x00}));  // nothing to resume
}

TEST_F(VirtualDriveAudioTest, PlayRangesTheDriveRefuses) {
    putDisc("bad_sectors=300");
    EXPECT_EQ(none(playMsf(0, 10, 0, 0, 5, 0)).sense(), (SenseData{0x05, 0x24, 0x00}));   // end before start
    EXPECT_EQ(none(playMsf(0, 2, 0, 9, 0, 0)).sense(), (SenseData{0x05, 0x21, 0x00}));    // past the lead-out
    EXPECT_EQ(none(playMsf(0, 2, 0, 3, 5, 0)).sense(), (SenseData{0x05, 0x64, 0x00}));   // over the data track
    EXPECT_TRUE(none(playMsf(0, 5, 0, 0, 5, 0)).good());                                  // empty range
    EXPECT_EQ(position().status, 0x15);

    // A bad sector on the way stops play with an error.
    ASSERT_TRUE(none(playMsf(0, 2, 0, 0, 30, 0)).good());
    advance(5);
    const Position p = position();
    EXPECT_EQ(p.status, 0x14);
    EXPECT_EQ(p.second * 75 + p.frame - 150, 300);
    EXPECT_EQ(position().status, 0x15);
}

// Reply byte offsets as the drive information window reads them (8-byte header
// first, then page 0x2A).
TEST_F(VirtualDriveAudioTest, CapabilitiesFollowDriveIni) {
    const Bytes sense2A = {0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 26 /* allocation */, 0};
    const Reply full = in(sense2A, 26);
    ASSERT_TRUE(full.good());
    ASSERT_EQ(full.data.size(), 26u);
    EXPECT_EQ(full.data[8], 0x2A);
    EXPECT_EQ(full.data[10] & 0x03, 0x03);  // reads CD-R and CD-RW
    EXPECT_EQ(full.data[11] & 0x07, 0x07);  // writes CD-R, CD-RW, test write
    EXPECT_EQ(full.data[12] & 0x41, 0x41);  // audio play, multi-session
    EXPECT_EQ(full.data[14] & 0x09, 0x09);  // lock, eject
    EXPECT_EQ(full.data[20] << 8 | full.data[21], 2048);  // buffer size in kB

    VirtualDriveFixture reader;
    reader.write("drive.ini", "writer=0 rewriter=0 test_write=0 buffer_kb=512\n");
    const Reply plain = reader.in(sense2A, 28);
    ASSERT_TRUE(plain.good());
    EXPECT_EQ(plain.data[11] & 0x07, 0x00);
    EXPECT_EQ(plain.data[20] << 8 | plain.data[21], 512);
    EXPECT_EQ(reader.in({0x5A, 0, 0x05, 0, 0, 0, 0, 0, 62, 0}, 62).sense(), (SenseData{0x05, 0x24, 0x00}));
}

TEST_F(VirtualDriveAudioTest, ModeSelectChangesOnlyWhatAValidListSays) {
    // CD audio control page as the facade sends it: both ports at volume 0x80.
    const Bytes volume = {0x55, 0x10 /* PF */, 0, 0, 0, 0, 0, 0, 24 /* list length */, 0};
    const Bytes volumeList = {0, 0, 0, 0, 0, 0, 0, 0,  // mode parameter header
                              0x0E, 14, 0x04, 0, 0, 0, 0, 0, 0x01, 0x80, 0x02, 0x80, 0, 0, 0, 0};
    ASSERT_TRUE(out(volume, volumeList).good());
    const Reply page0E = in({0x5A, 0, 0x0E, 0, 0, 0, 0, 0, 24, 0}, 24);
    ASSERT_TRUE(page0E.good());
    EXPECT_EQ(page0E.data[8 + 9], 0x80);
    EXPECT_EQ(page0E.data[8 + 11], 0x80);

    // Caching page: read cache off.
    const Bytes caching = {0x55, 0x10, 0, 0, 0, 0, 0, 0, 20, 0};
    const Bytes cachingList = {0, 0, 0, 0, 0, 0, 0, 0, 0x08, 10, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(out(caching, cachingList).good());
    EXPECT_EQ(in({0x5A, 0, 0x08, 0, 0, 0, 0, 0, 20, 0}, 20).data[10] & 0x05, 0x01);

    // Refused lists change nothing: a page that cannot be set, a page running
    // past the list, a buffer shorter than the list.
    Bytes capabilities(30, 0);
    capabilities[8] = 0x2A, capabilities[9] = 20;
    EXPECT_EQ(out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 30, 0}, capabilities).sense(), (SenseData{0x05, 0x26, 0x00}));
    Bytes mixed = volumeList;
    mixed[17] = 0x10;
    mixed.insert(mixed.end(), {0x2A, 2, 0, 0});
    EXPECT_EQ(out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 28, 0}, mixed).sense(), (SenseData{0x05, 0x26, 0x00}));
    Bytes truncated = volumeList;
    truncated[9] = 40;
    EXPECT_EQ(out(volume, truncated).sense(), (SenseData{0x05, 0x1A, 0x00}));
    EXPECT_EQ(out(volume, Bytes(volumeList.begin(), volumeList.begin() + 12)).sense(),
              (SenseData{0x05, 0x1A, 0x00}));
    EXPECT_EQ(in({0x5A, 0, 0x0E, 0, 0, 0, 0, 0, 24, 0}, 24).data[8 + 9], 0x80);
}

}  // namespace
}  // namespace melvarin::test
