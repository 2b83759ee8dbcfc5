// melvarin-cli as a script and a terminal meet it: signals during a grab,
// COMMAND --help, tags of grabbed tracks, progress on a terminal.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "disc/GrabTestDisc.h"
#include "support/TempDir.h"

extern char** environ;

using namespace melvarin;
using namespace melvarin::test;

namespace {

// melvarin-cli started with the test disc's drive, standard output and error
// into files, standard input from /dev/null or from a pseudo-terminal.
class CliProcess {
public:
    CliProcess(const GrabTestDisc& disc, const std::vector<std::string>& args, bool terminalInput)
        : outFile_(disc.dir / "stdout.txt"), errFile_(disc.dir / "stderr.txt") {
        std::vector<std::string> argv = {MELVARIN_CLI_PATH, "--home", disc.dir / "home"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env = {"MELVARIN_VIRTUAL_DRIVES=" + disc.driveFolder()};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("MELVARIN_VIRTUAL_DRIVES=", 0) != 0) env.push_back(*e);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int slave = -1;
        if (terminalInput) {
            master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
            EXPECT_GE(master_, 0);
            EXPECT_EQ(::grantpt(master_), 0);
            EXPECT_EQ(::unlockpt(master_), 0);
            slave = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
            EXPECT_GE(slave, 0);
            posix_spawn_file_actions_adddup2(&actions, slave, 0);
        } else {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, 1, outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> a, e;
        for (auto& s : argv) a.push_back(s.data());
        for (auto& s : env) e.push_back(s.data());
        a.push_back(nullptr);
        e.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&pid_, a[0], &actions, nullptr, a.data(), e.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        if (slave >= 0) ::close(slave);
    }

    ~CliProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }

    // Waits up to 30 s for standard error to hold `text`.
    bool WaitForError(const std::string& text) const {
        for (int i = 0; i < 300; ++i) {
            if (Err().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void Signal(int signal) const { ::kill(pid_, signal); }

    // The exit status, or 1000 + the signal that killed it, or -1 after 30 s.
    int Wait() {
        for (int i = 0; i < 300; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

    std::string Out() const { return readFile(outFile_); }
    std::string Err() const { return readFile(errFile_); }

private:
    std::string outFile_, errFile_;
    pid_t pid_ = -1;
    int master_ = -1;
};

// Every regular file under `folder`, hidden ones too.
std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (!entry.is_directory()) files.push_back(entry.path().string());
    return files;
}

int Cli(const GrabTestDisc& disc, const std::string& args, std::string* out, std::string* err = nullptr) {
    const std::string errFile = disc.dir / "stderr.txt";
    const int status = runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(disc.driveFolder()) + " " +
                                      shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(disc.dir / "home") + " " +
                                      args + " 2>" + shellQuote(errFile) + " </dev/null",
                                  out);
    if (err) *err = readFile(errFile);
    return status;
}

}  // namespace

// SIGTERM and SIGHUP end a grab at once, as SIGINT does without a terminal or
// when it comes a second time; the exit status tells the signal, and no file
// (nor a temporary one) is left in the output folder.
TEST(CliSignals, EndTheGrabCleanlyWithTheirExitStatus) {
    const struct {
        int signal;
        bool terminalInput;
        int status;
    } cases[] = {
        {SIGTERM, false, 143},
        {SIGHUP, false, 129},
        {SIGINT, false, 130},
        {SIGTERM, true, 143},
        {SIGINT, true, 130},  // the first asks, the second ends the question and the grab
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.terminalInput ? " with a terminal" : ""));
        GrabTestDisc disc({750, 750}, false, "speed_x=1\n");
        CliProcess cli(disc, {"grab", "--format", "wav", "--pattern", "n%N", "--out", disc.outFolder()},
                       c.terminalInput);
        ASSERT_TRUE(cli.WaitForError("%")) << cli.Err();
        cli.Signal(c.signal);
        if (c.signal == SIGINT && c.terminalInput) {
            ASSERT_TRUE(cli.WaitForError("[y/n]")) << cli.Err();
            cli.Signal(SIGINT);
        }
        EXPECT_EQ(cli.Wait(), c.status) << cli.Err();
        EXPECT_NE(cli.Err().find("grab: cancelled"), std::string::npos) << cli.Err();
        EXPECT_EQ(cli.Out(), "");
        EXPECT_EQ(FilesUnder(disc.outFolder()), std::vector<std::string>{});
    }
}

TEST(CliHelp, EveryCommandPrintsItsUsageAndTouchesNothing) {
    GrabTestDisc disc({40});
    std::string out;
    ASSERT_EQ(Cli(disc, "--help", &out), 0);
    std::vector<std::string> commands;
    std::istringstream lines(out.substr(out.find("Commands:")));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("  ", 0) == 0 && line[2] != ' ') commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    ASSERT_GE(commands.size(), 9u) << out;
    for (const std::string& command : commands) {
        for (const char* ask : {"--help", "-h"}) {
            EXPECT_EQ(Cli(disc, command + " " + ask, &out), 0) << command;
            EXPECT_EQ(out.rfind("Usage: melvarin-cli [GLOBAL OPTIONS] " + command, 0), 0u) << out;
        }
    }
    EXPECT_EQ(FilesUnder(disc.dir / "home"), std::vector<std::string>{});

