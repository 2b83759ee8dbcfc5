#include <gtest/gtest.h>

#include "support/TempDir.h"

using namespace melvarin;

namespace {

int runToc(const test::TempDir& home, const std::string& drives, const std::string& args, std::string* out) {
    return test::runCommand("MELVARIN_VIRTUAL_DRIVES=" + test::shellQuote(drives) + " " + MELVARIN_CLI_PATH +
                                " --home " + test::shellQuote(home.path()) + " toc " + args,
                            out);
}

}  // namespace

TEST(CmdToc, PrintsTheDiscAsTextAndJson) {
    test::TempDir home, drive;
    test::writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
    test::writeFile(drive / "disc.cue",
                    "PERFORMER \"The Band\"\nTITLE \"A\\B\"\nFILE \"disc.bin\" BINARY\n"
                    "  TRACK 01 AUDIO\n    TITLE \"Opening\"\n    INDEX 01 00:00:00\n"
                    "  TRACK 02 AUDIO\n    TITLE \"Closing\"\n    INDEX 01 00:04:00\n");
    std::string out;
    ASSERT_EQ(runToc(home, drive.path(), "", &out), 0) << out;
    // 2 + 6 = 8 for the digit sums, 12 - 2 = 10 seconds, two tracks.
    EXPECT_NE(out.find("discid 08000a02\n"), std::string::npos) << out;
    EXPECT_NE(out.find("tracks 2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("02  lba 300  start 00:06:00  length 00:06:00  bytes 1058400  audio  Closing\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find("artist The Band\n"), std::string::npos) << out;

    ASSERT_EQ(runToc(home, drive.path(), "--json", &out), 0) << out;
    std::string check;
    test::writeFile(home / "toc.json", out);
    ASSERT_EQ(test::runCommand("/usr/bin/python3 -c " +
                                   test::shellQuote("import json,sys; d=json.load(open(sys.argv[1])); "
                                                    "print(d['discid'], d['album'], d['tracks'][1]['bytes'], "
                                                    "d['tracks'][0]['start'], d['tracks'][1]['audio'])") +
                                   " " + test::shellQuote(home / "toc.json"),
                               &check),
              0) << out;
    EXPECT_EQ(check, "08000a02 A\\B 1058400 00:02:00 True\n") << out;
}

TEST(CmdToc, FailsWithoutDiscOrWithWrongUsage) {
    test::TempDir home, drive;
    std::string out;
    EXPECT_EQ(runToc(home, drive.path(), "", &out), 1);
    EXPECT_EQ(runToc(home, drive.path(), "--bogus", &out), 2);
}
