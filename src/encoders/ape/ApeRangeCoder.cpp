#include "encoders/ape/ApeRangeCoder.h"

#include "encoders/ape/ApeFormat.h"

namespace melvarin::ape {

void ApeRangeCoder::Start() {
    out_.clear();
    low_ = 0;
    range_ = kRangeTop;
    buffer_ = 0;
    pending_ = 0;
}

void ApeRangeCoder::Emit(std::uint32_t pendingByte, std::uint8_t followers) {
    out_.push_back(static_cast<std::uint8_t>(pendingByte));
    out_.insert(out_.end(), pending_, followers);
    pending_ = 0;
}

void ApeRangeCoder::Normalize() {
    while (range_ <= kRangeBottom) {
        if (low_ < (0xFFu << kRangeShift)) {
            Emit(buffer_, 0xFF);
            buffer_ = low_ >> kRangeShift;
        } else if (low_ & kRangeTop) {
            Emit(buffer_ + 1, 0x00);
            buffer_ = (low_ >> kRangeShift) & 0xFF;
        } else {
            ++pending_;
        }
        range_ <<= 8;
        low_ = (low_ << 8) & (kRangeTop - 1);
    }
}

void ApeRangeCoder::EncodeShifted(std::uint32_t low, std::uint32_t width, int shift) {
    Normalize();
    const std::uint32_t unit = range_ >> shift;
    low_ += unit * low;
    range_ = unit * width;
}

void ApeRangeCoder::EncodeUniform(std::uint32_t value, std::uint32_t total) {
    Normalize();
    const std::uint32_t unit = range_ / total;
    low_ += unit * value;
    range_ = unit;
}

void ApeRangeCoder::EncodeValue(std::int32_t value, RiceState& rice) {
    const std::uint32_t x = value > 0 ? 2u * static_cast<std::uint32_t>(value) - 1
                                      : 0u - 2u * static_cast<std::uint32_t>(value);
    const std::uint32_t pivot = rice.ksum >> 5 ? rice.ksum >> 5 : 1;
    const std::uint32_t overflow = x / pivot;
    const std::uint32_t base = x % pivot;

    if (overflow < kOverflowModelled) {
        EncodeShifted(kOverflowCumulative[overflow], kOverflowCumulative[overflow + 1] - kOverflowCumulative[overflow],
                      kOverflowBits);
    } else {
        const std::uint32_t symbol = overflow < kOverflowEscape ? overflow : kOverflowEscape;
        EncodeShifted(kOverflowSmallBase + symbol, 1, kOverflowBits);
        if (symbol == kOverflowEscape) {
            EncodeShifted(overflow >> 16, 1, 16);
            EncodeShifted(overflow & 0xFFFF, 1, 16);
        }
    }

    if (pivot < 0x10000) {
        EncodeUniform(base, pivot);
    } else {
        int bits = 0;
        while ((pivot >> bits) & ~0xFFFFu) ++bits;
        EncodeUniform(base >> bits, (pivot >> bits) + 1);
        EncodeUniform(base & ((1u << bits) - 1), 1u << bits);
    }

    const std::uint32_t limit = rice.k ? 1u << (rice.k + 4) : 0;
    rice.ksum += (x + 1) / 2 - ((rice.ksum + 16) >> 5);
    if (rice.ksum < limit)
        --rice.k;
    else if (rice.ksum >= (1u << (rice.k + 5)) && rice.k < 24)
        ++rice.k;
}

void ApeRangeCoder::Finish() {
    Normalize();
    // The smallest multiple of 2^23 above low lies inside the final interval,
    // whose width is now above 2^23: its top byte and three zero bytes name it.
    const std::uint32_t top = (low_ >> kRangeShift) + 1;
    if (top > 0xFF)
        Emit(buffer_ + 1, 0x00);
    else
        Emit(buffer_, 0xFF);
    out_.push_back(static_cast<std::uint8_t>(top));
    out_.insert(out_.end(), 3, 0);
}

}  // namespace melvarin::ape
