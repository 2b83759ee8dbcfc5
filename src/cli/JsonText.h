#pragma once
#include <string>
#include <string_view>

namespace melvarin {

// `text` as a JSON string literal, quotes included. Valid UTF-8 passes through;
// control characters and DEL are escaped; a byte that is not part of a valid
// UTF-8 sequence (a drive name in some 8-bit code) becomes "?", so the output is
// always valid UTF-8 and valid JSON.
std::string JsonString(std::string_view text);

}  // namespace melvarin
