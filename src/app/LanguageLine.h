#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace melvarin {

// The line grammar of language files (".lng"). A line ends at a CR, an LF or a
// zero byte; a longer run than MaxLength bytes is cut there and the rest is read
// as the next line. Kinds, by their first character:
//   "#NN" / "#R"           section line (two decimal digits, or R for the messages)
//   ";NN:text" ";NNN:text" entry line (two or three decimal digits)
//   ";LANG:name"           header line naming the language (other ";XXXX:" are ignored)
//   anything else          comment
class LanguageLine {
public:
    static constexpr std::size_t MaxLength = 511;

    // Reads the next line of `file` into `line` (terminator consumed, not stored).
    // False at end of file when not even a terminator was read.
    static bool read(std::FILE* file, std::string& line);

    // Is `line` the section line "#" + `name` (trailing blanks allowed)?
    static bool isSection(std::string_view line, std::string_view name);

    // The section name of `n` as its line writes it: two digits at least ("07").
    static std::string sectionName(int n);

    // Parses an entry line. True with `number` and the raw `text` after the colon.
    static bool parseEntry(std::string_view line, int& number, std::string_view& text);

    // Parses the header line ";LANG:name"; true with the raw `name`.
    static bool parseLanguageName(std::string_view line, std::string_view& name);

    // Turns raw file text into UTF-8. Language files are cp1251; a text that is
    // already valid UTF-8 with non-ASCII characters (a file saved as UTF-8 on
    // this system) is kept as it is.
    static std::string decode(std::string_view raw);
};

}  // namespace melvarin
