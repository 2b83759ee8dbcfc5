#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoders/ape/ApePredictor.h"
#include "encoders/ape/ApeRangeCoder.h"

namespace melvarin::ape {

// Encodes the frames of one 16-bit mono or stereo stream at one compression
// level. Every frame stands alone (the coder and predictors restart), so frames
// may be encoded in any order.
class ApeFrameEncoder {
public:
    ApeFrameEncoder(int channels, std::uint16_t level);

    // The frame holding the `blocks` sample frames of interleaved little-endian
    // 16-bit samples at `pcm`, as the file stores it: CRC, flags when the frame is
    // silent or both channels are equal, the coded residuals, padded to whole
    // 32-bit words in the format's word order. Valid until the next call.
    const std::vector<std::uint8_t>& Encode(const std::uint8_t* pcm, std::size_t blocks);

private:
    std::uint32_t Classify(std::size_t blocks) const;
    void PutWord(std::uint32_t word);

    int channels_;
    ApePredictor predictor_;
    ApeRangeCoder coder_;
    std::vector<std::int32_t> first_, second_;  // channel 0 and 1, then Y and X
    std::vector<std::uint8_t> stream_;           // in stream byte order
    std::vector<std::uint8_t> frame_;
};

}  // namespace melvarin::ape
