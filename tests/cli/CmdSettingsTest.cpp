#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/SettingsFields.h"
#include "app/SettingsRecord.h"
#include "support/TempDir.h"

namespace melvarin {
namespace {

using test::readFile;
using test::shellQuote;
using test::writeFile;

// Runs melvarin-cli on a program home inside a temporary folder that also
// serves as the user's home, so the music folder is known and nothing real is touched.
class CmdSettingsTest : public ::testing::Test {
protected:
    int cli(const std::string& args, std::string* out = nullptr, bool withErrors = false) {
        const std::string line = "HOME=" + shellQuote(dir.path()) + " XDG_CONFIG_HOME= " +
                                 shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(home()) + " " + args;
        return test::runCommand(line, out, withErrors);
    }
    std::string home() const { return dir.path() + "h/"; }

    test::TempDir dir;
};

TEST_F(CmdSettingsTest, FreshHomeShowsTheDefaultsWithoutWritingAnything) {
    std::string out;
    EXPECT_EQ(cli("settings get LameBitrate", &out), 0);
    EXPECT_EQ(out, "12\n");
    EXPECT_EQ(cli("settings get WorkDir", &out), 0);
    EXPECT_EQ(out, dir.path() + "Music/\n");
    EXPECT_EQ(cli("settings get LCDDBPath", &out), 0);
    EXPECT_EQ(out, home() + "LocalCDDB/\n");

    EXPECT_EQ(cli("settings dump", &out), 0);
    std::istringstream lines(out);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line)) ++count;
    EXPECT_EQ(count, SettingsFields::all().size());
    EXPECT_NE(out.find("\nSpeed=30\n"), std::string::npos);
    EXPECT_NE(out.find("\nEncoderConfig.Format=0\n"), std::string::npos);
    EXPECT_EQ(readFile(home() + "setting/set.dat"), "");
}

TEST_F(CmdSettingsTest, SetWritesTheCurrentProfileAndGetReadsItBack) {
    std::string out;
    ASSERT_EQ(cli("settings set LameBitrate 9"), 0);
    ASSERT_EQ(cli("settings set Language 'Русский'"), 0);
    ASSERT_EQ(cli("settings set 'CommandType[2]' 4"), 0);
    EXPECT_EQ(cli("settings get LameBitrate", &out), 0);
    EXPECT_EQ(out, "9\n");
    EXPECT_EQ(cli("settings get Language", &out), 0);
    EXPECT_EQ(out, "Русский\n");

    const std::string stored = readFile(home() + "setting/set.dat");
    ASSERT_EQ(stored.size(), 1516u);
    EXPECT_EQ(stored[1100], 9);
    EXPECT_EQ(static_cast<unsigned char>(stored[1077]), 0xD0);  // cp1251 Р
    EXPECT_EQ(stored[309 + 2], 4);
    EXPECT_EQ(readFile(home() + "setting/prof.lst"), "-1\r\n");

    // With a named profile current, that profile's file changes and set.dat stays.
    writeFile(home() + "setting/prof.lst", "0\r\nOgg.prof\r\n");
    ASSERT_EQ(cli("settings set EncoderIndex 3"), 0);
    EXPECT_EQ(readFile(home() + "setting/Ogg.prof")[1100 + 129], 3);
    EXPECT_EQ(readFile(home() + "setting/set.dat"), stored);
    EXPECT_EQ(readFile(home() + "setting/prof.lst"), "0\r\nOgg.prof\r\n");
}

TEST_F(CmdSettingsTest, WindowsSettingsFileGetsFoldersOfThisSystem) {
    SettingsRecord windows = defaultSettings("C:\\music\\", "C:\\");
    windows.Speed = 16;
    writeFile(home() + "setting/set.dat", std::string(reinterpret_cast<const char*>(&windows), sizeof windows));
    std::string out;
    EXPECT_EQ(cli("settings get WorkDir", &out), 0);
    EXPECT_EQ(out, dir.path() + "Music/\n");
    EXPECT_EQ(cli("settings get LCDDBPath", &out), 0);
    EXPECT_EQ(out, home() + "LocalCDDB/\n");
    EXPECT_EQ(cli("settings get Speed", &out), 0);
    EXPECT_EQ(out, "16\n");
}

TEST_F(CmdSettingsTest, WrongUseAndFailedWritesHaveTheirExitStatus) {
    std::string out;
    EXPECT_EQ(cli("settings", &out, true), 2);
    EXPECT_EQ(cli("settings frobnicate", &out, true), 2);
    EXPECT_EQ(cli("settings get", &out, true), 2);
    EXPECT_EQ(cli("settings get NoSuchField", &out, true), 2);
    EXPECT_NE(out.find("NoSuchField"), std::string::npos) << out;
    EXPECT_EQ(cli("settings set Speed 99", &out, true), 2);
    EXPECT_NE(out.find("Speed"), std::string::npos) << out;
    EXPECT_EQ(readFile(home() + "setting/set.dat"), "");

    // A program home below a plain file cannot be written.
    writeFile(dir / "plain", "x");
    const std::string line = "HOME=" + shellQuote(dir.path()) + " " + shellQuote(MELVARIN_CLI_PATH) +
                             " --home " + shellQuote(dir / "plain/h") + " settings set Speed 10";
    EXPECT_EQ(test::runCommand(line, &out, true), 1);
    EXPECT_NE(out.find("cannot"), std::string::npos) << out;
}

}  // namespace
}  // namespace melvarin
