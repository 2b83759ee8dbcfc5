#include <cstddef>
#include <cstdint>
#include <string>

#include "cddb/XmcdRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = melvarin::Xmcd::decodeText(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string_view entry : melvarin::Xmcd::splitEntries(text)) {
        std::uint32_t id = 0;
        melvarin::Xmcd::entryId(entry, id);
        melvarin::XmcdRecord disc;
        melvarin::Xmcd::parse(entry, disc, 100);
    }
    return 0;
}
