#include "app/ProgramFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"
#include "support/TempDir.h"

namespace melvarin {
namespace {

TEST(ProgramFolders, StartUpCreatesTheFoldersAndShutdownRemovesOnlyTheTemporaryOne) {
    test::TempDir dir;
    ProgramHome::set(dir / "home");
    std::string error;
    ASSERT_TRUE(ProgramFolders::create(error)) << error;
    for (const char* sub : {"setting/", "setting/albums/", "lang/", "TempFiles/"})
        EXPECT_TRUE(FileUtil::isDirectory(dir / "home/" + sub)) << sub;

    test::writeFile(dir / "home/TempFiles/track01.wav", "RIFF");
    ASSERT_TRUE(ProgramFolders::removeTempFiles());
    EXPECT_FALSE(std::filesystem::exists(dir / "home/TempFiles"));
    EXPECT_TRUE(FileUtil::isDirectory(dir / "home/setting"));

    // A temporary folder that links elsewhere: the link goes, the files it points at stay.
    test::writeFile(dir / "elsewhere/keep.wav", "RIFF");
    std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "home/TempFiles");
    ASSERT_TRUE(ProgramFolders::removeTempFiles());
    EXPECT_TRUE(FileUtil::isRegularFile(dir / "elsewhere/keep.wav"));
}

TEST(ProgramFolders, HomeThatCannotBeCreatedIsReported) {
    test::TempDir dir;
    test::writeFile(dir / "file", "x");
    ProgramHome::set(dir / "file/home");
    std::string error;
    EXPECT_FALSE(ProgramFolders::create(error));
    EXPECT_NE(error.find("file/home/setting/"), std::string::npos) << error;
}

}  // namespace
}  // namespace melvarin
