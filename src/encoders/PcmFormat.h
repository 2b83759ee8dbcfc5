#pragma once
#include <cstddef>
#include <cstdint>

namespace melvarin {

// The PCM format handed to encoders: a WAVEFORMATEX followed by two zero bytes
// (20 bytes, little-endian). The WAVE encoder writes it verbatim as its "fmt " body.
#pragma pack(push, 1)
struct PcmFormat {
    std::uint16_t formatTag = 1;  // 1 = PCM
    std::uint16_t channels = 2;
    std::uint32_t samplesPerSec = 44100;
    std::uint32_t avgBytesPerSec = 176400;
    std::uint16_t blockAlign = 4;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t extraSize = 0;
    std::uint8_t zero[2] = {0, 0};

    // 16-bit PCM with the given rate and channels, the other fields derived.
    static PcmFormat pcm16(std::uint32_t rate, std::uint16_t channels) {
        PcmFormat f;
        f.channels = channels;
        f.samplesPerSec = rate;
        f.blockAlign = static_cast<std::uint16_t>(channels * 2);
        f.avgBytesPerSec = rate * f.blockAlign;
        return f;
    }
    // The CD audio format: 44100 Hz, 2 channels, 16 bits.
    static PcmFormat cd() { return pcm16(44100, 2); }
};
#pragma pack(pop)

static_assert(sizeof(PcmFormat) == 20);
static_assert(offsetof(PcmFormat, formatTag) == 0);
static_assert(offsetof(PcmFormat, channels) == 2);
static_assert(offsetof(PcmFormat, samplesPerSec) == 4);
static_assert(offsetof(PcmFormat, avgBytesPerSec) == 8);
static_assert(offsetof(PcmFormat, blockAlign) == 12);
static_assert(offsetof(PcmFormat, bitsPerSample) == 14);
static_assert(offsetof(PcmFormat, extraSize) == 16);
static_assert(offsetof(PcmFormat, zero) == 18);

}  // namespace melvarin
