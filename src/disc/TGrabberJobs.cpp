#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <cstring>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "app/Messages.h"
#include "disc/BlockReader.h"
#include "disc/CueSheet.h"
#include "disc/GrabFileJob.h"
#include "disc/SampleUtils.h"
#include "disc/TGrabber.h"
#include "drive/TCDROM.h"
#include "encoders/PcmFormat.h"
#include "encoders/TEncManager.h"
#include "platform/FileUtil.h"
#include "platform/PartialFile.h"

// The scheduler behind every TGrabber job: the calling thread reads blocks
// for the files in flight, lowest track first among those whose queue has
// room, and reports finished files in order; an EncodeWorker per file encodes.

namespace melvarin {

namespace fs = std::filesystem;

namespace {

using Outcome = EncodeWorker::Outcome;

const char kCaption[] = "Melvarin v3.5";
// Bytes read for a file before they are handed to its encoder at once.
constexpr std::size_t kHandOverBytes = std::size_t(1) << 20;
// How often a waiting thread looks at a stop request or a cancel.
constexpr std::chrono::milliseconds kPoll{20};

void RemoveFile(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) fs::remove(path, ec);
}

// Creates the folder of `path` when missing; the reason when that fails.
std::string CreateParent(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    std::string why;
    if (folder.empty() || FileUtil::makeDirs(folder, &why)) return {};
    return "cannot create the folder \"" + folder + "\": " + why;
}

// Copies `from` into `to` through a partial file.
bool CopyFile(const std::string& from, const std::string& to, std::string& error) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = "cannot read \"" + from + "\": " + std::strerror(errno);
        return false;
    }
    PartialFile out;
    bool ok = out.open(to);
    std::vector<char> buffer(1 << 20);
    while (ok) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0) out.setFailed("cannot read \"" + from + "\": " + std::strerror(errno));
            break;
        }
        if (const int code = FileUtil::writeAll(out.fd(), buffer.data(), std::size_t(n))) {
            out.setFailed("cannot write \"" + to + "\": " + std::strerror(code));
            ok = false;
        }
    }
    ::close(in);
    ok = out.commit();
    if (!ok) error = out.error();
    return ok;
}

// Moves a finished file into place (replacing what is there, never through a
// symlink); across file systems by copying.
bool MoveFile(const std::string& from, const std::string& to, std::string& error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) {
        error = "cannot write \"" + to + "\": " + std::strerror(errno);
        return false;
    }
    if (!CopyFile(from, to, error)) return false;
    ::unlink(from.c_str());
    return true;
}

bool SwapForDrive(const SettingsRecord& settings) {
    const std::size_t drive = settings.DeviceName;
    return drive < sizeof settings.BigEndian && settings.BigEndian[drive] != 0;
}

// A quarter of the queue's bound, at most kHandOverBytes, in whole blocks.
std::size_t HandOverBytes(int blockSectors, std::size_t queueBytes) {
    const std::size_t block = std::size_t(std::max(1, blockSectors)) * kCdSectorBytes;
    const std::size_t wanted = std::min(kHandOverBytes, queueBytes / 4);
    return std::max<std::size_t>(1, (wanted + block - 1) / block) * block;
}

int Percent(std::uint32_t position, std::uint32_t total) {
    const std::uint32_t hundredth = total / 100;
    if (hundredth) return int(std::min<std::uint32_t>(100, position / hundredth));
    return total ? int(std::min<std::uint64_t>(100, std::uint64_t(position) * 100 / total)) : 100;
}

}  // namespace

class TGrabber::JobRun {
public:
    JobRun(TGrabber& grabber, std::vector<GrabFileJob>& jobs, const JobHooks& hooks)
        : g_(grabber),
          jobs_(jobs),
          on_(hooks),
          reader_(grabber.drive_, grabber.Rereader, grabber.settings_.ExtractMethod, grabber.settings_.RCD != 0,
                  SwapForDrive(grabber.settings_), grabber.settings_.NumSecRead),
          parallel_(grabber.Encoders > 0 ? grabber.Encoders
                                         : std::max(1, int(std::thread::hardware_concurrency()))),
          handOver_(HandOverBytes(reader_.BlockSectors(), grabber.QueueBytes)),
          readingText_(Message(19) + " "),
          encodingText_(Message(27) + " ") {}

    // Every worker still there is stopped and joined.
    ~JobRun() {
        for (GrabFileJob& job : jobs_) job.worker.reset();
    }

