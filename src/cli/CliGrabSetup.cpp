#include "cli/CliGrabSetup.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <system_error>

#include "app/Messages.h"
#include "disc/GrabRange.h"
#include "disc/OutputNaming.h"
#include "platform/ProgramHome.h"

namespace melvarin {

namespace {

// Columns of the terminal on standard error; 0 when it cannot be told.
int TerminalColumns() {
    winsize size = {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 0;
}

const std::map<std::string, int> kIndexes = {{"wav", 0}, {"mp3", 1}, {"ogg", 3}, {"flac", 7},
                                             {"ape", 4}, {"aac", 5}, {"wma", 2}, {"acm", 6}};

}  // namespace

std::optional<int> FormatIndex(const std::string& format) {
    const auto it = kIndexes.find(format);
    if (it == kIndexes.end()) return std::nullopt;
    return it->second;
}

std::string FormatName(int index) {
    for (const auto& [word, value] : kIndexes)
        if (value == index) return word;
    return {};
}

std::string BuiltFormats() {
    std::string words;
    for (const EncoderInfo& row : TEncManager::Table()) {
        const std::string word = FormatName(row.index);
        if (!row.available() || word.empty() || words.find(word) != std::string::npos) continue;
        words += (words.empty() ? "" : " ") + word;
    }
    return words;
}

GrabCallbacks TerminalGrabCallbacks(std::ostream& out, std::ostream& err, bool quiet, TerminalProgress* progress) {
    if (quiet) progress = nullptr;
    GrabCallbacks callbacks;
    callbacks.KeepGoing = [] { return !JobSignals::StopRequested(); };
    callbacks.Resume = [] { JobSignals::Resume(); };
    const auto announce = [&out, progress](const char* verb) {
        return [&out, progress, verb](const std::string& path) {
            if (progress) progress->FileWritten();
            out << verb << ' ' << path << '\n' << std::flush;
        };
    };
    callbacks.FileWritten = announce("wrote");
    callbacks.FileReplaced = announce("replaced");
    if (progress) {
        callbacks.Progress = [progress, reading = Message(19), encoding = Message(27)](int track, GrabStage stage,
                                                                                       int percent) {
            if (stage == GrabStage::Done || stage == GrabStage::Cancelled)
                progress->End(track);
            else
                progress->Update(track, track < 0 ? std::string() : stage == GrabStage::Reading ? reading : encoding,
                                 percent);
        };
    } else if (!quiet) {
        callbacks.TrackState = [&err](int track, const std::string& text) {
            err << "track " << track + 1 << ": " << text << '\n';
        };
        callbacks.Caption = [&err](const std::string& text) { err << text << '\n'; };
    }
    return callbacks;
}

CliGrabRun::CliGrabRun(CliContext& ctx, std::string command) : ctx_(ctx), command_(std::move(command)) {}

int CliGrabRun::Usage(const std::string& why) {
    *ctx_.err << "melvarin-cli " << command_ << ": " << why << "\n";
    return kCliUsage;
}

int CliGrabRun::Parse(const std::vector<std::string>& args, std::set<std::string> valueOptions,
                      const std::set<std::string>& flags) {
    valueOptions.insert({"format", "out"});
    options_ = CliArgs::parseOptions(command_, args, valueOptions, flags, *ctx_.err);
    if (!options_) return kCliUsage;
    home_.LoadSettings(ctx_);
    SettingsRecord& settings = home_.settings;
    format_ = options_->value("format").value_or(FormatName(settings.EncoderConfig.EncoderIndex));
    const std::optional<int> index = FormatIndex(format_);
    if (!index) return Usage("unknown format '" + format_ + "'");
    encoderIndex_ = *index;
    settings.EncoderConfig.EncoderIndex = static_cast<std::uint8_t>(encoderIndex_);
    if (const auto out = options_->value("out")) setText(settings.WorkDir, FolderArgument(*out));
    return kCliDone;
}

bool CliGrabRun::Start() {
    SettingsRecord& settings = home_.settings;
    const EncoderInfo* info = TEncManager::Find(settings.EncoderConfig);
    if (!info || !info->available()) {
        *ctx_.err << "melvarin-cli " << command_ << ": format " << format_ << " is not available in this build\n";
        return false;
    }
    if (!loaded_.Load(ctx_, command_, settings)) return false;
    TAudioCD& drive = *loaded_.drive;
    std::error_code ec;
    std::filesystem::create_directories(getText(settings.WorkDir), ec);
    rereader_ = std::make_unique<CommandSetRereader>(drive.Current());
    encoders_ = std::make_unique<TEncManager>(ctx_.prompt);
    signals_ = std::make_unique<JobSignals>(::isatty(STDIN_FILENO) != 0);
    if (!ctx_.quiet && ctx_.err == &std::cerr && ::isatty(STDERR_FILENO)) {
        progress_ = std::make_unique<TerminalProgress>(*ctx_.err, TerminalColumns(), TerminalProgress::SteadyClock(),
                                                       !::isatty(STDOUT_FILENO));
        DescribeFiles();
    }
    prompt_ = std::make_unique<ProgressPrompt>(*ctx_.prompt, progress_.get(), [] { return JobSignals::Forced() != 0; });
    grabber_ = std::make_unique<TGrabber>(drive, settings, loaded_.disc, *encoders_, *prompt_);
    grabber_->Tags = &loaded_.tags;
    grabber_->Rereader = rereader_.get();
    grabber_->System = this;
    grabber_->TempFolder = ProgramHome::tempFilesDir();
    grabber_->Callbacks = TerminalGrabCallbacks(*ctx_.out, *ctx_.err, ctx_.quiet, progress_.get());
    grabber_->Callbacks.Eject = [this] { eject_ = true; };
    return true;
}

void CliGrabRun::DescribeFiles() {
    DiscRecord disc = loaded_.disc;
    for (int i = 0; i < disc.trackCount(); ++i) {
        const std::string title = TextsForTrack(disc, &loaded_.tags, i, false).Title;
        progress_->Describe(i, "track " + std::to_string(i + 1) + (title.empty() ? "" : " " + title),
                            TrackRange(disc, i).Total() / 75.0);
    }
    const std::string image = WholeDiscFileName(home_.settings, disc, encoderIndex_);
    progress_->Describe(-1, image.substr(image.rfind('/') + 1), AudioRange(disc).Total() / 75.0);
}

int CliGrabRun::Finish(bool done) {
    const int forced = JobSignals::Forced();
    const bool saved = loaded_.Save(ctx_, command_, home_.settings);
    if (eject_) loaded_.drive->LoadEject(true);
    if (forced) {
        *ctx_.err << "melvarin-cli " << command_ << ": cancelled (" << JobSignals::Name(forced) << ")\n";
        return JobSignals::ExitStatus(forced);
    }
    if (powerOff_) system_.PowerOff();
    // Files with unreadable sectors are kept, but the grab did not succeed.
    const std::vector<UnreadableSectors> none;
    const std::vector<UnreadableSectors>& unreadable = grabber_ ? grabber_->Unreadable() : none;
    for (const UnreadableSectors& u : unreadable)
        *ctx_.err << "melvarin-cli " << command_ << ": " << UnreadableText(u) << "\n";
    if (done) return unreadable.empty() && saved ? kCliDone : kCliFailed;
    *ctx_.err << "melvarin-cli " << command_ << ": " << (grabber_->Cancelled() ? "cancelled" : "failed") << "\n";
    return kCliFailed;
}

}  // namespace melvarin
