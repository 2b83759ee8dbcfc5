// Encodes a WAVE file to MP3 through the encoder manager, as the grab does after
// a temporary WAVE file: bench_mp3_encode IN.wav OUT.mp3 cbr|vbr
// cbr = 224 kbit/s joint stereo (the default settings), vbr = VBR quality 2.
// bench/mp3-encode.sh times it against the lame program with the same settings.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "encoders/TEncManager.h"

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[3], "cbr") != 0 && std::strcmp(argv[3], "vbr") != 0)) {
        std::fprintf(stderr, "usage: %s IN.wav OUT.mp3 cbr|vbr\n", argv[0]);
        return 2;
    }
    melvarin::EncoderConfig config;
    std::memset(&config, 0, sizeof config);
    config.EncoderIndex = 1;
    config.UseLame = 1;
    config.LameMode = 1;
    config.MaxBR = 14;
    if (std::strcmp(argv[3], "cbr") == 0) {
        config.LameBitrate = 12;
    } else {
        config.VBR = 1;
        config.VBRQ = 2;
        config.LameBitrate = 0;  // no minimum beyond LAME's own
    }
    melvarin::ScriptedPrompt prompt;
    melvarin::TEncManager manager(&prompt);
    const bool ok = manager.EncodeWaveFile(argv[1], argv[2], nullptr, &config);
    for (const std::string& text : prompt.texts()) std::fprintf(stderr, "%s\n", text.c_str());
    return ok ? 0 : 1;
}
