#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace melvarin {

class TDiscTags;

// What the settings window lists from the rest of the program: drives, codecs,
// the name preview. The opener fills what exists; an empty member leaves its
// list empty (or its control disabled) rather than invented.
struct SettingsFormSources {
    // Reading drives in drive-list order (the index is `DeviceName`).
    std::vector<std::string> drives;
    // Which drive transports the drive layer reports available.
    bool aspiAvailable = false;
    bool sptiAvailable = false;

    // Display name of the LAME encoder: entry 0 of the MP3 codec list.
    std::string lameName = "Lame MP3 Encoder";
    // Long names of the installed ACM MP3 codecs, and the formats of one of them.
    std::vector<std::string> acmMp3Codecs;
    std::function<std::vector<std::string>(int codec)> acmMp3Formats;
    // Long names of every installed ACM driver, and the formats of one of them.
    std::vector<std::string> acmCodecs;
    std::function<std::vector<std::string>(int codec)> acmFormats;

    // Tags of the disc the main window holds, for the pattern preview of a
    // compilation disc; may stay nullptr.
    const TDiscTags* discTags = nullptr;

    // Opens the read-command detection window for the drive and transport
    // chosen in the window; returns the chosen (type, sectors) or nothing.
    std::function<std::optional<std::pair<int, int>>(int drive, bool spti, int sectors)> detectReadCommand;

    // Fetches the freedb mirror list (each line "description#host#path#");
    // empty when the request failed. When unset, the window asks the default
    // freedb server itself (through the proxy typed on the page, if any).
    std::function<std::vector<std::string>(int timeOutMs)> fetchSites;
};

}  // namespace melvarin
