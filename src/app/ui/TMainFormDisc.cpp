// The main window's reading drive: the drive list, opening the chosen drive, the
// disc-change timer, eject/load, the freedb command and saving the disc texts.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "app/SettingsFile.h"
#include "app/ui/GuiPrompt.h"
#include "app/ui/TMainForm.h"
#include "cddb/DiscXmcd.h"
#include "cddb/ui/FreedbJob.h"
#include "disc/DiscStore.h"
#include "disc/TAudioCD.h"
#include "drive/DriveInfo.h"
#include "drive/ui/TCDInfo.h"
#include "platform/ProgramHome.h"

namespace melvarin {

void TMainForm::startDrive() {
    int transport = settings_.Interface;
    drive_->SwitchInterface(transport);
    settings_.Interface = static_cast<uint8_t>(transport);
    drive_->SetLocalLookup([this](std::uint32_t, DiscRecord& d) {
        return !settings_.UseOnlyLocalBase && DiscXmcd::Lookup(*localCddb_, d);
    });
    fillDriveBox();
    connect(cdromBox_, qOverload<int>(&QComboBox::activated), this, &TMainForm::CDROMBoxChange);
    for (const char* name : {"SpeedButton13", "Eject1"}) {
        if (auto* a = findChild<QAction*>(name)) connect(a, &QAction::triggered, this, &TMainForm::ejectOrLoad);
        if (auto* b = findChild<QToolButton*>(name)) connect(b, &QToolButton::clicked, this, &TMainForm::ejectOrLoad);
    }
    if (auto* a = findChild<QAction*>("SysInfo")) connect(a, &QAction::triggered, this, &TMainForm::showDriveInfo);
    for (const char* name : {"SpeedButton6", "FreeDBItem"}) {
        if (auto* a = findChild<QAction*>(name)) connect(a, &QAction::triggered, this, &TMainForm::runFreedb);
        if (auto* b = findChild<QToolButton*>(name)) connect(b, &QToolButton::clicked, this, &TMainForm::runFreedb);
    }
    connect(groupEdit_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (DiscLoaded) discTags_->EditArtist(text.toStdString(), disc_);
    });
    connect(albumEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (DiscLoaded) discTags_->EditAlbum(text.toStdString(), disc_);
    });
    connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!DiscLoaded || item->column() != 0 || item->row() >= disc_.trackCount()) return;
        if (item->text().toStdString() != disc_.title(item->row()))
            discTags_->EditTitle(static_cast<unsigned>(item->row()), item->text().toStdString(), disc_);
    });
    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(300);
    connect(timer_, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    timer_->start();
}

void TMainForm::fillDriveBox() {
    const QSignalBlocker block(cdromBox_);
    cdromBox_->clear();
    for (int i = 0; i < drive_->DriveCount(); ++i)
        cdromBox_->addItem(QString::fromStdString(DriveDisplayName(drive_->DriveName(i))));
    // A saved drive that is gone falls back to the first one.
    if (settings_.DeviceName >= drive_->DriveCount()) settings_.DeviceName = 0;
    if (drive_->DriveCount() == 0) return;
    cdromBox_->setCurrentIndex(settings_.DeviceName);
    drive_->OpenDrive(settings_.DeviceName, SettingsFile::readCommandFor(settings_, settings_.DeviceName));
}

void TMainForm::CDROMBoxChange(int index) {
    if (index < 0 || index >= drive_->DriveCount() || jobRunning()) return;
    StopPlay();
    settings_.DeviceName = static_cast<uint8_t>(index);
    drive_->OpenDrive(index, SettingsFile::readCommandFor(settings_, settings_.DeviceName));
    RefreshDisc();
}

void TMainForm::Timer1Timer() {
    if (PlayState == Grabbing || PlayState == Encoding || jobRunning() || freedbJob_ || drive_->DriveCount() == 0)
        return;
    const bool ready = drive_->IsUnitReady();
    if (ready == DriveReady) return;
    DriveReady = ready;
    StopPlay();
    RefreshDisc();
}

