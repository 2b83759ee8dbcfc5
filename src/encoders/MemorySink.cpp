#include "encoders/MemorySink.h"

#include <cstring>

namespace melvarin {

bool MemorySink::write(const void* data, std::size_t size) {
    if (closed_) {
        error_ = "write after close";
        return false;
    }
    if (pos_ + size > limit_) {
        error_ = "no space left";
        return false;
    }
    if (pos_ + size > bytes_.size()) bytes_.resize(pos_ + size, '\0');
    if (size > 0) std::memcpy(bytes_.data() + pos_, data, size);
    pos_ += size;
    return true;
}

bool MemorySink::seek(std::uint64_t offset) {
    if (closed_) {
        error_ = "seek after close";
        return false;
    }
    pos_ = offset;
    return true;
}

bool MemorySink::close() {
    closed_ = true;
    return true;
}

}  // namespace melvarin
