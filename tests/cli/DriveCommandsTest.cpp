#include <gtest/gtest.h>

#include "drive/SampleDisc.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

// Runs melvarin-cli with a fresh home and one emulated drive on `drive`.
int cli(const TempDir& home, const std::string& drive, const std::string& args, std::string* out) {
    return runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(drive) + " " + shellQuote(MELVARIN_CLI_PATH) +
                          " --home " + shellQuote(home.path()) + " --no " + args,
                      out);
}

int countLines(const std::string& s, const std::string& needle) {
    int n = 0;
    for (std::size_t at = s.find(needle); at != std::string::npos; at = s.find(needle, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(DriveCommands, DrivesInfoAndDetectReadOnAnEmulatedDrive) {
    TempDir home, drive;
    ASSERT_TRUE(SampleDisc::write(drive.path()));
    writeFile(drive / "drive.ini", "read_commands=0,8\n");
    std::string out;
    ASSERT_EQ(cli(home, drive.path(), "drives", &out), 0);
    EXPECT_EQ(out, "0\tMELVARIN VIRTUAL CD-RW\t" + drive.path() + "\n");
    ASSERT_EQ(cli(home, drive.path(), "drives --json", &out), 0);
    EXPECT_EQ(out, "{\"drives\": [{\"index\": 0, \"name\": \"MELVARIN VIRTUAL CD-RW\", \"device\": \"" + drive.path() +
                       "\"}]}\n");

    ASSERT_EQ(cli(home, drive.path(), "info", &out), 0);
    EXPECT_NE(out.find("Привод : MELVARIN VIRTUAL CD-RW 1.00\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Чтение CD-DA      :\tДа\n"), std::string::npos);
    EXPECT_NE(out.find("Запись DVD-R      :\tНет\n"), std::string::npos);
    EXPECT_NE(out.find(" Kb\n"), std::string::npos);

    ASSERT_EQ(cli(home, drive.path(), "detect-read", &out), 0);
    EXPECT_EQ(countLines(out, "\n"), 27);
    EXPECT_EQ(countLines(out, "\tуспешно\n"), 6);
    EXPECT_NE(out.find("1\tStandart MMC1 (IDE Device)\t1\tуспешно\n"), std::string::npos);
    EXPECT_NE(out.find("27\tREAD MMC3\t26\tуспешно\n"), std::string::npos);
    EXPECT_NE(out.find("22\tREAD MMC2\t1\tнеудачно\n"), std::string::npos);
}

TEST(DriveCommands, InfoAndDetectReadSpeakTheChosenLanguage) {
    TempDir home, drive;
    ASSERT_TRUE(SampleDisc::write(drive.path()));
    writeFile(drive / "drive.ini", "read_commands=0,8\n");
    std::string out;
    ASSERT_EQ(cli(home, drive.path(), "settings set Language English", &out), 0) << out;
    ASSERT_EQ(cli(home, drive.path(), "info", &out), 0);
    EXPECT_EQ(out.substr(0, out.find('\n')), "Drive : MELVARIN VIRTUAL CD-RW 1.00");
    EXPECT_NE(out.find("Reads CD-DA       :\tYes\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Writes DVD-R      :\tNo\n"), std::string::npos) << out;
    ASSERT_EQ(cli(home, drive.path(), "detect-read", &out), 0);
    EXPECT_NE(out.find("1\tStandart MMC1 (IDE Device)\t1\tsuccess\n"), std::string::npos) << out;
    for (const unsigned char c : out) ASSERT_LT(c, 0x80) << out;
}

TEST(DriveCommands, DrivesJsonStaysValidUtf8) {
    // A folder named in UTF-8, and a vendor name in an 8-bit code page.
    TempDir home, parent;
    const std::string drive = parent / "привод/";
    writeFile(drive + "drive.ini", "vendor=Ma\xe9tre\n");
    std::string out;
    ASSERT_EQ(cli(home, drive, "drives --json", &out), 0);
    EXPECT_EQ(out, "{\"drives\": [{\"index\": 0, \"name\": \"Ma?tre VIRTUAL CD-RW\", \"device\": \"" + drive +
                       "\"}]}\n");
}

TEST(DriveCommands, NoDiscAndNoDrive) {
    TempDir home, drive;
    std::string out;
    // An empty tray and a --no answer to "insert a disc": cancelled.
    EXPECT_EQ(cli(home, drive.path(), "detect-read", &out), 1);
    EXPECT_TRUE(out.empty());
    // A drive number that is not in the list.
    EXPECT_EQ(cli(home, drive.path(), "--drive 3 info", &out), 1);
    EXPECT_EQ(cli(home, drive.path(), "drives --bogus", &out), 2);
}
