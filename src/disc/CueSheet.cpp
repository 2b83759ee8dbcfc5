#include "disc/CueSheet.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "app/Messages.h"
#include "app/UserPrompt.h"
#include "disc/GrabRange.h"
#include "cddb/TDiscTags.h"
#include "platform/PartialFile.h"

namespace melvarin {

namespace {

std::string TwoDigits(int value) {
    char text[12];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// `text` as a quoted CUE string: control characters dropped, backslashes and
// quotes escaped with a backslash.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) continue;
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The track's own artist (a compilation's tag), when it is not the disc's.
std::string TrackPerformer(const DiscRecord& disc, const TDiscTags* tags, int track) {
    if (!disc.Compilation || !tags) return {};
    const TIDTag* tag = tags->GetTag(static_cast<unsigned>(track));
    if (!tag || tag->Artist.empty() || tag->Artist == disc.artist()) return {};
    return tag->Artist;
}

}  // namespace

std::string CueSheetPath(const std::string& audioPath) {
    return std::filesystem::path(audioPath).replace_extension(".cue").string();
}

std::string CueSheetText(const std::string& audioPath, const DiscRecord& disc, const TDiscTags* tags) {
    const std::filesystem::path path(audioPath);
    // The sheet's file types are BINARY, MOTOROLA, AIFF, WAVE and MP3; players
    // take WAVE for any other audio file (FLAC, Monkey's Audio, Ogg, AAC),
    // while a type word of their own makes a sheet unreadable to strict parsers.
    std::string ext = path.extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string type = ext == ".MP3" ? "MP3" : ext == ".AIFF" || ext == ".AIF" ? "AIFF" : "WAVE";

    std::string text;
    if (!disc.artist().empty()) text += "PERFORMER " + Quoted(disc.artist()) + "\n";
    if (!disc.album().empty()) text += "TITLE " + Quoted(disc.album()) + "\n";
    text += "FILE " + Quoted(path.filename().string()) + " " + type + "\n";
    const GrabRange range = AudioRange(disc);
    int number = 0;
    for (int i = 0; i < disc.trackCount(); ++i) {
        if (!disc.Tracks[i].Audio) continue;
        const MsfAddress at = MsfAddress::fromFrames(disc.Tracks[i].StartSector - range.First);
        text += "\tTRACK " + TwoDigits(++number) + " AUDIO\n";
        if (const std::string title = disc.title(i); !title.empty()) text += "\t\tTITLE " + Quoted(title) + "\n";
        if (const std::string artist = TrackPerformer(disc, tags, i); !artist.empty())
            text += "\t\tPERFORMER " + Quoted(artist) + "\n";
        text += "\t\tINDEX 01 " + TwoDigits(at.M) + ":" + TwoDigits(at.S) + ":" + TwoDigits(at.F) + "\n";
    }
    return text;
}

bool WriteCueSheet(const std::string& audioPath, const DiscRecord& disc, UserPrompt& prompt,
                   const TDiscTags* tags) {
    std::string error;
    if (PartialFile::WriteWhole(CueSheetPath(audioPath), CueSheetText(audioPath, disc, tags), &error)) return true;
    prompt.message(Message(78) + "\n" + error, Icon::Warning);
    return false;
}

}  // namespace melvarin
