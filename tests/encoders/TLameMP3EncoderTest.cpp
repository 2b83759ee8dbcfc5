#include "encoders/TLameMP3Encoder.h"

#include <gtest/gtest.h>
#include <lame/lame.h>

#include <algorithm>

#include "EncoderTestFiles.h"
#include "app/ScriptedPrompt.h"
#include "encoders/LameStreamConfig.h"
#include "encoders/MemorySink.h"
#include "encoders/TEncManager.h"
#include "support/TempDir.h"
#include "tags/TIDTag.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

std::vector<Mp3Frame> framesOf(const std::string& path) {
    const std::string bytes = readFile(path);
    return walkFrames(bytes, id3v2Size(bytes));
}

// The Xing/Info frame is the first frame; its tag id follows the side information.
std::string infoTagId(const std::string& bytes, const Mp3Frame& first) {
    const std::uint64_t side = first.channels == 1 ? 17 : 32;
    return bytes.substr(first.offset + 4 + side, 4);
}

}  // namespace

TEST(LameStreamConfig, EveryOptionReachesTheLibrary) {
    struct Case {
        const char* why;
        std::uint32_t lameBitrate, maxBR, lameMode;
        std::uint8_t vbr;
        std::uint32_t vbrq;
        std::int16_t quality;
        int channels;
        // What LAME reports after lame_init_params.
        int brate, mode, vbrMode, vbrMin, vbrMax, vbrQ, original, noRes, quality_, outRate;
    };
    const Case cases[] = {
        {"defaults: CBR 224 joint stereo", 12, 14, 1, 0, 0, 0, 2, 224, JOINT_STEREO, vbr_off, -1, -1, -1, 0, 1, -1, 44100},
        {"kbit/s above 15", 256, 14, 0, 0, 0, 2, 2, 256, STEREO, vbr_off, -1, -1, -1, 0, 1, 2, 44100},
        {"mono input whatever the mode", 9, 14, 1, 0, 0, 1, 1, 128, MONO, vbr_off, -1, -1, -1, 0, 1, 9, 44100},
        {"low rate stays MPEG-1", 1, 14, 1, 0, 0, -1, 2, 32, JOINT_STEREO, vbr_off, -1, -1, -1, 0, 1, -1, 44100},
        {"VBR with bounds", 9, 14, 1, 1, 2, 0, 2, -1, JOINT_STEREO, vbr_mtrh, 128, 320, 2, 1, 0, -1, 44100},
        {"VBR maximum above the table", 1, 192, 1, 1, 4, 0, 2, -1, JOINT_STEREO, vbr_mtrh, 32, 192, 4, 1, 0, -1, 44100},
        {"named preset: voice is mono", 12, 14, 1, 0, 0, 5000, 2, -1, MONO, -1, -1, -1, -1, 0, 1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EncoderConfig config = mp3Defaults();
        config.LameBitrate = c.lameBitrate;
        config.MaxBR = c.maxBR;
        config.LameMode = c.lameMode;
        config.VBR = c.vbr;
        config.VBRQ = c.vbrq;
        config.LameQuality = c.quality;
        const PcmFormat format = PcmFormat::pcm16(44100, static_cast<std::uint16_t>(c.channels));
        lame_global_flags* gfp = lame_init();
        ASSERT_TRUE(ApplyLameStreamConfig(gfp, MakeLameStreamConfig(config, format)));
        ASSERT_GE(lame_init_params(gfp), 0);
        if (c.brate >= 0) {
            EXPECT_EQ(lame_get_brate(gfp), c.brate);
        }
        EXPECT_EQ(lame_get_mode(gfp), c.mode);
        if (c.vbrMode >= 0) {
            EXPECT_EQ(lame_get_VBR(gfp), c.vbrMode);
        }
        if (c.vbrMin >= 0) {
            EXPECT_EQ(lame_get_VBR_min_bitrate_kbps(gfp), c.vbrMin);
        }
        if (c.vbrMax >= 0) {
            EXPECT_EQ(lame_get_VBR_max_bitrate_kbps(gfp), c.vbrMax);
        }
        if (c.vbrQ >= 0) {
            EXPECT_EQ(lame_get_VBR_q(gfp), c.vbrQ);
        }
        EXPECT_EQ(lame_get_original(gfp), c.original);
        EXPECT_EQ(lame_get_disable_reservoir(gfp), c.noRes);
        if (c.quality_ >= 0) {
            EXPECT_EQ(lame_get_quality(gfp), c.quality_);
        }
        if (c.outRate > 0) {  // the input rate kept: MPEG-1
            EXPECT_EQ(lame_get_out_samplerate(gfp), c.outRate);
            EXPECT_EQ(lame_get_version(gfp), 1);
        }
        EXPECT_EQ(lame_get_bWriteVbrTag(gfp), 1);
        lame_close(gfp);
    }
}

TEST(TLameMP3Encoder, RatesAndChannelsAccepted) {
    EncoderConfig config = mp3Defaults();
    ScriptedPrompt prompt;
    TEncManager manager(&prompt);
    for (int rate : {44100, 48000}) {
        const PcmFormat f = PcmFormat::pcm16(rate, 2);
        EXPECT_NE(manager.CreateEncoder(&config, &f), nullptr) << rate;
    }
    const PcmFormat low = PcmFormat::pcm16(22050, 2);
    EXPECT_EQ(manager.CreateEncoder(&config, &low), nullptr);
    EXPECT_TRUE(prompt.entries().empty());  // refused formats are not announced by the manager

    TLameMP3Encoder enc;
    EXPECT_EQ(enc.GetName().rfind("Lame MP3 Encoder 3.", 0), 0u) << enc.GetName();
    EXPECT_EQ(enc.Open("/nonexistent/x.mp3", 0), 0);  // no configuration set
    EXPECT_FALSE(enc.Encode("\0\0\0\0", 4));
    EXPECT_FALSE(enc.Close());
}

TEST(TLameMP3Encoder, DecodesToExactlyTheInputLength) {
    TempDir dir;
    // Odd lengths: not whole MP3 frames, and one chunk ends in the middle of a sample frame.
    struct Case {
        int rate, channels;
        std::uint8_t vbr;
        double seconds;
    } cases[] = {{44100, 2, 0, 3.01}, {48000, 2, 1, 2.5}, {44100, 1, 0, 1.7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " ch, vbr " +
                     std::to_string(c.vbr));
        EncoderConfig config = mp3Defaults();
        config.VBR = c.vbr;
        const std::string pcm = musicLikePcm(c.seconds, c.rate, c.channels);
        const std::string path = dir / "len.mp3";
        const PcmFormat format = PcmFormat::pcm16(c.rate, static_cast<std::uint16_t>(c.channels));
        ASSERT_GT(encodeFile(config, format, pcm, path), 0);
        int channels = 0;
        EXPECT_EQ(decodedSampleFrames(path, &channels), static_cast<long long>(pcm.size()) / 2 / c.channels);
        EXPECT_EQ(channels, c.channels);
    }
}

TEST(TLameMP3Encoder, StereoMixedDownWhenModeIsMono) {
    TempDir dir;
    EncoderConfig config = mp3Defaults();
    config.LameMode = 3;
    const PcmFormat format = PcmFormat::cd();
    // Left and right cancel out except for a small difference: a wrong downmix
    // (one channel only, or wrong halving) gives a loud result.
    std::string pcm = musicLikePcm(2.0, 44100, 2);
    for (std::size_t i = 0; i + 3 < pcm.size(); i += 4) {
        const auto l = static_cast<std::int16_t>(static_cast<unsigned char>(pcm[i]) | (pcm[i + 1] << 8));
        const auto r = static_cast<std::int16_t>(-l);
        pcm[i + 2] = static_cast<char>(r & 0xFF);
        pcm[i + 3] = static_cast<char>((r >> 8) & 0xFF);
    }
    const int chunk = encodeFile(config, format, pcm, dir / "mono.mp3");
    EXPECT_EQ(chunk, 1152 * 2);  // LAME's mono chunk of samples, x 2 bytes
    int channels = 0;
    EXPECT_EQ(decodedSampleFrames(dir / "mono.mp3", &channels), 2 * 44100);
    EXPECT_EQ(channels, 1);
    for (const Mp3Frame& f : framesOf(dir / "mono.mp3")) ASSERT_EQ(f.channels, 1);
    std::string volume;
    runCommand("ffmpeg -v info -i " + shellQuote(dir / "mono.mp3") + " -af volumedetect -f null - 2>&1 | grep max_volume",
               &volume);
    const std::size_t at = volume.find("max_volume:");
    ASSERT_NE(at, std::string::npos) << volume;
    EXPECT_LT(std::atof(volume.c_str() + at + 11), -60.0) << volume;  // the two channels cancelled
}

TEST(TLameMP3Encoder, BitratesOfTheFrames) {
    TempDir dir;
    const PcmFormat format = PcmFormat::cd();
    const std::string pcm = musicLikePcm(3.0, 44100, 2);

    for (std::uint32_t option : {12u, 256u}) {  // table index 12 = 224; 256 taken as kbit/s
        EncoderConfig config = mp3Defaults();
        config.LameBitrate = option;
        const std::string path = dir / ("cbr" + std::to_string(option) + ".mp3");
        ASSERT_GT(encodeFile(config, format, pcm, path), 0);
        const std::string bytes = readFile(path);
        const auto frames = walkFrames(bytes, 0);
        ASSERT_GT(frames.size(), 100u);
        const int want = option == 12 ? 224 : 256;
        for (const Mp3Frame& f : frames) {
            ASSERT_EQ(f.kbps, want);
            ASSERT_EQ(f.mpegVersion, 1);
        }
        EXPECT_EQ(frames.back().offset + frames.back().length, bytes.size());
        EXPECT_EQ(infoTagId(bytes, frames[0]), "Info");
    }

    EncoderConfig vbr = mp3Defaults();
    vbr.VBR = 1;
    vbr.VBRQ = 2;
    vbr.LameBitrate = 9;  // minimum 128
    vbr.MaxBR = 14;       // maximum 320
    ASSERT_GT(encodeFile(vbr, format, pcm, dir / "vbr.mp3"), 0);
    const std::string bytes = readFile(dir / "vbr.mp3");
    const auto frames = walkFrames(bytes, 0);
    ASSERT_GT(frames.size(), 100u);
    EXPECT_EQ(infoTagId(bytes, frames[0]), "Xing");
    std::vector<int> rates;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        ASSERT_GE(frames[i].kbps, 128);
        ASSERT_LE(frames[i].kbps, 320);
        rates.push_back(frames[i].kbps);
    }
    EXPECT_GT(std::count_if(rates.begin(), rates.end(), [&](int r) { return r != rates[0]; }), 0);
}

