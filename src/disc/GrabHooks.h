#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace melvarin {

// Consecutive sectors from LBA `first`.
struct SectorRun {
    std::int32_t first = 0;
    std::int32_t count = 0;
};

// The sectors of one track that no read of the grab delivered; its file holds
// silence there.
struct UnreadableSectors {
    int track = 0;                // 0-based
    std::int32_t count = 0;       // sectors in all runs
    std::vector<SectorRun> runs;  // ascending
};

// What a progress or state text of a grab says about its file.
enum class GrabStage { Reading, Encoding, Done, Cancelled };

// One file of a job, as the job is about to run it.
struct GrabPlannedFile {
    int track = -1;             // 0-based; -1 for the whole-disc file
    std::int64_t sectors = 0;   // audio it holds
    bool twoPass = false;       // read into a temporary WAVE file, encoded after
};

// "track N: K sectors could not be read (LBA a–b, c)": N 1-based, one entry
// per run, a single LBA for a run of one.
std::string UnreadableText(const UnreadableSectors& sectors);

// What a grab does to the machine beyond the drive and the files. The program
// uses SystemActions; tests replace it so that nothing can power a machine off.
class GrabSystem {
public:
    virtual ~GrabSystem() = default;
    // Raises the scheduling priority of the process; true when it was raised
    // (then RestorePriority must follow).
    virtual bool RaisePriority() = 0;
    virtual void RestorePriority() = 0;
    // Powers the computer off.
    virtual void PowerOff() = 0;
};

// The real actions: setpriority and "systemctl poweroff".
class SystemActions : public GrabSystem {
public:
    bool RaisePriority() override;
    void RestorePriority() override;
    void PowerOff() override;

private:
    int saved_ = 0;
};

// Free bytes on the file system holding `folder`; nothing when that cannot be
// told (the grab then goes on without asking).
using FreeSpaceProbe = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

// The probe of the running system (statvfs on the folder or its nearest
// existing parent).
std::optional<std::uint64_t> StatvfsFreeSpace(const std::string& folder);

// How a grab reports to whoever shows it. Every member may be empty.
//
// Threads: a member may be called on the thread that started the grab or on
// one of the grab's encoding threads, but never two members (nor a member and
// the grab's prompt) at once; a member may use that prompt itself. Members
// that touch a window must marshal to its thread.
struct GrabCallbacks {
    // False once the user asked to stop (the Stop button, Ctrl+C, closing the
    // window). Polled often, from any of the grab's threads. The grab then asks
    // whether to cancel (all files still in work); on No it calls Resume.
    std::function<bool()> KeepGoing;
    std::function<void()> Resume;
    // The state column of track `track` (0-based): progress and state texts.
    std::function<void(int track, const std::string& text)> TrackState;
    // Track `track` is finished: show image 2 and clear its check box.
    std::function<void(int track)> TrackDone;
    // A row becomes the current one (select it, caption with its title).
    std::function<void(int track)> TrackStarted;
    // Track `track`'s file is complete but `count` of its sectors could not be
    // read (after its State and TrackDone).
    std::function<void(int track, int count)> TrackUnreadable;
    // The window caption during a whole-disc grab.
    std::function<void(const std::string& text)> Caption;
    // The files of the job about to run, in the order they are read.
    std::function<void(const std::vector<GrabPlannedFile>& files)> JobPlanned;
    // The numbers behind each state text and whole-disc caption: the file of
    // track `track` (-1: the whole-disc file) is at `percent` (0-100) of
    // `stage`; Done and Cancelled end it. Comes right after the text.
    std::function<void(int track, GrabStage stage, int percent)> Progress;
    // An output file is finished and complete; files come in track order.
    std::function<void(const std::string& path)> FileWritten;
    // Instead of FileWritten for a file that replaced one already there when
    // the job began (the old one stays until the new one is complete). Empty:
    // FileWritten is called for those too.
    std::function<void(const std::string& path)> FileReplaced;
    // Eject the disc through the main window's eject command.
    std::function<void()> Eject;
};

}  // namespace melvarin
