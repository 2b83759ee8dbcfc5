#include "app/ui/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/SettingsFile.h"
#include "app/WindowTexts.h"
#include "support/TempDir.h"
#include "support/TestHome.h"

namespace melvarin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr uint64_t kMb = 1048576;

// A program home of its own for every test, with the folders start-up makes.
class TMainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An emulated drive with no disc, so the machine's drives play no part.
        ASSERT_NO_FATAL_FAILURE(test::UseTestHome(home, drive));
    }

    template <typename T>
    T* child(QWidget& w, const char* name) {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TempDir home;
    TempDir drive;
};

TEST_F(TMainFormTest, FirstStartShowsDefaultsAndClosingWritesSettingsAndLanguage) {
    ASSERT_FALSE(std::filesystem::exists(home / "setting/set.dat"));
    {
        TMainForm form;
        EXPECT_EQ(form.PlayState, TMainForm::Idle);
        EXPECT_EQ(form.windowTitle(), "Melvarin v3.5");
        auto* list = child<QTableWidget>(form, "ListView");
        EXPECT_EQ(list->rowCount(), 0);
        EXPECT_EQ(list->columnCount(), 5);
        EXPECT_TRUE(list->showGrid());
        const int widths[] = {144, 90, 80, 80, 150};
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(list->horizontalHeader()->sectionSize(c), widths[c]) << c;
        }
        // Russian is the built-in language and its captions are the window's own.
        EXPECT_TRUE(child<QAction>(form, "Russian1")->isChecked());
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(list->horizontalHeaderItem(c)->text().toStdString(),
                      WindowTexts::russian("TMainForm", "ListView", TextRole::Column, c));
        }
        EXPECT_TRUE(child<QToolButton>(form, "SpeedButton2")->toolTip().endsWith(" MP3"));
        EXPECT_TRUE(child<QToolButton>(form, "EXTButton")->isHidden());
        EXPECT_FALSE(child<QToolButton>(form, "SpeedButton18")->isHidden());
        // No disc: the disc commands are off, refresh and exit stay on.
        EXPECT_FALSE(child<QToolButton>(form, "SpeedButton9")->isEnabled());
        EXPECT_FALSE(child<QAction>(form, "MP3")->isEnabled());
        EXPECT_TRUE(child<QAction>(form, "Refresh1")->isEnabled());
        EXPECT_TRUE(child<QAction>(form, "Exit1")->isEnabled());
        EXPECT_EQ(child<QAction>(form, "Refresh1")->shortcut(), QKeySequence(Qt::Key_F2));
        EXPECT_EQ(child<QAction>(form, "ExternalEncI")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F9));
        EXPECT_TRUE(std::filesystem::is_regular_file(home / "lang/russian.lng"));
        writeFile(home / "TempFiles/leftover.wav", "RIFF");
    }
    EXPECT_EQ(std::filesystem::file_size(home / "setting/set.dat"), 1516u);
    EXPECT_EQ(readFile(home / "setting/prof.lst").substr(0, 2), "-1");
    EXPECT_FALSE(std::filesystem::exists(home / "TempFiles"));
}

TEST_F(TMainFormTest, ColumnWidthsSavedAreTheUsersNotTheStretchedLastColumn) {
    // Each start: a wide window, then a user's drag of `column` (none: -1).
    struct Start {
        int column, width;
        std::array<int16_t, 5> saved;
    };
    const Start starts[] = {
        {-1, 0, {144, 90, 80, 80, 150}},
        {1, 120, {144, 120, 80, 80, 150}},
        {0, 200, {200, 120, 80, 80, 150}},
    };
    for (const Start& start : starts) {
        {
            TMainForm form;
            form.resize(1400, 600);
            form.show();
            QApplication::processEvents();
            QHeaderView* header = child<QTableWidget>(form, "ListView")->horizontalHeader();
            EXPECT_GT(header->sectionSize(4), 300) << "the last column fills the list";
            if (start.column >= 0) header->resizeSection(start.column, start.width);
        }
        const SettingsRecord saved = SettingsFile::LoadSettings(SettingsFile::loadProfileList().currentFileName()).record;
        for (int c = 0; c < 5; ++c) EXPECT_EQ(saved.ColumnWidths[c], start.saved[c]) << start.column << " column " << c;
    }
}

