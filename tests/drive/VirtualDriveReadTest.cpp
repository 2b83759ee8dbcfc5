// Audio reads through every read CDB, and the faults drive.ini asks for:
// which CDBs work, transfer limits, byte order, transient and hard errors,
// pacing, and reads past the disc.
#include "VirtualDriveFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The nine read CDBs for `count` sectors at `lba`, as the command sets build them.
Bytes readCdb(int type, std::uint32_t lba, std::uint16_t count) {
    const std::uint8_t l3 = std::uint8_t(lba >> 24), l2 = std::uint8_t(lba >> 16), l1 = std::uint8_t(lba >> 8),
                       l0 = std::uint8_t(lba);
    const std::uint8_t c1 = std::uint8_t(count >> 8), c0 = std::uint8_t(count);
    switch (type) {
    case 0: return {0xBE, 0x04 /* CD-DA */, l3, l2, l1, l0, 0, c1, c0, 0x10 /* user data */, 0, 0};
    case 1: return {0xD4, 0, l3, l2, l1, l0, 0, c1, c0, 0};
    case 2: return {0xD4, 0, l3, l2, l1, l0, 0, 0, c1, c0, 0, 0};
    case 3: return {0xD5, 0, l3, l2, l1, l0, 0, c1, c0, 0};
    case 4: return {0xA8, 0, l3, l2, l1, l0, 0, 0, c1, c0, 0, 0};
    case 5: return {0xD8, 0, l3, l2, l1, l0, 0, 0, c1, c0, 0, 0};
    case 6: return {0x28, 0, l3, l2, l1, l0, 0, c1, c0, 0};
    case 7: return {0xBE, 0x00 /* any type */, l3, l2, l1, l0, 0, c1, c0, 0xF8 /* all fields */, 0, 0};
    case 8: return {0xBE, 0x00, l3, l2, l1, l0, 0, c1, c0, 0x10, 0, 0};
    default: return {};
    }
}

class VirtualDriveReadTest : public ::testing::Test, protected VirtualDriveFixture {
protected:
    // One 2000-sector audio track whose sector n holds the word n everywhere.
    void putDisc(const std::string& driveIni = {}) {
        write("t.bin", binSectors(2000, 0));
        write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
        if (!driveIni.empty()) write("drive.ini", driveIni);
    }
    static int word(const Reply& r, std::size_t sector) {
        return r.data[sector * 2352] | r.data[sector * 2352 + 1] << 8;
    }
};

TEST_F(VirtualDriveReadTest, EveryReadCdbWorksExactlyWhenConfigured) {
    const std::vector<std::string> configs = {"", "read_commands=1,2,3", "read_commands=4,5,6",
                                              "read_commands=0,1,2,3,4,5,6,7,8"};
    for (const std::string& ini : configs) {
        VirtualDriveFixture f;
        f.write("t.bin", binSectors(2000, 0));
        f.write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
        if (!ini.empty()) f.write("drive.ini", ini);
        const std::uint32_t enabled = f.drive().config().readCommands;
        for (int type = 0; type <= 8; ++type) {
            const Reply r = f.in(readCdb(type, 1500, 26), 26 * 2352);
            if (enabled >> type & 1) {
                ASSERT_TRUE(r.good()) << ini << " type " << type;
                ASSERT_EQ(r.data.size(), 26u * 2352) << type;
                EXPECT_EQ(word(r, 0), 1500) << type;
                EXPECT_EQ(word(r, 25), 1525) << type;
            } else {
                EXPECT_EQ(r.sense(), (SenseData{0x05, 0x20, 0x00})) << ini << " type " << type;
                EXPECT_EQ(r.result.transferred, 0u);
            }
        }
    }
}

TEST_F(VirtualDriveReadTest, TransferLimitsAndTheEndOfTheDisc) {
    putDisc("max_sectors=26");
    EXPECT_TRUE(in(readCdb(0, 0, 26), 26 * 2352).good());
    EXPECT_EQ(in(readCdb(0, 0, 27), 27 * 2352).sense(), (SenseData{0x05, 0x24, 0x00}));
    // The last sectors read; one more is past the lead-out.
    EXPECT_TRUE(in(readCdb(0, 1990, 10), 10 * 2352).good());
    EXPECT_EQ(in(readCdb(0, 1990, 11), 11 * 2352).sense(), (SenseData{0x05, 0x21, 0x00}));
    EXPECT_EQ(in(readCdb(0, 0xFFFFFF6A /* -150 */, 1), 2352).sense(), (SenseData{0x05, 0x21, 0x00}));
    EXPECT_EQ(in(readCdb(0, 0x7FFFFFFF, 1), 2352).sense(), (SenseData{0x05, 0x21, 0x00}));
    // A buffer too small for the transfer gets nothing written into it.
    const Reply small = in(readCdb(0, 0, 2), 2352 + 100);
    EXPECT_EQ(small.sense(), (SenseData{0x05, 0x24, 0x00}));
    EXPECT_EQ(small.result.transferred, 0u);
    // Zero sectors is a valid, empty read.
    const Reply none = in(readCdb(0, 5, 0), 2352);
    EXPECT_TRUE(none.good());
    EXPECT_EQ(none.result.transferred, 0u);
}

