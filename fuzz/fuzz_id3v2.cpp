// ID3v2 reader on arbitrary bytes; a tag that parses is written and read again.
#include <cstddef>
#include <cstdint>

#include "tags/ID3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    melvarin::TIDTag tag;
    if (melvarin::ReadID3v2(tag, data, size)) {
        const std::string again = melvarin::WriteID3v2(tag);
        melvarin::TIDTag other;
        melvarin::ReadID3v2(other, reinterpret_cast<const std::uint8_t*>(again.data()), again.size());
    }
    return 0;
}
