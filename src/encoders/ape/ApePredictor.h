#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoders/ape/ApeFormat.h"
#include "encoders/ape/ApeNNFilter.h"

namespace melvarin::ape {

// The prediction of a version 3.95+ frame at one compression level, run
// backwards: from the decorrelated samples of a frame to the residuals that a
// decoder's NN filters and first-stage predictor turn back into them. Stereo
// channel 0 (Y) is predicted from its own past and channel 1's, channel 1 (X)
// from its own past and channel 0's current value.
class ApePredictor {
public:
    explicit ApePredictor(std::uint16_t level);

    // Residuals of one stereo frame, in place: `y` and `x` hold `count` values each.
    void CompressStereo(std::int32_t* y, std::int32_t* x, std::size_t count);
    // Residuals of one mono frame (or a pseudo-stereo frame's single channel), in place.
    void CompressMono(std::int32_t* samples, std::size_t count);

private:
    struct Taps {
        int delayA, delayB, adaptA, adaptB;
    };
    void Reset();
    std::int32_t StageOne(int channel, const Taps& taps, std::int32_t value);
    std::int32_t StageOneMono(std::int32_t value);
    void Advance();
    void RunFilters(int channel, std::int32_t* values, std::size_t count);

    std::array<std::int32_t, kPredictorHistoryTotal> history_{};
    std::size_t position_ = 0;
    std::array<std::int32_t, 2> lastA_{}, filterA_{}, filterB_{};
    std::array<std::array<std::int32_t, 4>, 2> coeffsA_{};
    std::array<std::array<std::int32_t, 5>, 2> coeffsB_{};
    std::array<std::vector<ApeNNFilter>, 2> filters_;  // per channel, in a decoder's order
};

}  // namespace melvarin::ape
