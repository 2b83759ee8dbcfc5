// Encodes a WAVE file through the encoder manager, as the grab does after a
// temporary WAVE file: bench_encode IN.wav OUT SETTING, where SETTING is
//   flac5   FLAC as the settings window's level 5 (LPC order 8, blocks of 4608,
//           residual partition order 3, mid-side stereo)
//   ogg5    Ogg Vorbis at quality 5
//   aac128  AAC at 128 kbit/s (64 per channel), LC, TNS and mid/side allowed
//   ape2000, ape4000  Monkey's Audio Normal, Extra High
// bench/encoders.sh times it against the reference tools with the same settings.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "encoders/TEncManager.h"

int main(int argc, char** argv) {
    const std::string setting = argc == 4 ? argv[3] : "";
    melvarin::EncoderConfig config;
    std::memset(&config, 0, sizeof config);
    if (setting == "flac5") {
        config.EncoderIndex = 7;
        config.LPCOrder = 4;
        config.BlockSize = 6;
        config.RPOMin = 3;
        config.RPOMax = 3;
        config.MSC = 1;
    } else if (setting == "ogg5") {
        config.EncoderIndex = 3;
        config.OggQuality = 1;
        config.OggQualityLevel = 500;
    } else if (setting == "aac128") {
        config.EncoderIndex = 5;
        config.FAACBitrate = 4;
        config.FAACUseTns = 1;
        config.FAACAllowMS = 1;
        config.FAACMPEG4 = 1;
    } else if (setting == "ape2000" || setting == "ape4000") {
        config.EncoderIndex = 4;
        config.APE_Level = setting == "ape2000" ? 1 : 3;
    } else {
        std::fprintf(stderr, "usage: %s IN.wav OUT flac5|ogg5|aac128|ape2000|ape4000\n", argv[0]);
        return 2;
    }
    melvarin::ScriptedPrompt prompt;
    melvarin::TEncManager manager(&prompt);
    const bool ok = manager.EncodeWaveFile(argv[1], argv[2], nullptr, &config);
    for (const std::string& text : prompt.texts()) std::fprintf(stderr, "%s\n", text.c_str());
    return ok ? 0 : 1;
}
