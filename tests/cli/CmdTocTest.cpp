#include <gtest/gtest.h>

#include "disc/DiscRecord.h"
#include "disc/DiscStore.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

int runToc(const test::TempDir& home, const std::string& drives, const std::string& args, std::string* out) {
    return test::runCommand("MELVARIN_VIRTUAL_DRIVES=" + test::shellQuote(drives) + " " + MELVARIN_CLI_PATH +
                                " --home " + test::shellQuote(home.path()) + " toc " + args,
                            out);
}

// Runs `print(EXPRESSION)` in Python with `d` the JSON object of `json`, read
// as UTF-8 by Python's own parser. Returns what it printed, "" on failure.
std::string pythonJson(const test::TempDir& home, const std::string& json, const std::string& expression) {
    test::writeFile(home / "toc.json", json);
    std::string printed;
    const int status = test::runCommand(
        "/usr/bin/python3 -c " +
            test::shellQuote("import json,sys; d=json.load(open(sys.argv[1], encoding='utf-8')); print(" +
                             expression + ")") +
            " " + test::shellQuote(home / "toc.json"),
        &printed);
    return status == 0 ? printed : "";
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
    const std::string check = pythonJson(
        home, out, "d['discid'], d['album'], d['tracks'][1]['bytes'], d['tracks'][0]['start'], d['tracks'][1]['audio']");
    EXPECT_EQ(check, "08000a02 A\\B 1058400 00:02:00 True\n") << out;
}

TEST(CmdToc, JsonKeepsSavedTextsExactly) {
    test::TempDir home, drive;
    test::writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
    test::writeFile(drive / "disc.cue",
                    "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n");
    // A record saved for this disc with Cyrillic texts and control characters.
    DiscRecord saved{};
    saved.clear();
    saved.DiscId = 0x08000a02;
    saved.TrackCount = 2;
    saved.setArtist("Группа \"Ёж\"");
    saved.setAlbum("Tab\there\r\n");
    saved.setTitle(0, "Первая\x01\x1f\x7f");
    saved.setTitle(1, "back\\slash");
    test::writeFile(DiscStore(home / "setting/albums/").DatFileName(saved.DiscId), saved.toBytes());

    std::string out;
    ASSERT_EQ(runToc(home, drive.path(), "--json", &out), 0) << out;
    const std::string check =
        pythonJson(home, out, "ascii([d['artist'], d['album'], d['tracks'][0]['title'], d['tracks'][1]['title']])");
    EXPECT_EQ(check,
              "['\\u0413\\u0440\\u0443\\u043f\\u043f\\u0430 \"\\u0401\\u0436\"', 'Tab\\there\\r\\n', "
              "'\\u041f\\u0435\\u0440\\u0432\\u0430\\u044f\\x01\\x1f\\x7f', 'back\\\\slash']\n")
        << out;
}

TEST(CmdToc, FailsWithoutDiscOrWithWrongUsage) {
    test::TempDir home, drive;
    std::string out;
    EXPECT_EQ(runToc(home, drive.path(), "", &out), 1);
    EXPECT_EQ(runToc(home, drive.path(), "--bogus", &out), 2);
}
