#include "app/LanguageLine.h"

#include "platform/Cp1251.h"

namespace melvarin {

bool LanguageLine::read(std::FILE* file, std::string& line) {
    line.clear();
    for (;;) {
        if (line.size() >= MaxLength) return true;
        const int c = std::fgetc(file);
        if (c == EOF) return !line.empty();
        if (c == '\r' || c == '\n' || c == '\0') return true;
        line.push_back(static_cast<char>(c));
    }
}

bool LanguageLine::isSection(std::string_view line, std::string_view name) {
    if (line.size() < 1 + name.size() || line[0] != '#' || line.substr(1, name.size()) != name)
        return false;
    for (const char c : line.substr(1 + name.size()))
        if (c != ' ' && c != '\t') return false;
    return true;
}

std::string LanguageLine::sectionName(int n) {
    std::string s = std::to_string(n < 0 ? 0 : n);
    if (s.size() < 2) s.insert(0, 1, '0');
    return s;
}

bool LanguageLine::parseEntry(std::string_view line, int& number, std::string_view& text) {
    if (line.empty() || line[0] != ';') return false;
    std::size_t i = 1;
    int value = 0;
    while (i < line.size() && i <= 4 && line[i] >= '0' && line[i] <= '9') {
        value = value * 10 + (line[i] - '0');
        ++i;
    }
    const std::size_t digits = i - 1;
    if (digits < 2 || digits > 3 || i >= line.size() || line[i] != ':') return false;
    number = value;
    text = line.substr(i + 1);
    return true;
}

bool LanguageLine::parseLanguageName(std::string_view line, std::string_view& name) {
    constexpr std::string_view prefix = ";LANG:";
    if (line.substr(0, prefix.size()) != prefix) return false;
    name = line.substr(prefix.size());
    return true;
}

std::string LanguageLine::decode(std::string_view raw) {
    bool ascii = true;
    for (const char c : raw)
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    if (ascii) return std::string(raw);
    if (Cp1251::isValidUtf8(raw)) return std::string(raw);
    return Cp1251::toUtf8(raw);
}

}  // namespace melvarin
