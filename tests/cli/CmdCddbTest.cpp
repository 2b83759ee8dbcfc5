#include <gtest/gtest.h>

#include "support/FreedbTestServer.h"
#include "support/TempDir.h"

using namespace melvarin::test;

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
