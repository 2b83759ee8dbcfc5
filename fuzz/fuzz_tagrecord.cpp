// Stored tag records (tag files hold them back to back) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tags/TagRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    while (bytes.size() >= sizeof(melvarin::TagRecord)) {
        melvarin::TIDTag tag;
        melvarin::TagRecordFromBytes(bytes, tag);
        melvarin::TagRecord r;
        melvarin::ToTagRecord(tag, r);
        bytes.remove_prefix(sizeof(melvarin::TagRecord));
    }
    return 0;
}