    ASSERT_EQ(Cli(disc, "grab --format wav --help", &out), 0);
    for (const char* code : {"%A", "%D", "%T", "%N", "%Y", "%G", "%C", "%I", "%Т", "%Ж"})
        EXPECT_NE(out.find(code), std::string::npos) << code;
    EXPECT_NE(out.find("Formats of this build: wav mp3 ogg ape aac flac\n"), std::string::npos) << out;
    ASSERT_EQ(Cli(disc, "toc --help", &out), 0);
    EXPECT_EQ(out.find("%A"), std::string::npos);
}

// Tracks named from CD-TEXT carry their number in both tags; a disc without a
// genre gives ID3v1 genre byte 255 (no genre), not 0 ("Blues").
TEST(CmdGrabTags, TrackNumbersAndNoGenreFromCdText) {
    GrabTestDisc disc({80, 60});
    std::string cue = readFile(disc.driveFolder() + "disc.cue");
    cue = "PERFORMER \"Band\"\nTITLE \"Album\"\n" + cue;
    for (const char* track : {"TRACK 01 AUDIO\n", "TRACK 02 AUDIO\n"}) {
        const std::size_t at = cue.find(track) + std::string(track).size();
        cue.insert(at, std::string("    TITLE \"Song ") + track[7] + "\"\n");
    }
    writeFile(disc.driveFolder() + "disc.cue", cue);
    std::string out, err;
    ASSERT_EQ(Cli(disc, "settings set MP3ID1Tag 1", &out, &err), 0) << err;
    ASSERT_EQ(Cli(disc, "settings set MP3ID2Tag 1", &out, &err), 0) << err;
    ASSERT_EQ(Cli(disc, "--quiet grab --format mp3 --pattern t%N --out " + shellQuote(disc.outFolder()), &out, &err),
              0)
        << err;
    for (const char* n : {"1", "2"}) {
        const std::string path = disc.outFolder() + "t0" + n + ".mp3";
        std::string tags;
        ASSERT_EQ(runCommand("/usr/bin/python3 -c " +
                                 shellQuote("import sys\nfrom mutagen.id3 import ID3, ParseID3v1\n"
                                            "t = ID3(sys.argv[1])\n"
                                            "raw = open(sys.argv[1], 'rb').read()[-128:]\n"
                                            "v1 = ParseID3v1(raw)\n"
                                            "print(t['TIT2'].text[0], t['TRCK'].text[0], v1['TRCK'].text[0], raw[127],"
                                            " 'TCON' in v1, sep='|')\n") +
                                 " " + shellQuote(path),
                             &tags, true),
                  0)
            << tags;
        EXPECT_EQ(tags, std::string("Song ") + n + "|0" + n + "|" + n + "|255|False\n");
    }
}

// On a terminal a grab shows one line per file, rewritten in place, and the
// "wrote" line after it; no line per percent.
TEST(CliProgress, OneUpdatingLinePerFileOnATerminal) {
    GrabTestDisc disc({150, 150}, false, "speed_x=2\n");
    std::string screen;
    const std::string command = "MELVARIN_VIRTUAL_DRIVES=" + shellQuote(disc.driveFolder()) + " " +
                                shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(disc.dir / "home") +
                                " grab --format wav --pattern n%N --out " + shellQuote(disc.outFolder());
    // A file of an earlier run is replaced, and said so on the terminal too.
    writeFile(disc.outFolder() + "n02.wav", "old");
    ASSERT_EQ(runCommand("script -qfec " + shellQuote(command) + " /dev/null </dev/null", &screen), 0)
        << screen;
    EXPECT_NE(screen.find("\rtrack 1"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\u00D7"), std::string::npos) << screen;
    EXPECT_NE(screen.find(" left\x1b[K"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\r\x1b[Kwrote " + disc.outFolder() + "n01.wav\r\n"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\r\x1b[Kreplaced " + disc.outFolder() + "n02.wav\r\n"), std::string::npos) << screen;
    // Only the "wrote" and "replaced" lines end a line: the progress never does.
    std::size_t newlines = 0;
    for (char ch : screen) newlines += ch == '\n';
    EXPECT_EQ(newlines, 2u) << screen;
}