TEST_F(TMainFormTest, TrackListShowsSizesEstimatesAndStateAndTogglesTheSizePanel) {
    TMainForm form;
    form.settings().EncoderConfig.LameBitrate = 9;  // 128 kbit/s: ratio 11.025
    form.settings().EncoderConfig.VBR = 0;
    form.settings().SizeMode = 0;
    const uint64_t small = static_cast<uint64_t>(5.12 * 11.025 * kMb);
    const uint64_t large = static_cast<uint64_t>(12.34 * 11.025 * kMb);
    form.showTracks({{"One", true, false, 4500 + 75 * 2 + 3, small},
                     {"Two", true, true, 75, large},
                     {"", false, false, 1000, 20 * kMb}});
    auto* list = child<QTableWidget>(form, "ListView");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(0, 1)->text(), "01:02:03");
    EXPECT_EQ(list->item(0, 3)->text(), "05.12 Mb");
    EXPECT_EQ(list->item(1, 3)->text(), "12.34 Mb");
    EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1, 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(0, 4)->text(), "Не скопирован");
    EXPECT_EQ(list->item(1, 4)->text(), "Cкопирован");
    // A data track names itself and counts for nothing.
    EXPECT_EQ(list->item(2, 0)->text(), "Data track");
    EXPECT_TRUE(list->item(2, 3)->text().isEmpty());

    auto* panel = child<QLabel>(form, "SizePanel");
    const double totalMb = static_cast<double>(small + large) / kMb;
    EXPECT_TRUE(panel->text().endsWith(QString::asprintf(" %2.2f Mb", totalMb))) << panel->text().toStdString();
    child<QToolButton>(form, "SSizeBox")->click();
    EXPECT_EQ(form.settings().SizeMode, 1);
    EXPECT_TRUE(panel->text().endsWith(QString::asprintf(" %2.2f Mb", totalMb / 11.025)));

    // A mono channel mode halves the estimate once the window updates it.
    form.settings().EncoderConfig.LameMode = 3;
    form.UpdateSizeEstimate();
    EXPECT_EQ(list->item(1, 3)->text(), "06.17 Mb");
}

TEST_F(TMainFormTest, TitleCommandsAndCheckAllWorkOnAudioRowsOnly) {
    TMainForm form;
    form.showTracks({{"hello wORLD", true, false, 75, kMb}, {"", false, false, 75, kMb}});
    form.SetControlsEnabled(true);
    auto* list = child<QTableWidget>(form, "ListView");
    child<QAction>(form, "N25")->trigger();
    EXPECT_EQ(list->item(0, 0)->text(), "Hello World");
    child<QAction>(form, "N12")->trigger();
    EXPECT_EQ(list->item(0, 0)->text(), "HELLO WORLD");
    child<QAction>(form, "N22")->trigger();
    EXPECT_EQ(list->item(0, 0)->text(), "hello world");
    EXPECT_EQ(list->item(1, 0)->text(), "Data track");

    child<QToolButton>(form, "SpeedButton10")->click();
    EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Unchecked);
    child<QToolButton>(form, "SpeedButton9")->click();
    EXPECT_EQ(list->item(0, 0)->checkState(), Qt::Checked);
    EXPECT_FALSE(list->item(1, 0)->flags() & Qt::ItemIsUserCheckable);
}

TEST_F(TMainFormTest, ToolbarPacksVisibleButtonsAndFollowsSettingsAfterTheSettingsWindow) {
    TMainForm form;
    SettingsRecord& s = form.settings();
    s.ShowWMA = 0;
    s.ShowWAVE = 0;
    s.ShowFreeDB = 0;
    s.ShowEXT = 1;
    s.MP3AsOGG = 1;
    s.ShowGrid = 0;
    s.WindowColor = 0x00112233;   // stored as 0x00BBGGRR
    s.ControlColor = 0x00D1EFFE;  // the list shows this one as 0xD1EFF1
    form.applyAfterSettingsWindow();

    const int w = child<QToolButton>(form, "SpeedButton1")->width();
    const auto x = [&](const char* name) { return child<QToolButton>(form, name)->x(); };
    EXPECT_EQ(x("SpeedButton1"), 2);
    EXPECT_EQ(x("SpeedButton2"), 2 + w);
    EXPECT_EQ(x("EXTButton"), 2 + 2 * w);
    EXPECT_EQ(x("BurnCDButton"), 2 + 3 * w);
    EXPECT_EQ(x("TagSpeedButton"), 2 + 4 * w);
    EXPECT_EQ(x("ConvertButton"), 2 + 5 * w);
    EXPECT_EQ(x("SettingButton"), 2 + 6 * w);
    EXPECT_EQ(x("SpeedButton4"), 2 + 7 * w);
    for (const char* hidden : {"WMAButton", "SpeedButton18", "SpeedButton6"})
        EXPECT_TRUE(child<QToolButton>(form, hidden)->isHidden()) << hidden;
    EXPECT_FALSE(child<QToolButton>(form, "EXTButton")->isHidden());

    const QString hint = child<QToolButton>(form, "SpeedButton2")->toolTip();
    EXPECT_TRUE(hint.endsWith(" OGG")) << hint.toStdString();
    EXPECT_FALSE(hint.contains("MP3"));
    EXPECT_FALSE(child<QTableWidget>(form, "ListView")->showGrid());

    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0x33, 0x22, 0x11));
    EXPECT_EQ(child<QWidget>(form, "SizePanel")->palette().color(QPalette::Window), QColor(0x33, 0x22, 0x11));
    EXPECT_EQ(child<QWidget>(form, "AlbumNameEdit")->palette().color(QPalette::Base), QColor(0xFE, 0xEF, 0xD1));
    EXPECT_EQ(child<QTableWidget>(form, "ListView")->palette().color(QPalette::Base), QColor(0xF1, 0xEF, 0xD1));
}

