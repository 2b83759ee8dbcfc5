// The table of contents the emulated drive answers, byte by byte, for the disc
// layouts the reader must understand: pre-gaps from the file and from the drive,
// control flags, a data track and an Enhanced CD's second session.
#include "VirtualDriveFixture.h"

#include <gtest/gtest.h>

#include <regex>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class VirtualDriveTocTest : public ::testing::Test, protected VirtualDriveFixture {};

TEST_F(VirtualDriveTocTest, MultiTrackSheetWithPregapsAndFlags) {
    write("a.bin", binSectors(300, 0x1000));
    write("b.wav", waveSectors(200, 0x2000));
    write("disc.cue",
          "FILE \"a.bin\" BINARY\n"
          "  TRACK 01 AUDIO\n"
          "    INDEX 01 00:00:00\n"
          "  TRACK 02 AUDIO\n"
          "    FLAGS PRE DCP\n"
          "    INDEX 00 00:01:00\n"
          "    INDEX 01 00:02:00\n"
          "FILE \"b.wav\" WAVE\n"
          "  TRACK 03 AUDIO\n"
          "    PREGAP 00:01:00\n"
          "    INDEX 01 00:00:00\n");
    const Reply r = in(readTocCdb(), 804);
    ASSERT_TRUE(r.good());
    const Bytes expected = {
        0x00, 0x22, 0x01, 0x03,                          // length 34, tracks 1-3
        0x00, 0x10, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,  // track 1, ADR 1, 00:02:00
        0x00, 0x13, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00,  // track 2, copy + pre-emphasis, 00:04:00
        0x00, 0x10, 0x03, 0x00, 0x00, 0x00, 0x07, 0x00,  // track 3 after 1 s of drive pre-gap, 00:07:00
        0x00, 0x10, 0xAA, 0x00, 0x00, 0x00, 0x09, 0x32,  // lead-out 00:09:50
    };
    EXPECT_EQ(r.data, expected);

    // The same in LBA form, from track 2 on.
    const Reply lba = in(readTocCdb(0, false, 2), 804);
    ASSERT_TRUE(lba.good());
    const Bytes expectedLba = {
        0x00, 0x1A, 0x01, 0x03,                          // length 26: two descriptors
        0x00, 0x13, 0x02, 0x00, 0x00, 0x00, 0x00, 0x96,  // track 2 at LBA 150
        0x00, 0x10, 0x03, 0x00, 0x00, 0x00, 0x01, 0x77,  // track 3 at LBA 375
        0x00, 0x10, 0xAA, 0x00, 0x00, 0x00, 0x02, 0x3F,  // lead-out at LBA 575
    };
    EXPECT_EQ(lba.data, expectedLba);

    // Sectors come from the right place: INDEX 00 from the file, PREGAP silent.
    const Reply idx0 = in(readCdCdb(75, 1), 2352);
    ASSERT_TRUE(idx0.good());
    EXPECT_EQ(idx0.data[0] | idx0.data[1] << 8, 0x1000 + 75);
    const Reply gap = in(readCdCdb(374, 1), 2352);
    ASSERT_TRUE(gap.good());
    EXPECT_EQ(gap.data, Bytes(2352, 0));
    const Reply wave = in(readCdCdb(375 + 199, 1), 2352);
    ASSERT_TRUE(wave.good());
    EXPECT_EQ(wave.data[2350] | wave.data[2351] << 8, 0x2000 + 199);

    // A starting track past the last one is refused; 0xAA gives the lead-out alone.
    EXPECT_EQ(in(readTocCdb(0, true, 4), 804).sense(), (SenseData{0x05, 0x24, 0x00}));
    EXPECT_EQ(in(readTocCdb(0, true, 0xAA), 804).data.size(), 12u);
    // A short allocation cuts the reply but keeps the full length field.
    auto cdb = readTocCdb();
    cdb[7] = 0, cdb[8] = 12;  // allocation length 12
    const Reply cut = in(cdb, 804);
    ASSERT_EQ(cut.data.size(), 12u);
    EXPECT_EQ(cut.data[1], 0x22);
}

