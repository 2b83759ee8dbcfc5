#include "app/SizeEstimate.h"

#include <array>
#include <cstdio>

namespace melvarin {
namespace {

constexpr std::array<uint32_t, 16> kLameKbit = {0,   32,  40,  48,  56,  64,  80,  96,
                                                112, 128, 160, 192, 224, 256, 320, 350};

std::string megabytes(double mb) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2f Mb", mb);
    return buf;
}

}  // namespace

uint32_t SizeEstimate::kbitPerSec(uint32_t bitrateValue) {
    return bitrateValue < kLameKbit.size() ? kLameKbit[bitrateValue] : bitrateValue;
}

double SizeEstimate::ratio(const LameChoice& lame) {
    const uint32_t kbit = kbitPerSec(lame.vbr ? lame.maxBitrateIndex : lame.bitrateIndex);
    if (kbit == 0) return 1.0;
    double r = 176400.0 / (kbit * 1000.0 * 0.125);
    if (lame.mode == 3) r *= 2.0;
    return r;
}

double SizeEstimate::ratio(const AcmFormat& acm) {
    if (acm.avgBytesPerSec == 0 || acm.channels == 0 || acm.samplesPerSec == 0) return 1.0;
    return 176400.0 / acm.avgBytesPerSec * (2.0 / acm.channels) * (44100.0 / acm.samplesPerSec);
}

std::string SizeEstimate::encodedText(uint64_t bytes, double ratio) {
    std::string text = megabytes(static_cast<double>(bytes) / 1048576.0 / ratio);
    if (text.size() < 8) text.insert(0, "0");
    return text;
}

std::string SizeEstimate::sizeText(uint64_t bytes) {
    return megabytes(static_cast<double>(bytes) / 1048576.0);
}

std::string SizeEstimate::panelText(const std::string& hint, uint64_t totalBytes, double ratio,
                                    bool encodedMode) {
    double mb = static_cast<double>(totalBytes) / 1048576.0;
    if (encodedMode) mb /= ratio;
    return hint + " " + megabytes(mb);
}

}  // namespace melvarin
