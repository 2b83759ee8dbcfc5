#include "encoders/TFLACEncoder.h"

#include <gtest/gtest.h>

#include "EncoderTestFiles.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

EncoderConfig flacConfig() {
    EncoderConfig c = mp3Defaults();
    c.EncoderIndex = 7;
    // The settings window's level 7.
    c.LPCOrder = 4;
    c.BlockSize = 6;
    c.RPOMin = 0;
    c.RPOMax = 6;
    c.EMSCoding = 1;
    c.MSC = 1;
    return c;
}

// The samples `flac -d` decodes from `path` as raw little-endian PCM.
std::string decoded(const TempDir& dir, const std::string& path) {
    const std::string raw = dir / "decoded.raw";
    std::string out;
    EXPECT_EQ(runCommand("flac -d -s -f --force-raw-format --endian=little --sign=signed -o " + shellQuote(raw) + " " +
                             shellQuote(path),
                         &out, true),
              0)
        << out;
    return readFile(raw);
}

}  // namespace

// Whatever the settings and however the input is cut, the file decodes to the
// very samples that went in, and flac's own test (MD5 included) passes.
TEST(TFLACEncoder, DecodesToTheInputUnderEverySetting) {
    struct Case {
        const char* why;
        int channels;
        std::uint8_t lpc, blockSize, rpoMin, rpoMax, ems, msc, amsc;
        double seconds;
        std::size_t chunk;  // 0: the chunk Open asks for
        int expectedChunk;
    };
    const Case cases[] = {
        {"level 7, chunks of the block size", 2, 4, 6, 0, 6, 1, 1, 0, 1.3, 0, 18432},
        {"level 0: fixed predictors, 1152", 2, 0, 3, 2, 2, 0, 1, 0, 1.0, 0, 4608},
        {"level 8 with adaptive mid-side", 2, 6, 6, 0, 6, 1, 0, 1, 1.0, 0, 18432},
        {"left-right, CD sectors that split blocks", 2, 4, 6, 3, 3, 0, 0, 0, 1.0, 2352, 18432},
        {"odd chunks that split sample frames", 2, 2, 2, 0, 3, 0, 1, 0, 0.7, 1001, 4096},
        {"largest block size, shorter than one block", 2, 4, 10, 0, 4, 0, 1, 0, 0.5, 0, 131072},
        {"mono", 1, 4, 6, 0, 6, 0, 1, 1, 1.0, 0, 9216},
        {"nothing at all", 2, 4, 6, 0, 6, 0, 1, 0, 0.0, 0, 18432},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EncoderConfig config = flacConfig();
        config.LPCOrder = c.lpc;
        config.BlockSize = c.blockSize;
        config.RPOMin = c.rpoMin;
        config.RPOMax = c.rpoMax;
        config.EMSCoding = c.ems;
        config.MSC = c.msc;
        config.AMSC = c.amsc;
        const std::string pcm = musicLikePcm(c.seconds, 44100, c.channels);
        const PcmFormat format = PcmFormat::pcm16(44100, c.channels);
        const std::string path = dir / "out.flac";
        ASSERT_EQ(encodeFile(config, format, pcm, path, nullptr, c.chunk), c.expectedChunk);
        std::string out;
        EXPECT_EQ(runCommand("flac -t -s " + shellQuote(path), &out, true), 0) << out;
        EXPECT_TRUE(decoded(dir, path) == pcm) << "decoded samples differ";
    }
}
