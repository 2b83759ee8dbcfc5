#include "encoders/TWAVEEncoder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <cstring>
#include <vector>

#include "encoders/MemorySink.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

std::uint32_t u32At(const std::string& b, std::size_t off) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[off + i]);
    return v;
}

// Keeps only the size: lets a test push the data count towards 4 GiB without memory.
class CountingSink : public OutputSink {
public:
    bool write(const void*, std::size_t n) override {
        pos_ += n;
        if (pos_ > size_) size_ = pos_;
        return true;
    }
    bool seek(std::uint64_t o) override { return pos_ = o, true; }
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return size_; }
    bool close() override { return true; }
    const std::string& error() const override { return error_; }

private:
    std::uint64_t pos_ = 0, size_ = 0;
    std::string error_;
};

}  // namespace

TEST(TWAVEEncoder, HeaderBytesAndPatchedSizes) {
    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::pcm16(48000, 1);
    ASSERT_TRUE(enc.SetFormat(&fmt));
    std::string bytes;
    ASSERT_EQ(enc.OpenSink(std::make_unique<MemorySink>(bytes), 0), 2352);
    const std::string pcm = "\x01\x02\x03\x04\x05\x06";
    ASSERT_TRUE(enc.Encode(pcm.data(), pcm.size()));
    ASSERT_TRUE(enc.Close());
    EXPECT_FALSE(enc.Close());
    EXPECT_FALSE(enc.Encode(pcm.data(), 2));

    const std::string expected = std::string("RIFF") + std::string("\x2E\0\0\0", 4)  // 6 + 40
        + "WAVEfmt " + std::string("\x14\0\0\0", 4)                                 // fmt size 20
        + std::string("\x01\0"                    // PCM
                      "\x01\0"                    // 1 channel
                      "\x80\xBB\0\0"              // 48000 Hz
                      "\0\x77\x01\0"              // 96000 bytes/s
                      "\x02\0"                    // block align 2
                      "\x10\0"                    // 16 bits
                      "\0\0"                      // extra size
                      "\0\0",                     // padding
                      20)
        + "data" + std::string("\x06\0\0\0", 4) + pcm;
    EXPECT_EQ(bytes, expected);
}

TEST(TWAVEEncoder, EmptyFileIs48BytesOnDisk) {
    test::TempDir dir;
    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&fmt));
    ASSERT_EQ(enc.Open(dir / "empty.wav", 0), 2352);
    ASSERT_TRUE(enc.Close());
    const std::string b = test::readFile(dir / "empty.wav");
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(u32At(b, 44), 0u);
    EXPECT_EQ(u32At(b, 4), 40u);
}

TEST(TWAVEEncoder, RefusesToGrowPast4GiB) {
    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&fmt));
    EXPECT_EQ(enc.OpenSink(std::make_unique<CountingSink>(), 5'000'000'000ull), 0);
    EXPECT_FALSE(enc.LastError().empty());

    ASSERT_EQ(enc.OpenSink(std::make_unique<CountingSink>(), 0), 2352);
    std::vector<char> big(64 << 20);
    std::uint64_t total = 0;
    while (enc.Encode(big.data(), big.size())) total += big.size();
    EXPECT_NE(enc.LastError().find("4 GiB"), std::string::npos);
    EXPECT_LE(total, TWAVEEncoder::kMaxDataBytes);
    EXPECT_GT(total + big.size(), TWAVEEncoder::kMaxDataBytes);
    // What was accepted is still closed with a header that describes it.
    EXPECT_TRUE(enc.Encode(big.data(), TWAVEEncoder::kMaxDataBytes - total));
    EXPECT_FALSE(enc.Encode(big.data(), 2));
    EXPECT_TRUE(enc.Close());
}

// A file that cannot grow (here: the process's file size limit) fails the
// encoder with the file's name, and the cut file never appears: neither under
// its name (an earlier file there stays) nor as a partial file beside it.
TEST(TWAVEEncoder, FullFileNeverAppears) {
    test::TempDir dir;
    test::writeFile(dir / "full.wav", "earlier");
    constexpr rlim_t kLimit = 3 * 1000 * 1000 + 7;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&fmt));
    ASSERT_EQ(enc.Open(dir / "full.wav", 0), 2352);
    const std::vector<char> block(26 * 2352, 'x');
    int accepted = 0;
    while (accepted < 200 && enc.Encode(block.data(), block.size())) ++accepted;
    const std::string why = enc.LastError();
    const bool closed = enc.Close();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_LT(accepted, 200);
    EXPECT_FALSE(closed);
    EXPECT_NE(why.find("full.wav"), std::string::npos);
    EXPECT_EQ(test::readFile(dir / "full.wav"), "earlier");
    EXPECT_EQ(access((dir / ".full.wav.partial").c_str(), F_OK), -1);
}

TEST(TWAVEEncoder, OpenFailureLeavesNoFile) {
    test::TempDir dir;
    TWAVEEncoder enc;
    const PcmFormat fmt = PcmFormat::cd();
    ASSERT_TRUE(enc.SetFormat(&fmt));
    EXPECT_EQ(enc.Open(dir / "no/such/dir.wav", 0), 0);
    EXPECT_NE(enc.LastError().find("no/such/dir.wav"), std::string::npos);
    EXPECT_EQ(enc.Open(dir / "big.wav", 1ull << 33), 0);
    EXPECT_TRUE(test::readFile(dir / "big.wav").empty());
    EXPECT_EQ(access((dir / "big.wav").c_str(), F_OK), -1);
}
