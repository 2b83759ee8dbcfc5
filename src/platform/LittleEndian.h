#pragma once
#include <cstdint>
#include <string>

namespace melvarin {

// Appends `v` to `out` least significant byte first, as file headers and
// tags of little-endian formats store their numbers.
inline void AppendLE16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

inline void AppendLE32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

}  // namespace melvarin
