#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "disc/DiscRecord.h"

namespace melvarin {

class UserPrompt;

// The texts a file name is built from for one track.
struct TrackTexts {
    std::string Artist;
    std::string Album;
    std::string Title;
    std::string Year;
    std::string Genre;
};

// Texts of track `track` (0-based): the disc record's, or for a compilation
// disc the track's own tag (with `onlyWithTitle`, only when that tag has a
// title). An empty artist becomes message 12, an empty album message 13, an
// empty title "Track NN" (texts of blanks only count as empty). Every text is
// made safe for a path component: "/" and "\" become blanks, control
// characters are removed, leading and trailing blanks are cut and a text that
// is "." or ".." becomes "_", so no text of a disc, CD-TEXT or freedb makes a
// folder or leaves the output folder.
TrackTexts TextsForTrack(const DiscRecord& disc, const TDiscTags* tags, int track, bool onlyWithTitle);

// The extension of encoder `encoderIndex` with its dot (".wav", ".mp3", ".wma",
// ".ogg", ".ape", ".aac", the ACM extension, ".flac"); empty for an unknown index.
std::string ExtensionFor(int encoderIndex, std::string_view acmFileExt);

// The pattern expanded for track `track`: %A/%А artist, %D/%Д album,
// %T/%Т title, %N/%Н two-digit number, %Y/%Г year, %G/%Ж genre, %C track
// count, %I hexadecimal disc identifier. A "%" followed by anything else ends
// the expansion. A "\" or "/" of the pattern is a folder separator and comes
// out as "/". No component of the result begins or ends with a blank; empty
// folder components are dropped and an empty file name becomes "Track NN".
std::string ExpandPattern(std::string_view pattern, int track, const DiscRecord& disc,
                          const TDiscTags* tags);

// Removes control characters and replaces each character * | < > " : ? with a
// blank, except a ":" that is the second character and is followed by "\" or
// "/" (a drive letter).
void CleanFileName(std::string& path);

// The full output path of track `track` by the settings' scheme (pattern or
// check boxes): WorkDir (kept as it is) + the cleaned relative part. Path
// components "." and ".." of the relative part become "_", so the result is
// always inside WorkDir. No component of the relative part begins or ends with
// a blank, and a file name that would be empty is "Track NN".
std::string BuildOutputName(const SettingsRecord& settings, const DiscRecord& disc,
                            const TDiscTags* tags, int track);

// `path`, or when `used` holds it already the first free of "NAME (2).EXT",
// "NAME (3).EXT", ...; the name returned is added to `used`.
std::string UniqueOutputName(const std::string& path, std::set<std::string>& used);

// While WorkDir is not an existing folder: message 14 (a warning), then
// `openSettings` (the settings window; returns false when the user cancels it).
// True once WorkDir exists, false when cancelled.
bool EnsureWorkDir(SettingsRecord& settings, UserPrompt& prompt,
                   const std::function<bool(SettingsRecord&)>& openSettings);

// The pattern field of the settings window.
// A typed character the field accepts (" * : < > ? | are refused; "/" and "\"
// separate folders).
bool FormatKeyAllowed(char32_t key);
// Every run of "%" reduced to one "%".
std::string ReduceDoublePercent(std::string_view pattern);
// The preview text: empty for an empty pattern or "%" alone; the expansion of
// track 0 + ".mp3" when a disc is loaded and the pattern does not end with
// "%"; nothing (leave the preview as it is) otherwise.
std::optional<std::string> PatternPreview(std::string_view pattern, const DiscRecord* loadedDisc,
                                          const TDiscTags* tags);
// Whether the Ok button accepts the pattern: not empty, not ending with "\",
// "/" or "%", and with a "%" before its last character.
bool PatternAcceptable(std::string_view pattern);

}  // namespace melvarin
