#include <gtest/gtest.h>

#include "platform/FileUtil.h"
#include "support/FreedbTestServer.h"
#include "support/TempDir.h"

using namespace melvarin::test;
using melvarin::FileUtil;

namespace {

std::string cli(const TempDir& home, const std::string& args, int* status) {
    std::string out;
    *status = runCommand(std::string(MELVARIN_CLI_PATH) + " --home " + shellQuote(home.path()) + " " + args, &out);
    return out;
}

}  // namespace

TEST(CmdCddbSites, FetchesAndSavesTheSiteList) {
    TempDir home;
    FreedbTestServer server;
    server.setSiteLines({"a.example http 80 /~cddb/cddb.cgi N000.00 W000.00 First mirror"});
    int status = -1;
    const std::string out = cli(home, "cddb-sites --server " + server.server(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "First mirror (a.example/~cddb/cddb.cgi)\n");
    EXPECT_EQ(readFile(home / "setting/serervs.lst"), "First mirror#a.example#/~cddb/cddb.cgi#\r\n");

    // A server that sends junk leaves the list as it was and fails.
    server.setBehaviour(FreedbTestServer::Behaviour::Junk);
    cli(home, "cddb-sites --server " + server.server() + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(readFile(home / "setting/serervs.lst"), "First mirror#a.example#/~cddb/cddb.cgi#\r\n");

    cli(home, "cddb-sites --bogus 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

namespace {

// Two tracks without CD-TEXT: identifier 08000a02 (see the toc tests).
void PutTwoTrackDisc(const TempDir& drive) {
    writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
    writeFile(drive / "disc.cue",
              "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n");
}

std::string withDrive(const std::string& drive, const TempDir& home, const std::string& args, int* status) {
    std::string out;
    *status = runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(drive) + " " + MELVARIN_CLI_PATH + " --home " +
                             shellQuote(home.path()) + " " + args,
                         &out);
    return out;
}

}  // namespace

TEST(CmdCddb, FillsTheDiscAndTheNextTocShowsTheSavedTexts) {
    TempDir home, drive;
    PutTwoTrackDisc(drive);
    FreedbTestServer server;
    server.addEntry({"rock", 0x08000a02, "Кино / Ночь",
                     "# xmcd\r\nDISCID=08000a02\r\nDTITLE=Кино / Ночь\r\nDYEAR=1986\r\nDGENRE=Rock\r\n"
                     "TTITLE0=Видели ночь\r\nTTITLE1=Фильмы\r\n"});
    server.addEntry({"misc", 0x08000a02, "Other / Disc", "# xmcd\r\nDTITLE=Other / Disc\r\nTTITLE0=x\r\n"});
    // A fresh home has no path in its settings: --server alone must still
    // reach the CGI a real server answers on.
    server.setPath("/~cddb/cddb.cgi");

    int status = -1;
    // --drive names the drive to look up: there is no second one.
    EXPECT_EQ(withDrive(drive.path(), home, "--drive 1 cddb --pick 1 --server " + server.server() + " 2>&1", &status),
              "melvarin-cli cddb: no drive 1\n");
    EXPECT_EQ(status, 1);
    // Two matches and no terminal: the command asks for --pick.
    withDrive(drive.path(), home, "cddb --server " + server.server() + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);

    const std::string out = withDrive(drive.path(), home, "cddb --pick 1 --server " + server.server(), &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "artist Кино\nalbum Ночь\nyear 1986\ngenre Rock\n01  Видели ночь\n02  Фильмы\n");
    EXPECT_TRUE(FileUtil::isRegularFile(home / "LocalCDDB/rock/08to08"));

    const std::string toc = withDrive(drive.path(), home, "toc", &status);
    ASSERT_EQ(status, 0) << toc;
    EXPECT_NE(toc.find("audio  Фильмы\n"), std::string::npos) << toc;
    EXPECT_NE(toc.find("artist Кино\n"), std::string::npos) << toc;
}

// --yes answers "try again?" three times at most; then the command fails.
TEST(CmdCddb, YesRetriesAFailingServerThreeTimesThenFails) {
    TempDir home, drive;
    PutTwoTrackDisc(drive);
    FreedbTestServer server;
    server.setQueryBody("500 Internal server error.\r\n");
    int status = -1;
    const std::string err =
        withDrive(drive.path(), home, "--yes cddb --timeout 2 --server " + server.server() + " 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 1) << err;
    EXPECT_EQ(server.requests().size(), 4u);
    std::size_t yes = 0;
    for (auto p = err.find("[yes]"); p != std::string::npos; p = err.find("[yes]", p + 1)) ++yes;
    EXPECT_EQ(yes, 3u) << err;
    EXPECT_NE(err.find("[no: tried again 3 times]"), std::string::npos) << err;
}

// Texts that cannot be saved with the disc are a failure, and the local CDDB
// is not given texts the disc's record lacks.
TEST(CmdCddb, UnsavableRecordFailsAndLeavesTheLocalCddbAlone) {
    TempDir home, drive;
    PutTwoTrackDisc(drive);
    FileUtil::makeDirs(home / "setting");
    writeFile(home / "setting/albums", "a file where the folder should be");
    FreedbTestServer server;
    server.addEntry({"rock", 0x08000a02, "A / B", "# xmcd\r\nDTITLE=A / B\r\nDGENRE=Rock\r\nTTITLE0=x\r\n"});
    int status = -1;
    const std::string err =
        withDrive(drive.path(), home, "cddb --server " + server.server() + " 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("could not be saved"), std::string::npos) << err;
    EXPECT_FALSE(FileUtil::isRegularFile(home / "LocalCDDB/rock/08to08"));
}
