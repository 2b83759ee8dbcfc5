#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/TLanguage.h"
#include "platform/Cp1251.h"
#include "support/TempDir.h"

using melvarin::Cp1251;
using melvarin::TLanguage;
using melvarin::test::TempDir;
using melvarin::test::writeFile;

namespace {

// A translation in the layout the program writes: header, window sections, then
// the messages. Section 02 lacks entry 04, which section 03 has; nobody has 15.
const char* const kSample =
    "// header\r\n"
    ";FILE:test.lng\r\n"
    ";LANG:Test\r\n"
    "#01\r\n"
    ";02:Main title\r\n"
    ";03:&File\r\n"
    "#02\r\n"
    ";02:Settings\r\n"
    ";03:General\r\n"
    ";05:Five of 02\r\n"
    "#03\r\n"
    ";02:Burn\r\n"
    ";04:Four of 03\r\n"
    ";05:Five of 03\r\n"
    ";06:\r\n"
    "#R\r\n"
    ";00:Zero\r\n"
    ";02:Two\r\n"
    ";85:Eighty-five\r\n"
    ";109:Last\r\n";

std::string writeSample(const TempDir& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir / name;
    writeFile(path, bytes);
    return path;
}

}  // namespace

TEST(LanguageTable, SelectFindsMessagesAndReportsMissingFiles) {
    TempDir dir;
    TLanguage lang;
    EXPECT_EQ(lang.Current(), -1);
    EXPECT_EQ(lang.GetMessage(2), "");
    EXPECT_FALSE(lang.FindSection(1));
    EXPECT_EQ(lang.GetEntry(2), "");

    lang.SetFiles({dir / "missing.lng", writeSample(dir, "t.lng", kSample), dir.path()});
    EXPECT_FALSE(lang.Select(0));
    EXPECT_EQ(lang.Current(), -1);
    EXPECT_FALSE(lang.Select(2)) << "a folder is not a language file";
    EXPECT_FALSE(lang.Select(3));
    EXPECT_FALSE(lang.Select(-1));

    ASSERT_TRUE(lang.Select(1));
    EXPECT_EQ(lang.Current(), 1);
    EXPECT_EQ(lang.MessagesPos(), static_cast<long>(std::string(kSample).find("#R\r\n") + 3));
    EXPECT_EQ(lang.GetMessage(85), "Eighty-five");
    EXPECT_EQ(lang.GetMessage(2), "Two") << "every message lookup starts again at #R";
    EXPECT_EQ(lang.GetMessage(0), "Zero");
    EXPECT_EQ(lang.GetMessage(109), "Last");
    EXPECT_EQ(lang.GetMessage(3), "") << "window entries above #R are not messages";

    EXPECT_FALSE(lang.Select(0));
    EXPECT_EQ(lang.Current(), -1) << "a failed select leaves no language current";
    EXPECT_EQ(lang.GetMessage(85), "");
}

TEST(LanguageTable, EntriesReadForwardAcrossSections) {
    TempDir dir;
    TLanguage lang;
    lang.SetFiles({writeSample(dir, "t.lng", kSample)});
    ASSERT_TRUE(lang.Select(0));

    ASSERT_TRUE(lang.FindSection(2));
    EXPECT_EQ(lang.GetEntry(2), "Settings");
    EXPECT_EQ(lang.GetEntry(4), "Four of 03") << "a later section answers a missing entry";
    EXPECT_EQ(lang.GetEntry(5), "Five of 03") << "and the pass goes on from there";
    EXPECT_EQ(lang.GetEntry(3), "") << "lower number than one already found";
    EXPECT_EQ(lang.GetEntry(15), "") << "found nowhere";
    EXPECT_EQ(lang.GetEntry(6), "") << "present but empty";
    EXPECT_EQ(lang.GetEntry(85), "Eighty-five") << "a missed entry leaves the position in place";

    ASSERT_TRUE(lang.FindSection(1)) << "sections are found from the top again";
    EXPECT_EQ(lang.GetEntry(3), "&File");
    EXPECT_FALSE(lang.FindSection(7));
    EXPECT_EQ(lang.GetEntry(2), "") << "lookups after a missing section are empty";
    EXPECT_EQ(lang.GetMessage(2), "Two");

    ASSERT_TRUE(lang.FindSection(3));
    EXPECT_EQ(lang.GetMessage(2), "Two");
    EXPECT_EQ(lang.GetEntry(4), "Four of 03") << "messages do not move the caption position";
}

