// CD-TEXT replies (READ TOC format 5) on arbitrary bytes, the first byte
// choosing the disc's track count.
#include <cstddef>
#include <cstdint>

#include "disc/CDText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    melvarin::DiscRecord disc;
    disc.clear();
    melvarin::ParseCDText(data + 1, size - 1, disc, data[0]);
    return 0;
}
