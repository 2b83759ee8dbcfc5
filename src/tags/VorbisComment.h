#pragma once
#include <string>
#include <utility>
#include <vector>

#include "tags/TIDTag.h"

namespace melvarin {

// One Vorbis comment: field name and UTF-8 value.
using VorbisField = std::pair<std::string, std::string>;

// The Vorbis comments of `tag` (Ogg Vorbis and FLAC files), one per non-empty
// text, in this order: COMMENT, TRACKNUMBER, GENRE, DATE, TITLE, ARTIST, ALBUM.
// Values are the tag's UTF-8 texts, whole.
std::vector<VorbisField> VorbisCommentFields(const TIDTag& tag);

}  // namespace melvarin