TEST(TLameMP3Encoder, TagsAroundTheStreamReadByOtherTools) {
    TempDir dir;
    TIDTag tag;
    tag.Title = "Песня о встречном";
    tag.Artist = "Кино";
    tag.Album = "Группа крови";
    tag.Track = "07";
    tag.Year = "1988";
    tag.Genre = "Rock";
    tag.Comment = "ripped";
    EncoderConfig config = mp3Defaults();
    config.MP3ID1Tag = 1;
    config.MP3ID2Tag = 1;
    const std::string pcm = musicLikePcm(2.0, 44100, 2);
    const std::string path = dir / "tagged.mp3";
    ASSERT_GT(encodeFile(config, PcmFormat::cd(), pcm, path, &tag), 0);

    // [ID3v2] frames [ID3v1]: the audio begins where the ID3v2 header says, the
    // frames run up to the ID3v1 block, and the LAME tag sits in the first frame.
    const std::string bytes = readFile(path);
    const std::uint64_t start = id3v2Size(bytes);
    ASSERT_GT(start, 10u);
    const auto frames = walkFrames(bytes, start);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].offset, start);
    EXPECT_EQ(frames.back().offset + frames.back().length, bytes.size() - 128);
    EXPECT_EQ(bytes.substr(bytes.size() - 128, 3), "TAG");
    EXPECT_EQ(infoTagId(bytes, frames[0]), "Info");
    EXPECT_EQ(decodedSampleFrames(path), 2 * 44100);

    const std::string v2 = python(
        "from mutagen.id3 import ID3\n"
        "t = ID3(" + shellQuote(path) + ".strip(\"'\"))\n"
        "print(t['TIT2'].text[0], t['TPE1'].text[0], t['TALB'].text[0], t['TRCK'].text[0], sep='|')\n");
    EXPECT_EQ(v2, "Песня о встречном|Кино|Группа крови|07\n");
    // ID3v1 keeps its texts in cp1251, which mutagen reads as Latin-1 bytes.
    const std::string v1 = python(
        "from mutagen.id3 import ParseID3v1\n"
        "f = ParseID3v1(open(" + shellQuote(path) + ".strip(\"'\"), 'rb').read()[-128:])\n"
        "d = lambda k: f[k].text[0].encode('latin-1').decode('cp1251')\n"
        "print(d('TIT2'), d('TPE1'), d('TALB'), f['TRCK'].text[0], sep='|')\n");
    EXPECT_EQ(v1, "Песня о встречном|Кино|Группа крови|7\n");

    std::string eyed3;
    EXPECT_EQ(runCommand("eyeD3 --no-color -2 " + shellQuote(path), &eyed3, true), 0) << eyed3;
    EXPECT_NE(eyed3.find("title: Песня о встречном"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("artist: Кино"), std::string::npos) << eyed3;

    std::string mp3val;
    runCommand("mp3val " + shellQuote(path), &mp3val, true);
    EXPECT_NE(mp3val.find("MPEG 1 Layer III"), std::string::npos) << mp3val;
    EXPECT_EQ(mp3val.find("WARNING"), std::string::npos) << mp3val;
    EXPECT_EQ(mp3val.find("PROBLEM"), std::string::npos) << mp3val;
}

TEST(TLameMP3Encoder, OutputGoesThroughTheSink) {
    EncoderConfig config = mp3Defaults();
    TLameMP3Encoder enc;
    enc.SetConfig(&config);
    const PcmFormat format = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&format));
    std::string bytes;
    ASSERT_EQ(enc.OpenSink(std::make_unique<MemorySink>(bytes), 0), 1152 * 2 * 2);
    const std::string pcm = musicLikePcm(1.0, 44100, 2);
    ASSERT_TRUE(enc.Encode(pcm.data(), pcm.size()));
    ASSERT_TRUE(enc.Close());
    const auto frames = walkFrames(bytes, 0);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().offset + frames.back().length, bytes.size());

    // A full disk while encoding is a failure, not a short file reported as fine.
    std::string small;
    TLameMP3Encoder full;
    full.SetConfig(&config);
    ASSERT_TRUE(full.SetFormat(&format));
    ASSERT_GT(full.OpenSink(std::make_unique<MemorySink>(small, 2000), 0), 0);
    EXPECT_FALSE(full.Encode(pcm.data(), pcm.size()));
    EXPECT_FALSE(full.LastError().empty());
}
