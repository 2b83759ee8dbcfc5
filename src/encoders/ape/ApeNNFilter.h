#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace melvarin::ape {

// One adaptive (sign-LMS) filter of one channel, as version 3.98 and later
// files use it: 16-bit coefficients over the last `order` values, clipped to 16
// bits, with per-value adaption steps that follow the values' size.
class ApeNNFilter {
public:
    // `order` is a multiple of 16 (every level's filters are).
    ApeNNFilter(int order, int fracBits);

    // Back to the state at the start of a frame.
    void Reset();
    // The residual from which a decoder's filter rebuilds `value`; advances the
    // filter by one value.
    std::int32_t Compress(std::int32_t value);

private:
    int order_;
    int fracBits_;
    std::int32_t average_ = 0;
    std::size_t position_ = 0;  // where the next value goes in both windows
    std::vector<std::int16_t> coeffs_;
    std::vector<std::int16_t> delay_;  // past values, clipped
    std::vector<std::int16_t> adapt_;  // their adaption steps
};

}  // namespace melvarin::ape
