#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Constants of the Monkey's Audio (.ape) format, version 3.99: the file layout,
// the compression levels with their filter sets, and the entropy coder's model.
// Shared by everything that writes or reads the format.
namespace melvarin::ape {

constexpr std::uint16_t kFileVersion = 3990;

constexpr std::size_t kDescriptorBytes = 52;
constexpr std::size_t kHeaderBytes = 24;

// Header format flag: no WAVE header is stored, a reader makes one up.
constexpr std::uint16_t kFlagCreateWavHeader = 32;

// Frame flags, sent after the CRC when its top bit is set.
constexpr std::uint32_t kFrameMonoSilence = 1;
constexpr std::uint32_t kFrameStereoSilence = 3;
constexpr std::uint32_t kFramePseudoStereo = 4;
constexpr std::uint32_t kCrcHasFlags = 0x80000000u;

// The compression levels as the header stores them.
constexpr std::uint16_t kLevelFast = 1000;
constexpr std::uint16_t kLevelNormal = 2000;
constexpr std::uint16_t kLevelHigh = 3000;
constexpr std::uint16_t kLevelExtraHigh = 4000;

// Blocks (sample frames) per frame: extra high uses four times the others'.
constexpr std::uint32_t BlocksPerFrame(std::uint16_t level) { return level == kLevelExtraHigh ? 73728 * 4 : 73728; }

// One adaptive (NN) filter of a level: its order and fraction bits.
struct FilterParams {
    int order;
    int fracBits;
};

// The filters of `level`, in the order a decoder applies them (an encoder runs
// them the other way round); order 0 ends the list.
constexpr std::array<FilterParams, 3> FiltersOf(std::uint16_t level) {
    switch (level) {
        case kLevelNormal: return {{{16, 11}, {0, 0}, {0, 0}}};
        case kLevelHigh: return {{{64, 11}, {0, 0}, {0, 0}}};
        case kLevelExtraHigh: return {{{32, 10}, {256, 13}, {0, 0}}};
        default: return {{{0, 0}, {0, 0}, {0, 0}}};
    }
}

// Samples an NN filter keeps before it moves its window back to the start.
constexpr std::size_t kFilterHistory = 512;

// The first-stage predictor: its history window and the offsets in it of the
// delayed values and adaption signs of the two channels (Y is channel 0, X 1).
constexpr std::size_t kPredictorHistory = 512;
constexpr std::size_t kPredictorWindow = 50;
constexpr std::size_t kPredictorHistoryTotal = kPredictorHistory + kPredictorWindow;
constexpr int kYDelayA = 50, kYDelayB = 42, kXDelayA = 34, kXDelayB = 26;
constexpr int kYAdaptA = 18, kXAdaptA = 14, kYAdaptB = 10, kXAdaptB = 5;
constexpr std::array<std::int32_t, 4> kInitialCoeffsA = {360, 317, -109, 98};

// The range coder: 32-bit code values, bytes shifted out from bit 23 up.
constexpr std::uint32_t kRangeTop = 1u << 31;
constexpr std::uint32_t kRangeBottom = kRangeTop >> 8;
constexpr int kRangeShift = 23;

// Adaptive Golomb parameters at the start of every frame.
constexpr std::uint32_t kInitialK = 10;
constexpr std::uint32_t kInitialKSum = (1u << kInitialK) * 16;

// The model of the overflow symbol: cumulative frequencies (out of 65536) of
// symbols 0..20; symbols 21..62 have frequency 1 from kOverflowSmallBase + symbol,
// and kOverflowEscape announces a 32-bit overflow.
constexpr std::array<std::uint16_t, 22> kOverflowCumulative = {
    0,     19578, 36160, 48417, 56323, 60899, 63265, 64435, 64971, 65232, 65351,
    65416, 65447, 65466, 65476, 65482, 65485, 65488, 65490, 65491, 65492, 65493};
constexpr std::uint32_t kOverflowModelled = 21;
constexpr std::uint32_t kOverflowSmallBase = 65535 - 63;
constexpr std::uint32_t kOverflowEscape = 63;
constexpr int kOverflowBits = 16;

}  // namespace melvarin::ape
