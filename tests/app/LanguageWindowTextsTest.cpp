#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "app/TLanguage.h"
#include "app/WindowTexts.h"
#include "platform/Cp1251.h"
#include "platform/Embedded.h"
#include "platform/FileUtil.h"
#include "support/TempDir.h"

using melvarin::TextRole;
using melvarin::TLanguage;
using melvarin::WindowSection;
using melvarin::WindowText;
using melvarin::WindowTexts;
using melvarin::test::TempDir;
using melvarin::test::writeFile;

namespace {

const std::string kEnglishPath = std::string(MELVARIN_SOURCE_DIR) + "/data/english.lng";

bool indexed(TextRole role) {
    return role == TextRole::Column || role == TextRole::Item || role == TextRole::Node;
}

}  // namespace

TEST(LanguageWindowTexts, TableIsNumberedInReadingOrderAndUnambiguous) {
    int previous = 0;
    std::set<std::tuple<std::string, std::string, TextRole, int>> keys;
    for (const WindowSection& s : WindowTexts::sections()) {
        EXPECT_GT(s.number, previous) << "sections in increasing order";
        previous = s.number;
        ASSERT_FALSE(s.texts.empty()) << "section " << s.number;
        for (std::size_t i = 0; i < s.texts.size(); ++i) {
            const WindowText& t = s.texts[i];
            EXPECT_EQ(t.entry, static_cast<int>(i) + 2) << "section " << s.number << " " << t.control;
            EXPECT_LE(t.entry, 999) << "entry numbers have at most three digits";
            if (!indexed(t.role)) {
                EXPECT_EQ(t.index, 0) << t.control;
            }
            EXPECT_TRUE(melvarin::Cp1251::isValidUtf8(t.russian)) << t.control;
            EXPECT_EQ(melvarin::Cp1251::toUtf8(melvarin::Cp1251::fromUtf8(t.russian)), t.russian)
                << "every built-in text has a cp1251 form: " << t.control;
            EXPECT_TRUE(keys.emplace(t.window, t.control, t.role, t.index).second)
                << "labelled twice: " << t.window << "/" << t.control;
        }
    }
    EXPECT_EQ(previous, 11);
    ASSERT_NE(WindowTexts::section(1), nullptr);
    EXPECT_EQ(WindowTexts::section(12), nullptr);
    EXPECT_FALSE(WindowTexts::section(10)->builtIn);

    // Entry numbers other windows and files rely on.
    EXPECT_EQ(WindowTexts::find("TMainForm", "File1", TextRole::Text)->entry, 2);
    EXPECT_EQ(WindowTexts::russian("TMainForm", "File1", TextRole::Text), "&Файл");
    EXPECT_EQ(WindowTexts::find("TConvertForm", "DoneSuffix", TextRole::String)->entry, 26);
    EXPECT_EQ(WindowTexts::russian("TConvertForm", "DoneSuffix", TextRole::String), "завершено");
    EXPECT_EQ(WindowTexts::find("TReadCommandForm", "ListView", TextRole::Column, 3)->entry, 7);
    EXPECT_EQ(WindowTexts::find("TTrackPropForm", "CBPos", TextRole::Text)->entry, 8);
    EXPECT_EQ(WindowTexts::find("TMainWriteForm", "ListView", TextRole::Column, 4)->entry, 40);
    EXPECT_EQ(WindowTexts::find("TMainForm", "Nothing", TextRole::Text), nullptr);
    EXPECT_EQ(WindowTexts::russian("TMainForm", "ListView", TextRole::Column, 9), "");
}

TEST(LanguageWindowTexts, BuiltInFileCarriesTheTableEntryByEntry) {
    TempDir dir;
    writeFile(dir / "russian.lng", std::string(melvarin::embedded("russian.lng")));
    TLanguage lang;
    lang.SetFiles({dir / "russian.lng"});
    ASSERT_TRUE(lang.Select(0));
    for (const WindowSection& s : WindowTexts::sections()) {
        if (!s.builtIn) {
            EXPECT_FALSE(lang.FindSection(s.number)) << "section " << s.number;
            continue;
        }
        const std::vector<std::string> texts = WindowTexts::read(lang, s.number);
        ASSERT_EQ(texts.size(), s.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], s.texts[i].russian) << "section " << s.number << " entry " << s.texts[i].entry;
    }
}

TEST(LanguageWindowTexts, EnglishFileTranslatesEveryTextAndMessage) {
    const std::optional<std::string> bytes = melvarin::FileUtil::readAll(kEnglishPath);
    ASSERT_TRUE(bytes) << kEnglishPath;
    for (const char c : *bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "plain ASCII";
    TLanguage lang;
    lang.SetFiles({kEnglishPath});
    ASSERT_TRUE(lang.Select(0));
    std::vector<std::string> names;
    lang.ListLanguages(names);
    EXPECT_EQ(names, std::vector<std::string>{"English#0"});
    for (const WindowSection& s : WindowTexts::sections()) {
        ASSERT_TRUE(lang.FindSection(s.number)) << "section " << s.number;
        const std::vector<std::string> texts = WindowTexts::read(lang, s.number);
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_FALSE(texts[i].empty()) << "section " << s.number << " entry " << s.texts[i].entry;
    }
    for (int n = 0; n <= 112; ++n) EXPECT_FALSE(lang.GetMessage(n).empty()) << "message " << n;
    EXPECT_NE(lang.GetMessage(14).find("'%s'"), std::string::npos);
    EXPECT_NE(lang.GetMessage(34).find("'%s'"), std::string::npos);
}

TEST(LanguageWindowTexts, TranslationGapsAreReadForward) {
    TempDir dir;
    // Section 08 lacks entries 4 and 5; entry 5 appears in the later section 09
    // and answers from there (as the file is read forward); entry 4 is nowhere.
    writeFile(dir / "part.lng",
              ";LANG:Partial\n#08\n;02:Track properties\n;03:Track:\n;06:File: %s\n;07:Range\n;08:Now\n;09:Cancel\n"
              "#09\n;05:borrowed\n#R\n");
    TLanguage lang;
    lang.SetFiles({dir / "part.lng"});
    ASSERT_TRUE(lang.Select(0));
    const std::vector<std::string> texts = WindowTexts::read(lang, 8);
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts, (std::vector<std::string>{"Track properties", "Track:", "", "borrowed", "", "", "", ""}))
        << "after the borrowed entry the pass is in section 09, so the rest is missed";

    const std::vector<std::string> none = WindowTexts::read(lang, 3);
    ASSERT_EQ(none.size(), WindowTexts::section(3)->texts.size());
    for (const std::string& t : none) EXPECT_EQ(t, "");
    EXPECT_TRUE(WindowTexts::read(lang, 42).empty());
}
