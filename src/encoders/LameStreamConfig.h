#pragma once
#include <cstdint>

#include "encoders/PcmFormat.h"

typedef struct lame_global_struct lame_global_flags;

namespace melvarin {

struct EncoderConfig;

// The values one MP3 stream is set up with, derived from the encoder options and
// the input format. Field meanings follow the stream configuration record of the
// classic LAME encoder interface: every field here reaches libmp3lame.
struct LameStreamConfig {
    std::uint32_t sampleRate = 0;    // input samples per second
    std::uint32_t resampleRate = 0;  // 0 = keep the input rate (MPEG-1 rates) or let LAME choose
    int mode = 1;                    // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::uint32_t bitrate = 0;       // kbit/s: CBR rate, or the VBR minimum
    std::uint32_t maxBitrate = 0;    // kbit/s, VBR only (0 = LAME's default)
    int preset = -1;                 // LameQuality value
    std::uint32_t mpegVersion = 1;   // 1 = MPEG-1
    std::uint32_t emphasis = 0;
    bool privateBit = false;
    bool crc = false;
    bool copyright = false;
    bool original = false;           // the home/first-generation bit: set for VBR
    bool writeVbrHeader = true;      // Xing/Info frame with the LAME tag, always
    bool enableVbr = false;
    int vbrQuality = 0;
    bool noBitReservoir = false;     // set for CBR
};

// Kbit/s for a bitrate option: an index into {0, 32, 40, 48, 56, 64, 80, 96, 112,
// 128, 160, 192, 224, 256, 320, 350} up to 15, the kbit/s themselves above.
std::uint32_t LameBitrateKbps(std::uint32_t option);

// The stream configuration for `config` and an input of `format`: mono mode for
// one-channel input whatever LameMode says, bitrates decoded, VBR fields only when
// VBR is on, no bit reservoir for CBR.
LameStreamConfig MakeLameStreamConfig(const EncoderConfig& config, const PcmFormat& format);

// One row per LameQuality value: what LAME is told. `quality` -1 leaves LAME's
// algorithm quality alone; `presetKbps` 0 means no named preset (an ABR preset of
// that many kbit/s otherwise, with `mono` forcing one channel), as LAME's own
// front end maps "phone" ... "studio".
struct LameQualityPreset {
    int value;
    const char* name;
    int quality;
    int presetKbps;
    bool mono;
};
// The row for `value`; null for a value outside the table (treated as no preset).
const LameQualityPreset* FindLameQualityPreset(int value);

// Sets up `gfp` from `config` (before lame_init_params). False when LAME refuses a
// value.
bool ApplyLameStreamConfig(lame_global_flags* gfp, const LameStreamConfig& config);

}  // namespace melvarin