    RunEnd Run();

private:
    bool Failed(const GrabFileJob& job) const {
        return job.failed || (job.worker && job.worker->Result() == Outcome::Failed);
    }
    bool Finished(const GrabFileJob& job) const {
        return job.failed || job.stage == GrabFileJob::Stage::Ended ||
               (job.worker && job.worker->Result() != Outcome::Running);
    }
    bool AnyReading() const;
    bool CanStart() const;
    GrabFileJob* NextToRead();
    void Start(GrabFileJob& job);
    void ReadBlock(GrabFileJob& job);
    void HandOver(GrabFileJob& job);
    void FinishReading(GrabFileJob& job);
    EncodeWorker::FinalStep CompressStep(const GrabFileJob& job);
    EncodeWorker::FinalStep MoveStep(const GrabFileJob& job);
    void Report(GrabFileJob& job);
    void Discard(GrabFileJob& job, bool showCancelled);
    void DiscardAfter(std::size_t failed);
    void CancelAll();

    bool AcquireSlot(const std::atomic<bool>& abort);
    void ReleaseSlot();
    void Changed();
    std::uint64_t Changes();
    void WaitForChange(std::uint64_t seen);

    TGrabber& g_;
    std::vector<GrabFileJob>& jobs_;
    const JobHooks& on_;
    BlockReader reader_;
    const int parallel_;
    const std::size_t handOver_;  // whole blocks
    // The progress texts, looked up once per job.
    const std::string readingText_;
    const std::string encodingText_;
    std::size_t front_ = 0;  // first file not yet reported
    std::size_t next_ = 0;   // first file not yet started
    std::size_t current_ = 0;  // the file being read
    bool stopping_ = false;  // a file failed: start no more

    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t changes_ = 0;  // blocks taken and workers ended
    int compressing_ = 0;        // temporary files being re-encoded
};

TGrabber::RunEnd TGrabber::RunJobs(std::vector<GrabFileJob>& jobs, const JobHooks& hooks) {
    unreadable_.clear();
    replacing_.clear();
    std::set<std::string> folders;
    for (const GrabFileJob& job : jobs) {
        std::vector<std::string> outputs{job.output};
        if (job.track < 0) outputs.push_back(CueSheetPath(job.output));
        for (const std::string& path : outputs) {
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0) replacing_.insert(path);
        }
        folders.insert(fs::path(job.output).parent_path().string());
        folders.insert(fs::path(job.target).parent_path().string());
    }
    // What a run cut short by a signal or a crash left behind; a partial file
    // changed within the last minute may be another instance's work.
    const std::time_t before = std::time(nullptr) - 60;
    for (const std::string& folder : folders) PartialFile::RemoveLeftovers(folder.empty() ? "." : folder, before);
    if (Callbacks.JobPlanned) {
        std::vector<GrabPlannedFile> planned;
        for (const GrabFileJob& job : jobs)
            planned.push_back({job.track, job.range.Total(), job.then == GrabFileJob::Then::Compress});
        std::lock_guard lock(hooks_);
        Callbacks.JobPlanned(planned);
    }
    JobRun run(*this, jobs, hooks);
    return run.Run();
}

TGrabber::RunEnd TGrabber::JobRun::Run() {
    for (;;) {
        const std::uint64_t seen = Changes();
        // A failed file stops the grab: later files go, earlier ones finish.
        for (std::size_t i = front_; i < next_; ++i) {
            if (!Failed(jobs_[i])) continue;
            if (jobs_[i].stage == GrabFileJob::Stage::Reading) jobs_[i].stage = GrabFileJob::Stage::Encoding;
            DiscardAfter(i);
            break;
        }
        while (front_ < next_ && Finished(jobs_[front_])) {
            GrabFileJob& job = jobs_[front_];
            if (job.worker) job.worker->Join();
            if (!job.failed && job.worker && job.worker->Result() == Outcome::Complete) {
                Report(job);
                ++front_;
                continue;
            }
            if (job.error.empty() && job.worker) job.error = job.worker->Error();
            if (!job.error.empty()) g_.prompt_.message(job.error, job.errorIcon);
            Discard(job, false);
            return RunEnd::Failed;
        }
        if (front_ == jobs_.size()) return RunEnd::Done;

        if (g_.StopRequested()) {
            if (g_.ConfirmCancel(AnyReading() ? 17 : 26)) {
                CancelAll();
                return RunEnd::Cancelled;
            }
            continue;
        }
        if (CanStart()) {
            Start(jobs_[next_++]);
        } else if (GrabFileJob* job = NextToRead()) {
            ReadBlock(*job);
        } else {
            WaitForChange(seen);
        }
    }
}

bool TGrabber::JobRun::AnyReading() const {
    for (std::size_t i = front_; i < next_; ++i)
        if (jobs_[i].stage == GrabFileJob::Stage::Reading) return true;
    return false;
}

