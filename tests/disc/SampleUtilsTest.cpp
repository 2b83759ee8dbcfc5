#include "disc/SampleUtils.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disc/SampleText.h"
#include "disc/SectorRereader.h"

using namespace melvarin;

namespace {

std::vector<std::uint8_t> pcm(std::initializer_list<int> samples) {
    std::vector<std::uint8_t> out;
    for (int v : samples) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return out;
}

int sample(const std::vector<std::uint8_t>& b, std::size_t i) {
    return static_cast<std::int16_t>(b[2 * i] | (b[2 * i + 1] << 8));
}

// Records the calls a repair pass makes and answers reads with a fixed pattern.
class RecordingDrive : public SectorRereader {
public:
    std::vector<std::string> calls;
    std::uint8_t fill = 0;  // byte every re-read sector is filled with; 0 = silence
    bool noisy = false;     // re-reads return audio instead
    bool SetReadSpeed(int speed) override {
        calls.push_back("speed " + std::to_string(speed));
        return true;
    }
    bool Seek(std::int32_t lba) override {
        calls.push_back("seek " + std::to_string(lba));
        return true;
    }
    bool ReadSectors(std::int32_t lba, int count, std::uint8_t* buffer) override {
        calls.push_back("read " + std::to_string(lba) + " " + std::to_string(count));
        for (int i = 0; i < 2352 * count; ++i) buffer[i] = static_cast<std::uint8_t>(noisy ? i * 13 + 1 : fill);
        return true;
    }
};

}  // namespace

TEST(SampleUtils, SwapBytesLeavesAnOddLastByte) {
    std::vector<std::uint8_t> b = {1, 2, 3, 4, 5};
    SwapBytes(b.data(), b.size());
    EXPECT_EQ(b, (std::vector<std::uint8_t>{2, 1, 4, 3, 5}));
}

TEST(SampleUtils, PeakAndGain) {
    std::int16_t peak = 0;
    auto b = pcm({100, -200, 50});
    FindPeak(b.data(), b.size(), peak);
    EXPECT_EQ(peak, 200);
    b = pcm({-32768});
    FindPeak(b.data(), b.size(), peak);
    EXPECT_EQ(peak, 32767);

    EXPECT_EQ(NormalisationGain(0, 90, 98, 90, 98), 1.0);
    EXPECT_EQ(NormalisationGain(1, 90, 98, 90, 98), 1.0);
    // The smallest peak at 90 % and the largest at 98 % of full scale: unchanged.
    EXPECT_EQ(NormalisationGain(29493, 90, 98, 90, 98), 1.0);
    EXPECT_EQ(NormalisationGain(32113, 90, 98, 90, 98), 1.0);
    EXPECT_GT(NormalisationGain(29492, 90, 98, 90, 98), 1.0 - 1e-3);
    EXPECT_NE(NormalisationGain(29492, 90, 98, 90, 98), 1.0);
    EXPECT_LT(NormalisationGain(32114, 90, 98, 90, 98), 1.0);
    // Too quiet: brought to 90 %.
    const double up = NormalisationGain(16385, 90, 98, 90, 98);
    EXPECT_NEAR(up * 16385 / 32768, 0.90, 0.001);
    // Too loud: brought to 95 %.
    const double down = NormalisationGain(32767, 90, 98, 90, 95);
    EXPECT_LT(down, 1.0);
    EXPECT_NEAR(down * 32767 / 32768, 0.95, 0.001);
}

TEST(SampleUtils, ApplyGainRoundsAndClips) {
    auto b = pcm({3, -3, 20000, -20000, 7});
    ApplyGain(b.data(), b.size(), 0.5);
    EXPECT_EQ(sample(b, 0), 2);
    EXPECT_EQ(sample(b, 1), -1);
    EXPECT_EQ(sample(b, 2), 10000);
    b = pcm({20000, -20000, 3});
    ApplyGain(b.data(), b.size(), 2.0);
    EXPECT_EQ(sample(b, 0), 32767);
    EXPECT_EQ(sample(b, 1), -32768);
    EXPECT_EQ(sample(b, 2), 6);
    ApplyGain(b.data(), b.size(), 0.0);
    EXPECT_EQ(sample(b, 2), 6);
}

TEST(SampleUtils, StereoToMonoHalvesTowardZero) {
    std::int16_t s[] = {3, 3, -3, -3, 32767, 32767, -32768, -32768, 9};
    EXPECT_EQ(StereoToMono(s, 9), 4u);
    EXPECT_EQ(s[0], 2);
    EXPECT_EQ(s[1], -2);
    EXPECT_EQ(s[2], 32766);
    EXPECT_EQ(s[3], -32768);
}

TEST(SampleUtils, SilentPairsAreReadAgainSlowly) {
    std::vector<std::uint8_t> block(3 * 2352, 0);
    RecordingDrive drive;  // the re-read returns silence again
    EXPECT_EQ(CorrectBlock(block.data(), 3, &drive, 1000), 2);
    EXPECT_EQ(drive.calls, (std::vector<std::string>{"speed 4", "seek 1000", "read 1000 1", "read 1001 1",
                                                     "speed 4", "seek 1001", "read 1001 1", "read 1002 1"}));

    // A pair that reads clean the second time is not counted.
    std::vector<std::uint8_t> pair(2 * 2352, 0);
    RecordingDrive healing;
    healing.noisy = true;
    EXPECT_EQ(CheckSectorPair(pair.data(), pair.data() + 2352, 5, &healing), 0);

    // Ordinary audio: no re-read at all.
    for (std::size_t i = 0; i < pair.size(); ++i) pair[i] = static_cast<std::uint8_t>(i * 13 + 1);
    RecordingDrive idle;
    EXPECT_EQ(CheckSectorPair(pair.data(), pair.data() + 2352, 5, &idle), 0);
    EXPECT_TRUE(idle.calls.empty());
}

TEST(SampleUtils, MostlyZeroSectorsButTheLastAreReadAgain) {
    std::vector<std::uint8_t> block(3 * 2352, 0);
    std::fill(block.begin() + 2352, block.begin() + 2352 + 1176, 1);  // exactly half zero: kept
    RecordingDrive drive;
    drive.fill = 5;
    EXPECT_EQ(RereadSilentSectors(block.data(), 3, 200, &drive), 2);
    EXPECT_EQ(drive.calls, (std::vector<std::string>{"seek 200", "read 200 1"}));
    EXPECT_EQ(block[0], 5);
    EXPECT_EQ(block[2 * 2352], 0);  // the last sector is not examined
    EXPECT_EQ(RereadSilentSectors(block.data(), 0, 200, &drive), 0);
}

TEST(SampleUtils, TwoDigits) {
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(7), "07");
    EXPECT_EQ(TwoDigits(42), "42");
    EXPECT_EQ(TwoDigits(100), "100");
}
