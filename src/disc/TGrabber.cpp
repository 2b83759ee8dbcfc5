#include "disc/TGrabber.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/GrabFileJob.h"
#include "disc/OutputNaming.h"
#include "drive/ReadCommands.h"
#include "drive/TCDROM.h"
#include "encoders/TEncManager.h"
#include "platform/FileUtil.h"

namespace melvarin {

namespace fs = std::filesystem;

std::string WholeDiscFileName(const SettingsRecord& settings, const DiscRecord& disc, int encoderIndex) {
    std::string name = disc.album();
    if (name.empty()) name = "TRACKS";
    for (char& c : name)
        if (c == '/' || c == '\\') c = ' ';
    CleanFileName(name);
    const std::size_t first = name.find_first_not_of(' ');
    name = first == std::string::npos ? "TRACKS" : name.substr(first, name.find_last_not_of(' ') - first + 1);
    if (name == "." || name == "..") name = "_";
    return getText(settings.WorkDir) + name + ExtensionFor(encoderIndex, getText(settings.EncoderConfig.ACMFileExt));
}

TGrabber::TGrabber(TCDROM& drive, SettingsRecord& settings, DiscRecord& disc, TEncManager& encoders,
                   UserPrompt& prompt)
    : drive_(drive), settings_(settings), disc_(disc), encoders_(encoders), prompt_(prompt, hooks_) {}

bool TGrabber::StopRequested() {
    std::lock_guard lock(hooks_);
    return Callbacks.KeepGoing && !Callbacks.KeepGoing();
}

bool TGrabber::ConfirmCancel(int question) {
    std::lock_guard lock(hooks_);
    if (prompt_.ask(Message(question), Icon::Question)) {
        cancelled_ = true;
        return true;
    }
    if (Callbacks.Resume) Callbacks.Resume();
    return false;
}

void TGrabber::State(int track, const std::string& text) {
    std::lock_guard lock(hooks_);
    if (Callbacks.TrackState) Callbacks.TrackState(track, text);
}

void TGrabber::Caption(const std::string& text) {
    std::lock_guard lock(hooks_);
    if (Callbacks.Caption) Callbacks.Caption(text);
}

void TGrabber::Progressed(int track, GrabStage stage, int percent) {
    std::lock_guard lock(hooks_);
    if (Callbacks.Progress) Callbacks.Progress(track, stage, percent);
}

void TGrabber::Started(int track) {
    std::lock_guard lock(hooks_);
    if (Callbacks.TrackStarted) Callbacks.TrackStarted(track);
}

void TGrabber::Written(const std::string& path) {
    std::lock_guard lock(hooks_);
    if (Callbacks.FileReplaced && replacing_.count(path))
        Callbacks.FileReplaced(path);
    else if (Callbacks.FileWritten)
        Callbacks.FileWritten(path);
}

bool TGrabber::OutputFolderUsable(const std::string& folder) {
    std::string why;
    if (folder.empty() || FileUtil::makeDirs(folder, &why)) return true;
    prompt_.message("Cannot write into \"" + folder + "\": " + why, Icon::Error);
    return false;
}

void TGrabber::Done(int track) {
    std::lock_guard lock(hooks_);
    if (Callbacks.TrackDone) Callbacks.TrackDone(track);
}

bool TGrabber::CheckFreeSpace(std::uint64_t needed) {
    const std::string folder = getText(settings_.WorkDir);
    const auto free = FreeSpace ? FreeSpace(folder) : StatvfsFreeSpace(folder);
    if (!free || needed < *free) return true;
    return prompt_.ask(Message(100), Icon::Warning);
}

bool TGrabber::GrabCommand(int encoderIndex, std::vector<bool>& checked) {
    cancelled_ = false;
    if (!OutputFolderUsable(getText(settings_.WorkDir))) return false;
    const int count = disc_.trackCount();
    if (count > 0) {
        const std::int64_t lastStart = disc_.Tracks[count - 1].StartSector;
        const std::uint64_t needed = lastStart > 0 ? std::uint64_t(lastStart) * kCdSectorBytes : 0;
        if (!CheckFreeSpace(needed)) return false;
    }
    PrepareForGrab(drive_, settings_);
    const std::uint8_t savedIndex = settings_.EncoderConfig.EncoderIndex;
    settings_.EncoderConfig.EncoderIndex = static_cast<std::uint8_t>(encoderIndex);
    const bool ok = GrabTracks(checked);
    settings_.EncoderConfig.EncoderIndex = savedIndex;
    FinishGrab(drive_);
    if (settings_.EjectACopy) {
        std::lock_guard lock(hooks_);
        if (Callbacks.Eject) Callbacks.Eject();
    }
    return ok;
}

bool TGrabber::GrabTracks(std::vector<bool>& checked) {
    cancelled_ = false;
    const bool raised = settings_.Priority && System && System->RaisePriority();
    const EncoderConfig& config = settings_.EncoderConfig;
    const bool onTheFly = config.OnTheFlyEncoding != 0;

    std::vector<GrabFileJob> jobs;
    // No two files of one job share a name, nor do their temporary files.
    std::set<std::string> outputs, temporaries;
    for (int i = 0; i < disc_.trackCount() && i < int(checked.size()); ++i) {
        if (!checked[i] || !disc_.Tracks[i].Audio) continue;
        GrabFileJob& job = jobs.emplace_back();
        job.track = i;
        job.range = TrackRange(disc_, i);
        job.output = UniqueOutputName(BuildOutputName(settings_, disc_, Tags, i), outputs);
        std::string name = TextsForTrack(disc_, Tags, i, false).Title + ".wav";
        CleanFileName(name);
        job.temporary = UniqueOutputName(TempFolder + name, temporaries);
        job.tag = Tags ? Tags->GetTag(unsigned(i)) : nullptr;
        job.expectedBytes = std::uint64_t(job.range.Total()) * kCdSectorBytes;
        job.streamConfig = job.outputConfig = config;
        if (onTheFly) {
            job.target = job.output;
        } else {
            // The temporary file is WAVE; it becomes the output as it is when
            // the output is WAVE too and nothing is normalised.
            job.target = job.temporary;
            job.streamConfig.EncoderIndex = 0;
            job.then = config.EncoderIndex != 0 || config.Normalize ? GrabFileJob::Then::Compress : GrabFileJob::Then::Move;
            job.measurePeak = config.Normalize != 0;
        }
    }

    JobHooks hooks;
    hooks.started = [this](GrabFileJob& job) { Started(job.track); };
    hooks.complete = [&](GrabFileJob& job) {
        disc_.Tracks[job.track].Grabbed = 1;
        Written(job.output);
        State(job.track, Message(20));
        Progressed(job.track, GrabStage::Done, 100);
        Done(job.track);
        checked[std::size_t(job.track)] = false;
    };
    const bool ok = RunJobs(jobs, hooks) == RunEnd::Done;

    if (raised) System->RestorePriority();
    if (settings_.ShutComp && System) System->PowerOff();
    std::error_code ec;
    fs::remove(TempFolder, ec);
    return ok;
}

}  // namespace melvarin
