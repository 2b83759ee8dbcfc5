#include "app/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace melvarin {
namespace {

// Whether another process could take the lock in `dir` right now.
bool secondProcessGetsLock(const std::string& dir) {
    const pid_t child = ::fork();
    if (child == 0) {
        const InstanceLock lock(dir);
        ::_exit(lock.held() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(InstanceLock, OneHolderAtATimeAndReleasedWithTheObject) {
    test::TempDir dir;
    {
        const InstanceLock first(dir.path());
        ASSERT_TRUE(first.held()) << first.error();
        EXPECT_FALSE(secondProcessGetsLock(dir.path()));
    }
    EXPECT_TRUE(secondProcessGetsLock(dir.path()));
}

TEST(InstanceLock, UnusableFolderIsReportedNotMistakenForAnotherInstance) {
    test::TempDir dir;
    test::writeFile(dir / "file", "x");
    const InstanceLock lock(dir / "file");
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.error().empty());
}

TEST(InstanceLock, SharedTemporaryFolderGetsOneLockPerUser) {
    EXPECT_EQ(InstanceLock::fileName("/tmp"), "Melvarin v3.x mutex." + std::to_string(::getuid()) + ".lock");
    EXPECT_EQ(InstanceLock::fileName("/run/user/1000"), "Melvarin v3.x mutex.lock");
}

}  // namespace
}  // namespace melvarin
