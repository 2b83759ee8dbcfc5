#include <gtest/gtest.h>

#include "encoders/FileSink.h"
#include "encoders/MemorySink.h"
#include "support/TempDir.h"

using namespace melvarin;

// Headers are patched by seeking back; both sinks must keep the length and the
// bytes after the patched spot intact, and fill a gap left by a forward seek with zeros.
template <class Sink>
void patchBackAndExtend(Sink& sink) {
    ASSERT_TRUE(sink.write("abcdef", 6));
    ASSERT_TRUE(sink.seek(1));
    ASSERT_TRUE(sink.write("XY", 2));
    EXPECT_EQ(sink.tell(), 3u);
    EXPECT_EQ(sink.size(), 6u);
    ASSERT_TRUE(sink.seek(8));
    ASSERT_TRUE(sink.write("z", 1));
    EXPECT_EQ(sink.size(), 9u);
    EXPECT_TRUE(sink.close());
    EXPECT_FALSE(sink.write("q", 1));
}

TEST(OutputSink, MemoryAndFileAgreeOnPatchingAndGaps) {
    std::string bytes;
    MemorySink memory(bytes);
    patchBackAndExtend(memory);
    EXPECT_EQ(bytes, std::string("aXYdef\0\0z", 9));

    test::TempDir dir;
    FileSink file;
    ASSERT_TRUE(file.open(dir / "out.bin"));
    patchBackAndExtend(file);
    EXPECT_EQ(test::readFile(dir / "out.bin"), std::string("aXYdef\0\0z", 9));
}

// A file gathers writes in its buffer; small, buffer-crossing and larger-than-
// buffer writes, seeks back and past the end must leave the bytes a memory sink
// holds, and tell() and size() must agree with it all along.
TEST(OutputSink, BufferedFileMatchesMemoryThroughMixedWrites) {
    test::TempDir dir;
    std::string expected;
    MemorySink memory(expected);
    FileSink file;
    ASSERT_TRUE(file.open(dir / "mixed.bin"));
    std::string chunk;
    std::uint32_t seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const std::size_t sizes[] = {1, 600, 61152, FileSink::kBufferBytes - 5, 17, FileSink::kBufferBytes + 3,
                                 4, 250000, FileSink::kBufferBytes, 2};
    for (int round = 0; round < 2; ++round) {
        for (const std::size_t size : sizes) {
            chunk.resize(size);
            for (char& c : chunk) c = char(next());
            ASSERT_TRUE(memory.write(chunk.data(), size));
            ASSERT_TRUE(file.write(chunk.data(), size));
            ASSERT_EQ(file.tell(), memory.tell());
            ASSERT_EQ(file.size(), memory.size());
        }
        // Patch a header, come back, then leave a gap past the end.
        const std::uint64_t end = memory.size();
        for (OutputSink* sink : {static_cast<OutputSink*>(&memory), static_cast<OutputSink*>(&file)}) {
            ASSERT_TRUE(sink->seek(3));
            ASSERT_TRUE(sink->write("HEAD", 4));
            ASSERT_TRUE(sink->seek(end + 10));
            ASSERT_TRUE(sink->write("tail", 4));
        }
        ASSERT_EQ(file.size(), memory.size());
    }
    EXPECT_TRUE(file.close());
    EXPECT_TRUE(test::readFile(dir / "mixed.bin") == expected);
}

TEST(OutputSink, FileErrorsAreReportedWithThePath) {
    test::TempDir dir;
    FileSink file;
    EXPECT_FALSE(file.open(dir / "missing-folder/out.bin"));
    EXPECT_NE(file.error().find("missing-folder/out.bin"), std::string::npos);
    EXPECT_FALSE(file.write("x", 1));

    FileSink full;
    ASSERT_TRUE(full.open("/dev/full"));
    EXPECT_FALSE(full.write("x", 1));
    EXPECT_FALSE(full.error().empty());

    std::string small;
    MemorySink limited(small, 4);
    EXPECT_TRUE(limited.write("abcd", 4));
    EXPECT_FALSE(limited.write("e", 1));
}

TEST(OutputSink, OpenTruncatesAnExistingFile) {
    test::TempDir dir;
    test::writeFile(dir / "old.wav", std::string(1000, 'x'));
    FileSink file;
    ASSERT_TRUE(file.open(dir / "old.wav"));
    ASSERT_TRUE(file.write("ab", 2));
    ASSERT_TRUE(file.close());
    EXPECT_EQ(test::readFile(dir / "old.wav"), "ab");
}
