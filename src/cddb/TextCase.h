#pragma once
#include <string>
#include <string_view>

namespace melvarin {

// Letter case of UTF-8 text, for every letter code page 1251 has (Latin,
// Latin-1 accented, Cyrillic including Ё, Ї, Ґ, Ў and the Serbian letters);
// other characters are kept.
std::string LowerCaseText(std::string_view utf8);
std::string UpperCaseText(std::string_view utf8);

// Lower-cases the text, then upper-cases the first character and every character
// that follows a blank, "!", "," or ";" (no other character starts a word:
// "the best OF the rest-of;it" becomes "The Best Of The Rest-of;It").
std::string CapitaliseWords(std::string_view utf8);

}  // namespace melvarin
