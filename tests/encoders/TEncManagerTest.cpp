#include "encoders/TEncManager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "EncoderTestFiles.h"
#include "app/ScriptedPrompt.h"
#include "decoders/TWAVEDecoder.h"
#include "disc/SampleUtils.h"
#include "encoders/TWAVEEncoder.h"
#include "support/TempDir.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

void writeWave(const std::string& path, const std::string& pcm, const PcmFormat& format = PcmFormat::cd()) {
    TWAVEEncoder enc;
    ASSERT_TRUE(enc.SetFormat(&format));
    ASSERT_GT(enc.Open(path, 0), 0);
    ASSERT_TRUE(enc.Encode(pcm.data(), pcm.size()));
    ASSERT_TRUE(enc.Close());
}

std::string readWavePcm(const std::string& path) {
    TWAVEDecoder dec;
    if (!dec.Open(path)) return "<unreadable>";
    std::string out;
    char buf[4096];
    while (std::size_t n = dec.Read(buf, sizeof buf)) out.append(buf, n);
    return out;
}

int peakOf(const std::string& pcm) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
        const auto v = static_cast<std::int16_t>(static_cast<unsigned char>(pcm[i]) | (pcm[i + 1] << 8));
        peak = std::max(peak, std::abs(int(v)));
    }
    return peak;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

TEST(TEncManager, IndexTableAndCreation) {
    ScriptedPrompt prompt;
    TEncManager manager(&prompt);
    EncoderConfig config = mp3Defaults();
    const PcmFormat cd = PcmFormat::cd();

    config.EncoderIndex = 0;
    auto wave = manager.CreateEncoder(&config, &cd);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->GetName(), "");
    EXPECT_EQ(TEncManager::Extension(config), ".wav");

    config.EncoderIndex = 1;
    auto mp3 = manager.CreateEncoder(&config, &cd);
    ASSERT_NE(mp3, nullptr);
    EXPECT_EQ(mp3->GetName().rfind("Lame MP3 Encoder ", 0), 0u);
    EXPECT_TRUE(prompt.entries().empty());

    config.EncoderIndex = 8;
    EXPECT_EQ(manager.CreateEncoder(&config, &cd), nullptr);
    ASSERT_EQ(prompt.entries().size(), 1u);
    EXPECT_EQ(prompt.entries()[0].text, "Fatal error: Wrong Encoder Index!");
    EXPECT_EQ(prompt.entries()[0].icon, Icon::Error);
    EXPECT_EQ(TEncManager::Extension(config), "");

    // Classes not in this build: no encoder, and the user is told which one.
    prompt.clear();
    config.EncoderIndex = 1;
    config.UseLame = 0;
    EXPECT_EQ(manager.CreateEncoder(&config, &cd), nullptr);
    config.EncoderIndex = 2;
    EXPECT_EQ(manager.CreateEncoder(&config, &cd), nullptr);
    ASSERT_EQ(prompt.entries().size(), 2u);
    EXPECT_NE(prompt.entries()[1].text.find("Windows Media Audio Encoder"), std::string::npos);

    config.EncoderIndex = 6;
    std::strcpy(config.ACMFileExt, ".gsm");
    EXPECT_EQ(TEncManager::Extension(config), ".gsm");
    EXPECT_EQ(manager.CreateEncoder(nullptr, &cd), nullptr);

    std::vector<std::string> list{"stale"};
    EXPECT_FALSE(manager.ListAcmMp3Codecs(list));
    manager.ListAcmFormats(list, 0);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(manager.WmaAvailable);
}

TEST(TEncManager, EncodeWaveFileWithAndWithoutNormalisation) {
    TempDir dir;
    const std::string pcm = musicLikePcm(2.0, 44100, 2, 0.5);
    const int sourcePeak = peakOf(pcm);
    writeWave(dir / "src.wav", pcm);

    ScriptedPrompt prompt;
    std::vector<std::uint32_t> positions;
    TEncManager manager(&prompt, [&](std::uint32_t pos, std::uint32_t total, bool&) {
        EXPECT_EQ(total, 2000u);
        positions.push_back(pos);
    });
    EncoderConfig config = mp3Defaults();
    config.EncoderIndex = 0;
    manager.Gain = 1.5;

    // Normalize off: the gain is never applied; the copy is exact.
    ASSERT_TRUE(manager.EncodeWaveFile(dir / "src.wav", dir / "plain.wav", nullptr, &config));
    EXPECT_EQ(readWavePcm(dir / "plain.wav"), pcm);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), 0u);
    EXPECT_EQ(positions.back(), 2000u);  // reported after each read

    // Normalize on, with the gain the grab computes from the peak: a quiet track
    // (peak about 50 %) is raised to the 90 % target.
    config.Normalize = 1;
    std::int16_t peak = 0;
    FindPeak(reinterpret_cast<const std::uint8_t*>(pcm.data()), pcm.size(), peak);
    EXPECT_EQ(peak, sourcePeak);
    manager.Gain = NormalisationGain(peak, config.SetMin, config.SetMax, config.Min, config.Max);
    ASSERT_TRUE(manager.EncodeWaveFile(dir / "src.wav", dir / "loud.wav", nullptr, &config));
    const std::string loud = readWavePcm(dir / "loud.wav");
    ASSERT_EQ(loud.size(), pcm.size());
    EXPECT_NEAR(peakOf(loud), 0.90 * 32768, 4.0);

    // Into MP3: same length after decoding.
    config.EncoderIndex = 1;
    config.Normalize = 0;
    ASSERT_TRUE(manager.EncodeWaveFile(dir / "src.wav", dir / "out.mp3", nullptr, &config));
    EXPECT_EQ(decodedSampleFrames(dir / "out.mp3"), 2 * 44100);
    EXPECT_TRUE(prompt.entries().empty());
}

