#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <gtest/gtest.h>

#include "app/SettingsFile.h"
#include "app/ui/TMainForm.h"
#include "drive/ui/TCDInfo.h"
#include "platform/FileUtil.h"
#include "support/FreedbTestServer.h"
#include "support/TempDir.h"
#include "support/TestHome.h"

namespace melvarin {
namespace {

using test::TempDir;
using test::writeFile;

// The window over an emulated drive whose disc the test inserts and removes.
class TMainFormDiscTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::UseTestHome(home, drive));
    }

    // Two audio tracks of 4 and 6 seconds, identifier 08000a02, no CD-TEXT.
    void insertDisc() {
        writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
        writeFile(drive / "disc.cue",
                  "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                  "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n");
    }

    // Runs timer periods until the list shows `rows` rows (or a few seconds pass).
    bool waitForRows(QTableWidget* list, int rows) {
        for (int i = 0; i < 40 && list->rowCount() != rows; ++i) {
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return list->rowCount() == rows;
    }

    TempDir home, drive;
};

TEST_F(TMainFormDiscTest, ListFollowsTheDiscInTheDrive) {
    TMainForm form;
    auto* list = form.findChild<QTableWidget*>("ListView");
    auto* box = form.findChild<QComboBox*>("CDROMBox");
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), "MELVARIN VIRTUAL CD-RW");
    EXPECT_EQ(list->rowCount(), 0);

    insertDisc();
    ASSERT_TRUE(waitForRows(list, 2));
    EXPECT_EQ(list->item(0, 0)->text(), "Track 1");
    EXPECT_EQ(list->item(1, 1)->text(), "00:06:00");
    EXPECT_TRUE(form.findChild<QToolButton*>("SpeedButton6")->isEnabled());

    std::filesystem::remove(drive / "disc.cue");
    ASSERT_TRUE(waitForRows(list, 0));
    EXPECT_FALSE(form.DiscLoaded);
}

TEST_F(TMainFormDiscTest, FreedbButtonFillsTheTitlesAndSavesTheDisc) {
    test::FreedbTestServer server;
    server.addEntry({"rock", 0x08000a02, "Band / Record",
                     "# xmcd\r\nDISCID=08000a02\r\nDTITLE=Band / Record\r\nDYEAR=1999\r\nDGENRE=Rock\r\n"
                     "TTITLE0=First\r\nTTITLE1=Second\r\n"});
    SettingsRecord settings = defaultSettings();
    setText(settings.Server, server.server());
    settings.TimeOut = 3000;
    ASSERT_TRUE(SettingsFile::SaveSettings("set.dat", settings, SettingsFile::loadProfileList()).ok);
    insertDisc();
    TMainForm form;
    auto* list = form.findChild<QTableWidget*>("ListView");
    ASSERT_TRUE(waitForRows(list, 2));

    form.findChild<QToolButton*>("SpeedButton6")->click();
    for (int i = 0; i < 50 && list->item(1, 0)->text() != "Second"; ++i) {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_EQ(list->item(1, 0)->text(), "Second");
    EXPECT_EQ(form.findChild<QComboBox*>("GroupEdit")->currentText(), "Band");
    EXPECT_EQ(form.findChild<QLineEdit*>("AlbumNameEdit")->text(), "Record");
    // Saved as the disc's record and tags, and in the local CDDB.
    EXPECT_TRUE(FileUtil::isRegularFile(home / "setting/albums/134220290.dat"));
    EXPECT_TRUE(FileUtil::isRegularFile(home / "setting/albums/134220290.dat.tag"));
    EXPECT_TRUE(FileUtil::isRegularFile(home / "LocalCDDB/rock/08to08"));
}

TEST_F(TMainFormDiscTest, DriveInformationWindowDescribesTheDrive) {
    TMainForm form;
    auto* item = form.findChild<QAction*>("SysInfo");
    ASSERT_TRUE(item->isEnabled());
    QString text;
    QTimer::singleShot(50, [&] {
        if (auto* info = qobject_cast<TCDInfo*>(QApplication::activeModalWidget())) {
            text = info->findChild<QPlainTextEdit*>("InfoBox")->toPlainText();
            info->accept();
        }
    });
    item->trigger();
    EXPECT_TRUE(text.contains("MELVARIN VIRTUAL CD-RW 1.00\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Да"))) << text.toStdString();
}

}  // namespace
}  // namespace melvarin
