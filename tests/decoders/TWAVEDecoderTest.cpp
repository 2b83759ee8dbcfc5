#include "decoders/TWAVEDecoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "decoders/TDecManager.h"
#include "encoders/TWAVEEncoder.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

std::string u32le(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string fmtBody(std::uint32_t rate, std::uint16_t channels) {
    PcmFormat f = PcmFormat::pcm16(rate, channels);
    return std::string(reinterpret_cast<const char*>(&f), 16);  // plain 16-byte fmt
}

// A WAVE file built chunk by chunk, so layouts other programs write can be imitated.
std::string wave(const std::string& chunksAfterFmt, std::uint32_t rate = 44100,
                 std::uint16_t channels = 2) {
    const std::string body = "WAVEfmt " + u32le(16) + fmtBody(rate, channels) + chunksAfterFmt;
    return "RIFF" + u32le(static_cast<std::uint32_t>(body.size())) + body;
}

std::string dataChunk(const std::string& pcm, std::uint32_t declared) {
    return "data" + u32le(declared) + pcm;
}

std::string pcmBytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + 1);
    return s;
}

std::string readAllFrom(TDecoder& d, std::size_t block = 1000) {
    std::string out;
    std::vector<char> buf(block);
    while (std::size_t n = d.Read(buf.data(), buf.size())) out.append(buf.data(), n);
    return out;
}

}  // namespace

TEST(TWAVEDecoder, RoundTripsWhatTheWaveEncoderWrote) {
    test::TempDir dir;
    const std::string pcm = pcmBytes(176400 * 3 + 1000);
    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&fmt));
    ASSERT_EQ(enc.Open(dir / "a.wav", 0), 2352);
    ASSERT_TRUE(enc.Encode(pcm.data(), pcm.size()));
    ASSERT_TRUE(enc.Close());

    TWAVEDecoder dec;
    ASSERT_TRUE(dec.Open(dir / "a.wav"));
    EXPECT_EQ(dec.DataStart(), 48u);  // 20-byte fmt body: data at fmt size + 28
    EXPECT_EQ(dec.SampleRate, 44100u);
    EXPECT_EQ(dec.Channels, 2);
    EXPECT_EQ(dec.BitsPerSample, 16);
    EXPECT_EQ(dec.GetDuration(), 3000u);
    EXPECT_EQ(readAllFrom(dec, 4096), pcm);
    EXPECT_EQ(dec.GetPosition(), 3000u);
    EXPECT_EQ(dec.GetProgress(), 100);
    EXPECT_TRUE(dec.Close());
    EXPECT_TRUE(dec.Close());
}

TEST(TWAVEDecoder, SizesAndWholeSecondTimes) {
    test::TempDir dir;
    // sox writes the 10-second 48 kHz file, as another program would.
    ASSERT_EQ(test::runCommand("sox -n -r 48000 -c 2 -b 16 " + test::shellQuote(dir / "ten48.wav") +
                               " synth 10 sine 440"),
              0);
    TWAVEDecoder ten48;
    ASSERT_TRUE(ten48.Open(dir / "ten48.wav"));
    EXPECT_EQ(ten48.DecodedSize, 1764000u);  // converted to CD rate: the same 10 s
    EXPECT_EQ(ten48.GetDuration(), 10000u);

    test::writeFile(dir / "ten44.wav", wave(dataChunk(pcmBytes(1764000), 1764000)));
    TWAVEDecoder ten44;
    ASSERT_TRUE(ten44.Open(dir / "ten44.wav"));
    EXPECT_EQ(ten44.DecodedSize, 1764000u);

    test::writeFile(dir / "short.wav", wave(dataChunk(pcmBytes(441000), 441000)));
    TWAVEDecoder shortFile;
    ASSERT_TRUE(shortFile.Open(dir / "short.wav"));
    EXPECT_EQ(shortFile.GetDuration(), 2000u);  // 2.5 s counts whole seconds

    ten44.Seek(2999);
    EXPECT_EQ(ten44.GetPosition(), 2000u);
    char first[4];
    ASSERT_EQ(ten44.Read(first, 4), 4u);
    EXPECT_EQ(std::string(first, 4), pcmBytes(2 * 176400 + 4).substr(2 * 176400));
    EXPECT_EQ(ten44.GetProgress(), 20);
    ten44.Seek(60000);  // past the end: at the end, nothing more to read
    EXPECT_EQ(ten44.Read(first, 4), 0u);
}

