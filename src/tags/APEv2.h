#pragma once
#include <string>

#include "tags/TIDTag.h"

namespace melvarin {

// The APEv2 tag for `tag`, to be appended at the end of a file (Monkey's Audio,
// WavPack, Musepack): header, one UTF-8 text item per non-empty text (Title,
// Artist, Album, Comment, Genre, Year, Track, in this order), footer. Empty when
// every one of those texts is empty.
std::string WriteAPEv2(const TIDTag& tag);

}  // namespace melvarin
