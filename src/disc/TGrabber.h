#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/SettingsRecord.h"
#include "disc/DiscRecord.h"
#include "disc/GrabHooks.h"
#include "disc/GrabRange.h"
#include "disc/SerialPrompt.h"

namespace melvarin {

class TCDROM;
class TDiscTags;
class TEncManager;
class SectorRereader;
class UserPrompt;
struct GrabFileJob;

// Grabs tracks of the disc in `drive` into files, one file per track or the
// whole audio part into one file. Every job is synchronous and runs to its end
// or to a confirmed cancel; progress, state texts and cancel requests go
// through Callbacks, questions and messages through the prompt.
//
// The drive must be open on the disc `disc` describes. Everything given to the
// constructor is borrowed and must outlive the grabber; the settings are read
// at each job (encoder choice, method, block size, flags) and the job restores
// what it changes in them, except the Trimmed flags it clears and the Grabbed
// flags it sets in `disc`.
//
// Reading and encoding overlap: the calling thread reads the disc and hands
// the blocks to encoding threads, one per file in flight (up to Encoders
// files at once, each behind a queue of about QueueBytes). Without on-the-fly
// encoding the next track is read while earlier temporary files are being
// encoded. Files are reported in track order and only when complete.
//
// Threads: a job returns only after every thread it started has ended. Every
// Callbacks member and every call of the prompt may run on the calling thread
// or on an encoding thread, but the grabber makes them one at a time (never
// two at once, from whichever threads); a callback may use the prompt. The
// disc record, the settings and the drive are touched by the calling thread
// only; the tags are read by the encoding threads and must not change during
// a job.
class TGrabber {
public:
    TGrabber(TCDROM& drive, SettingsRecord& settings, DiscRecord& disc, TEncManager& encoders,
             UserPrompt& prompt);

    // Optional parts, set before a job.
    TDiscTags* Tags = nullptr;            // track tags for the files and the naming
    SectorRereader* Rereader = nullptr;   // slow re-reads for the repair passes
    GrabSystem* System = nullptr;         // priority and power-off; null: neither
    FreeSpaceProbe FreeSpace;             // empty: StatvfsFreeSpace
    std::string TempFolder;               // temporary WAVE files; ends with "/"
    GrabCallbacks Callbacks;
    // Files encoded at once; 0: one per processor.
    int Encoders = 0;
    // Sample bytes queued ahead of each file's encoder.
    std::size_t QueueBytes = std::size_t(4) << 20;

    // The whole grab of the checked tracks with encoder `encoderIndex`: free
    // space check, read speed and tray lock, GrabTracks, then the encoder index
    // restored, tray unlocked, drive rezeroed and, with EjectACopy, the eject
    // callback. `checked` has one entry per track (missing = unchecked); done
    // tracks are unchecked. True when every checked audio track was grabbed.
    bool GrabCommand(int encoderIndex, std::vector<bool>& checked);

    // The loop over the checked audio tracks with the configured encoder (see
    // GrabCommand for `checked`). False when a track failed or was cancelled;
    // the tracks before it keep their files and Grabbed flags.
    bool GrabTracks(std::vector<bool>& checked);

    // Reads track `track` (0-based) into `target` with the configured encoder, or
    // as WAVE when on-the-fly encoding is off (then the encoder manager's Gain
    // gets the normalisation gain). Sets the track's Grabbed flag and returns
    // true when done; false when the encoder failed or the user cancelled (no
    // file left at `target` in either case).
    bool GrabTrack(int track, const std::string& target);

    // Reads every audio track into one file `path` with the configured encoder,
    // without normalisation; then, with the CUE setting, WriteCueSheet. True when
    // the file is complete.
    bool GrabDisc(const std::string& path);

    // Answers true when `needed` bytes fit into WorkDir's file system or the
    // user says to go on anyway (message 100), or when the space is unknown.
    bool CheckFreeSpace(std::uint64_t needed);

    // Whether the last job ended by a confirmed cancel.
    bool Cancelled() const { return cancelled_; }
    // The tracks of the last job's complete files that hold sectors no read
    // delivered, in the order reported (each also told through the prompt).
    const std::vector<UnreadableSectors>& Unreadable() const { return unreadable_; }

private:
    class JobRun;  // the scheduler of one job's files (TGrabberJobs.cpp)
    enum class RunEnd { Done, Cancelled, Failed };
    // What the scheduler tells its caller, on the calling thread, in file order.
    struct JobHooks {
        std::function<void(GrabFileJob&)> started;   // before the file is opened
        std::function<void(GrabFileJob&)> complete;  // the file is finished
    };
    // Reads and encodes `jobs` (planned, Waiting) until all are complete, one
    // failed (the files of it and of every later one removed, earlier ones
    // finished) or the user cancelled (every unfinished file removed).
    RunEnd RunJobs(std::vector<GrabFileJob>& jobs, const JobHooks& hooks);

    // The callbacks, each called under hooks_.
    bool StopRequested();
    // Asks message `question` after a stop request; true = cancel.
    bool ConfirmCancel(int question);
    void State(int track, const std::string& text);
    void Caption(const std::string& text);
    void Started(int track);
    void Progressed(int track, GrabStage stage, int percent);
    // FileReplaced for a path in replacing_, else FileWritten.
    void Written(const std::string& path);
    void Done(int track);
    // Creates `folder` when missing; false with the cause told (message box)
    // when it cannot be made or is no folder.
    bool OutputFolderUsable(const std::string& folder);
    // Tells the prompt and TrackUnreadable of the unreadable `runs` of a
    // complete file of track `track` (-1: the whole disc, split by track).
    void ReportUnreadable(int track, const std::vector<SectorRun>& runs);

    TCDROM& drive_;
    SettingsRecord& settings_;
    DiscRecord& disc_;
    TEncManager& encoders_;
    std::recursive_mutex hooks_;
    SerialPrompt prompt_;
    bool cancelled_ = false;
    // The outputs of the running job (a whole-disc file's CUE sheet too) that
    // existed when it began.
    std::set<std::string> replacing_;
    std::vector<UnreadableSectors> unreadable_;
};

// The file of a whole-disc grab with encoder `encoderIndex`: WorkDir + the
// album title ("TRACKS" when empty) + the encoder's extension. The title is
// made safe as a file name ("/" and "\" become blanks, "." and ".." become
// "_"), so the file always lands in WorkDir.
std::string WholeDiscFileName(const SettingsRecord& settings, const DiscRecord& disc, int encoderIndex);

}  // namespace melvarin
