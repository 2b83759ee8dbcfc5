#include "encoders/TAPEEncoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "EncoderTestFiles.h"
#include "disc/SampleUtils.h"
#include "encoders/MemorySink.h"
#include "support/TempDir.h"
#include "tags/TIDTag.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

EncoderConfig apeConfig(unsigned level, bool mono) {
    EncoderConfig c = mp3Defaults();
    c.EncoderIndex = 4;
    c.APE_Level = level;
    c.APE_Mono = mono;
    return c;
}

// `frames` sample frames of `channels` channels, sample i of channel c from `f`.
std::string pcmOf(std::size_t frames, int channels, const std::function<int(std::size_t, int)>& f) {
    std::string pcm(frames * channels * 2, '\0');
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(f(i, c)));
            pcm[(i * channels + c) * 2] = static_cast<char>(v & 0xFF);
            pcm[(i * channels + c) * 2 + 1] = static_cast<char>(v >> 8);
        }
    return pcm;
}

int noise(std::size_t i, int c) {
    std::uint32_t x = static_cast<std::uint32_t>(i * 2 + c) * 2654435761u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return static_cast<int>(x & 0xFFFF) - 32768;
}

// What ffmpeg's decoder makes of `path` as raw samples (CRC of every frame
// checked); `ok` says whether it succeeded.
std::string ffmpegDecode(const TempDir& dir, const std::string& path, bool* ok) {
    const std::string raw = dir / "decoded.raw";
    std::string out;
    *ok = runCommand("ffmpeg -v error -xerror -err_detect crccheck+explode -y -i " + shellQuote(path) +
                         " -f s16le " + shellQuote(raw),
                     &out, true) == 0 &&
          out.empty();
    if (!*ok) ADD_FAILURE() << out;
    return readFile(raw);
}

}  // namespace

// Every level decodes through ffmpeg to the very samples that went in (mixed
// to mono when asked), with each frame's CRC right, for signals that push the
// predictors to their limits and for any way of cutting the input.
TEST(TAPEEncoder, FfmpegDecodesTheInputAtEveryLevel) {
    const std::size_t second = 44100;
    struct Signal {
        const char* name;
        std::string pcm;
    };
    const Signal signals[] = {
        {"white noise", pcmOf(second / 2, 2, noise)},
        {"silence", std::string(second * 2, '\0')},
        {"full-scale square", pcmOf(second / 2, 2, [](std::size_t i, int c) { return (i / (37 + c)) % 2 ? 32767 : -32768; })},
        {"DC offset", pcmOf(second / 2, 2, [](std::size_t i, int c) { return c ? -20000 : 25000 + int(i % 3); })},
        {"one channel silent", pcmOf(second / 2, 2, [](std::size_t i, int c) { return c ? 0 : noise(i, c) / 4; })},
        {"full-scale noise, channels opposite", pcmOf(second / 2, 2, [](std::size_t i, int c) {
             const int v = noise(i, 0) < 0 ? -32768 : 32767;
             return c ? -1 - v : v;
         })},
        {"both channels equal", pcmOf(second / 2, 2, [](std::size_t i, int) { return noise(i, 0) / 64; })},
        {"music, two frames and a bit", musicLikePcm(3.6, 44100, 2)},
    };
    struct Case {
        unsigned level;
        bool mono;
        std::size_t chunk;  // 0: the chunk Open asks for
    };
    const Case cases[] = {{0, false, 0}, {1, false, 1001}, {2, true, 0}, {3, false, 4099}};
    TempDir dir;
    for (const Case& c : cases) {
        for (const Signal& s : signals) {
            SCOPED_TRACE(std::string(s.name) + ", level " + std::to_string(c.level) + (c.mono ? ", mono" : ""));
            EncoderConfig config = apeConfig(c.level, c.mono);
            const std::string path = dir / "out.ape";
            ASSERT_EQ(encodeFile(config, PcmFormat::cd(), s.pcm, path, nullptr, c.chunk), 4 * 4608);
            std::string expected = s.pcm;
            if (c.mono) {
                std::vector<std::int16_t> samples(expected.size() / 2);
                std::memcpy(samples.data(), expected.data(), expected.size());
                expected.assign(reinterpret_cast<const char*>(samples.data()),
                                2 * StereoToMono(samples.data(), samples.size()));
            }
            bool ok = false;
            EXPECT_TRUE(ffmpegDecode(dir, path, &ok) == expected) << "decoded samples differ";
        }
    }
}

