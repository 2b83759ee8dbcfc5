#include <QAction>
#include <QMenu>
#include <QTableWidget>

#include <filesystem>
#include <gtest/gtest.h>

#include "app/WindowTexts.h"
#include "app/ui/TMainForm.h"
#include "support/TempDir.h"
#include "support/TestHome.h"

namespace melvarin {
namespace {

using test::TempDir;
using test::writeFile;

// The entry of section 01 that labels the menu item `name`.
WindowText captionOf(const char* name) {
    const WindowText* t = WindowTexts::find("TMainForm", name, TextRole::Text);
    if (t) return *t;
    ADD_FAILURE() << "no caption for " << name;
    return {};
}

QStringList languageEntries(TMainForm& form) {
    QStringList names;
    for (QAction* a : form.findChild<QMenu*>("Lang1")->actions()) names << a->text();
    return names;
}

QAction* languageEntry(TMainForm& form, const QString& name) {
    for (QAction* a : form.findChild<QMenu*>("Lang1")->actions())
        if (a->text() == name) return a;
    return nullptr;
}

class LanguageMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::UseTestHome(home, drive));
        refresh = captionOf("Refresh1");
        exit = captionOf("Exit1");
        ASSERT_LT(refresh.entry, exit.entry);
        // German labels only the refresh item; every other caption is missing.
        writeFile(home / "lang/german.lng", std::string(";FILE:german.lng\r\n;LANG:Deutsch\r\n#01\r\n;") +
                                                (refresh.entry < 10 ? "0" : "") + std::to_string(refresh.entry) + ":Aktualisieren\r\n#R\r\n");
        // No ";LANG:" line: not a language the menu offers.
        writeFile(home / "lang/notes.lng", "// notes\r\n#01\r\n;02:x\r\n");
    }

    TempDir drive;
    TempDir home;
    WindowText refresh{};
    WindowText exit{};
};

TEST_F(LanguageMenuTest, OffersNamedLanguagesAndRemembersTheChoiceAcrossRestarts) {
    {
        TMainForm form;
        // Russian first, then the named files in file-name order (english.lng,
        // shipped with the program, before german.lng); notes.lng is not offered.
        QStringList expected{"Russian"};
        if (std::filesystem::exists(home / "lang/english.lng")) expected << "English";
        expected << "Deutsch";
        EXPECT_EQ(languageEntries(form), expected);
        QAction* german = languageEntry(form, "Deutsch");
        ASSERT_NE(german, nullptr);
        german->trigger();
        EXPECT_TRUE(german->isChecked());
        EXPECT_FALSE(form.findChild<QAction*>("Russian1")->isChecked());
        EXPECT_EQ(getText(form.settings().Language), "Deutsch");
        EXPECT_EQ(form.findChild<QAction*>("Refresh1")->text(), "Aktualisieren");
        // Missing entries give empty captions rather than stale Russian ones.
        EXPECT_EQ(form.findChild<QAction*>("Exit1")->text(), "");
    }
    {
        TMainForm form;
        EXPECT_TRUE(languageEntry(form, "Deutsch")->isChecked());
        EXPECT_EQ(form.findChild<QAction*>("Refresh1")->text(), "Aktualisieren");

        // Back to Russian: the captions come from the Russian file again.
        form.findChild<QAction*>("Russian1")->trigger();
        EXPECT_EQ(getText(form.settings().Language), "Russian");
        EXPECT_EQ(form.findChild<QAction*>("Refresh1")->text().toStdString(), refresh.russian);
        EXPECT_EQ(form.findChild<QAction*>("Exit1")->text().toStdString(), exit.russian);
    }
    TMainForm form;
    EXPECT_TRUE(form.findChild<QAction*>("Russian1")->isChecked());
}

TEST_F(LanguageMenuTest, AStoredLanguageThatIsGoneFallsBackToRussian) {
    {
        TMainForm form;
        languageEntry(form, "Deutsch")->trigger();
    }
    std::filesystem::remove(home / "lang/german.lng");
    TMainForm form;
    EXPECT_FALSE(languageEntries(form).contains("Deutsch"));
    EXPECT_TRUE(form.findChild<QAction*>("Russian1")->isChecked());
    EXPECT_EQ(form.findChild<QAction*>("Refresh1")->text().toStdString(), refresh.russian);
}

}  // namespace
}  // namespace melvarin