TEST_F(TMainFormTest, ClosingDuringAGrabCancelsItAndKeepsTheWindow) {
    TMainForm form;
    form.show();
    form.PlayState = TMainForm::Grabbing;
    EXPECT_FALSE(form.close());
    EXPECT_EQ(form.PlayState, TMainForm::Idle);
    EXPECT_TRUE(form.CancelRequested);
    EXPECT_TRUE(form.close());
}

}  // namespace
}  // namespace melvarin

namespace melvarin {
namespace {

TEST_F(TMainFormTest, ArtistListHoldsEverySavedDiscArtistOnce) {
    const auto saved = [&](const char* name, const std::string& artist) {
        std::string record(14560, '\0');
        record.replace(50, artist.size(), artist);  // the artist field, cp1251
        writeFile(home / ("setting/albums/" + std::string(name)), record);
    };
    saved("1.dat", "Kino");
    saved("2.dat", "KINO");
    saved("3.dat", "Aquarium");
    saved("4.dat", "");
    TMainForm form;
    auto* artists = child<QComboBox>(form, "GroupEdit");
    QStringList names;
    for (int i = 0; i < artists->count(); ++i) names << artists->itemText(i);
    // Which spelling of Kino stays depends on the folder's order.
    ASSERT_EQ(names.size(), 2) << names.join(",").toStdString();
    EXPECT_TRUE(names.contains("Aquarium"));
    EXPECT_TRUE(names.contains("Kino") || names.contains("KINO"));
}

}  // namespace
}  // namespace melvarin

namespace melvarin {
namespace {

TEST_F(TMainFormTest, ArtistListAddsTheLocalCddbUnlessOnlyItIsUsed) {
    writeFile(home / "LocalCDDB/rock/9bto9b",
              "#FILENAME=9b0a6b0c\r\n# xmcd\r\nDISCID=9b0a6b0c\r\nDTITLE=Kino / Gruppa krovi\r\nTTITLE0=One\r\n");
    {
        TMainForm form;
        auto* artists = child<QComboBox>(form, "GroupEdit");
        EXPECT_NE(artists->findText("Kino"), -1);
        form.settings().UseOnlyLocalBase = 1;
    }
    TMainForm form;
    EXPECT_EQ(child<QComboBox>(form, "GroupEdit")->findText("Kino"), -1);
}

}  // namespace
}  // namespace melvarin

namespace melvarin {
namespace {

// A system with neither SG_IO pass-through nor the generic driver.
class NoDriveAccess : public DeviceLayer {
public:
    bool passThroughAvailable() override { return false; }
    std::unique_ptr<ScsiDevice> open(const std::string&, bool) override { return nullptr; }
    std::vector<std::string> deviceNames() override { return {}; }
    bool genericDriverPresent() override { return false; }
    std::optional<GenericNodeId> scsiId(const std::string&) override { return std::nullopt; }
    int hostMaxTargets(int) override { return 16; }
    const std::vector<std::shared_ptr<ScsiDevice>>& virtualDrives() override { return none_; }

private:
    std::vector<std::shared_ptr<ScsiDevice>> none_;
};

TEST_F(TMainFormTest, NoWayToAnyDriveIsSaidAndEndsTheStart) {
    QString said;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    closer.start(20);
    TMainForm form(nullptr, std::make_unique<NoDriveAccess>());
    EXPECT_TRUE(form.StartupFailed());
    EXPECT_EQ(said.toStdString(), Message(92));

    closer.stop();
    TMainForm usual;
    EXPECT_FALSE(usual.StartupFailed());
}

}  // namespace
}  // namespace melvarin
