// The main window's grab commands: the checked tracks or the whole disc, run as
// a GrabJob on a worker thread while the window shows its progress.
#include <QAction>
#include <QColor>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Messages.h"
#include "app/ui/GuiPrompt.h"
#include "app/ui/PlayBar.h"
#include "app/ui/TMainForm.h"
#include "disc/OutputNaming.h"
#include "disc/TAudioCD.h"
#include "disc/TGrabber.h"
#include "disc/ui/GrabJob.h"
#include "encoders/TEncManager.h"
#include "platform/ProgramHome.h"

namespace melvarin {
namespace {

static_assert(int32_t{GrabJob::Idle} == int32_t{TMainForm::Idle} &&
              int32_t{GrabJob::Reading} == int32_t{TMainForm::Grabbing} &&
              int32_t{GrabJob::Encoding} == int32_t{TMainForm::Encoding});

constexpr const char* kTitle = "Melvarin v3.5";

// The encoder of the "other format" commands by ExtEncoder: Monkey's Audio,
// FLAC, AAC, ACM.
int externalEncoder(const SettingsRecord& s) {
    switch (s.EncoderConfig.ExtEncoder) {
    case 1: return 7;
    case 2: return 5;
    case 3: return 6;
    default: return 4;
    }
}

// The encoder index command `name` grabs with; -1 for no grab command.
int encoderOf(const QString& name, const SettingsRecord& s) {
    if (name == "MP3" || name == "MP32") return 1;
    if (name == "SpeedButton2") return s.MP3AsOGG ? 3 : 1;
    if (name == "SpeedButton18" || name == "WAVE1" || name == "WAVE2") return 0;
    if (name == "WMAButton" || name == "WMA1" || name == "WMA2") return 2;
    if (name == "OGG1" || name == "OGG2") return 3;
    if (name == "EXTButton" || name == "ExternalEncI" || name == "External2") return externalEncoder(s);
    return -1;
}

bool encoderBuilt(const SettingsRecord& s, int index) {
    EncoderConfig probe = s.EncoderConfig;
    probe.EncoderIndex = static_cast<uint8_t>(index);
    const EncoderInfo* info = TEncManager::Find(probe);
    return info && info->available();
}

constexpr const char* kTrackCommands[] = {"SpeedButton2", "SpeedButton18", "WMAButton", "EXTButton", "MP3",
                                          "OGG1",         "WMA1",          "WAVE1",     "ExternalEncI"};
constexpr const char* kDiscCommands[] = {"WAVE2", "MP32", "OGG2", "WMA2", "External2"};

}  // namespace

void TMainForm::connectGrabCommands() {
    const auto on = [this](const char* name, auto handler) {
        const QString n = QString::fromLatin1(name);
        if (auto* a = findChild<QAction*>(n)) connect(a, &QAction::triggered, this, [handler, n] { handler(n); });
        if (auto* b = findChild<QToolButton*>(n)) connect(b, &QToolButton::clicked, this, [handler, n] { handler(n); });
    };
    for (const char* name : kTrackCommands) on(name, [this](const QString& n) { GrabCommand(n); });
    for (const char* name : kDiscCommands) on(name, [this](const QString& n) { External2Click(n); });
    for (const char* name : {"SpeedButton16", "Stop1"}) on(name, [this](const QString&) { StopPlay(); });
}

bool TMainForm::grabCommandAvailable(const char* name) const {
    const QString n = QString::fromLatin1(name);
    // These two answer for themselves: the MP3 button names the missing Ogg
    // encoder, the WMA button shows its message.
    if (n == "SpeedButton2" || n == "WMAButton") return true;
    const int index = encoderOf(n, settings_);
    return index < 0 || encoderBuilt(settings_, index);
}

UserPrompt& TMainForm::userPrompt() {
    return grabSeams_.prompt ? *grabSeams_.prompt : static_cast<UserPrompt&>(*prompt_);
}

GrabSystem& TMainForm::grabSystem() {
    if (grabSeams_.system) return *grabSeams_.system;
    if (!systemActions_) systemActions_ = std::make_unique<SystemActions>();
    return *systemActions_;
}

void TMainForm::GrabCommand(const QString& sender) {
    if (!DiscLoaded || jobRunning() || freedbJob_) return;
    if (sender == "WMAButton" && !encManager_->WmaAvailable) {
        userPrompt().message(Message(10), Icon::Warning);
        return;
    }
    if (!EnsureWorkDir(settings_, userPrompt(), [this](SettingsRecord&) { return openSettings(); })) return;
    std::vector<bool> checked(static_cast<size_t>(disc_.trackCount()), false);
    for (int r = 0; r < list_->rowCount() && r < disc_.trackCount(); ++r) {
        const QTableWidgetItem* item = list_->item(r, 0);
        checked[r] = item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked;
    }
    auto job = std::make_unique<GrabJob>(*drive_, settings_, disc_, *discTags_, userPrompt(), PlayState,
                                         CancelRequested, &grabSystem());
    GrabJob& started = *job;
    startGrab(std::move(job));
    started.startTracks(encoderOf(sender, settings_), std::move(checked));
}

void TMainForm::External2Click(const QString& sender) {
    if (!DiscLoaded || jobRunning() || freedbJob_) return;
    if (!EnsureWorkDir(settings_, userPrompt(), [this](SettingsRecord&) { return openSettings(); })) return;
    const int index = encoderOf(sender, settings_);
    // The chosen encoder stays the configured one afterwards.
    settings_.EncoderConfig.EncoderIndex = static_cast<uint8_t>(index);
    const std::string path = WholeDiscFileName(settings_, disc_, index);
    auto job = std::make_unique<GrabJob>(*drive_, settings_, disc_, *discTags_, userPrompt(), PlayState,
                                         CancelRequested, &grabSystem());
    GrabJob& started = *job;
    startGrab(std::move(job));
    started.startDisc(path);
}

void TMainForm::startGrab(std::unique_ptr<GrabJob> job) {
    if (PlayState != Idle) StopPlay();
    timer_->stop();
    CancelRequested = false;
    PlayState = Grabbing;
    grabJob_ = std::move(job);
    SetControlsEnabled(false);
    grabJob_->FreeSpace = grabSeams_.freeSpace;
    grabJob_->TempFolder = tempFolder_;

    // The current track, the one being read, is selected and titles the window;
    // every row's state column shows that track's own state.
    connect(grabJob_.get(), &GrabJob::currentTrack, this, [this](int track) {
        if (track < 0 || track >= list_->rowCount()) return;
        list_->selectRow(track);
        if (QTableWidgetItem* item = list_->item(track, 0)) {
            list_->scrollToItem(item);
            setWindowTitle(QStringLiteral("%1 - %2").arg(QLatin1String(kTitle), item->text()));
        }
    });
    connect(grabJob_.get(), &GrabJob::progress, paintBox_, &PlayBar::setPermille);
    connect(grabJob_.get(), &GrabJob::trackState, this, [this](int track, const QString& text) {
        if (QTableWidgetItem* item = track >= 0 ? list_->item(track, 4) : nullptr) item->setText(text);
    });
    connect(grabJob_.get(), &GrabJob::trackDone, this, [this](int track) { markRowGrabbed(track); });
    // The file is kept, but its row says that some of it is silence for want of data.
    connect(grabJob_.get(), &GrabJob::trackUnreadable, this, [this](int track, int count) {
        QTableWidgetItem* item = track >= 0 ? list_->item(track, 4) : nullptr;
        if (!item) return;
        item->setText(QStringLiteral("%1 (%2 unreadable)").arg(item->text()).arg(count));
        item->setForeground(QColor(Qt::red));
    });
    connect(grabJob_.get(), &GrabJob::caption, this, [this](const QString& text) { setWindowTitle(text); });
    connect(grabJob_.get(), &GrabJob::finished, this, [this] { grabFinished(); });
}

void TMainForm::takeGrabResults(const GrabJob& job) {
    const DiscRecord& grabbed = job.disc();
    for (int i = 0; i < disc_.trackCount() && i < grabbed.trackCount(); ++i) {
        disc_.Tracks[i].Grabbed = grabbed.Tracks[i].Grabbed;
        disc_.Tracks[i].Trimmed = grabbed.Tracks[i].Trimmed;
        if (i < static_cast<int>(rows_.size())) rows_[i].grabbed = grabbed.Tracks[i].Grabbed != 0;
    }
}

void TMainForm::grabFinished() {
    // The worker has let go of the drive; its thread ends right after the signal.
    std::unique_ptr<GrabJob> job = std::move(grabJob_);
    job->wait();
    takeGrabResults(*job);
    const bool eject = job->ejectRequested();
    const bool powerOff = job->powerOffRequested();
    job.release()->deleteLater();

    SetControlsEnabled(true);
    PlayState = Idle;
    paintBox_->setPermille(0);
    setWindowTitle(kTitle);
    timer_->start();
    SaveDiscInfo();
    if (eject) {
        ejectCount_ = 0;
        ejectOrLoad();
    }
    if (powerOff) grabSystem().PowerOff();
    // The window was closed during the grab: close it now that the job is over.
    if (CancelRequested.exchange(false)) close();
}

}  // namespace melvarin
