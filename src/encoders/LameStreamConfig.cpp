#include "encoders/LameStreamConfig.h"

#include <lame/lame.h>

#include "app/SettingsRecord.h"

namespace melvarin {

namespace {

constexpr std::uint32_t kBitrates[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                         112, 128, 160, 192, 224, 256, 320, 350};

constexpr LameQualityPreset kPresets[] = {
    {-1, "none", -1, 0, false},    {0, "normal", -1, 0, false}, {1, "low", 9, 0, false},
    {2, "high", 2, 0, false},      {1000, "phone", -1, 16, true}, {4000, "fm", -1, 112, false},
    {5000, "voice", -1, 56, true}, {6000, "radio", -1, 112, false}, {7000, "tape", -1, 112, false},
    {8000, "hifi", -1, 160, false}, {9000, "cd", -1, 192, false}, {10000, "studio", -1, 256, false},
};

}  // namespace

std::uint32_t LameBitrateKbps(std::uint32_t option) {
    return option <= 15 ? kBitrates[option] : option;
}

const LameQualityPreset* FindLameQualityPreset(int value) {
    for (const LameQualityPreset& p : kPresets)
        if (p.value == value) return &p;
    return nullptr;
}

LameStreamConfig MakeLameStreamConfig(const EncoderConfig& config, const PcmFormat& format) {
    LameStreamConfig c;
    const bool vbr = config.VBR != 0;
    c.sampleRate = format.samplesPerSec;
    c.resampleRate = 0;
    c.mode = format.channels == 1 ? 3 : static_cast<int>(config.LameMode);
    c.bitrate = LameBitrateKbps(config.LameBitrate);
    // The maximum uses the same encoding as the bitrate, so an out-of-table value is
    // taken as kbit/s instead of being read past the table.
    c.maxBitrate = vbr ? LameBitrateKbps(config.MaxBR) : 0;
    c.preset = config.LameQuality;
    c.mpegVersion = 1;
    c.emphasis = 0;
    c.privateBit = c.crc = c.copyright = false;
    c.original = vbr;
    c.writeVbrHeader = true;
    c.enableVbr = vbr;
    c.vbrQuality = vbr ? static_cast<int>(config.VBRQ) : 0;
    c.noBitReservoir = !vbr;
    return c;
}

bool ApplyLameStreamConfig(lame_global_flags* gfp, const LameStreamConfig& c) {
    const LameQualityPreset* preset = FindLameQualityPreset(c.preset);
    const bool named = preset && preset->presetKbps > 0;
    const bool mono = c.mode == 3 || (named && preset->mono);
    bool ok = lame_set_in_samplerate(gfp, static_cast<int>(c.sampleRate)) == 0;
    ok = ok && lame_set_num_channels(gfp, mono ? 1 : 2) == 0;
    // A named preset picks its own rate; otherwise MPEG-1 keeps the input's rate
    // (44100 and 48000 are MPEG-1 rates) instead of LAME lowering it for low bitrates.
    std::uint32_t outRate = c.resampleRate;
    if (outRate == 0 && !named && c.mpegVersion == 1 && (c.sampleRate == 44100 || c.sampleRate == 48000))
        outRate = c.sampleRate;
    if (outRate != 0) ok = ok && lame_set_out_samplerate(gfp, static_cast<int>(outRate)) == 0;

    if (named) {
        lame_set_preset(gfp, preset->presetKbps);
        if (mono) ok = ok && lame_set_mode(gfp, MONO) == 0;
    } else {
        // LAME has no dual-channel coding; like its own front end it codes such
        // streams as plain stereo.
        static constexpr MPEG_mode kModes[4] = {STEREO, JOINT_STEREO, STEREO, MONO};
        if (c.mode < 0 || c.mode > 3) return false;
        ok = ok && lame_set_mode(gfp, mono ? MONO : kModes[c.mode]) == 0;
        if (c.enableVbr) {
            ok = ok && lame_set_VBR(gfp, vbr_default) == 0;
            ok = ok && lame_set_VBR_q(gfp, c.vbrQuality) == 0;
            if (c.bitrate > 0) ok = ok && lame_set_VBR_min_bitrate_kbps(gfp, int(c.bitrate)) == 0;
            if (c.maxBitrate > 0) ok = ok && lame_set_VBR_max_bitrate_kbps(gfp, int(c.maxBitrate)) == 0;
        } else {
            ok = ok && lame_set_VBR(gfp, vbr_off) == 0;
            ok = ok && lame_set_brate(gfp, static_cast<int>(c.bitrate)) == 0;
        }
        if (preset && preset->quality >= 0) ok = ok && lame_set_quality(gfp, preset->quality) == 0;
    }
    ok = ok && lame_set_emphasis(gfp, static_cast<int>(c.emphasis)) == 0;
    ok = ok && lame_set_extension(gfp, c.privateBit) == 0;
    ok = ok && lame_set_error_protection(gfp, c.crc) == 0;
    ok = ok && lame_set_copyright(gfp, c.copyright) == 0;
    ok = ok && lame_set_original(gfp, c.original) == 0;
    ok = ok && lame_set_disable_reservoir(gfp, c.noBitReservoir) == 0;
    ok = ok && lame_set_bWriteVbrTag(gfp, c.writeVbrHeader) == 0;
    // Tags are written by the encoder itself, around the stream.
    lame_set_write_id3tag_automatic(gfp, 0);
    return ok;
}

}  // namespace melvarin
