#include "disc/SampleText.h"

namespace melvarin {

std::string TwoDigits(int number) {
    std::string s = std::to_string(number);
    if (s.size() < 2) s.insert(0, 1, '0');
    return s;
}

}  // namespace melvarin
