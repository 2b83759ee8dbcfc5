#include "encoders/TFAACEncoder.h"

#include <gtest/gtest.h>

#include "EncoderTestFiles.h"
#include "app/ScriptedPrompt.h"
#include "encoders/TEncManager.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

EncoderConfig aacConfig() {
    EncoderConfig c = mp3Defaults();
    c.EncoderIndex = 5;
    c.FAACBitrate = 4;  // 128 kbit/s
    c.FAACUseTns = 1;
    c.FAACAllowMS = 1;
    return c;
}

}  // namespace

// Every object type and channel choice gives ADTS frames ffprobe reads as the
// profile, channels and MPEG version asked for, decoding to the input length
// plus the encoder's priming and last-frame padding.
TEST(TFAACEncoder, AdtsStreamsAsConfigured) {
    struct Case {
        const char* why;
        std::uint32_t objectType;
        std::uint8_t mpeg4, mono;
        int inputChannels;
        std::size_t chunk;
        const char* profile;  // as ffprobe names it
        int channels;
        bool mpeg2;
    };
    const Case cases[] = {
        {"Low Complexity, MPEG-2", 0, 0, 0, 2, 0, "LC", 2, true},
        {"Low Complexity, MPEG-4, CD sectors", 0, 1, 0, 2, 2352, "LC", 2, false},
        {"stereo mixed down to mono", 0, 0, 1, 2, 0, "LC", 1, true},
        {"mono input", 0, 1, 0, 1, 999, "LC", 1, false},
        {"Main", 1, 1, 0, 2, 0, "Main", 2, false},
        {"LTP is always MPEG-4", 2, 0, 0, 2, 0, "LTP", 2, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EncoderConfig config = aacConfig();
        config.FAACObjectType = c.objectType;
        config.FAACMPEG4 = c.mpeg4;
        config.FAACMono = c.mono;
        const std::string pcm = musicLikePcm(1.0, 44100, c.inputChannels);
        const PcmFormat format = PcmFormat::pcm16(44100, c.inputChannels);
        const std::string path = dir / "out.aac";
        ASSERT_GT(encodeFile(config, format, pcm, path, nullptr, c.chunk), 0);
        std::string probe;
        ASSERT_EQ(runCommand("ffprobe -v error -show_entries stream=codec_name,profile,channels -of csv=p=0 " +
                                 shellQuote(path),
                             &probe, true),
                  0)
            << probe;
        EXPECT_EQ(probe, std::string("aac,") + c.profile + "," + std::to_string(c.channels) + "\n");
        const std::string bytes = readFile(path);
        ASSERT_GT(bytes.size(), 7u);
        EXPECT_EQ((bytes[1] & 0x08) != 0, c.mpeg2) << "ADTS ID bit";
        std::string raw;
        ASSERT_EQ(runCommand("ffmpeg -v error -i " + shellQuote(path) + " -f s16le -", &raw), 0);
        const long long frames = static_cast<long long>(raw.size() / (2 * c.channels));
        const long long input = 44100;
        EXPECT_GE(frames, input);
        EXPECT_LE(frames, input + 2048) << "priming and padding at most two frames";
    }
}

// The average bitrate follows the table, half of it per channel.
TEST(TFAACEncoder, BitratePerChannel) {
    TempDir dir;
    for (const std::uint8_t mono : {0, 1}) {
        SCOPED_TRACE(mono ? "mono" : "stereo");
        EncoderConfig config = aacConfig();
        config.FAACMono = mono;
        const double seconds = 4.0;
        const std::string path = dir / "rate.aac";
        ASSERT_GT(encodeFile(config, PcmFormat::pcm16(44100, 2), musicLikePcm(seconds, 44100, 2), path), 0);
        const double kbps = readFile(path).size() * 8 / seconds / 1000;
        const double target = mono ? 64 : 128;
        EXPECT_GT(kbps, target * 0.8);
        EXPECT_LT(kbps, target * 1.25);
    }
}
