// Where emulated drives come from, and the sample disc a new home gets.
#include "VirtualDriveFixture.h"
#include "drive/SampleDisc.h"
#include "drive/VirtualDrives.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace melvarin::test {
namespace {

// Sets or clears an environment variable for one test and restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ScopedHome {
public:
    explicit ScopedHome(const std::string& home) : old_(ProgramHome::get()) { ProgramHome::set(home); }
    ~ScopedHome() { ProgramHome::set(old_); }

private:
    std::string old_;
};

TEST(VirtualDriveFolders, EnvironmentListWinsAndKeepsItsOrder) {
    TempDir home;
    ScopedHome h(home.path());
    ScopedEnv env("MELVARIN_VIRTUAL_DRIVES", "/tmp/one::/tmp/two/");
    EXPECT_EQ(VirtualDriveFolders(false), (std::vector<std::string>{"/tmp/one/", "/tmp/two/"}));
    EXPECT_EQ(VirtualDriveFolders(true), (std::vector<std::string>{"/tmp/one/", "/tmp/two/"}));
    EXPECT_FALSE(FileUtil::isDirectory(home / "vdrive"));
}

TEST(VirtualDriveFolders, HomeDriveIsSeededOnceAndOnlyWithoutRealDrives) {
    TempDir home;
    ScopedHome h(home.path());
    ScopedEnv env("MELVARIN_VIRTUAL_DRIVES", nullptr);
    EXPECT_TRUE(VirtualDriveFolders(true).empty());
    EXPECT_FALSE(FileUtil::isDirectory(home / "vdrive"));

    const auto folders = VirtualDriveFolders(false);
    ASSERT_EQ(folders, std::vector<std::string>{home / "vdrive/"});
    EXPECT_TRUE(FileUtil::isRegularFile(home / "vdrive/disc.cue"));

    // An emptied drive stays empty: the user took the disc out.
    std::remove((home / "vdrive/disc.cue").c_str());
    EXPECT_EQ(VirtualDriveFolders(false).size(), 1u);
    EXPECT_FALSE(FileUtil::isRegularFile(home / "vdrive/disc.cue"));
}

TEST(SampleDisc, PlaysAsAThreeTrackDiscWithCdText) {
    VirtualDriveFixture f;
    ASSERT_TRUE(SampleDisc::write(f.folder()));
    const auto device = OpenVirtualDrive(f.folder());
    EXPECT_EQ(device->path(), f.folder());

    const Reply toc = f.in(readTocCdb(0, false), 804);
    ASSERT_TRUE(toc.good());
    ASSERT_EQ(toc.data[3], 3);  // three tracks
    const int leadOut = toc.data[32] << 24 | toc.data[33] << 16 | toc.data[34] << 8 | toc.data[35];
    // Long enough for the read-command trials at LBA 1500 with 26 sectors.
    EXPECT_GE(leadOut, 1526);
    EXPECT_LE(leadOut, 75 * 60);

    const Reply text = f.in(readTocCdb(5), 4000);
    ASSERT_TRUE(text.good());
    const ParsedCdText parsed = parseCdText(text.data);
    EXPECT_EQ(parsed.badCrcs, 0);
    EXPECT_EQ(parsed.artist, "Melvarin");
    EXPECT_EQ(parsed.album, "Sample Disc");
    EXPECT_EQ(parsed.titles, (std::vector<std::string>{"Sunrise", "Little Waltz", "Evening Bells"}));
    EXPECT_TRUE(f.logged.empty());
}

// The music is audible, never clipped, and starts and ends softly.
TEST(SampleDisc, TracksAreCleanAudio) {
    for (int i = 0; i < SampleDisc::kTrackCount; ++i) {
        const auto pcm = SampleDisc::render(i);
        ASSERT_GE(pcm.size(), std::size_t(44100 * 2 * 8)) << i;
        int peak = 0;
        double energy = 0;
        for (std::int16_t s : pcm) {
            peak = std::max(peak, std::abs(int(s)));
            energy += double(s) * s;
        }
        EXPECT_LT(peak, 32000) << i;
        EXPECT_GT(std::sqrt(energy / double(pcm.size())), 1000.0) << i;
        EXPECT_LT(std::abs(int(pcm.front())) + std::abs(int(pcm.back())), 200) << i;
    }
}

}  // namespace
}  // namespace melvarin::test
