#pragma once
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "disc/DiscRecord.h"
#include "disc/GrabHooks.h"
#include "disc/ui/GrabPrompt.h"
#include "disc/ui/GrabProgress.h"

namespace melvarin {

class TAudioCD;
class UserPrompt;

// A grab run by the main window: TGrabber's GrabCommand or GrabDisc on a worker
// thread, over copies of the settings, disc record and tags taken when the job
// is made (so the window may go on editing texts). Progress arrives as the
// signals below, queued to the window thread; questions go to the window's
// prompt on the window thread while the worker waits.
//
// The window's PlayState is the cancel request: the worker goes on while it is
// Reading or Encoding and asks whether to cancel once it is Idle; No puts it
// back (and clears the close request). The job moves it between Reading and
// Encoding as the current track (GrabProgress) is read or encoded, never away
// from Idle.
//
// The drive is used by the worker until finished() has been emitted: the
// window must not touch it before. One job per grab; the destructor abandons a
// job still running (no more questions, the grab cancels) and waits for it.
class GrabJob : public QObject, private GrabSystem {
    Q_OBJECT
public:
    // PlayState values, as the main window numbers them.
    enum : std::int32_t { Idle = 1, Reading = 4, Encoding = 5 };

    // `drive`, `prompt`, `playState` and `cancelRequested` are borrowed and must
    // outlive the job; `system` (may be null) too.
    GrabJob(TAudioCD& drive, const SettingsRecord& settings, const DiscRecord& disc, const TDiscTags& tags,
            UserPrompt& prompt, std::atomic<std::int32_t>& playState, std::atomic<bool>& cancelRequested,
            GrabSystem* system);
    ~GrabJob() override;

    // Set before starting.
    FreeSpaceProbe FreeSpace;  // empty: the file system is asked
    std::string TempFolder;    // temporary WAVE files

    // Grabs the `checked` audio tracks with encoder `encoderIndex`.
    void startTracks(int encoderIndex, std::vector<bool> checked);
    // Grabs the whole disc into `path` with the configured encoder.
    void startDisc(const std::string& path);
    // The window is going away: cancel without asking and show nothing more.
    void abandon();
    // Waits for the worker to end (after abandon(), or once finished() arrived).
    void wait();

    // Valid once finished() arrived or wait() returned.
    const DiscRecord& disc() const { return disc_; }
    bool cancelled() const { return cancelled_; }
    // The grab asked to eject the disc / to power the machine off; the window
    // does it once it has taken the results.
    bool ejectRequested() const { return eject_; }
    bool powerOffRequested() const { return powerOff_; }

signals:
    // Track `track` became the current one (GrabProgress): the one being read.
    void currentTrack(int track);
    void trackState(int track, const QString& text);
    // The grab's overall progress, 0 to 1000.
    void progress(int permille);
    void trackDone(int track);
    // Track `track`'s file is complete, but `count` of its sectors could not be read.
    void trackUnreadable(int track, int count);
    void caption(const QString& text);
    // The worker is done with the drive; `ok` when everything asked for was written.
    void finished(bool ok);

private:
    template <class Job>
    void run(Job job);
    // Emits what `progress_` tells after one of the grab's reports.
    void report(bool currentChanged);
    void setPhase(std::int32_t phase);
    GrabCallbacks callbacks();

    // GrabSystem: priority goes to the window's system at once, power-off waits
    // for the window.
    bool RaisePriority() override;
    void RestorePriority() override;
    void PowerOff() override;

    TAudioCD& drive_;
    SettingsRecord settings_;
    DiscRecord disc_;
    TDiscTags tags_;
    GrabPrompt prompt_;
    std::atomic<std::int32_t>& playState_;
    std::atomic<bool>& cancelRequested_;
    GrabSystem* system_;
    std::atomic<std::int32_t> phase_{Reading};
    std::atomic<bool> eject_{false};
    std::atomic<bool> powerOff_{false};
    std::atomic<bool> done_{false};
    GrabProgress progress_;
    int shownPermille_ = -1;
    bool cancelled_ = false;
    std::thread thread_;
};

}  // namespace melvarin
