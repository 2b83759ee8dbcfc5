// Disc folders the emulated drive must refuse: each gives "no disc" with the
// reason in the log, never a crash or a half-read disc.
#include "VirtualDriveFixture.h"

#include <gtest/gtest.h>

namespace melvarin::test {
namespace {

struct BadSheet {
    const char* why;
    std::string cue;
    std::string reason;  // a part of the logged text
};

const std::string kTrack1 = "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";

std::string manyTracks(int n) {
    std::string cue = "FILE \"a.bin\" BINARY\n";
    for (int i = 1; i <= n; ++i) {
        const std::string num = (i < 10 ? "0" : "") + std::to_string(i);
        const std::string frames = (i % 75 < 10 ? "0" : "") + std::to_string(i % 75);
        cue += "  TRACK " + num + " AUDIO\n    INDEX 01 00:0" + std::to_string(i / 75) + ":" + frames + "\n";
    }
    return cue;
}

std::vector<BadSheet> badSheets() {
    return {
        {"the named file does not exist", "FILE \"missing.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
         "cannot open"},
        {"seconds must stay below 60", "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:60:00\n",
         "bad time"},
        {"frames must stay below 75", "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:75\n", "bad time"},
        {"a time needs three fields", "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:10\n", "bad time"},
        {"a 99-track disc is the limit", manyTracks(100), "bad track number 100"},
        {"indexes must not go back",
         "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 00 00:00:10\n    INDEX 01 00:00:05\n", "lies before"},
        {"a track must not start before the previous one",
         kTrack1 + "  TRACK 02 AUDIO\n    INDEX 01 00:00:20\n  TRACK 03 AUDIO\n    INDEX 01 00:00:10\n",
         "previous track"},
        {"huge minutes", "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 99999999999999999999:00:00\n",
         "bad time"},
        {"huge track number", "FILE \"a.bin\" BINARY\n  TRACK 4294967297 AUDIO\n    INDEX 01 00:00:00\n",
         "bad track number"},
        {"track numbers rise by one", kTrack1 + "  TRACK 03 AUDIO\n    INDEX 01 00:00:20\n", "rise by one"},
        {"an index past the end of the file", kTrack1 + "  TRACK 02 AUDIO\n    INDEX 01 00:20:00\n", "past the end"},
        {"text that is not UTF-8", "TITLE \"Caf\xE9\"\n" + kTrack1, "not UTF-8"},
        {"a track without INDEX 01", "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 00 00:00:00\n",
         "no INDEX 01"},
        {"TRACK before FILE", "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n", "before any FILE"},
        {"no tracks at all", "REM nothing here\n", "no tracks"},
        {"a data track in a WAVE file", "FILE \"a.bin\" WAVE\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n",
         "WAVE"},
        {"a WAVE file that is not WAVE", "FILE \"a.bin\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
         "not a RIFF WAVE"},
        {"a third session", kTrack1 + "REM SESSION 03\n  TRACK 02 AUDIO\n    INDEX 01 00:00:20\n", "sessions"},
        {"unsupported track mode", "FILE \"a.bin\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n",
         "not supported"},
    };
}

TEST(VirtualCueSheet, BadSheetsGiveNoDiscAndALoggedReason) {
    for (const BadSheet& bad : badSheets()) {
        VirtualDriveFixture f;
        f.write("a.bin", VirtualDriveFixture::binSectors(100, 0));
        f.write("disc.cue", bad.cue);
        const Reply r = f.none({0x00, 0, 0, 0, 0, 0});  // TEST UNIT READY
        EXPECT_EQ(r.sense(), (SenseData{0x02, 0x3A, 0x00})) << bad.why;
        ASSERT_EQ(f.logged.size(), 1u) << bad.why;
        EXPECT_NE(f.logged[0].find(bad.reason), std::string::npos) << bad.why << ": " << f.logged[0];
        // Asking again does not repeat the same complaint.
        f.none({0x00, 0, 0, 0, 0, 0});
        EXPECT_EQ(f.logged.size(), 1u) << bad.why;
    }
}

TEST(VirtualCueSheet, BinaryFileOfPartialSectorsIsRefusedUntilMended) {
    VirtualDriveFixture f;
    f.write("a.bin", VirtualDriveFixture::binSectors(10, 0) + "xyz");
    f.write("disc.cue", kTrack1);
    EXPECT_EQ(f.none({0x00, 0, 0, 0, 0, 0}).sense(), (SenseData{0x02, 0x3A, 0x00}));
    ASSERT_EQ(f.logged.size(), 1u);
    EXPECT_NE(f.logged[0].find("not a multiple of 2352"), std::string::npos);
    // Fixing the file alone (the sheet unchanged) brings the disc.
    f.write("a.bin", VirtualDriveFixture::binSectors(10, 0));
    EXPECT_EQ(f.none({0x00, 0, 0, 0, 0, 0}).sense(), (SenseData{0x06, 0x28, 0x00}));
    EXPECT_TRUE(f.none({0x00, 0, 0, 0, 0, 0}).good());
}

TEST(VirtualCueSheet, AcceptsWhatRealSheetsCarry) {
    // A byte order mark, CR LF line ends, lower case, comments, catalog and
    // ISRC lines, a file name with blanks, 99 tracks.
    std::string cue = "\xEF\xBB\xBF" "CATALOG 0000000000000\r\nREM GENRE Ambient\r\nfile \"my disc.bin\" binary\r\n";
    for (int i = 1; i <= 99; ++i) {
        const std::string num = (i < 10 ? "0" : "") + std::to_string(i);
        cue += "  track " + num + " audio\r\n    ISRC XXXXX0000000\r\n    index 01 00:0" +
               std::to_string(i / 75) + ":" + (i % 75 < 10 ? "0" : "") + std::to_string(i % 75) + "\r\n";
    }
    const auto sheet = VirtualCueSheet::parse(cue);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->tracks().size(), 99u);
    EXPECT_EQ(sheet->files()[0].name, "my disc.bin");
    EXPECT_EQ(sheet->tracks()[98].index01(), 99);
}

}  // namespace
}  // namespace melvarin::test
