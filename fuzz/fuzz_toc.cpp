// READ TOC replies on arbitrary bytes: identifier and track boundaries.
#include <cstddef>
#include <cstdint>

#include "disc/DiscToc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    melvarin::DiscRecord disc;
    disc.clear();
    melvarin::DiscId(data, size);
    melvarin::FillTracksFromToc(data, size, disc, true);
    return 0;
}