TEST_F(VirtualDriveReadTest, BigEndianDrivesSwapEverySample) {
    putDisc("big_endian=1");
    const Reply r = in(readCdb(7, 0x0102, 1), 2352);
    ASSERT_TRUE(r.good());
    EXPECT_EQ(r.data[0], 0x01);  // most significant byte first
    EXPECT_EQ(r.data[1], 0x02);
    EXPECT_EQ(r.data[2350], 0x01);
    EXPECT_EQ(r.data[2351], 0x02);
}

// A sector the drive cannot supply, a bad one or one its file no longer holds
// (the image was cut after the disc was loaded), fails with MEDIUM ERROR /
// unrecovered read error and its address, every time, never as zeros; the
// sectors before it arrive.
TEST_F(VirtualDriveReadTest, UnreadableSectorsFailWithTheirAddress) {
    struct Case {
        const char* ini;
        int cutTo;  // sectors left in the file after loading; 0: not cut
        int type, lba, count;
        int failsAt;  // -1: the read succeeds
    };
    const Case cases[] = {
        {"bad_sectors=1000-1002, 1500", 0, 0, 990, 10, -1},
        {"bad_sectors=1000-1002, 1500", 0, 0, 995, 10, 1000},
        {"bad_sectors=1000-1002, 1500", 0, 8, 1500, 1, 1500},
        {"bad_sectors=1000-1002, 1500", 0, 8, 1501, 1, -1},
        {"bad_sectors=1000-1002, 1500", 0, 7, 1002, 1, 1002},
        {"", 1800, 0, 1790, 10, -1},
        {"", 1800, 0, 1795, 10, 1800},
        {"", 1800, 4, 1900, 1, 1900},
        {"", 1800, 8, 1999, 1, 1999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + " cut " + std::to_string(c.cutTo) + " read " + std::to_string(c.lba));
        VirtualDriveFixture f;
        f.write("t.bin", binSectors(2000, 0));
        f.write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
        f.write("drive.ini", std::string(c.ini) + "\nread_commands=0,4,7,8");
        f.none({0, 0, 0, 0, 0, 0});  // loads the disc
        if (c.cutTo) std::filesystem::resize_file(f.dir / "t.bin", std::uintmax_t(c.cutTo) * 2352);
        for (int again = 0; again < 2; ++again) {
            const Reply r = f.in(readCdb(c.type, std::uint32_t(c.lba), std::uint16_t(c.count)),
                                 std::size_t(c.count) * 2352);
            if (c.failsAt < 0) {
                ASSERT_TRUE(r.good());
                EXPECT_EQ(word(r, std::size_t(c.count - 1)), c.lba + c.count - 1);
                continue;
            }
            EXPECT_EQ(r.sense(), (SenseData{0x03, 0x11, 0x00}));
            EXPECT_EQ(r.result.sense[0], 0xF0);  // information field valid
            EXPECT_EQ(r.result.sense[5] << 8 | r.result.sense[6], c.failsAt);
            EXPECT_EQ(r.result.transferred, std::size_t(c.failsAt - c.lba) * 2352);
            for (std::size_t k = 0; k < r.data.size() / 2352; ++k) EXPECT_EQ(word(r, k), c.lba + int(k));
        }
    }
}

// Transient errors corrupt some reads of some sectors; the same seed and the
// same reads give the same corruption, a new read of a sector draws anew.
TEST_F(VirtualDriveReadTest, TransientErrorsRepeatForTheSameSeed) {
    const auto session = [](const std::string& ini) {
        VirtualDriveFixture f;
        f.write("t.bin", binSectors(2000, 0));
        f.write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
        f.write("drive.ini", ini);
        Bytes all;
        for (int pass = 0; pass < 3; ++pass)
            for (std::uint32_t lba = 0; lba < 200; lba += 20) {
                const Reply r = f.in(readCdb(0, lba, 20), 20 * 2352);
                all.insert(all.end(), r.data.begin(), r.data.end());
            }
        return all;
    };
    const Bytes a = session("transient_errors=0.1\nerror_seed=42");
    const Bytes b = session("transient_errors=0.1\nerror_seed=42");
    const Bytes c = session("transient_errors=0.1\nerror_seed=43");
    const Bytes clean = session("transient_errors=0");
    ASSERT_EQ(a.size(), clean.size());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);

    // About one sector in ten differs from the disc, and a re-read of a damaged
    // sector usually comes back different.
    int damaged = 0, sectors = int(a.size() / 2352);
    for (int s = 0; s < sectors; ++s)
        damaged += !std::equal(a.begin() + s * 2352, a.begin() + (s + 1) * 2352, clean.begin() + s * 2352);
    EXPECT_GT(damaged, sectors / 20);
    EXPECT_LT(damaged, sectors / 5);
    const std::size_t pass = 200 * 2352;
    EXPECT_FALSE(std::equal(a.begin(), a.begin() + pass, a.begin() + pass));
}

