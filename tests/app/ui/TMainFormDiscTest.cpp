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
#include "app/ui/TSettingsForm.h"
#include "disc/TAudioCD.h"
#include "drive/CommandSet.h"
#include "drive/ui/TCDInfo.h"
#include "drive/ui/TReadCommandForm.h"
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
    EXPECT_EQ(form.findChild<QComboBox*>("GroupEdit")->findText("Band"), 0);
}

// A case command reaches the artist and album as well as the titles, and the
// saved record keeps all three for the next start.
TEST_F(TMainFormDiscTest, CaseCommandsChangeTitlesArtistAndAlbum) {
    writeFile(drive / "disc.bin", std::string(750 * 2352, '\x05'));
    writeFile(drive / "disc.cue",
              "PERFORMER \"the band\"\nTITLE \"a record\"\nFILE \"disc.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    TITLE \"first song\"\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    TITLE \"second song\"\n    INDEX 01 00:04:00\n");
    // Both titles, the artist and the album, divided by "|".
    auto shown = [](TMainForm& form) {
        auto* list = form.findChild<QTableWidget*>("ListView");
        return QStringList{list->item(0, 0)->text(), list->item(1, 0)->text(),
                           form.findChild<QComboBox*>("GroupEdit")->currentText(),
                           form.findChild<QLineEdit*>("AlbumNameEdit")->text()}
            .join("|")
            .toStdString();
    };
    const std::string upper = "FIRST SONG|SECOND SONG|THE BAND|A RECORD";
    {
        TMainForm form;
        ASSERT_TRUE(waitForRows(form.findChild<QTableWidget*>("ListView"), 2));
        EXPECT_EQ(shown(form), "first song|second song|the band|a record");
        form.findChild<QAction*>("N12")->trigger();
        EXPECT_EQ(shown(form), upper);
        form.findChild<QAction*>("N25")->trigger();
        EXPECT_EQ(shown(form), "First Song|Second Song|The Band|A Record");
        form.findChild<QAction*>("N12")->trigger();
    }
    TMainForm again;
    ASSERT_TRUE(waitForRows(again.findChild<QTableWidget*>("ListView"), 2));
    EXPECT_EQ(shown(again), upper);
}

// Detection tries every read command on the drive, and the settings window may
// close without a change; either way the drive then reads with the command the
// settings give it, not with the last one tried.
TEST_F(TMainFormDiscTest, DriveReadsWithItsConfiguredCommandAfterDetectionAndSettings) {
    SettingsRecord settings = defaultSettings();
    settings.CommandType[0] = 7;
    setText(settings.WorkDir, home.path());
    ASSERT_TRUE(SettingsFile::SaveSettings("set.dat", settings, SettingsFile::loadProfileList()).ok);
    // Long enough for the trials, which read at sector 1500.
    writeFile(drive / "disc.bin", std::string(1800 * 2352, '\x05'));
    writeFile(drive / "disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    TMainForm form;
    ASSERT_TRUE(waitForRows(form.findChild<QTableWidget*>("ListView"), 1));
    EXPECT_EQ(form.drive().Current().ReadType(), 7);

    QTimer closer;
    bool detectionShown = false;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* detection = qobject_cast<TReadCommandForm*>(modal)) {
            detectionShown = true;
            detection->reject();
        } else if (auto* window = qobject_cast<TSettingsForm*>(modal)) {
            window->accept();
        }
    });
    closer.start(20);
    EXPECT_FALSE(form.detectReadCommand(0, form.settings().Interface == kTransportSgIo, 26));
    EXPECT_TRUE(detectionShown);
    EXPECT_EQ(form.drive().Current().ReadType(), 7);

    form.drive().SetReadCommand(8);
    form.findChild<QToolButton*>("SettingButton")->click();
    EXPECT_EQ(form.drive().Current().ReadType(), 7);
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
