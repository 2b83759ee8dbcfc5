#include "disc/ui/GrabJob.h"

#include "app/Messages.h"
#include "disc/CommandSetRereader.h"
#include "disc/TAudioCD.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"

namespace melvarin {

GrabJob::GrabJob(TAudioCD& drive, const SettingsRecord& settings, const DiscRecord& disc, const TDiscTags& tags,
                 UserPrompt& prompt, std::atomic<std::int32_t>& playState, std::atomic<bool>& cancelRequested,
                 GrabSystem* system)
    : drive_(drive), settings_(settings), disc_(disc), prompt_(prompt), playState_(playState),
      cancelRequested_(cancelRequested), system_(system) {
    const unsigned n = tags.GetCount();
    tags_.Resize(n);
    for (unsigned i = 0; i < n; ++i) CopyTag(*tags_.GetTag(i), *tags.GetTag(i));
    // Abandoned, the job answers the cancel questions Yes and "go on without
    // enough space?" No.
    prompt_.setAbandonAnswers({Message(17), Message(26)});
}

GrabJob::~GrabJob() {
    if (!thread_.joinable()) return;
    if (!done_) abandon();
    thread_.join();
}

void GrabJob::abandon() {
    playState_ = Idle;
    prompt_.abandon();
}

void GrabJob::wait() {
    if (thread_.joinable()) thread_.join();
}

void GrabJob::setPhase(std::int32_t phase) {
    const std::int32_t old = phase_.exchange(phase);
    if (old == phase) return;
    // A stop request (Idle) stays until the grab has asked about it.
    std::int32_t expected = old;
    playState_.compare_exchange_strong(expected, phase);
}

GrabCallbacks GrabJob::callbacks() {
    GrabCallbacks c;
    c.KeepGoing = [this] { return playState_ != Idle; };
    c.Resume = [this] {
        playState_ = phase_.load();
        cancelRequested_ = false;
    };
    c.TrackStarted = [this](int track) { report(progress_.started(track)); };
    c.TrackState = [this](int track, const std::string& text) { emit trackState(track, QString::fromStdString(text)); };
    c.TrackDone = [this](int track) { emit trackDone(track); };
    c.Caption = [this](const std::string& text) { emit caption(QString::fromStdString(text)); };
    c.JobPlanned = [this](const std::vector<GrabPlannedFile>& files) { progress_.planned(files); };
    c.Progress = [this](int track, GrabStage stage, int percent) { report(progress_.progress(track, stage, percent)); };
    c.TrackUnreadable = [this](int track, int count) { emit trackUnreadable(track, count); };
    c.Eject = [this] { eject_ = true; };
    return c;
}

void GrabJob::report(bool currentChanged) {
    // A whole-disc grab has no current track and stays in its reading phase.
    if (progress_.current() >= 0) setPhase(progress_.currentReading() ? Reading : Encoding);
    if (currentChanged) emit currentTrack(progress_.current());
    const int permille = progress_.permille();
    if (permille == shownPermille_) return;
    shownPermille_ = permille;
    emit progress(permille);
}

template <class Job>
void GrabJob::run(Job job) {
    thread_ = std::thread([this, job]() mutable {
        TEncManager encoders(&prompt_);
        CommandSetRereader rereader(drive_.Current());
        TGrabber grabber(drive_, settings_, disc_, encoders, prompt_);
        grabber.Tags = &tags_;
        grabber.Rereader = &rereader;
        grabber.System = this;
        grabber.FreeSpace = FreeSpace;
        grabber.TempFolder = TempFolder;
        grabber.Callbacks = callbacks();
        const bool ok = job(grabber);
        cancelled_ = grabber.Cancelled();
        done_ = true;
        emit finished(ok);
    });
}

void GrabJob::startTracks(int encoderIndex, std::vector<bool> checked) {
    run([encoderIndex, checked](TGrabber& grabber) mutable { return grabber.GrabCommand(encoderIndex, checked); });
}

void GrabJob::startDisc(const std::string& path) {
    run([path](TGrabber& grabber) { return grabber.GrabDisc(path); });
}

bool GrabJob::RaisePriority() { return system_ && system_->RaisePriority(); }

void GrabJob::RestorePriority() {
    if (system_) system_->RestorePriority();
}

void GrabJob::PowerOff() { powerOff_ = true; }

}  // namespace melvarin
