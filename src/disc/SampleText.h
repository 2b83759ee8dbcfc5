#pragma once
#include <string>

namespace melvarin {

// The decimal text of `number` with a "0" in front when it is shorter than two
// characters: "00".."09", "10", "123", "-1".
std::string TwoDigits(int number);

}  // namespace melvarin