TEST(TWAVEDecoder, AcceptsOnlyTheStrictChunkOrder) {
    test::TempDir dir;
    const std::string pcm = pcmBytes(400);
    // A fact chunk (written for compressed formats) may come before the data.
    test::writeFile(dir / "fact.wav", wave("fact" + u32le(4) + u32le(100) + dataChunk(pcm, 400)));
    TWAVEDecoder fact;
    ASSERT_TRUE(fact.Open(dir / "fact.wav"));
    EXPECT_EQ(fact.DataStart(), 16u + 28 + 12);
    EXPECT_EQ(readAllFrom(fact), pcm);

    // Tagging tools put LIST chunks between fmt and data.
    test::writeFile(dir / "list.wav", wave("LIST" + u32le(4) + "INFO" + dataChunk(pcm, 400)));
    TWAVEDecoder list;
    EXPECT_FALSE(list.Open(dir / "list.wav"));

    // Any chunk before fmt.
    const std::string body = "WAVEJUNK" + u32le(4) + "abcdfmt " + u32le(16) + fmtBody(44100, 2) +
                             dataChunk(pcm, 400);
    test::writeFile(dir / "junk.wav", "RIFF" + u32le(body.size()) + body);
    TWAVEDecoder junk;
    EXPECT_FALSE(junk.Open(dir / "junk.wav"));

    // A fmt chunk too short to hold the format, and a compressed format.
    std::string shortFmt = wave(dataChunk(pcm, 400));
    shortFmt[16] = 14;
    test::writeFile(dir / "shortfmt.wav", shortFmt);
    std::string adpcm = wave(dataChunk(pcm, 400));
    adpcm[20] = 2;
    test::writeFile(dir / "adpcm.wav", adpcm);
    std::string zeroRate = wave(dataChunk(pcm, 400));
    std::memset(&zeroRate[28], 0, 4);  // average bytes per second 0
    test::writeFile(dir / "zerorate.wav", zeroRate);
    for (const char* name : {"shortfmt.wav", "adpcm.wav", "zerorate.wav", "missing.wav"}) {
        TWAVEDecoder d;
        EXPECT_FALSE(d.Open(dir / name)) << name;
    }
}

TEST(TWAVEDecoder, DeliversOnlyTheDataThatIsThere) {
    test::TempDir dir;
    const std::string pcm = pcmBytes(1000);
    // Declared larger than the file (a cut download, a stream written with size -1).
    test::writeFile(dir / "cut.wav", wave(dataChunk(pcm, 0xFFFFFFFF)));
    TWAVEDecoder cut;
    ASSERT_TRUE(cut.Open(dir / "cut.wav"));
    EXPECT_EQ(cut.DataSize(), 1000u);
    EXPECT_EQ(cut.DecodedSize, 1000u);
    EXPECT_EQ(readAllFrom(cut, 300), pcm);

    // Chunks after the data (an ID3 or LIST trailer) are not sound.
    test::writeFile(dir / "trailer.wav", wave(dataChunk(pcm, 1000) + "LIST" + u32le(4) + "INFO"));
    TWAVEDecoder trailer;
    ASSERT_TRUE(trailer.Open(dir / "trailer.wav"));
    EXPECT_EQ(readAllFrom(trailer, 3000), pcm);

    // The fmt chunk size runs past the end of the file.
    std::string huge = wave(dataChunk(pcm, 1000));
    huge[17] = '\x7F';
    test::writeFile(dir / "hugefmt.wav", huge);
    TWAVEDecoder hugeFmt;
    EXPECT_FALSE(hugeFmt.Open(dir / "hugefmt.wav"));
}

TEST(TDecManager, ChoosesByLowerCasedExtensionOnly) {
    test::TempDir dir;
    const std::string file = wave(dataChunk(pcmBytes(176400), 176400), 22050, 1);
    for (const char* name : {"a.WAV", "b.wav", "c.wave", "d.mp3x", "e", "dir.wav/f"})
        test::writeFile(dir / name, file);

    TDecManager m;
    ASSERT_TRUE(m.OpenFile(dir / "a.WAV", false));
    EXPECT_EQ(m.SampleRate, 22050u);
    EXPECT_EQ(m.Channels, 1);
    EXPECT_EQ(m.DecodedSize, 176400u * 4);
    EXPECT_EQ(m.BlockSize, 4096);
    EXPECT_EQ(m.GetDuration(), 4000u);
    ASSERT_TRUE(m.OpenFile(dir / "b.wav", true));
    EXPECT_FALSE(m.OpenFile(dir / "c.wave", false));  // WAVE content, but never sniffed
    EXPECT_FALSE(m.IsOpen());
    EXPECT_FALSE(m.OpenFile(dir / "e", false));
    EXPECT_FALSE(m.OpenFile(dir / "dir.wav/f", false));
    char b[4];
    EXPECT_EQ(m.Read(b, 4), 0u);
    EXPECT_TRUE(m.CloseFile());
    EXPECT_EQ(TDecManager::Extension("/x.y/Track 01.FlAc"), ".flac");
}
