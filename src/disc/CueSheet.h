#pragma once
#include <string>

#include "disc/DiscRecord.h"

namespace melvarin {

class TDiscTags;
class UserPrompt;

// The CUE sheet of a whole-disc file `audioPath` (the audio part of `disc`,
// AudioRange): the disc's PERFORMER and TITLE (each when not empty), one FILE
// line (the file's name without folder and its type: MP3 for ".mp3", AIFF for
// ".aiff"/".aif", WAVE for any other audio file), then "\tTRACK nn AUDIO", the track's
// "\t\tTITLE" when it has one, on a compilation its "\t\tPERFORMER" from
// `tags` when that differs from the disc's, and "\t\tINDEX 01 mm:ss:ff" for
// each audio track, numbered from 01, at its position in the file (players and
// splitters read INDEX times as positions in the file, so disc addresses would
// put every track two seconds late and a data track in front would shift them
// further). Texts are UTF-8 in quotes, a quote or backslash in them escaped
// with a backslash, control characters dropped. Lines end with "\n".
std::string CueSheetText(const std::string& audioPath, const DiscRecord& disc, const TDiscTags* tags = nullptr);

// `audioPath` with its extension changed to ".cue" (added when it has none).
std::string CueSheetPath(const std::string& audioPath);

// Writes CueSheetText to CueSheetPath, replacing an existing sheet only when
// the new one is complete. When the file cannot be written: message 78 with
// the cause (a warning) and false.
bool WriteCueSheet(const std::string& audioPath, const DiscRecord& disc, UserPrompt& prompt,
                   const TDiscTags* tags = nullptr);

}  // namespace melvarin
