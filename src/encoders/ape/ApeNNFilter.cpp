#include "encoders/ape/ApeNNFilter.h"

#include <algorithm>

#include "encoders/ape/ApeFormat.h"

namespace melvarin::ape {

namespace {

// Orders are multiples of kLane; loops of kLane values vectorise.
constexpr int kLane = 16;

// The sum of coefficient times past value over `order` pairs, wrapping at 32 bits.
std::uint32_t Dot(const std::int16_t* __restrict coeffs, const std::int16_t* __restrict past, int order) {
    std::uint32_t sum = 0;
    for (int b = 0; b < order; b += kLane)
        for (int j = b; j < b + kLane; ++j) sum += static_cast<std::uint32_t>(coeffs[j] * past[j]);
    return sum;
}

// Moves every coefficient by `sign` (-1 or 1) times its step, wrapping at 16 bits.
void Adapt(std::int16_t* __restrict coeffs, const std::int16_t* __restrict steps, int order, int sign) {
    const auto s = static_cast<std::int16_t>(sign);
    for (int b = 0; b < order; b += kLane)
        for (int j = b; j < b + kLane; ++j) coeffs[j] = static_cast<std::int16_t>(coeffs[j] + s * steps[j]);
}

// -1 for a positive value, 1 for a negative one, 0 for zero.
inline int InverseSign(std::int32_t v) { return (v < 0) - (v > 0); }

}  // namespace

ApeNNFilter::ApeNNFilter(int order, int fracBits)
    : order_(order),
      fracBits_(fracBits),
      coeffs_(order),
      delay_(kFilterHistory + order),
      adapt_(kFilterHistory + order) {
    Reset();
}

void ApeNNFilter::Reset() {
    std::fill(coeffs_.begin(), coeffs_.end(), 0);
    std::fill(delay_.begin(), delay_.end(), 0);
    std::fill(adapt_.begin(), adapt_.end(), 0);
    average_ = 0;
    position_ = order_;
}

std::int32_t ApeNNFilter::Compress(std::int32_t value) {
    const std::uint32_t sum = Dot(coeffs_.data(), delay_.data() + position_ - order_, order_);
    const std::int32_t prediction = static_cast<std::int32_t>(sum + (1u << (fracBits_ - 1))) >> fracBits_;
    const std::int32_t residual = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) -
                                                            static_cast<std::uint32_t>(prediction));

    const int sign = InverseSign(residual);
    if (sign) Adapt(coeffs_.data(), adapt_.data() + position_ - order_, order_, sign);

    delay_[position_] = static_cast<std::int16_t>(std::clamp<std::int32_t>(value, INT16_MIN, INT16_MAX));
    const std::int32_t magnitude = value < 0 ? -value : value;
    std::int16_t step = 0;
    if (value != 0) {
        const int boost = (magnitude > static_cast<std::int64_t>(average_) * 3) +
                          (magnitude > average_ + average_ / 3);
        step = static_cast<std::int16_t>(InverseSign(value) * (8 << boost));
    }
    adapt_[position_] = step;
    average_ += (magnitude - average_) / 16;
    adapt_[position_ - 1] >>= 1;
    adapt_[position_ - 2] >>= 1;
    adapt_[position_ - 8] >>= 1;

    if (++position_ == delay_.size()) {
        std::copy(delay_.end() - order_, delay_.end(), delay_.begin());
        std::copy(adapt_.end() - order_, adapt_.end(), adapt_.begin());
        position_ = order_;
    }
    return residual;
}

}  // namespace melvarin::ape
