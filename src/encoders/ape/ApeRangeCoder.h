#pragma once
#include <cstdint>
#include <vector>

namespace melvarin::ape {

// The adaptive parameter of one channel's value coder: a running sum of recent
// magnitudes (and the Golomb-like k derived from it).
struct RiceState {
    std::uint32_t k;
    std::uint32_t ksum;
};

// The entropy coder of a version 3.99 frame: a range coder (32-bit code values,
// carries propagated into pending bytes) and on top of it the coding of one
// signed residual as an overflow symbol plus a base below a pivot taken from the
// channel's RiceState. Bytes come out in stream order (most significant first),
// starting with the one byte a decoder skips.
class ApeRangeCoder {
public:
    // Starts a new stream into Bytes(), dropping what was there.
    void Start();
    // Codes `value` with `rice` and updates `rice` as a decoder will.
    void EncodeValue(std::int32_t value, RiceState& rice);
    // Flushes the code value; a decoder reads no byte past the end of Bytes().
    void Finish();
    const std::vector<std::uint8_t>& Bytes() const { return out_; }

private:
    void Normalize();
    // The symbol at [low, low + width) of a total of 2^shift.
    void EncodeShifted(std::uint32_t low, std::uint32_t width, int shift);
    // Value `value` of `total` equally likely ones.
    void EncodeUniform(std::uint32_t value, std::uint32_t total);
    void Emit(std::uint32_t pendingByte, std::uint8_t followers);

    std::vector<std::uint8_t> out_;
    std::uint32_t low_ = 0;
    std::uint32_t range_ = 0;
    std::uint32_t buffer_ = 0;  // the byte waiting for a possible carry
    std::uint32_t pending_ = 0;  // 0xFF bytes after it, also waiting
};

}  // namespace melvarin::ape