TEST(LanguageTable, LineEndsLongLinesAndEntryNumbers) {
    TempDir dir;
    const std::string longText(600, 'x');
    std::string bytes = std::string("#R\n") +
                        ";10:lf\n"
                        ";11:cr\r"
                        ";12:nul" + std::string(1, '\0') +
                        ";13:" + longText + "\n"
                        ";5:one digit\n"
                        ";1234:four digits\n"
                        "; 14:blank before\n"
                        ";014:three digits\n"
                        ";15 no colon\n"
                        ";16:a:b\n"
                        ";17:last without end";
    // The tail of a split line reads as a line of its own and can be an entry.
    bytes += "\n;20:" + std::string(507, 'y') + ";21:tail\n";
    TLanguage lang;
    lang.SetFiles({writeSample(dir, "l.lng", bytes)});
    ASSERT_TRUE(lang.Select(0));
    EXPECT_EQ(lang.GetMessage(10), "lf");
    EXPECT_EQ(lang.GetMessage(11), "cr");
    EXPECT_EQ(lang.GetMessage(12), "nul");
    EXPECT_EQ(lang.GetMessage(13), std::string(511 - 4, 'x'));
    EXPECT_EQ(lang.GetMessage(5), "");
    EXPECT_EQ(lang.GetMessage(1234), "");
    EXPECT_EQ(lang.GetMessage(14), "three digits");
    EXPECT_EQ(lang.GetMessage(15), "");
    EXPECT_EQ(lang.GetMessage(16), "a:b");
    EXPECT_EQ(lang.GetMessage(17), "last without end");
    EXPECT_EQ(lang.GetMessage(20), std::string(507, 'y'));
    EXPECT_EQ(lang.GetMessage(21), "tail");
}

TEST(LanguageTable, TextsAreDecodedToUtf8) {
    TempDir dir;
    const std::string cp = Cp1251::fromUtf8("#R\r\n;02:Вставьте диск...\r\n");
    const std::string utf8 = "#R\r\n;02:Einlegen: Ä Ö Ü ß\r\n";
    TLanguage lang;
    lang.SetFiles({writeSample(dir, "c.lng", cp), writeSample(dir, "u.lng", utf8)});
    ASSERT_TRUE(lang.Select(0));
    EXPECT_EQ(lang.GetMessage(2), "Вставьте диск...");
    ASSERT_TRUE(lang.Select(1));
    EXPECT_EQ(lang.GetMessage(2), "Einlegen: Ä Ö Ü ß");
}

TEST(LanguageTable, ListLanguagesNamesEveryFileWithAHeaderName) {
    TempDir dir;
    TLanguage lang;
    lang.SetFiles({writeSample(dir, "russian.lng", ";LANG:Russian\r\n#R\r\n"),
                   writeSample(dir, "german.lng", "// Deutsch\n;FILE:german.lng\n;LANG:Deutsch\n#01\n"),
                   writeSample(dir, "noname.lng", ";FILE:noname.lng\n#R\n;00:x\n"),
                   dir / "gone.lng",
                   writeSample(dir, "late.lng", "#01\n;LANG:Too late\n"),
                   writeSample(dir, "cyr.lng", Cp1251::fromUtf8(";LANG:Русский\n"))});
    ASSERT_TRUE(lang.Select(1));
    std::vector<std::string> list{"kept"};
    lang.ListLanguages(list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "Russian#0", "Deutsch#1", "Русский#5"}));
    EXPECT_EQ(lang.Current(), 1) << "listing does not change the current language";
}

TEST(LanguageTable, MessagesFromAnotherThreadDoNotBreakACaptionPass) {
    TempDir dir;
    TLanguage lang;
    lang.SetFiles({writeSample(dir, "t.lng", kSample)});
    ASSERT_TRUE(lang.Select(0));
    std::thread worker([&lang] {
        for (int i = 0; i < 2000; ++i)
            if (lang.GetMessage(85) != "Eighty-five") ADD_FAILURE() << "message lost at " << i;
    });
    for (int pass = 0; pass < 300; ++pass) {
        ASSERT_TRUE(lang.FindSection(2));
        ASSERT_EQ(lang.GetEntry(2), "Settings");
        ASSERT_EQ(lang.GetEntry(3), "General");
        ASSERT_EQ(lang.GetEntry(5), "Five of 02");
    }
    worker.join();
}
