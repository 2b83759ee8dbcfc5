#include "disc/TGrabber.h"

#include <filesystem>
#include <system_error>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "cddb/TDiscTags.h"
#include "disc/OutputNaming.h"
#include "drive/ReadCommands.h"
#include "drive/TCDROM.h"
#include "encoders/TEncManager.h"

namespace melvarin {

namespace fs = std::filesystem;

namespace {

// Moves a finished file into place; across file systems by copying.
bool MoveFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        fs::remove(to, ec);
        return false;
    }
    fs::remove(from, ec);
    return true;
}

}  // namespace

std::string WholeDiscFileName(const SettingsRecord& settings, const DiscRecord& disc, int encoderIndex) {
    std::string name = disc.album();
    if (name.empty()) name = "TRACKS";
    for (char& c : name)
        if (c == '/' || c == '\\') c = ' ';
    if (name == "." || name == "..") name = "_";
    CleanFileName(name);
    return getText(settings.WorkDir) + name + ExtensionFor(encoderIndex, getText(settings.EncoderConfig.ACMFileExt));
}

TGrabber::TGrabber(TCDROM& drive, SettingsRecord& settings, DiscRecord& disc, TEncManager& encoders,
                   UserPrompt& prompt)
    : drive_(drive), settings_(settings), disc_(disc), encoders_(encoders), prompt_(prompt) {}

bool TGrabber::StopRequested() const {
    return Callbacks.KeepGoing && !Callbacks.KeepGoing();
}

bool TGrabber::ConfirmCancel(int question) {
    if (prompt_.ask(Message(question), Icon::Question)) {
        cancelled_ = true;
        return true;
    }
    if (Callbacks.Resume) Callbacks.Resume();
    return false;
}

void TGrabber::State(int track, const std::string& text) {
    if (Callbacks.TrackState) Callbacks.TrackState(track, text);
}

bool TGrabber::CheckFreeSpace(std::uint64_t needed) {
    const std::string folder = getText(settings_.WorkDir);
    const auto free = FreeSpace ? FreeSpace(folder) : StatvfsFreeSpace(folder);
    if (!free || needed < *free) return true;
    return prompt_.ask(Message(100), Icon::Warning);
}

bool TGrabber::GrabCommand(int encoderIndex, std::vector<bool>& checked) {
    cancelled_ = false;
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
    if (settings_.EjectACopy && Callbacks.Eject) Callbacks.Eject();
    return ok;
}

bool TGrabber::EncodeTemporary(int track, const std::string& temporary, const std::string& output) {
    bool cancelled = false;
    int shown = -1;
    encoders_.SetProgress([&](std::uint32_t position, std::uint32_t total, bool& cancel) {
        if (StopRequested() && ConfirmCancel(26)) {
            cancel = cancelled = true;
            return;
        }
        const std::uint32_t hundredth = total / 100;
        const int percent = hundredth ? int(std::min<std::uint32_t>(100, position / hundredth))
                                      : (total ? int(std::uint64_t(position) * 100 / total) : 100);
        if (percent != shown) {
            shown = percent;
            State(track, Message(27) + " " + std::to_string(percent) + "%");
        }
    });
    TIDTag* tag = Tags ? Tags->GetTag(unsigned(track)) : nullptr;
    const bool ok = encoders_.EncodeWaveFile(temporary, output, tag, &settings_.EncoderConfig);
    encoders_.SetProgress({});
    if (cancelled) {
        std::error_code ec;
        fs::remove(output, ec);
        State(track, Message(18));
        return false;
    }
    return ok;
}

bool TGrabber::GrabTracks(std::vector<bool>& checked) {
    cancelled_ = false;
    const bool raised = settings_.Priority && System && System->RaisePriority();
    EncoderConfig& config = settings_.EncoderConfig;
    bool ok = true;
    std::error_code ec;

    for (int i = 0; i < disc_.trackCount() && i < int(checked.size()); ++i) {
        if (!checked[i] || !disc_.Tracks[i].Audio) continue;
        if (Callbacks.TrackStarted) Callbacks.TrackStarted(i);

        const std::string output = BuildOutputName(settings_, disc_, Tags, i);
        std::string name = TextsForTrack(disc_, Tags, i, false).Title + ".wav";
        CleanFileName(name);
        const std::string temporary = TempFolder + name;
        fs::create_directories(TempFolder, ec);
        const fs::path outputFolder = fs::path(output).parent_path();
        if (!outputFolder.empty()) fs::create_directories(outputFolder, ec);
        fs::remove(temporary, ec);

        const bool onTheFly = config.OnTheFlyEncoding != 0;
        if (!GrabTrack(i, onTheFly ? output : temporary)) {
            ok = false;
            break;
        }
        if (!onTheFly) {
            bool produced;
            if (config.EncoderIndex != 0 || config.Normalize) {
                produced = EncodeTemporary(i, temporary, output);
            } else {
                produced = MoveFile(temporary, output);
                if (!produced) prompt_.message("Cannot write " + output, Icon::Error);
            }
            fs::remove(temporary, ec);
            if (!produced) {
                ok = false;
                break;
            }
        }
        if (Callbacks.FileWritten) Callbacks.FileWritten(output);
        State(i, Message(20));
        if (Callbacks.TrackDone) Callbacks.TrackDone(i);
        checked[i] = false;
    }

    if (raised) System->RestorePriority();
    if (settings_.ShutComp && System) System->PowerOff();
    fs::remove(TempFolder, ec);
    return ok;
}

}  // namespace melvarin