TEST(TEncManager, EncodeWaveFileCancelAndFailures) {
    TempDir dir;
    writeWave(dir / "src.wav", musicLikePcm(3.0, 44100, 2));
    ScriptedPrompt prompt;
    int calls = 0;
    TEncManager manager(&prompt, [&](std::uint32_t, std::uint32_t, bool& cancel) { cancel = ++calls == 50; });
    EncoderConfig config = mp3Defaults();

    // Cancelled half way: the partial file goes, the result is still true.
    ASSERT_TRUE(manager.EncodeWaveFile(dir / "src.wav", dir / "cut.mp3", nullptr, &config));
    EXPECT_EQ(calls, 50);
    EXPECT_FALSE(exists(dir / "cut.mp3"));
    EXPECT_TRUE(prompt.entries().empty());
    // A file of an earlier run stays when the new one is cancelled.
    writeFile(dir / "kept.mp3", "earlier");
    calls = 0;
    ASSERT_TRUE(manager.EncodeWaveFile(dir / "src.wav", dir / "kept.mp3", nullptr, &config));
    EXPECT_EQ(readFile(dir / "kept.mp3"), "earlier");
    EXPECT_FALSE(exists(dir / ".kept.mp3.partial"));
    manager.SetProgress({});

    EXPECT_FALSE(manager.EncodeWaveFile(dir / "missing.wav", dir / "x.mp3", nullptr, &config));
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0], "Исходный файл недоступен.");

    prompt.clear();
    EXPECT_FALSE(manager.EncodeWaveFile(dir / "src.wav", dir / "no/dir/x.mp3", nullptr, &config));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Can't initialize encoding stream: cannot create \"" +
                                                       (dir / "no/dir/x.mp3") + "\": No such file or directory"});

    // A 22050 Hz source cannot become MP3: nothing written, no stream message.
    prompt.clear();
    writeWave(dir / "low.wav", musicLikePcm(0.5, 22050, 2), PcmFormat::pcm16(22050, 2));
    EXPECT_FALSE(manager.EncodeWaveFile(dir / "low.wav", dir / "low.mp3", nullptr, &config));
    EXPECT_FALSE(exists(dir / "low.mp3"));

    // A device as destination is written to but never deleted on failure.
    config.EncoderIndex = 0;
    EXPECT_FALSE(manager.EncodeWaveFile(dir / "src.wav", "/dev/full", nullptr, &config));
    EXPECT_TRUE(exists("/dev/full"));
}

// Rates Ogg Vorbis cannot take are refused when the encoder is made, and a
// stream of any format dropped before its end leaves no file behind.
TEST(TEncManager, RefusedRatesAndDroppedStreamsLeaveNoFile) {
    ScriptedPrompt prompt;
    TEncManager manager(&prompt);
    EncoderConfig ogg = mp3Defaults();
    ogg.EncoderIndex = 3;
    const PcmFormat low = PcmFormat::pcm16(11025, 2);
    EXPECT_EQ(manager.CreateEncoder(&ogg, &low), nullptr);

    TempDir dir;
    const PcmFormat cd = PcmFormat::pcm16(44100, 2);
    const std::string pcm = musicLikePcm(0.3, 44100, 2);
    for (const std::uint8_t index : {0, 1, 3, 4, 5, 7}) {
        SCOPED_TRACE(static_cast<int>(index));
        EncoderConfig config = mp3Defaults();
        config.EncoderIndex = index;
        std::unique_ptr<TEncoder> encoder = manager.CreateEncoder(&config, &cd);
        ASSERT_NE(encoder, nullptr);
        const std::string path = dir / "dropped";
        ASSERT_GT(encoder->Open(path, pcm.size()), 0);
        EXPECT_TRUE(encoder->Encode(pcm.data(), pcm.size()));
        encoder->Discard();
        EXPECT_FALSE(encoder->Close());
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "nothing, not even a partial file";
    }
}