void TMainForm::ejectOrLoad() {
    if (drive_->DriveCount() == 0 || jobRunning()) return;
    StopPlay();
    // The button alternates, eject first, then load; the drive's door state
    // says where the alternation stands.
    const int mechanism = drive_->GetMechanismStatus();
    if (mechanism == 5) ejectCount_ = 1;
    else if (mechanism == 1) ejectCount_ = 0;
    drive_->LoadEject(ejectCount_ % 2 == 0);
    ++ejectCount_;
}

void TMainForm::runFreedb() {
    if (!DiscLoaded || freedbJob_ || jobRunning()) return;
    SetControlsEnabled(false);
    freedbJob_ = std::make_unique<FreedbJob>(this, settings_, disc_, *discTags_, *prompt_);
    connect(freedbJob_.get(), &FreedbJob::finished, this, [this](FreedbOutcome outcome) {
        // The job may have turned a proxy port 0 into 80.
        settings_.Port = freedbJob_->settings().Port;
        if (outcome == FreedbOutcome::Found) {
            disc_ = freedbJob_->disc();
            const TDiscTags& tags = freedbJob_->tags();
            discTags_->Resize(tags.GetCount());
            for (unsigned i = 0; i < tags.GetCount(); ++i) CopyTag(*discTags_->GetTag(i), *tags.GetTag(i));
            {
                const QSignalBlocker a(groupEdit_), b(albumEdit_);
                groupEdit_->setEditText(QString::fromStdString(disc_.artist()));
                albumEdit_->setText(QString::fromStdString(disc_.album()));
            }
            showTracks(rowsFromDisc());
            SaveDiscInfo();
        }
        freedbJob_.release()->deleteLater();
        SetControlsEnabled(true);
    });
    freedbJob_->start();
}

void TMainForm::showDriveInfo() {
    if (drive_->DriveCount() == 0 || jobRunning()) return;
    std::array<std::uint8_t, kCapabilitiesLength> caps{};
    drive_->ReadCapabilities(caps);
    const auto inquiry = drive_->Inquiry();
    const bool russian = getText(settings_.Language) == "Russian";
    auto* item = findChild<QAction*>("SysInfo");
    TCDInfo info(DriveInfoLines(caps, inquiry, russian), item ? item->text().remove('&') : QString(),
                 settings_.ControlColor, this);
    info.exec();
}

void TMainForm::fillArtistsFromLocalCddb() {
    QDialog dialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    dialog.setObjectName("ArtistListProgress");
    dialog.setFixedSize(220, 120);
    auto* label = new QLabel(QStringLiteral("Generating artist list..."), &dialog);
    label->move(20, 20);
    auto* bar = new QProgressBar(&dialog);
    bar->setGeometry(20, 60, 180, 20);
    if (const QScreen* screen = QApplication::primaryScreen())
        dialog.move(screen->geometry().center() - dialog.rect().center());
    dialog.show();
    localCddb_->FillArtistList(artists_, [&](std::size_t done, std::size_t total) {
        bar->setMaximum(static_cast<int>(total));
        bar->setValue(static_cast<int>(done));
        // Paints the window only: no user input and no socket notifier (a
        // termination request must reach the main window once it is shown).
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    });
}

void TMainForm::SaveDiscInfo() {
    if (!DiscLoaded) return;
    const bool useLocal = !settings_.UseOnlyLocalBase;
    DiscStore(ProgramHome::albumsDir()).SaveDiscInfo(disc_, *discTags_, [this, useLocal](const DiscRecord& d) {
        if (useLocal) DiscXmcd::Save(*localCddb_, d);
    });
    // The artist is offered from now on; the box keeps the text it shows.
    if (AddArtistOnce(artists_, disc_.artist())) {
        const QString shown = groupEdit_->currentText();
        const QSignalBlocker quiet(groupEdit_);
        groupEdit_->addItem(QString::fromStdString(disc_.artist()));
        groupEdit_->setEditText(shown);
    }
}

std::vector<TMainForm::TrackRow> TMainForm::rowsFromDisc() const {
    std::vector<TrackRow> rows;
    for (int i = 0; i < disc_.trackCount(); ++i) {
        const TrackEntry& t = disc_.Tracks[i];
        rows.push_back({disc_.title(i), t.Audio != 0, t.Grabbed != 0, static_cast<uint32_t>(t.Length.frames()),
                        t.Size});
    }
    return rows;
}

}  // namespace melvarin
