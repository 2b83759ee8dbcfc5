#include <algorithm>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/CueSheet.h"
#include "disc/GrabFileJob.h"
#include "disc/TGrabber.h"
#include "drive/TCDROM.h"
#include "encoders/TEncManager.h"

// The single-file jobs of TGrabber: one track, the whole disc.

namespace melvarin {

namespace {

const char kCaption[] = "Melvarin v3.5";

}  // namespace

void TGrabber::ReportUnreadable(int track, const std::vector<SectorRun>& runs) {
    std::vector<UnreadableSectors> found;
    const int tracks = disc_.trackCount();
    for (SectorRun run : runs) {
        while (run.count > 0) {
            int t = track;
            SectorRun part = run;
            if (t < 0) {
                // The whole disc: the run goes to the tracks it crosses.
                t = 0;
                while (t + 1 < tracks && disc_.Tracks[t + 1].StartSector <= run.first) ++t;
                const std::int32_t end = disc_.Tracks[t + 1].StartSector;  // the lead-out entry at the last
                if (end > run.first) part.count = std::min(run.count, end - run.first);
            }
            if (found.empty() || found.back().track != t) found.push_back({t, 0, {}});
            found.back().count += part.count;
            found.back().runs.push_back(part);
            run.first += part.count;
            run.count -= part.count;
        }
    }
    for (const UnreadableSectors& u : found) {
        unreadable_.push_back(u);
        std::lock_guard lock(hooks_);
        prompt_.message(UnreadableText(u), Icon::Warning);
        if (Callbacks.TrackUnreadable) Callbacks.TrackUnreadable(u.track, u.count);
    }
}

bool TGrabber::GrabTrack(int track, const std::string& target) {
    cancelled_ = false;
    if (track < 0 || track >= disc_.trackCount()) return false;
    const EncoderConfig& config = settings_.EncoderConfig;
    const bool onTheFly = config.OnTheFlyEncoding != 0;

    std::vector<GrabFileJob> jobs(1);
    GrabFileJob& job = jobs.front();
    job.track = track;
    job.range = TrackRange(disc_, track);
    job.target = job.output = target;
    job.tag = Tags ? Tags->GetTag(unsigned(track)) : nullptr;
    job.expectedBytes = std::uint64_t(job.range.Total()) * kCdSectorBytes;
    job.streamConfig = config;
    if (!onTheFly) {
        job.streamConfig.EncoderIndex = 0;
        job.measurePeak = config.Normalize != 0;
    }
    JobHooks hooks;
    hooks.complete = [&](GrabFileJob& done) {
        if (!onTheFly) encoders_.Gain = done.gain;
        disc_.Tracks[track].Grabbed = 1;
    };
    return RunJobs(jobs, hooks) == RunEnd::Done;
}

bool TGrabber::GrabDisc(const std::string& path) {
    cancelled_ = false;
    const char* failure = "Fail to run encoder!";
    std::vector<GrabFileJob> jobs(1);
    GrabFileJob& job = jobs.front();
    job.range = AudioRange(disc_);
    if (job.range.Total() <= 0) {
        prompt_.message(failure, Icon::Warning);
        return false;
    }
    job.target = job.output = path;
    job.streamConfig = settings_.EncoderConfig;
    job.streamConfig.Normalize = 0;
    job.openFailure = failure;

    JobHooks hooks;
    hooks.complete = [this](GrabFileJob& done) { Written(done.output); };
    const RunEnd end = RunJobs(jobs, hooks);
    Caption(kCaption);
    if (end != RunEnd::Done) return false;
    if (settings_.CUE && WriteCueSheet(path, disc_, prompt_, Tags)) Written(CueSheetPath(path));
    prompt_.message("Rip Complette!", Icon::Information);
    return true;
}

}  // namespace melvarin
