// Recording on the emulated drive: a blank disc becomes a finished disc the
// drive (and any other reader) can read, a test write leaves it blank, and a
// rewritable disc can be blanked again.
#include "VirtualDriveFixture.h"

#include "platform/FileUtil.h"

#include <gtest/gtest.h>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kTestUnitReady = {0x00, 0, 0, 0, 0, 0};
const Bytes kReadDiscInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 34 /* allocation */, 0};
const Bytes kCloseSession = {0x5B, 0, 0x02 /* close session */, 0, 0, 0, 0, 0, 0, 0};

// The write parameters page as the writer sends it: session-at-once, test flag.
Bytes writeParameters(bool test) {
    Bytes list(60, 0);                 // 8-byte header + page of length 0x32
    list[8] = 0x05, list[9] = 0x32;    // page code, page length
    list[10] = std::uint8_t(0x40 | (test ? 0x10 : 0) | 0x02);  // BUFE, test write, session-at-once
    return list;
}

// Two tracks at LBA 0 and 100, the lead-out at 250.
const Bytes kCueSheet = {
    0x01, 0x00, 0x00, 0x01, 0, 0, 0, 0,      // lead-in
    0x01, 0x01, 0x00, 0x00, 0, 0, 0, 0,      // track 1 pre-gap at 00:00:00
    0x01, 0x01, 0x01, 0x00, 0, 0, 2, 0,      // track 1 at 00:02:00
    0x21, 0x02, 0x01, 0x00, 0, 0, 3, 25,     // track 2 (copy permitted) at 00:03:25
    0x01, 0xAA, 0x01, 0x01, 0, 0, 5, 25,     // lead-out at 00:05:25
};

Bytes write10(std::uint32_t lba, std::uint16_t count) {
    return {0x2A, 0, std::uint8_t(lba >> 24), std::uint8_t(lba >> 16), std::uint8_t(lba >> 8), std::uint8_t(lba),
            0, std::uint8_t(count >> 8), std::uint8_t(count), 0};
}

class VirtualDriveRecordTest : public ::testing::Test, protected VirtualDriveFixture {
protected:
    void prepare(bool test) {
        ASSERT_TRUE(none(kTestUnitReady).good());
        ASSERT_TRUE(out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, writeParameters(test)).good());
        ASSERT_TRUE(out({0x5D, 0, 0, 0, 0, 0, 0, 0, std::uint8_t(kCueSheet.size()), 0}, kCueSheet).good());
    }
    void writeAudio() {
        const std::string bin = binSectors(250, 0x100);
        for (std::uint32_t lba = 0; lba < 250; lba += 50) {
            const Bytes chunk(bin.begin() + lba * 2352, bin.begin() + (lba + 50) * 2352);
            ASSERT_TRUE(out(write10(lba, 50), chunk).good()) << lba;
        }
    }
};

TEST_F(VirtualDriveRecordTest, BurnReadBackAndBlank) {
    write("blank.ini", "capacity=1000\nrewritable=1\n");
    const Reply blankInfo = in(kReadDiscInformation, 34);
    ASSERT_TRUE(blankInfo.good());
    EXPECT_EQ(blankInfo.data[2], 0x10);  // erasable, empty disc
    EXPECT_EQ(in(readTocCdb(), 804).sense(), (SenseData{0x05, 0x24, 0x00}));  // no TOC yet

    prepare(false);
    EXPECT_EQ(out(write10(240, 20), Bytes(20 * 2352)).sense(), (SenseData{0x05, 0x21, 0x00}));  // past the sheet
    writeAudio();
    ASSERT_TRUE(none(kCloseSession).good());

    // The drive holds a finished disc now, without announcing a change.
    EXPECT_TRUE(none(kTestUnitReady).good());
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "blank.ini"));
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "disc.bin.part"));
    const Reply toc = in(readTocCdb(0, false), 804);
    ASSERT_TRUE(toc.good());
    const Bytes expectedToc = {
        0x00, 0x1A, 0x01, 0x02,
        0x00, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,  // track 1 at LBA 0
        0x00, 0x12, 0x02, 0x00, 0x00, 0x00, 0x00, 0x64,  // track 2, copy permitted, at LBA 100
        0x00, 0x12, 0xAA, 0x00, 0x00, 0x00, 0x00, 0xFA,  // lead-out at LBA 250
    };
    EXPECT_EQ(toc.data, expectedToc);
    const Reply sector = in(readCdCdb(249, 1), 2352);
    ASSERT_TRUE(sector.good());
    EXPECT_EQ(sector.data[0] | sector.data[1] << 8, 0x100 + 249);
    const Reply info = in(kReadDiscInformation, 34);
    EXPECT_EQ(info.data[2], 0x10 | 0x0C | 0x02);  // erasable, complete

    // Blanking brings the blank disc back.
    ASSERT_TRUE(none({0xA1, 0x01 /* minimal */, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).good());
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "disc.cue"));
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "disc.bin"));
    EXPECT_EQ(in(kReadDiscInformation, 34).data[2], 0x10);
}

TEST_F(VirtualDriveRecordTest, TestWriteLeavesTheDiscBlank) {
    write("blank.ini", "capacity=1000\n");
    prepare(true);
    writeAudio();
    ASSERT_TRUE(none(kCloseSession).good());
    EXPECT_TRUE(FileUtil::isRegularFile(dir / "blank.ini"));
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "disc.cue"));
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "disc.bin.part"));
    // A CD-R cannot be blanked.
    EXPECT_EQ(none({0xA1, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).sense(), (SenseData{0x05, 0x30, 0x05}));
}

TEST_F(VirtualDriveRecordTest, RefusedRecordings) {
    write("blank.ini", "capacity=200\n");  // shorter than the sheet
    ASSERT_TRUE(none(kTestUnitReady).good());
    EXPECT_EQ(out(write10(0, 1), Bytes(2352)).sense(), (SenseData{0x05, 0x2C, 0x00}));  // no cue sheet yet
    ASSERT_TRUE(out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, writeParameters(false)).good());
    const Bytes sendCue = {0x5D, 0, 0, 0, 0, 0, 0, 0, std::uint8_t(kCueSheet.size()), 0};
    EXPECT_EQ(out(sendCue, kCueSheet).sense(), (SenseData{0x05, 0x21, 0x00}));  // past the capacity
    Bytes backwards = kCueSheet;
    backwards[31] = 0;  // track 2 before track 1
    backwards[29] = 0, backwards[30] = 1;
    EXPECT_EQ(out(sendCue, backwards).sense(), (SenseData{0x05, 0x26, 0x00}));
    EXPECT_EQ(out(sendCue, Bytes(kCueSheet.begin(), kCueSheet.begin() + 16)).sense(),
              (SenseData{0x05, 0x1A, 0x00}));

    // A drive that cannot write does not know the recorder commands.
    VirtualDriveFixture reader;
    reader.write("drive.ini", "writer=0\n");
    reader.write("blank.ini", "capacity=1000\n");
    EXPECT_EQ(reader.out(sendCue, kCueSheet).sense(), (SenseData{0x05, 0x20, 0x00}));
}

}  // namespace
}  // namespace melvarin::test
