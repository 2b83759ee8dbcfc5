#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/SettingsRecord.h"
#include "drive/ReadCommands.h"
#include "drive/ui/TCDInfo.h"
#include "drive/ui/TReadCommandForm.h"

using namespace melvarin;

TEST(TCDInfo, ShowsTheLinesAndCopiesThem) {
    const std::vector<std::string> lines = {"Привод : ACME", "", "Чтение CD-DA      :\tДа"};
    TCDInfo window(lines, "Информация о приводе...", 0x00EAEAEA);
    auto* box = window.findChild<QPlainTextEdit*>("InfoBox");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->toPlainText().toStdString(), "Привод : ACME\n\nЧтение CD-DA      :\tДа");
    EXPECT_TRUE(box->isReadOnly());
    window.findChild<QPushButton*>("SpeedButton4")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), box->toPlainText());
}

TEST(TReadCommandForm, OkWritesTheSelectedRowIntoTheSettings) {
    std::vector<ReadTrial> trials;
    for (int type = 0; type < 9; ++type)
        for (int count : {1, 26, 40}) {
            ReadTrial t;
            t.number = static_cast<int>(trials.size()) + 1;
            t.type = type;
            t.name = ReadCommandName(type);
            t.sectors = count;
            t.succeeded = type == 7;
            t.result = t.succeeded ? "успешно" : "неудачно";
            t.value = static_cast<std::uint32_t>(type | count << 8);
            trials.push_back(t);
        }
    SettingsRecord settings = defaultSettings("", "");
    settings.NumSecRead = 26;
    {
        TReadCommandForm form(trials, settings, 2);
        auto* list = form.findChild<QTreeWidget*>("ListView");
        ASSERT_EQ(list->topLevelItemCount(), 27);
        EXPECT_EQ(list->topLevelItem(22)->text(1).toStdString(), "READ MMC2");
        // Ok without a selection changes nothing and keeps the window open.
        form.findChild<QPushButton*>("SpeedButton2")->click();
        EXPECT_EQ(settings.NumSecRead, 26);
        list->setCurrentItem(list->topLevelItem(23));
        form.findChild<QPushButton*>("SpeedButton2")->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(settings.NumSecRead, 40);
    EXPECT_EQ(settings.CommandType[2], 7);

    TReadCommandForm cancelled(trials, settings, 1);
    auto* list = cancelled.findChild<QTreeWidget*>("ListView");
    list->setCurrentItem(list->topLevelItem(0));
    cancelled.findChild<QPushButton*>("SpeedButton1")->click();
    EXPECT_EQ(settings.CommandType[1], 0);
    EXPECT_EQ(settings.NumSecRead, 40);
}
