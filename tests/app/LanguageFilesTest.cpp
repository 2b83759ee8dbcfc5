#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/LanguageFiles.h"
#include "app/Messages.h"
#include "app/TLanguage.h"
#include "platform/Cp1251.h"
#include "platform/Embedded.h"
#include "support/TempDir.h"

using melvarin::LanguageFiles;
using melvarin::TLanguage;
using melvarin::test::readFile;
using melvarin::test::TempDir;
using melvarin::test::writeFile;

namespace {

using Items = std::vector<LanguageFiles::MenuItem>;

std::vector<std::string> names(const Items& items) {
    std::vector<std::string> out;
    for (const auto& i : items) out.push_back(i.name + "#" + std::to_string(i.index));
    return out;
}

}  // namespace

TEST(LanguageFiles, BuiltInRussianIsWrittenOnceAndRestoredWhenDeleted) {
    TempDir home;
    const std::string lang = home / "lang/";
    const std::string russian = lang + "russian.lng";
    ASSERT_TRUE(LanguageFiles::installBuiltIn(lang)) << "creates the folder too";
    EXPECT_EQ(readFile(russian), std::string(melvarin::embedded("russian.lng"))) << "byte for byte";

    writeFile(russian, ";LANG:Russian\n#R\n;85:edited by the user\n");
    ASSERT_TRUE(LanguageFiles::installBuiltIn(lang));
    EXPECT_EQ(readFile(russian), ";LANG:Russian\n#R\n;85:edited by the user\n") << "never rewritten";

    std::filesystem::remove(russian);
    ASSERT_TRUE(LanguageFiles::installBuiltIn(lang));
    EXPECT_EQ(readFile(russian), std::string(melvarin::embedded("russian.lng")));

    writeFile(home / "blocked", "a file where the folder should be");
    EXPECT_FALSE(LanguageFiles::installBuiltIn(home / "blocked/lang/"));
}

TEST(LanguageFiles, ListPutsRussianFirstAndSearchesLngFoldersOnly) {
    TempDir home;
    const std::string lang = home / "lang/";
    writeFile(lang + "zulu.lng", ";LANG:Zulu\n");
    writeFile(lang + "german.LNG", ";LANG:Deutsch\n");
    writeFile(lang + "russian.lng", ";LANG:Russian\n");
    writeFile(lang + "notes.txt", ";LANG:Not a language file\n");
    writeFile(lang + "more.lng/french.lng", ";LANG:Francais\n");
    writeFile(lang + "more.lng/RUSSIAN.LNG", ";LANG:Another Russian\n");
    writeFile(lang + "plain/italian.lng", ";LANG:Italiano\n");
    EXPECT_EQ(LanguageFiles::list(lang),
              (std::vector<std::string>{lang + "russian.lng", lang + "german.LNG", lang + "more.lng/french.lng",
                                        lang + "zulu.lng"}));

    TempDir empty;
    EXPECT_EQ(LanguageFiles::list(empty / "lang/"), std::vector<std::string>{empty / "lang/russian.lng"})
        << "the Russian entry stays first even when its file is missing";
}

TEST(LanguageFiles, StartUpOffersNamedLanguagesAndChoosesTheSavedOne) {
    TempDir home;
    const std::string lang = home / "lang/";
    writeFile(lang + "german.lng",
              melvarin::Cp1251::fromUtf8(";FILE:german.lng\r\n;LANG:Deutsch\r\n#01\r\n;02:&Datei\r\n#R\r\n;85:Einstellungen nicht gespeichert!\r\n"));
    writeFile(lang + "unnamed.lng", ";FILE:unnamed.lng\r\n#R\r\n;85:x\r\n");
    TLanguage language;
    const Items items = LanguageFiles::prepare(language, lang);
    EXPECT_TRUE(std::filesystem::exists(lang + "russian.lng"));
    const std::vector<std::string> files = language.Files();
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files[0], lang + "russian.lng");

    const std::vector<std::string> offered = names(items);
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Deutsch#" + std::to_string(
                  std::find(files.begin(), files.end(), lang + "german.lng") - files.begin())),
              offered.end());
    for (const auto& item : items) {
        EXPECT_NE(item.index, 0) << "the Russian file is the menu's fixed item";
        EXPECT_NE(files[static_cast<std::size_t>(item.index)], lang + "unnamed.lng") << "no ;LANG: line";
    }

    // The settings remember "Deutsch"; the next start selects it again.
    TLanguage next;
    const Items again = LanguageFiles::prepare(next, lang);
    const int chosen = LanguageFiles::choose(next, again, "Deutsch");
    EXPECT_EQ(next.Files()[static_cast<std::size_t>(chosen)], lang + "german.lng");
    EXPECT_EQ(next.Current(), chosen);
    melvarin::SetProgramLanguage(&next);
    EXPECT_EQ(melvarin::Message(85), "Einstellungen nicht gespeichert!");
    ASSERT_TRUE(next.FindSection(1));
    EXPECT_EQ(next.GetEntry(2), "&Datei");

    EXPECT_EQ(LanguageFiles::choose(next, again, "Russian"), 0);
    EXPECT_EQ(melvarin::Message(85), "Не могу сохранить настройки!");
    EXPECT_EQ(LanguageFiles::choose(next, again, "Klingon"), 0) << "unknown names fall back to Russian";
    melvarin::SetProgramLanguage(nullptr);
}

TEST(LanguageFiles, ShippedEnglishIsCopiedOnceAndOffered) {
    TempDir home;
    const std::string lang = home / "lang/";
    EXPECT_EQ(LanguageFiles::installShipped(lang), 1);
    const std::string english = readFile(lang + "english.lng");
    EXPECT_NE(english.find(";LANG:English"), std::string::npos);
    writeFile(lang + "english.lng", ";LANG:English (mine)\n");
    EXPECT_EQ(LanguageFiles::installShipped(lang), 0);
    EXPECT_EQ(readFile(lang + "english.lng"), ";LANG:English (mine)\n");

    TLanguage language;
    EXPECT_EQ(names(LanguageFiles::prepare(language, lang)), std::vector<std::string>{"English (mine)#1"});
}

TEST(LanguageFiles, DamagedFilesAreReadWithoutHarm) {
    TempDir home;
    const std::string lang = home / "lang/";
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage.push_back(static_cast<char>((i * 7919 + i / 13) & 0xFF));
    writeFile(lang + "garbage.lng", garbage);
    writeFile(lang + "truncated.lng", ";LANG:Cut\r\n#0");
    writeFile(lang + "huge.lng", ";LANG:Huge\n" + std::string(8u << 20, ';') + "\n#R\n;02:found after 8 MB\n");
    writeFile(lang + "empty.lng", "");
    TLanguage language;
    const Items items = LanguageFiles::prepare(language, lang);
    const std::vector<std::string> files = language.Files();
    EXPECT_EQ(files.size(), 6u) << "Russian, English and the four above";
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        if (!language.Select(i)) continue;
        for (int section = 1; section <= 11; ++section) {
            language.FindSection(section);
            language.GetEntry(2);
            language.GetEntry(150);
        }
        language.GetMessage(109);
    }
    const auto indexOf = [&files](const std::string& path) {
        return static_cast<int>(std::find(files.begin(), files.end(), path) - files.begin());
    };
    const std::vector<std::string> offered = names(items);
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Cut#" + std::to_string(indexOf(lang + "truncated.lng"))),
              offered.end());
    EXPECT_EQ(LanguageFiles::choose(language, items, "Huge"), indexOf(lang + "huge.lng"));
    EXPECT_EQ(language.GetMessage(2), "found after 8 MB");
}
