#include "encoders/TOggEncoder.h"

#include <gtest/gtest.h>

#include "EncoderTestFiles.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

EncoderConfig oggConfig() {
    EncoderConfig c = mp3Defaults();
    c.EncoderIndex = 3;
    c.OggQuality = 1;
    c.OggQualityLevel = 400;
    c.OggMinBR = 7;
    c.OggNomBR = 4;
    c.OggMaxBR = 1;
    return c;
}

// Sample frames oggdec decodes from `path`; -1 when it fails.
long long decodedFrames(const TempDir& dir, const std::string& path, int channels) {
    const std::string raw = dir / "decoded.raw";
    std::string out;
    if (runCommand("oggdec -Q -R -o " + shellQuote(raw) + " " + shellQuote(path), &out, true) != 0) return -1;
    return static_cast<long long>(readFile(raw).size() / (2 * channels));
}

}  // namespace

// Each way of setting the bitrate gives a stream ogginfo finds sound, decoding
// to as many samples as went in, and the bitrate mode lands near its target.
TEST(TOggEncoder, StreamsDecodeToTheInputLength) {
    struct Case {
        const char* why;
        int rate, channels;
        std::uint8_t quality;
        std::int32_t level;
        std::size_t chunk;
        int expectedChunk;
        int minKbps, maxKbps;  // average bitrate bounds (0: not checked)
    };
    const Case cases[] = {
        {"quality 0.4", 44100, 2, 1, 400, 0, 2048, 0, 0},
        {"quality above the top is the top", 44100, 2, 1, 5000, 0, 2048, 0, 0},
        {"quality below the bottom is the bottom", 44100, 2, 1, -900, 0, 2048, 0, 0},
        {"managed 128..160..256 kbit/s", 44100, 2, 0, 0, 0, 2048, 110, 270},
        {"mono at 22050 Hz in CD sectors", 22050, 1, 1, 400, 2352, 1024, 0, 0},
        {"odd chunks that split sample frames", 44100, 2, 1, 400, 999, 2048, 0, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EncoderConfig config = oggConfig();
        config.OggQuality = c.quality;
        config.OggQualityLevel = c.level;
        const double seconds = 2.0;
        const std::string pcm = musicLikePcm(seconds, c.rate, c.channels);
        const PcmFormat format = PcmFormat::pcm16(c.rate, c.channels);
        const std::string path = dir / "out.ogg";
        ASSERT_EQ(encodeFile(config, format, pcm, path, nullptr, c.chunk), c.expectedChunk);
        std::string info;
        EXPECT_EQ(runCommand("ogginfo " + shellQuote(path), &info, true), 0) << info;
        EXPECT_EQ(info.find("WARNING"), std::string::npos) << info;
        EXPECT_EQ(decodedFrames(dir, path, c.channels), static_cast<long long>(pcm.size() / (2 * c.channels)));
        if (c.minKbps) {
            const double kbps = readFile(path).size() * 8 / seconds / 1000;
            EXPECT_GE(kbps, c.minKbps);
            EXPECT_LE(kbps, c.maxKbps);
        }
    }
}