// On the fly, one file per processor is encoded while the reader feeds them
// all; with temporary files the reader reads one track at a time, ahead of
// the re-encodes (which wait for one of the processor slots).
bool TGrabber::JobRun::CanStart() const {
    if (stopping_ || next_ >= jobs_.size()) return false;
    int working = 0;
    for (std::size_t i = front_; i < next_; ++i) {
        const GrabFileJob& job = jobs_[i];
        if (job.worker && job.worker->Result() == Outcome::Running) ++working;
    }
    if (jobs_[next_].then != GrabFileJob::Then::Nothing) return !AnyReading() && working <= parallel_;
    return working < parallel_;
}

// The reader stays with one file until its queue is full and then takes the
// first one whose queue is at most half full, so a drive seeks between files
// once per half a queue at most, not once per block.
GrabFileJob* TGrabber::JobRun::NextToRead() {
    if (current_ < next_) {
        GrabFileJob& job = jobs_[current_];
        if (job.stage == GrabFileJob::Stage::Reading && job.worker->HasRoom()) return &job;
    }
    for (std::size_t i = front_; i < next_; ++i) {
        GrabFileJob& job = jobs_[i];
        if (job.stage == GrabFileJob::Stage::Reading && job.worker->QueuedBytes() <= g_.QueueBytes / 2) {
            current_ = i;
            return &job;
        }
    }
    return nullptr;
}

void TGrabber::JobRun::Start(GrabFileJob& job) {
    if (job.track >= 0 && on_.started) on_.started(job);
    RemoveFile(job.temporary);
    std::string folderError = CreateParent(job.target);
    if (folderError.empty()) folderError = CreateParent(job.output);
    if (!folderError.empty()) {
        job.error = job.openFailure.empty() ? folderError : job.openFailure + "\n" + folderError;
        job.errorIcon = job.openFailure.empty() ? Icon::Error : Icon::Warning;
        job.failed = true;
        job.stage = GrabFileJob::Stage::Ended;
        return;
    }

    const PcmFormat format = PcmFormat::pcm16(44100, 2);
    std::unique_ptr<TEncoder> encoder = TEncManager::CreateEncoder(&job.streamConfig, &format, &g_.prompt_);
    if (encoder) {
        encoder->SetTag(job.tag);
        if (TEncManager::OpenEncoder(*encoder, job.target, job.expectedBytes) == 0) {
            job.error = encoder->LastError();
            encoder.reset();
        }
    }
    if (!encoder) {
        // The caller's text, with the cause when the encoder told one.
        if (!job.openFailure.empty()) {
            job.error = job.error.empty() ? job.openFailure : job.openFailure + "\n" + job.error;
            job.errorIcon = Icon::Warning;
        }
        job.failed = true;
        job.stage = GrabFileJob::Stage::Ended;
        return;
    }
    job.pos = job.range.First;
    job.stage = GrabFileJob::Stage::Reading;
    job.worker = std::make_unique<EncodeWorker>(std::move(encoder), g_.QueueBytes, [this] { Changed(); });
    if (job.pos >= job.range.End) FinishReading(job);
}

void TGrabber::JobRun::ReadBlock(GrabFileJob& job) {
    const int n = reader_.BlockSectors();
    const int h = static_cast<int>(std::min<std::int32_t>(n, job.range.End - job.pos));
    const std::size_t bytes = std::size_t(h) * kCdSectorBytes;
    if (job.filled == 0 && job.pending.empty()) job.pending = job.worker->TakeSpare();
    if (job.pending.size() < job.filled + bytes) job.pending.resize(std::max(handOver_, job.filled + bytes));
    std::uint8_t* block = job.pending.data() + job.filled;
    reader_.Read(job.range, job.pos, h, block);
    if (job.measurePeak) FindPeak(block, bytes, job.peak);
    job.filled += bytes;
    if (job.filled >= handOver_) HandOver(job);
    job.pos += n;
    const int percent = GrabPercent(job.range, job.pos);
    if (percent != job.shown) {
        job.shown = percent;
        if (job.track >= 0)
            g_.State(job.track, readingText_ + std::to_string(percent) + "%");
        else
            g_.Caption(std::string(kCaption) + " - [ " + std::to_string(percent) + "% ]");
        g_.Progressed(job.track, GrabStage::Reading, percent);
    }
    if (job.pos >= job.range.End) FinishReading(job);
}

void TGrabber::JobRun::HandOver(GrabFileJob& job) {
    if (job.filled == 0) return;
    job.pending.resize(job.filled);
    job.worker->Push(std::move(job.pending));
    job.pending = {};
    job.filled = 0;
}

void TGrabber::JobRun::FinishReading(GrabFileJob& job) {
    HandOver(job);
    job.stage = GrabFileJob::Stage::Encoding;
    const EncoderConfig& c = job.streamConfig;
    if (job.measurePeak) job.gain = NormalisationGain(job.peak, c.SetMin, c.SetMax, c.Min, c.Max);
    switch (job.then) {
        case GrabFileJob::Then::Nothing: job.worker->Finish(); break;
        case GrabFileJob::Then::Compress: job.worker->Finish(CompressStep(job)); break;
        case GrabFileJob::Then::Move: job.worker->Finish(MoveStep(job)); break;
    }
}

