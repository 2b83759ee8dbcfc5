#include "cli/CliGrabSetup.h"

#include <atomic>
#include <csignal>
#include <map>

#include "encoders/TEncManager.h"

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

bool FormatAvailable(SettingsRecord& settings, int index, const std::string& format, const std::string& command,
                     std::ostream& err) {
    EncoderConfig probe = settings.EncoderConfig;
    probe.EncoderIndex = static_cast<std::uint8_t>(index);
    const EncoderInfo* info = TEncManager::Find(probe);
    if (info && info->available()) return true;
    err << "melvarin-cli " << command << ": format " << format << " is not available in this build\n";
    return false;
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

}  // namespace melvarin
