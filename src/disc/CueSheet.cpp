#include "disc/CueSheet.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "disc/GrabRange.h"
#include "platform/FileUtil.h"

namespace melvarin {

namespace {

std::string TwoDigits(int value) {
    char text[12];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

std::string CueSheetPath(const std::string& audioPath) {
    return std::filesystem::path(audioPath).replace_extension(".cue").string();
}

std::string CueSheetText(const std::string& audioPath, const DiscRecord& disc) {
    const std::filesystem::path path(audioPath);
    std::string type = path.extension().string();
    if (!type.empty()) type.erase(0, 1);
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (type == "WAV") type = "WAVE";

    std::string text = "FILE \"" + path.filename().string() + "\" " + type + "\n";
    const GrabRange range = AudioRange(disc);
    int number = 0;
    for (int i = 0; i < disc.trackCount(); ++i) {
        if (!disc.Tracks[i].Audio) continue;
        const MsfAddress at = MsfAddress::fromFrames(disc.Tracks[i].StartSector - range.First);
        text += "\tTRACK " + TwoDigits(++number) + " AUDIO\n\t\tINDEX 01 " + TwoDigits(at.M) + ":" +
                TwoDigits(at.S) + ":" + TwoDigits(at.F) + "\n";
    }
    return text;
}

bool WriteCueSheet(const std::string& audioPath, const DiscRecord& disc, UserPrompt& prompt) {
    if (FileUtil::writeAtomically(CueSheetPath(audioPath), CueSheetText(audioPath, disc))) return true;
    prompt.message(Message(78), Icon::Warning);
    return false;
}

}  // namespace melvarin
