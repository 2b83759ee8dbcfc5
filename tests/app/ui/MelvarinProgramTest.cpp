// The real melvarin program, started offscreen on a program home of its own.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace melvarin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

// A melvarin process with MELVARIN_HOME = `home` and its lock folder in `runtime`.
class Program {
public:
    Program(const std::string& home, const std::string& runtime) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("MELVARIN_HOME=", 0) && var.rfind("XDG_RUNTIME_DIR=", 0) &&
                var.rfind("QT_QPA_PLATFORM=", 0))
                env.push_back(var);
        }
        env.push_back("MELVARIN_HOME=" + home);
        env.push_back("XDG_RUNTIME_DIR=" + runtime);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string path = MELVARIN_GUI_PATH;
        char* argv[] = {path.data(), nullptr};
        started_ = posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, envp.data()) == 0;
    }
    ~Program() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    bool started() const { return started_; }
    pid_t pid() const { return pid_; }
    // The wait status of the ended process.
    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
        waited_ = true;
        return status;
    }
    // True while the process has not ended.
    bool running() {
        int status = 0;
        return !waited_ && ::waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    pid_t pid_ = -1;
    bool started_ = false;
    bool waited_ = false;
};

// Waits until the window has been built: its language file is on disk by then.
bool waitForStart(Program& program, const std::string& home) {
    while (program.running()) {
        if (std::filesystem::exists(home + "lang/russian.lng") && std::filesystem::exists(home + "TempFiles"))
            return true;
        ::usleep(20000);
    }
    return false;
}

TEST(MelvarinProgramTest, SigtermClosesLikeTheWindowAndSavesTheSettings) {
    TempDir home, runtime;
    Program program(home.path(), runtime.path());
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(waitForStart(program, home.path()));
    // The handler is in place before the window is built; the signal waits in
    // its pipe until the event loop runs.
    ASSERT_EQ(::kill(program.pid(), SIGTERM), 0);
    const int status = program.wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(std::filesystem::file_size(home / "setting/set.dat"), 1516u);
    EXPECT_EQ(readFile(home / "setting/prof.lst").substr(0, 2), "-1");
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "lang/russian.lng"));
    EXPECT_FALSE(std::filesystem::exists(home / "TempFiles"));
}

TEST(MelvarinProgramTest, ASecondInstanceLeavesAtOnceWithStatusZero) {
    TempDir home, runtime;
    Program first(home.path(), runtime.path());
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(waitForStart(first, home.path()));

    TempDir otherHome;  // even with a home of its own: one melvarin per user
    Program second(otherHome.path(), runtime.path());
    ASSERT_TRUE(second.started());
    const int status = second.wait();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::exists(otherHome / "setting"));
    EXPECT_TRUE(first.running());

    ::kill(first.pid(), SIGINT);
    const int firstStatus = first.wait();
    ASSERT_TRUE(WIFEXITED(firstStatus));
    EXPECT_EQ(std::filesystem::file_size(home / "setting/set.dat"), 1516u);
}

TEST(MelvarinProgramTest, AnUnusableProgramHomeIsReportedWithoutACrash) {
    TempDir dir, runtime;
    writeFile(dir / "home", "a file, not a folder");
    Program program(dir / "home/", runtime.path());
    ASSERT_TRUE(program.started());
    const int status = program.wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readFile(dir / "home"), "a file, not a folder");
}

}  // namespace
}  // namespace melvarin
