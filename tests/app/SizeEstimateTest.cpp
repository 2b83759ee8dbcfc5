#include "app/SizeEstimate.h"

#include <gtest/gtest.h>

namespace melvarin {
namespace {

constexpr uint64_t kMb = 1048576;

TEST(SizeEstimateTest, EncodedTextGetsLeadingZeroOnlyBelowTenMegabytes) {
    EXPECT_EQ(SizeEstimate::encodedText(5.12 * kMb, 1.0), "05.12 Mb");
    EXPECT_EQ(SizeEstimate::encodedText(12.34 * kMb, 1.0), "12.34 Mb");
    EXPECT_EQ(SizeEstimate::encodedText(0, 1.0), "00.00 Mb");
    // Three integer digits are already longer than eight characters.
    EXPECT_EQ(SizeEstimate::encodedText(123.5 * kMb, 1.0), "123.50 Mb");
    // The ratio divides: 11 Mb of CD audio at 128 kbit/s (ratio 11.025).
    EXPECT_EQ(SizeEstimate::encodedText(11.025 * kMb, 11.025), "01.00 Mb");
}

TEST(SizeEstimateTest, SizeAndPanelTextsHaveNoLeadingZero) {
    EXPECT_EQ(SizeEstimate::sizeText(5.12 * kMb), "5.12 Mb");
    EXPECT_EQ(SizeEstimate::panelText("Размер", 22.05 * kMb, 11.025, false), "Размер 22.05 Mb");
    EXPECT_EQ(SizeEstimate::panelText("Размер", 22.05 * kMb, 11.025, true), "Размер 2.00 Mb");
}

TEST(SizeEstimateTest, LameRatioFollowsBitrateVbrMaximumAndMono) {
    SizeEstimate::LameChoice lame;
    lame.bitrateIndex = 9;  // 128 kbit/s
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(lame), 176400.0 / 16000.0);
    lame.mode = 3;
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(lame), 2 * 176400.0 / 16000.0);
    lame.mode = 1;
    lame.vbr = true;
    lame.maxBitrateIndex = 14;  // 320 kbit/s; the minimum no longer counts
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(lame), 176400.0 / 40000.0);
}

TEST(SizeEstimateTest, BitrateValuesOutsideTheTableNeverDivideByZeroOrOverrun) {
    SizeEstimate::LameChoice lame;
    lame.bitrateIndex = 0;  // "0 kbit/s" would make an infinite ratio
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(lame), 1.0);
    lame.bitrateIndex = 15;  // last table entry, beyond the old fifteen-entry list
    EXPECT_EQ(SizeEstimate::kbitPerSec(15), 350u);
    lame.bitrateIndex = 64;  // above 15: kbit/s itself
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(lame), 176400.0 / 8000.0);
}

TEST(SizeEstimateTest, AcmRatioScalesForChannelsAndSampleRate) {
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(SizeEstimate::AcmFormat{16000, 2, 44100}), 11.025);
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(SizeEstimate::AcmFormat{8000, 1, 22050}), 88.2);
    EXPECT_DOUBLE_EQ(SizeEstimate::ratio(SizeEstimate::AcmFormat{0, 2, 44100}), 1.0);
}

}  // namespace
}  // namespace melvarin
