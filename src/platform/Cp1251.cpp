#include "platform/Cp1251.h"

#include <array>
#include <cstring>

namespace melvarin {
namespace {

constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411,
    0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432,
    0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D,
    0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448,
    0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

int encodeOne(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

}  // namespace

void Cp1251::appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t Cp1251::nextCodePoint(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    int len = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + len > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool overlong = (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += len;
    return cp;
}

bool Cp1251::isValidUtf8(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t before = pos;
        const char32_t cp = nextCodePoint(s, pos);
        if (cp == 0xFFFD && pos - before == 1 && static_cast<unsigned char>(s[before]) >= 0x80)
            return false;
    }
    return true;
}

std::string Cp1251::toUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() * 2);
    for (char c : in) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b < 0x80 ? char32_t(b) : char32_t(kHigh[b - 0x80]));
    }
    return out;
}

std::string Cp1251::fromUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    std::size_t pos = 0;
    while (pos < in.size()) {
        const int b = encodeOne(nextCodePoint(in, pos));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::string Cp1251::readField(const char* field, std::size_t size) {
    const void* zero = std::memchr(field, 0, size);
    const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
    return toUtf8(std::string_view(field, len));
}

void Cp1251::writeField(char* field, std::size_t size, std::string_view utf8) {
    if (size == 0) return;
    std::memset(field, 0, size);
    // cp1251 is one byte per character, so cutting the encoded text is cutting on
    // a character boundary.
    const std::string encoded = fromUtf8(utf8);
    std::memcpy(field, encoded.data(), std::min(encoded.size(), size - 1));
}

}  // namespace melvarin
