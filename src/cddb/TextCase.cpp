#include "cddb/TextCase.h"

#include "platform/Cp1251.h"

namespace melvarin {
namespace {

char32_t lower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x0410 && c <= 0x042F) return c + 32;
    if (c >= 0x0400 && c <= 0x040F) return c + 80;
    if (c == 0x0490) return 0x0491;
    return c;
}

char32_t upper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c >= 0x0430 && c <= 0x044F) return c - 32;
    if (c >= 0x0450 && c <= 0x045F) return c - 80;
    if (c == 0x0491) return 0x0490;
    return c;
}

template <typename F>
std::string mapText(std::string_view utf8, F f) {
    std::string out;
    out.reserve(utf8.size());
    char32_t previous = 0;
    bool first = true;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = Cp1251::nextCodePoint(utf8, pos);
        Cp1251::appendUtf8(out, f(c, previous, first));
        previous = c;
        first = false;
    }
    return out;
}

}  // namespace

std::string LowerCaseText(std::string_view utf8) {
    return mapText(utf8, [](char32_t c, char32_t, bool) { return lower(c); });
}

std::string UpperCaseText(std::string_view utf8) {
    return mapText(utf8, [](char32_t c, char32_t, bool) { return upper(c); });
}

std::string CapitaliseWords(std::string_view utf8) {
    return mapText(utf8, [](char32_t c, char32_t previous, bool first) {
        const bool starts = first || previous == ' ' || previous == '!' || previous == ',' || previous == ';';
        return starts ? upper(c) : lower(c);
    });
}

}  // namespace melvarin