EncodeWorker::FinalStep TGrabber::JobRun::CompressStep(const GrabFileJob& job) {
    return [this, track = job.track, source = job.target, output = job.output, tag = job.tag,
            config = job.outputConfig, gain = job.gain](const std::atomic<bool>& abort) mutable {
        if (!AcquireSlot(abort)) return Outcome::Aborted;
        bool cancelled = false;
        int shown = -1;
        WaveEncodeOptions options;
        options.gain = gain;
        options.prompt = &g_.prompt_;
        options.progress = [&](std::uint32_t position, std::uint32_t total, bool& cancel) {
            if (abort) {
                cancel = cancelled = true;
                return;
            }
            const int percent = Percent(position, total);
            if (percent != shown) {
                shown = percent;
                g_.State(track, encodingText_ + std::to_string(percent) + "%");
                g_.Progressed(track, GrabStage::Encoding, percent);
            }
        };
        const bool ok = TEncManager::EncodeWaveFile(source, output, tag, &config, options);
        ReleaseSlot();
        if (cancelled) return Outcome::Aborted;
        return ok ? Outcome::Complete : Outcome::Failed;
    };
}

EncodeWorker::FinalStep TGrabber::JobRun::MoveStep(const GrabFileJob& job) {
    return [this, source = job.target, output = job.output](const std::atomic<bool>& abort) {
        if (abort) return Outcome::Aborted;
        std::string error;
        if (MoveFile(source, output, error)) return Outcome::Complete;
        g_.prompt_.message(error, Icon::Error);
        return Outcome::Failed;
    };
}

void TGrabber::JobRun::Report(GrabFileJob& job) {
    job.worker.reset();
    job.stage = GrabFileJob::Stage::Ended;
    if (job.then != GrabFileJob::Then::Nothing) RemoveFile(job.temporary);
    if (on_.complete) on_.complete(job);
    g_.ReportUnreadable(job.track, reader_.UnreadableIn(job.range));
}

// Stops the file's work and removes whatever it wrote, a finished file too.
// A file left unfinished never reached its name, so a file of an earlier run
// stays there.
void TGrabber::JobRun::Discard(GrabFileJob& job, bool showCancelled) {
    if (job.worker) {
        job.worker->Abort();
        job.worker->Join();
        if (job.worker->Result() == Outcome::Complete) RemoveFile(job.output);
        job.worker.reset();
    }
    RemoveFile(job.temporary);
    const bool started = job.stage != GrabFileJob::Stage::Waiting;
    job.stage = GrabFileJob::Stage::Ended;
    if (!showCancelled || !started) return;
    if (job.track >= 0) g_.State(job.track, Message(18));
    g_.Progressed(job.track, GrabStage::Cancelled, 0);
}

void TGrabber::JobRun::DiscardAfter(std::size_t failed) {
    stopping_ = true;
    for (std::size_t i = failed + 1; i < next_; ++i)
        if (jobs_[i].stage != GrabFileJob::Stage::Ended) Discard(jobs_[i], true);
}

// A confirmed cancel: files finished by now are kept and reported, every
// other one is stopped and removed.
void TGrabber::JobRun::CancelAll() {
    for (std::size_t i = front_; i < next_; ++i)
        if (jobs_[i].worker) jobs_[i].worker->Abort();
    for (std::size_t i = front_; i < next_; ++i) {
        GrabFileJob& job = jobs_[i];
        if (job.stage == GrabFileJob::Stage::Ended) continue;
        job.worker->Join();
        if (job.worker->Result() == Outcome::Complete)
            Report(job);
        else
            Discard(job, true);
    }
    front_ = next_;
}

bool TGrabber::JobRun::AcquireSlot(const std::atomic<bool>& abort) {
    std::unique_lock lock(mutex_);
    while (compressing_ >= parallel_) {
        if (abort) return false;
        wake_.wait_for(lock, kPoll);
    }
    ++compressing_;
    return true;
}

void TGrabber::JobRun::ReleaseSlot() {
    {
        std::lock_guard lock(mutex_);
        --compressing_;
    }
    wake_.notify_all();
}

void TGrabber::JobRun::Changed() {
    {
        std::lock_guard lock(mutex_);
        ++changes_;
    }
    wake_.notify_all();
}

std::uint64_t TGrabber::JobRun::Changes() {
    std::lock_guard lock(mutex_);
    return changes_;
}

void TGrabber::JobRun::WaitForChange(std::uint64_t seen) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, kPoll, [&] { return changes_ != seen; });
}

}  // namespace melvarin
