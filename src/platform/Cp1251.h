#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace melvarin {

// Code page 1251 <-> UTF-8. Stored records and language files keep their texts
// in cp1251; in memory every text is UTF-8.
class Cp1251 {
public:
    // Decodes cp1251 bytes to UTF-8. Every byte has a meaning (0x98 maps to U+0098).
    static std::string toUtf8(std::string_view cp1251);

    // Encodes UTF-8 to cp1251. Characters with no cp1251 form, and invalid UTF-8
    // sequences, become '?'.
    static std::string fromUtf8(std::string_view utf8);

    // Reads a zero-terminated cp1251 field of `size` bytes (no terminator inside:
    // all `size` bytes are text) and returns it as UTF-8.
    static std::string readField(const char* field, std::size_t size);

    // Writes `utf8` into a field of `size` bytes as cp1251, cut on a character
    // boundary so that a terminating zero fits; the rest of the field is zeroed.
    static void writeField(char* field, std::size_t size, std::string_view utf8);

    // Is `text` valid UTF-8?
    static bool isValidUtf8(std::string_view text);

    // Decodes one UTF-8 code point at `pos`; advances `pos`. Invalid bytes give
    // U+FFFD and advance one byte.
    static char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);

    // Appends the UTF-8 form of `cp` to `out`.
    static void appendUtf8(std::string& out, char32_t cp);
};

}  // namespace melvarin
