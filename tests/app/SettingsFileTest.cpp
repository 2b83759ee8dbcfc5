#include "app/SettingsFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"
#include "support/TempDir.h"

namespace melvarin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::string bytesOf(const SettingsRecord& r) { return SettingsFile::toBytes(r); }

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ProgramHome::set(dir.path() + "home/"); }
    std::string settingPath(const std::string& name) const { return dir.path() + "home/setting/" + name; }
    SettingsRecord freshDefaults() const {
        const auto paths = SettingsPathDefaults::fromProgramHome();
        return defaultSettings(paths.workDir, paths.lcddbPath);
    }

    TempDir dir;
};

TEST_F(SettingsFileTest, FirstStartUsesDefaultsAndClosingWritesTheRecordAndTheList) {
    const SettingsLoadResult loaded = SettingsFile::LoadSettings("set.dat");
    EXPECT_FALSE(loaded.fromFile);
    EXPECT_EQ(bytesOf(loaded.record), bytesOf(freshDefaults()));
    EXPECT_EQ(getText(loaded.record.LCDDBPath), dir.path() + "home/LocalCDDB/");
    EXPECT_EQ(getText(loaded.record.WorkDir), ProgramHome::musicDir());

    const SettingsSaveResult saved = SettingsFile::SaveCurrentSettings(loaded.record, SettingsFile::loadProfileList());
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(readFile(settingPath("set.dat")), bytesOf(loaded.record));
    EXPECT_EQ(readFile(settingPath("set.dat")).size(), 1516u);
    EXPECT_EQ(readFile(settingPath("prof.lst")), "-1\r\n");

    SettingsRecord changed = loaded.record;
    changed.EncoderConfig.LameBitrate = 9;
    setText(changed.Server, "freedb.example");
    ASSERT_TRUE(SettingsFile::SaveSettings("set.dat", changed, {}).ok);
    const SettingsLoadResult again = SettingsFile::LoadSettings("set.dat");
    EXPECT_TRUE(again.fromFile);
    EXPECT_EQ(again.bytesRead, 1516u);
    EXPECT_EQ(bytesOf(again.record), bytesOf(changed));
}

// Files of odd sizes or kinds load by the rules and never break the program.
TEST_F(SettingsFileTest, ShortEmptyOversizedAndFolderSettingsFiles) {
    const SettingsRecord defaults = freshDefaults();
    std::string stored = bytesOf(defaults);
    stored[299] = 12;  // Speed
    stored[302] = 5;   // NumSecRead

    // A short file: its bytes, then the defaults.
    writeFile(settingPath("set.dat"), stored.substr(0, 300));
    SettingsLoadResult r = SettingsFile::LoadSettings("set.dat");
    EXPECT_TRUE(r.fromFile);
    EXPECT_EQ(r.bytesRead, 300u);
    EXPECT_EQ(r.record.Speed, 12);
    EXPECT_EQ(r.record.NumSecRead, 26);
    EXPECT_EQ(r.record.EncoderConfig.LameBitrate, 12u);

    // Empty: the defaults.
    writeFile(settingPath("set.dat"), "");
    r = SettingsFile::LoadSettings("set.dat");
    EXPECT_TRUE(r.fromFile);
    EXPECT_EQ(bytesOf(r.record), bytesOf(defaults));

    // Oversized: the first 1516 bytes.
    writeFile(settingPath("set.dat"), stored + std::string(5000, '\x7f'));
    r = SettingsFile::LoadSettings("set.dat");
    EXPECT_EQ(r.bytesRead, 1516u);
    EXPECT_EQ(r.record.NumSecRead, 5);
    EXPECT_EQ(r.record.EjectAfterBurn, 1);

    // A folder where the file should be: defaults on load, a clear failure on save.
    std::filesystem::remove(settingPath("set.dat"));
    writeFile(settingPath("set.dat/inside"), "x");
    r = SettingsFile::LoadSettings("set.dat");
    EXPECT_FALSE(r.fromFile);
    EXPECT_EQ(bytesOf(r.record), bytesOf(defaults));
    const SettingsSaveResult saved = SettingsFile::SaveSettings("set.dat", r.record, {});
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("set.dat"), std::string::npos);
    EXPECT_TRUE(FileUtil::isDirectory(settingPath("set.dat")));
}

// A file written by the Windows program: its folders mean nothing here.
TEST_F(SettingsFileTest, WindowsFileLoadsWithUsableFoldersAndSaneColoursAndVolume) {
    SettingsRecord windows = freshDefaults();
    setText(windows.WorkDir, "C:\\music\\");
    setText(windows.LCDDBPath, "C:\\");
    setText(windows.ConvertDir, "D:\\converted\\");
    setText(windows.FileName, "C:\\WINDOWS\\Media\\ding.wav");
    setText(windows.Language, "Украинский");
    windows.WindowColor = 0;
    windows.ControlColor = 0x00123456;
    windows.Volume = 0;
    std::memset(windows.Server, 'x', sizeof windows.Server);  // no terminator inside
    writeFile(settingPath("set.dat"), bytesOf(windows));

    const SettingsRecord r = SettingsFile::LoadSettings("set.dat").record;
    EXPECT_EQ(getText(r.WorkDir), ProgramHome::musicDir());
    EXPECT_EQ(getText(r.LCDDBPath), dir.path() + "home/LocalCDDB/");
    EXPECT_EQ(getText(r.ConvertDir), "");
    EXPECT_EQ(getText(r.FileName), "");
    EXPECT_EQ(getText(r.Language), "Украинский");
    EXPECT_EQ(r.WindowColor, kDefaultWindowColor);
    EXPECT_EQ(r.ControlColor, kDefaultControlColor);
    EXPECT_EQ(r.Volume, 255);
    EXPECT_EQ(std::strlen(r.Server), sizeof r.Server - 1);

    // Folders of this system stay as they are.
    SettingsRecord local = freshDefaults();
    setText(local.WorkDir, "/srv/music/");
    setText(local.LCDDBPath, "/srv/cddb/");
    setText(local.ConvertDir, "/srv/out");
    writeFile(settingPath("set.dat"), bytesOf(local));
    const SettingsRecord l = SettingsFile::LoadSettings("set.dat").record;
    EXPECT_EQ(getText(l.WorkDir), "/srv/music/");
    EXPECT_EQ(getText(l.LCDDBPath), "/srv/cddb/");
    EXPECT_EQ(getText(l.ConvertDir), "/srv/out");
}