// The descriptor, header and seek table describe the frames that follow (the
// MD5 covers frame data, header and seek table), also for no audio at all and
// with an APEv2 tag after the frames; ffmpeg and mutagen read the tag's UTF-8.
TEST(TAPEEncoder, HeaderSeekTableMd5AndTagDescribeTheFile) {
    const std::string check = R"(
import struct, hashlib, sys
b = open(sys.argv[1], 'rb').read()
dl, hl, sl, wl, al, ah, tl = struct.unpack_from('<7I', b, 8)
level, flags, bpf, final, frames, bits, ch, rate = struct.unpack_from('<HHIIIHHI', b, dl)
start = dl + hl + sl + wl
seek = struct.unpack_from('<%dI' % (sl // 4), b, dl + hl)[:frames]
md5 = hashlib.md5(b[start:start + al] + b[dl:dl + hl] + b[dl + hl:start]).digest() == b[36:52]
ok = md5 and ah == 0 and all(x < y for x, y in zip(seek, seek[1:])) and (not frames or seek[0] == start)
print('MAC' if b[:4] == b'MAC ' else b[:4], struct.unpack_from('<H', b, 4)[0], level, bpf, frames, final, bits, ch, rate, ok, b[start + al:start + al + 8])
)";
    TIDTag tag;
    tag.Title = "Звезда по имени Солнце";
    tag.Artist = "Кино";
    tag.Album = "Группа крови";
    tag.Comment = "Ремастер";
    tag.Track = "05";
    tag.Year = "1988";
    tag.Genre = "Rock";
    struct Case {
        const char* why;
        unsigned level;
        int channels;
        std::size_t frames;
        TIDTag* tag;
        const char* expected;
    };
    const Case cases[] = {
        {"no audio", 1, 2, 0, nullptr, "MAC 3990 2000 73728 0 0 16 2 44100 True b''"},
        {"one sample frame, mono", 0, 1, 1, nullptr, "MAC 3990 1000 73728 1 1 16 1 44100 True b''"},
        {"one whole frame and one sample", 0, 2, 73729, nullptr, "MAC 3990 1000 73728 2 1 16 2 44100 True b''"},
        {"tagged, extra high", 3, 2, 5000, &tag, "MAC 3990 4000 294912 1 5000 16 2 44100 True b'APETAGEX'"},
    };
    TempDir dir;
    writeFile(dir / "check.py", check);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EncoderConfig config = apeConfig(c.level, false);
        const std::string pcm = musicLikePcm(c.frames / 44100.0, 44100, c.channels).substr(0, c.frames * c.channels * 2);
        const std::string path = dir / "out.ape";
        ASSERT_GT(encodeFile(config, PcmFormat::pcm16(44100, c.channels), pcm, path, c.tag), 0);
        EXPECT_EQ(python("import runpy, sys; sys.argv = ['', '" + path + "']; runpy.run_path('" + dir / "check.py" +
                         "')"),
                  std::string(c.expected) + "\n");
        if (c.frames) {
            bool ok = false;
            EXPECT_TRUE(ffmpegDecode(dir, path, &ok) == pcm) << "decoded samples differ";
        }
    }
    EXPECT_EQ(python("import mutagen.apev2 as m; t = m.APEv2('" + dir / "out.ape" +
                     "'); print('|'.join(k + '=' + str(t[k]) for k in t.keys()))"),
              "Title=Звезда по имени Солнце|Artist=Кино|Album=Группа крови|Comment=Ремастер|Genre=Rock|Year=1988|"
              "Track=05\n");
}

// A sink that runs out of room at any point makes the step that wrote to it fail
// with a reason: the leading blocks, a frame, the completed header, the tag.
TEST(TAPEEncoder, EveryWriteFailureIsReported) {
    const std::string pcm = musicLikePcm(2.0, 44100, 2);
    TIDTag tag;
    tag.Title = "Title";
    EncoderConfig config = apeConfig(0, false);
    const PcmFormat cd = PcmFormat::cd();
    std::string whole;
    {
        TAPEEncoder enc;
        enc.SetConfig(&config);
        ASSERT_TRUE(enc.SetFormat(&cd));
        enc.SetTag(&tag);
        ASSERT_GT(enc.OpenSink(std::make_unique<MemorySink>(whole), pcm.size()), 0);
        ASSERT_TRUE(enc.Encode(pcm.data(), pcm.size()));
        ASSERT_TRUE(enc.Close());
    }
    struct Case {
        const char* why;
        std::uint64_t limit;
        bool opens, encodes;
    };
    const Case cases[] = {
        {"in the leading blocks", 60, false, false},
        {"in the first frame", 1000, true, false},
        {"in the last frame", whole.size() - 200, true, true},
        {"in the tag", whole.size() - 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::string bytes;
        TAPEEncoder enc;
        enc.SetConfig(&config);
        enc.SetFormat(&cd);
        enc.SetTag(&tag);
        const int chunk = enc.OpenSink(std::make_unique<MemorySink>(bytes, c.limit), pcm.size());
        EXPECT_EQ(chunk > 0, c.opens);
        if (!chunk) {
            EXPECT_FALSE(enc.LastError().empty());
            continue;
        }
        EXPECT_EQ(enc.Encode(pcm.data(), pcm.size()), c.encodes);
        EXPECT_FALSE(enc.Close());
        EXPECT_FALSE(enc.LastError().empty());
    }
}

// The seek table has room for the expected length and some more, for 2 GiB of
// input when the length is unknown, and never for more than 4 GiB.
TEST(TAPEEncoder, SeekTableRoomFollowsTheExpectedLength) {
    const struct {
        std::uint64_t expected;
        std::uint32_t entries;
    } cases[] = {{10584000, 36 + 8}, {0, 7282 + 8}, {UINT64_MAX / 2, 14564 + 8}};
    EncoderConfig config = apeConfig(1, false);
    const PcmFormat cd = PcmFormat::cd();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string bytes;
        TAPEEncoder enc;
        enc.SetConfig(&config);
        enc.SetFormat(&cd);
        ASSERT_GT(enc.OpenSink(std::make_unique<MemorySink>(bytes), c.expected), 0);
        ASSERT_TRUE(enc.Close());
        std::uint32_t seekBytes = 0;
        std::memcpy(&seekBytes, bytes.data() + 16, 4);
        EXPECT_EQ(seekBytes, 4 * c.entries);
    }
}
