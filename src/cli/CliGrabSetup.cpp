#include "cli/CliGrabSetup.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/ProgramHome.h"

namespace melvarin {

namespace {

std::atomic<bool> gStopRequested{false};

extern "C" void OnInterrupt(int) {
    gStopRequested = true;
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

GrabCallbacks TerminalGrabCallbacks(std::ostream& out, std::ostream& err, bool quiet) {
    gStopRequested = false;
    std::signal(SIGINT, OnInterrupt);
    GrabCallbacks callbacks;
    callbacks.KeepGoing = [] { return !gStopRequested.load(); };
    callbacks.Resume = [] { gStopRequested = false; };
    callbacks.FileWritten = [&out](const std::string& path) { out << "wrote " << path << '\n' << std::flush; };
    if (!quiet) {
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
    grabber_ = std::make_unique<TGrabber>(drive, settings, loaded_.disc, *encoders_, *ctx_.prompt);
    grabber_->Tags = &loaded_.tags;
    grabber_->Rereader = rereader_.get();
    grabber_->System = this;
    grabber_->TempFolder = ProgramHome::tempFilesDir();
    grabber_->Callbacks = TerminalGrabCallbacks(*ctx_.out, *ctx_.err, ctx_.quiet);
    grabber_->Callbacks.Eject = [this] { eject_ = true; };
    return true;
}

int CliGrabRun::Finish(bool done) {
    loaded_.Save(ctx_, command_, home_.settings);
    if (eject_) loaded_.drive->LoadEject(true);
    if (powerOff_) system_.PowerOff();
    // Files with unreadable sectors are kept, but the grab did not succeed.
    const std::vector<UnreadableSectors> none;
    const std::vector<UnreadableSectors>& unreadable = grabber_ ? grabber_->Unreadable() : none;
    for (const UnreadableSectors& u : unreadable)
        *ctx_.err << "melvarin-cli " << command_ << ": " << UnreadableText(u) << "\n";
    if (done) return unreadable.empty() ? kCliDone : kCliFailed;
    *ctx_.err << "melvarin-cli " << command_ << ": " << (grabber_->Cancelled() ? "cancelled" : "failed") << "\n";
    return kCliFailed;
}

}  // namespace melvarin
