#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace melvarin {

// The signed 16-bit little-endian sample at `p` (any alignment).
inline std::int16_t SampleAt(const std::uint8_t* p) { return static_cast<std::int16_t>(p[0] | p[1] << 8); }

// Cuts a stream of interleaved 16-bit samples, arriving in byte chunks of any
// size, into whole sample frames: the bytes of a frame split between two chunks
// are held back and completed by the next chunk.
class FrameCarry {
public:
    explicit FrameCarry(std::size_t frameBytes = 4) : frameBytes_(frameBytes ? frameBytes : 1) {}

    // Starts a new stream of `frameBytes`-byte frames; held bytes are dropped.
    void Reset(std::size_t frameBytes);
    // The whole frames of the held bytes followed by `size` bytes at `data`.
    // The span stays valid until the next call; it points into `data` when no
    // bytes were held.
    std::span<const std::uint8_t> Take(const void* data, std::size_t size);
    // Bytes of an incomplete frame held back.
    std::size_t Held() const { return held_.size(); }

private:
    std::size_t frameBytes_;
    std::vector<std::uint8_t> held_;
    std::vector<std::uint8_t> joined_;
};

}  // namespace melvarin
