#include "encoders/FrameCarry.h"

namespace melvarin {

void FrameCarry::Reset(std::size_t frameBytes) {
    frameBytes_ = frameBytes ? frameBytes : 1;
    held_.clear();
}

std::span<const std::uint8_t> FrameCarry::Take(const void* data, std::size_t size) {
    const auto* in = static_cast<const std::uint8_t*>(data);
    if (!held_.empty()) {
        joined_.assign(held_.begin(), held_.end());
        joined_.insert(joined_.end(), in, in + size);
        in = joined_.data();
        size = joined_.size();
    }
    const std::size_t whole = size - size % frameBytes_;
    held_.assign(in + whole, in + size);
    return {in, whole};
}

}  // namespace melvarin
