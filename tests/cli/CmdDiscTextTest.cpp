// CD-TEXT through the terminal twin: toc --json and the names of grabbed
// files, for a cp1251 disc (declared ISO-8859-1, as Russian pressings are)
// and a real ISO-8859-1 one; and a grab with unreadable sectors.
#include <gtest/gtest.h>

#include <filesystem>

#include "disc/GrabTestDisc.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

int Cli(const GrabTestDisc& disc, const std::string& args, std::string* out, std::string* err) {
    const std::string errFile = disc.dir / "stderr.txt";
    const int status = runCommand("MELVARIN_VIRTUAL_DRIVES=" + shellQuote(disc.driveFolder()) + " " +
                                      shellQuote(MELVARIN_CLI_PATH) + " --home " + shellQuote(disc.dir / "home") +
                                      " --yes " + args + " 2>" + shellQuote(errFile),
                                  out);
    *err = readFile(errFile);
    return status;
}

std::string Python(const GrabTestDisc& disc, const std::string& json, const std::string& expression) {
    writeFile(disc.dir / "toc.json", json);
    std::string printed;
    const int status = runCommand(
        "/usr/bin/python3 -c " +
            shellQuote("import json,sys; d=json.load(open(sys.argv[1], encoding='utf-8')); print(" + expression + ")") +
            " " + shellQuote(disc.dir / "toc.json"),
        &printed);
    return status == 0 ? printed : "";
}

}  // namespace

TEST(CmdDiscText, TocAndFileNamesKeepTheDiscsLetters) {
    struct Case {
        const char* encoding;  // the sheet's REM CDTEXT_ENCODING
        const char* artist;
        const char* album;
        const char* titles[2];
        const char* expected;  // artist|album|title 1|title 2 as toc --json gives them
    };
    const Case cases[] = {
        {"CP1251", "Кино", "Группа крови", {"Звезда по имени Солнце", "Я и ты"},
         "Кино|Группа крови|Звезда по имени Солнце|Я и ты"},
        {"ISO-8859-1", "Mötley Crüe", "Café Noël", {"Straße", "À Paris ©"},
         "Motley Crue|Cafe Noel|Strasse|A Paris ©"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding);
        GrabTestDisc disc({100, 80});
        writeFile(disc.driveFolder() + "disc.cue",
                  std::string("REM CDTEXT_ENCODING ") + c.encoding + "\nPERFORMER \"" + c.artist + "\"\nTITLE \"" +
                      c.album + "\"\nFILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    TITLE \"" + c.titles[0] +
                      "\"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"" + c.titles[1] +
                      "\"\n    INDEX 01 00:01:25\n");
        std::string out, err;
        ASSERT_EQ(Cli(disc, "toc --json", &out, &err), 0) << err;
        EXPECT_EQ(Python(disc, out, "'|'.join([d['artist'], d['album'], d['tracks'][0]['title'], d['tracks'][1]['title']])"),
                  std::string(c.expected) + "\n")
            << out;

        ASSERT_EQ(Cli(disc, "grab --format wav --pattern 'n%N %T' --out " + shellQuote(disc.outFolder()), &out, &err), 0)
            << err;
        const std::string expected = c.expected;
        const std::size_t second = expected.rfind('|'), first = expected.rfind('|', second - 1);
        const std::string one = disc.outFolder() + "n01 " + expected.substr(first + 1, second - first - 1) + ".wav";
        const std::string two = disc.outFolder() + "n02 " + expected.substr(second + 1) + ".wav";
        EXPECT_EQ(out, "wrote " + one + "\nwrote " + two + "\n");
        EXPECT_TRUE(waveData(one) == disc.slice(0, 100));
        EXPECT_TRUE(waveData(two) == disc.slice(100, 80));
    }
}

// Unreadable sectors: the files are written, the sectors named on standard
// error, and the exit status is 1.
TEST(CmdDiscText, GrabWithUnreadableSectorsExitsWithOne) {
    for (const char* method : {"0", "3"}) {
        SCOPED_TRACE(method);
        GrabTestDisc disc({150, 60, 80}, false, "bad_sectors=170-172");
        std::string out, err;
        EXPECT_EQ(Cli(disc, std::string("grab --format wav --method ") + method + " --pattern n%N --out " +
                                shellQuote(disc.outFolder()),
                      &out, &err),
                  1)
            << err;
        EXPECT_EQ(out, "wrote " + disc.outFolder() + "n01.wav\nwrote " + disc.outFolder() + "n02.wav\nwrote " +
                           disc.outFolder() + "n03.wav\n");
        const std::string text = "track 2: 3 sectors could not be read (LBA 170\xE2\x80\x93" "172)";
        EXPECT_NE(err.find("warning: " + text + "\n"), std::string::npos) << err;
        EXPECT_NE(err.find("melvarin-cli grab: " + text + "\n"), std::string::npos) << err;
        std::string two = disc.slice(150, 60);
        two.replace(20 * 2352, 3 * 2352, std::string(3 * 2352, '\0'));
        EXPECT_TRUE(waveData(disc.outFolder() + "n02.wav") == two);
        EXPECT_TRUE(waveData(disc.outFolder() + "n03.wav") == disc.slice(210, 80));
    }
}
