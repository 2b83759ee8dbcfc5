#include "EncoderTestFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "app/ScriptedPrompt.h"
#include "encoders/TEncManager.h"
#include "support/TempDir.h"

namespace melvarin::test {

int encodeFile(EncoderConfig& config, const PcmFormat& format, const std::string& pcm, const std::string& path,
               TIDTag* tag, std::size_t chunk) {
    ScriptedPrompt prompt;
    TEncManager manager(&prompt);
    std::unique_ptr<TEncoder> enc = manager.CreateEncoder(&config, &format);
    if (!enc) return 0;
    enc->SetTag(tag);
    const int asked = enc->Open(path, pcm.size());
    if (asked <= 0) return 0;
    const std::size_t step = chunk ? chunk : static_cast<std::size_t>(asked);
    for (std::size_t done = 0; done < pcm.size(); done += step)
        EXPECT_TRUE(enc->Encode(pcm.data() + done, std::min(step, pcm.size() - done))) << enc->LastError();
    EXPECT_TRUE(enc->Close()) << enc->LastError();
    return asked;
}

std::string python(const std::string& script) {
    std::string out;
    EXPECT_EQ(runCommand("/usr/bin/python3 -c " + shellQuote(script), &out, true), 0) << out;
    return out;
}

EncoderConfig mp3Defaults() {
    EncoderConfig c;
    std::memset(&c, 0, sizeof c);
    c.LameBitrate = 12;
    c.MaxBR = 14;
    c.LameMode = 1;
    c.VBRMethod = 255;
    c.UseLame = 1;
    c.EncoderIndex = 1;
    c.SetMin = 90;
    c.SetMax = 98;
    c.Min = 90;
    c.Max = 98;
    return c;
}

std::string musicLikePcm(double seconds, int rate, int channels, double amplitude) {
    const std::size_t frames = static_cast<std::size_t>(seconds * rate);
    std::string out(frames * channels * 2, '\0');
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> n(-0.02, 0.02);
    const double partials[] = {220.0, 277.2, 329.6, 440.0, 659.3, 1318.5};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        for (int c = 0; c < channels; ++c) {
            double v = 0;
            for (int k = 0; k < 6; ++k) {
                const double f = partials[k] * (1 + 0.003 * c) * (1 + 0.002 * std::sin(2 * M_PI * 5 * t));
                v += std::sin(2 * M_PI * f * t + k) / (k + 1.5);
            }
            v = amplitude * (v / 2.2 + n(noise)) * (0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t + c));
            const auto s = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
            out[(i * channels + c) * 2] = static_cast<char>(s & 0xFF);
            out[(i * channels + c) * 2 + 1] = static_cast<char>((s >> 8) & 0xFF);
        }
    }
    return out;
}

std::uint64_t id3v2Size(const std::string& b) {
    if (b.size() < 10 || b.compare(0, 3, "ID3") != 0) return 0;
    const auto s = [&](int i) { return std::uint64_t(static_cast<unsigned char>(b[6 + i]) & 0x7F); };
    return 10 + ((s(0) << 21) | (s(1) << 14) | (s(2) << 7) | s(3));
}

std::vector<Mp3Frame> walkFrames(const std::string& b, std::uint64_t pos) {
    static const int kMpeg1L3[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int kMpeg2L3[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int kRates[3] = {44100, 48000, 32000};
    std::vector<Mp3Frame> frames;
    while (pos + 4 <= b.size()) {
        const auto h = [&](int i) { return static_cast<unsigned char>(b[pos + i]); };
        if (h(0) != 0xFF || (h(1) & 0xE0) != 0xE0 || ((h(1) >> 1) & 3) != 1) break;  // Layer III
        const int versionBits = (h(1) >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        const int brIndex = h(2) >> 4, rateIndex = (h(2) >> 2) & 3, padding = (h(2) >> 1) & 1;
        if (versionBits == 1 || rateIndex == 3 || brIndex == 0 || brIndex == 15) break;
        const bool mpeg1 = versionBits == 3;
        const int rate = kRates[rateIndex] / (mpeg1 ? 1 : versionBits == 2 ? 2 : 4);
        const int kbps = mpeg1 ? kMpeg1L3[brIndex] : kMpeg2L3[brIndex];
        const std::uint32_t length = (mpeg1 ? 144000u : 72000u) * kbps / rate + padding;
        frames.push_back({pos, kbps, rate, ((h(3) >> 6) == 3) ? 1 : 2, mpeg1 ? 1 : 2, length});
        pos += length;
    }
    return frames;
}

long long decodedSampleFrames(const std::string& path, int* channels) {
    std::string probe;
    if (runCommand("ffprobe -v error -select_streams a:0 -show_entries stream=channels -of csv=p=0 " +
                       shellQuote(path),
                   &probe) != 0)
        return -1;
    const int ch = std::atoi(probe.c_str());
    if (channels) *channels = ch;
    std::string count;
    if (runCommand("ffmpeg -v error -i " + shellQuote(path) + " -f s16le - | wc -c", &count) != 0 || ch <= 0)
        return -1;
    return std::atoll(count.c_str()) / 2 / ch;
}

}  // namespace melvarin::test