// Long reads deliver what single-sector reads do, across tracks, files, a
// supplied pre-gap, a WAVE file's padded last sector and data sectors cut to
// their user data, in either byte order.
TEST_F(VirtualDriveReadTest, LongReadsMatchSectorBySectorReads) {
    for (const std::string ini : {"", "big_endian=1"}) {
        VirtualDriveFixture f;
        f.write("a.bin", binSectors(100, 0x1000));
        f.write("b.wav", waveSectors(61, 0x2000).substr(0, 44 + 60 * 2352 + 1000));
        f.write("c.bin", binSectors(20, 0x3000));
        f.write("disc.cue",
                "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                "  TRACK 02 AUDIO\n    INDEX 01 00:00:40\n"
                "FILE \"b.wav\" WAVE\n  TRACK 03 AUDIO\n    PREGAP 00:00:10\n    INDEX 01 00:00:00\n"
                "FILE \"c.bin\" BINARY\n  TRACK 04 MODE1/2352\n    INDEX 01 00:00:00\n");
        if (!ini.empty()) f.write("drive.ini", ini);
        constexpr std::uint32_t kSectors = 191;
        Bytes single;
        for (std::uint32_t lba = 0; lba < kSectors; ++lba) {
            const Reply r = f.in(readCdb(8, lba, 1), 2352);
            ASSERT_TRUE(r.good()) << lba;
            single.insert(single.end(), r.data.begin(), r.data.end());
        }
        ASSERT_EQ(single.size(), 171u * 2352 + 20 * 2048);
        // The pre-gap is silent, the WAVE file's last sector padded with silence.
        EXPECT_EQ(Bytes(single.begin() + 100 * 2352, single.begin() + 110 * 2352), Bytes(10 * 2352, 0));
        EXPECT_EQ(Bytes(single.begin() + 170 * 2352 + 1000, single.begin() + 171 * 2352), Bytes(1352, 0));
        const auto offset = [](std::uint32_t lba) {
            const std::uint32_t audio = std::min(lba, 171u);
            return audio * 2352 + (lba - audio) * 2048;
        };
        for (const std::uint16_t count : {std::uint16_t(26), std::uint16_t(64)}) {
            for (std::uint32_t lba = 0; lba < kSectors; lba += 3) {
                const std::uint16_t n = std::uint16_t(std::min<std::uint32_t>(count, kSectors - lba));
                const Reply r = f.in(readCdb(8, lba, n), std::size_t(n) * 2352);
                ASSERT_TRUE(r.good()) << ini << " " << lba << "+" << n;
                EXPECT_EQ(r.data, Bytes(single.begin() + offset(lba), single.begin() + offset(lba + n)))
                    << ini << " " << lba << "+" << n;
            }
        }
    }
}

// A file that shrinks under a loaded disc fails at its first missing sector,
// after delivering the sectors before it.
TEST_F(VirtualDriveReadTest, AShrunkFileFailsAtItsFirstMissingSector) {
    putDisc();
    ASSERT_TRUE(in(readCdb(0, 0, 1), 2352).good());
    std::filesystem::resize_file(std::filesystem::path(folder()) / "t.bin", 1005 * 2352);
    EXPECT_TRUE(in(readCdb(0, 995, 10), 10 * 2352).good());
    const Reply r = in(readCdb(0, 1000, 10), 10 * 2352);
    EXPECT_EQ(r.sense(), (SenseData{0x03, 0x11, 0x00}));
    EXPECT_EQ(r.result.sense[5] << 8 | r.result.sense[6], 1005);
    ASSERT_EQ(r.result.transferred, 5u * 2352);
    EXPECT_EQ(word(r, 0), 1000);
    EXPECT_EQ(word(r, 4), 1004);
}

TEST_F(VirtualDriveReadTest, ReadsArePacedBySpeed) {
    putDisc("speed_x=4");
    ASSERT_TRUE(in(readCdb(0, 0, 60), 60 * 2352).good());
    ASSERT_TRUE(in(readCdb(0, 60, 60), 60 * 2352).good());
    // 120 sectors at 4 x 176400 B/s take 0.4 s.
    EXPECT_NEAR(double(clock->slept), 400000.0, 2.0);
    // A slower SET CD SPEED (1x = 176 kB/s) slows the reads down.
    const Bytes setSpeed = {0xBB, 0, 0x00, 0xB0 /* 176 kB/s */, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(none(setSpeed).good());
    clock->slept = 0;
    clock->now += 10000000;  // an idle pause does not earn credit
    ASSERT_TRUE(in(readCdb(0, 0, 60), 60 * 2352).good());
    EXPECT_NEAR(double(clock->slept), 60 * 2352 / 176000.0 * 1e6, 2.0);

    VirtualDriveFixture unpaced;
    unpaced.write("t.bin", binSectors(100, 0));
    unpaced.write("disc.cue", "FILE \"t.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    ASSERT_TRUE(unpaced.in(readCdb(0, 0, 60), 60 * 2352).good());
    EXPECT_EQ(unpaced.clock->slept, 0);
}

}  // namespace
}  // namespace melvarin::test
