// ID3v1 reader on arbitrary bytes (the block is taken from the end).
#include <cstddef>
#include <cstdint>

#include "tags/ID3v1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    melvarin::TIDTag tag;
    if (melvarin::ReadID3v1(tag, data, size)) melvarin::WriteID3v1(tag);
    return 0;
}