TEST_F(VirtualDriveTocTest, EnhancedCdSecondSessionStarts11400FramesAfterTheFirst) {
    write("audio.bin", binSectors(150, 0));
    write("data.bin", binSectors(100, 0x5000));
    write("disc.cue",
          "FILE \"audio.bin\" BINARY\n"
          "  TRACK 01 AUDIO\n"
          "    INDEX 01 00:00:00\n"
          "  TRACK 02 AUDIO\n"
          "    INDEX 01 00:01:00\n"
          "REM SESSION 02\n"
          "FILE \"data.bin\" BINARY\n"
          "  TRACK 03 MODE1/2352\n"
          "    INDEX 01 00:00:00\n");
    const Reply r = in(readTocCdb(), 804);
    ASSERT_TRUE(r.good());
    const Bytes expected = {
        0x00, 0x22, 0x01, 0x03,
        0x00, 0x10, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,  // track 1 00:02:00
        0x00, 0x10, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00,  // track 2 00:03:00, session 1 ends at LBA 150
        0x00, 0x14, 0x03, 0x00, 0x00, 0x02, 0x24, 0x00,  // data track at LBA 150 + 11400: 02:36:00
        0x00, 0x14, 0xAA, 0x00, 0x00, 0x02, 0x25, 0x19,  // lead-out 02:37:25
    };
    EXPECT_EQ(r.data, expected);

    const Reply sessions = in(readTocCdb(1), 804);
    ASSERT_TRUE(sessions.good());
    const Bytes expectedSessions = {
        0x00, 0x0A, 0x01, 0x02,                          // sessions 1-2
        0x00, 0x14, 0x03, 0x00, 0x00, 0x02, 0x24, 0x00,  // first track of the last session
    };
    EXPECT_EQ(sessions.data, expectedSessions);

    // Between the sessions there is nothing to read; the data track reads in
    // raw form, its user data alone, but never as CD-DA.
    EXPECT_EQ(in(readCdCdb(150, 1), 2352).sense(), (SenseData{0x05, 0x21, 0x00}));
    EXPECT_EQ(in(readCdCdb(11550, 1, 1), 2352).sense(), (SenseData{0x05, 0x64, 0x00}));
    const Reply raw = in(readCdCdb(11550, 2, 0, 0xF8), 4704);
    ASSERT_TRUE(raw.good());
    EXPECT_EQ(raw.data.size(), 4704u);
    const Reply user = in(readCdCdb(11550, 2, 0, 0x10), 4704);
    ASSERT_TRUE(user.good());
    EXPECT_EQ(user.data.size(), 4096u);
    EXPECT_EQ(user.data[0] | user.data[1] << 8, 0x5000);  // user data starts 16 bytes into the sector
}

// libcdio reads the same single-file image on its own; its track list must
// match our TOC (start, type, copy and pre-emphasis flags).
TEST_F(VirtualDriveTocTest, AgreesWithCdInfo) {
    if (runCommand("command -v cd-info >/dev/null") != 0) GTEST_SKIP() << "cd-info is not installed";
    write("disc.bin", binSectors(700, 0));
    write("disc.cue",
          "FILE \"disc.bin\" BINARY\n"
          "  TRACK 01 AUDIO\n"
          "    INDEX 01 00:00:00\n"
          "  TRACK 02 AUDIO\n"
          "    FLAGS DCP PRE\n"
          "    INDEX 00 00:01:00\n"
          "    INDEX 01 00:02:20\n"
          "  TRACK 03 AUDIO\n"
          "    FLAGS DCP\n"
          "    INDEX 01 00:04:00\n"
          "  TRACK 04 MODE1/2352\n"
          "    INDEX 00 00:06:00\n"
          "    INDEX 01 00:07:10\n");
    std::string out;
    ASSERT_EQ(runCommand("cd " + shellQuote(folder()) +
                             " && cd-info --no-header --no-device-info --no-cddb --no-analyze --cue-file disc.cue",
                         &out),
              0);
    const Reply toc = in(readTocCdb(0, false), 804);
    ASSERT_TRUE(toc.good());
    const std::regex row(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+) (audio|data|leadout)\s*\S*\s*(yes|no)?\s*\d?\s*(yes|no)?)");
    int rows = 0;
    std::size_t pos = 0;
    while (pos < out.size()) {
        const std::size_t end = out.find('\n', pos);
        const std::string line = out.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? out.size() : end + 1;
        std::smatch m;
        if (!std::regex_search(line, m, row)) continue;
        const std::size_t d = 4 + 8 * std::size_t(rows);
        ASSERT_LT(d + 8, toc.data.size() + 1) << line;
        const int number = std::stoi(m[1]);
        EXPECT_EQ(toc.data[d + 2], number == 170 ? 0xAA : number) << line;
        const long lsn = std::stol(m[2]);
        EXPECT_EQ(toc.data[d + 4] << 24 | toc.data[d + 5] << 16 | toc.data[d + 6] << 8 | toc.data[d + 7], lsn) << line;
        const int control = toc.data[d + 1] & 0x0F;
        if (m[3] != "leadout") {
            EXPECT_EQ((control & 0x4) != 0, m[3] == "data") << line;
        }
        if (m[3] == "audio") {
            EXPECT_EQ((control & 0x2) != 0, m[4] == "yes") << line;
            EXPECT_EQ((control & 0x1) != 0, m[5] == "yes") << line;
        }
        ++rows;
    }
    EXPECT_EQ(rows, 5) << out;
}

}  // namespace
}  // namespace melvarin::test
