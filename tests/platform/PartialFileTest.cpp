#include "platform/PartialFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}


}  // namespace

// Every way a file ends: only a commit after good writes changes the final
// name, a symlink there is replaced and never followed, and nothing partial
// stays in the folder.
TEST(PartialFile, FinalNameChangesOnlyOnCommit) {
    enum class End { Commit, Discard, Destroy, FailedWrite };
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> before;  // what is at out.wav
        End end;
        bool ok;                 // commit()'s answer
        const char* content;     // of out.wav afterwards; null: absent
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"new", [](const TempDir&) {}, End::Commit, true, "new", false},
        {"earlier file", [](const TempDir& d) { writeFile(d / "out.wav", "old"); }, End::Commit, true, "new", true},
        {"earlier file kept on discard", [](const TempDir& d) { writeFile(d / "out.wav", "old"); }, End::Discard,
         false, "old", false},
        {"earlier file kept on destruction", [](const TempDir& d) { writeFile(d / "out.wav", "old"); },
         End::Destroy, false, "old", false},
        {"earlier file kept on a failed write", [](const TempDir& d) { writeFile(d / "out.wav", "old"); },
         End::FailedWrite, false, "old", false},
        {"nothing on a failed write", [](const TempDir&) {}, End::FailedWrite, false, nullptr, false},
        {"symlink replaced, victim untouched",
         [](const TempDir& d) {
             writeFile(d / "victim", "victim");
             fs::create_symlink(d / "victim", d / "out.wav");
         },
         End::Commit, true, "new", true},
        {"dangling symlink replaced", [](const TempDir& d) { fs::create_symlink(d / "nowhere", d / "out.wav"); },
         End::Commit, true, "new", true},
        {"leftover partial of a killed run",
         [](const TempDir& d) { writeFile(d / ".out.wav.partial", "stale"); }, End::Commit, true, "new", false},
        {"symlink as leftover partial",
         [](const TempDir& d) {
             writeFile(d / "victim", "victim");
             fs::create_symlink(d / "victim", d / ".out.wav.partial");
         },
         End::Commit, true, "new", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        c.before(dir);
        bool ok = false;
        bool replaced = false;
        {
            PartialFile file;
            ASSERT_TRUE(file.open(dir / "out.wav")) << file.error();
            EXPECT_EQ(file.partialPath(), dir / ".out.wav.partial");
            ASSERT_EQ(::write(file.fd(), "new", 3), 3);
            switch (c.end) {
            case End::Commit: ok = file.commit(); break;
            case End::Discard: file.discard(); ok = file.commit(); break;
            case End::Destroy: break;
            case End::FailedWrite:
                file.setFailed("cannot write: No space left on device");
                ok = file.commit();
                EXPECT_EQ(file.error(), "cannot write: No space left on device");
                break;
            }
            replaced = file.replaced();
        }
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(replaced, c.replaced);
        if (c.content) {
            EXPECT_FALSE(fs::is_symlink(dir / "out.wav"));
            EXPECT_EQ(readFile(dir / "out.wav"), c.content);
        } else {
            EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "out.wav")));
        }
        if (fs::exists(dir / "victim")) EXPECT_EQ(readFile(dir / "victim"), "victim");
        for (const std::string& name : Names(dir.path())) EXPECT_FALSE(PartialFile::IsPartialName(name)) << name;
    }
}

TEST(PartialFile, RefusalsNameTheFileAndTheCause) {
    TempDir dir;
    fs::create_directories(dir / "folder.wav");
    writeFile(dir / "plain", "x");
    const struct {
        std::string path;
        const char* cause;
    } cases[] = {
        {dir / "folder.wav", "Is a directory"},
        {dir / "missing/out.wav", "No such file or directory"},
        {dir / "plain/out.wav", "Not a directory"},
    };
    for (const auto& c : cases) {
        PartialFile file;
        EXPECT_FALSE(file.open(c.path));
        EXPECT_NE(file.error().find("\"" + c.path + "\""), std::string::npos) << file.error();
        EXPECT_NE(file.error().find(c.cause), std::string::npos) << file.error();
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"folder.wav", "plain"}));

}

// At start: partial files of killed runs go, other files stay; in the
// temporary folder everything older than the running instance goes.
TEST(PartialFile, LeftoversOfEarlierRunsAreRemoved) {
    TempDir dir;
    for (const char* name : {".a.wav.partial", ".b.mp3.partial", "a.wav", ".hidden", "x.partial", ".partial"})
        writeFile(dir / name, "x");
    fs::create_directories(dir / ".dir.partial");
    writeFile(dir / "sub/.c.wav.partial", "x");
    fs::create_symlink(dir / "a.wav", dir / ".link.wav.partial");
    EXPECT_EQ(PartialFile::RemoveLeftovers(dir.path()), 3);
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{".dir.partial", ".hidden", ".partial", "a.wav", "sub", "x.partial"}));
    EXPECT_TRUE(fs::exists(dir / "sub/.c.wav.partial"));
    EXPECT_EQ(PartialFile::RemoveLeftovers(dir / "missing"), 0);
    writeFile(dir / ".fresh.wav.partial", "x");
    EXPECT_EQ(PartialFile::RemoveLeftovers(dir.path(), std::time(nullptr) - 60), 0);
    EXPECT_TRUE(fs::exists(dir / ".fresh.wav.partial"));

    TempDir temp;
    const std::time_t started = std::time(nullptr);
    writeFile(temp / "old.wav", "x");
    writeFile(temp / "oldfolder/inner.wav", "x");
    writeFile(temp / "new.wav", "x");
    const utimbuf past{started - 3600, started - 3600};
    for (const char* name : {"old.wav", "oldfolder"}) ASSERT_EQ(::utime((temp / name).c_str(), &past), 0);
    EXPECT_EQ(PartialFile::RemoveOlderThan(temp.path(), started), 2);
    EXPECT_EQ(Names(temp.path()), std::vector<std::string>{"new.wav"});
}