// A save that fails half way leaves the previous settings file whole.
TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFile) {
    SettingsRecord old = freshDefaults();
    old.Speed = 8;
    ASSERT_TRUE(SettingsFile::SaveSettings("set.dat", old, {}).ok);

    // The child may write at most 100 bytes per file, so the record cannot be written.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SettingsRecord next = old;
        next.Speed = 40;
        const SettingsSaveResult r = SettingsFile::SaveSettings("set.dat", next, {});
        ::_exit(r.ok ? 0 : (r.error.empty() ? 2 : 1));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the save should fail with a reason";

    EXPECT_EQ(readFile(settingPath("set.dat")), bytesOf(old));
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(settingPath(""))) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 2u) << "only set.dat and prof.lst, no temporary left";
}

TEST_F(SettingsFileTest, UnwritableProgramHomeIsAClearFailure) {
    writeFile(dir / "plain-file", "not a folder");
    ProgramHome::set(dir / "plain-file/home");
    const SettingsLoadResult r = SettingsFile::LoadSettings("set.dat");
    EXPECT_FALSE(r.fromFile);
    const SettingsSaveResult saved = SettingsFile::SaveCurrentSettings(r.record, {});
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("setting/"), std::string::npos) << saved.error;
}

TEST_F(SettingsFileTest, CurrentProfileChoosesTheFileAndNamesStayInsideTheSettingsFolder) {
    SettingsProfileList list;
    list.files = {"Ogg.prof", "Flac.prof"};
    list.current = 1;
    SettingsRecord flac = freshDefaults();
    flac.EncoderConfig.EncoderIndex = 7;
    ASSERT_TRUE(SettingsFile::SaveCurrentSettings(flac, list).ok);
    EXPECT_EQ(readFile(settingPath("prof.lst")), "1\r\nOgg.prof\r\nFlac.prof\r\n");
    EXPECT_EQ(readFile(settingPath("Flac.prof")), bytesOf(flac));
    EXPECT_FALSE(FileUtil::isRegularFile(settingPath("set.dat")));

    const SettingsProfileList back = SettingsFile::loadProfileList();
    EXPECT_EQ(back.current, 1);
    EXPECT_EQ(back.currentFileName(), "Flac.prof");
    EXPECT_EQ(SettingsFile::LoadSettings(back.currentFileName()).record.EncoderConfig.EncoderIndex, 7);

    // A list line that would lead out of the folder counts as the default profile.
    writeFile(settingPath("prof.lst"), "0\r\n../../escaped.prof\r\n");
    const SettingsProfileList evil = SettingsFile::loadProfileList();
    EXPECT_EQ(evil.currentFileName(), "set.dat");
    ASSERT_TRUE(SettingsFile::SaveCurrentSettings(flac, evil).ok);
    EXPECT_FALSE(FileUtil::isRegularFile(dir / "escaped.prof"));
    EXPECT_TRUE(FileUtil::isRegularFile(settingPath("set.dat")));
    EXPECT_FALSE(SettingsFile::SaveSettings("../x.dat", flac, {}).ok);
}

TEST(SettingsProfileList, LineZeroThatNamesNoProfileMeansTheDefault) {
    EXPECT_EQ(SettingsProfileList::parse("").current, -1);
    EXPECT_EQ(SettingsProfileList::parse("abc\r\na.prof\r\n").current, -1);
    EXPECT_EQ(SettingsProfileList::parse("3\r\na.prof\r\n").current, -1);
    EXPECT_EQ(SettingsProfileList::parse(" 0\na.prof").current, -1);
    const SettingsProfileList unix = SettingsProfileList::parse("0\na.prof");
    EXPECT_EQ(unix.current, 0);
    ASSERT_EQ(unix.files.size(), 1u);
    EXPECT_EQ(unix.files[0], "a.prof");
}

TEST(SettingsFile, ReadCommandOnlyForDrivesAndCommandsThatExist) {
    SettingsRecord r = defaultSettings("/m/", "/l/");
    r.CommandType[2] = 5;
    r.CommandType[3] = 12;
    EXPECT_EQ(SettingsFile::readCommandFor(r, 2), 5);
    EXPECT_EQ(SettingsFile::readCommandFor(r, 3), 0);
    EXPECT_EQ(SettingsFile::readCommandFor(r, 200), 0);
}

}  // namespace
}  // namespace melvarin
