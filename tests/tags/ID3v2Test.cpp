#include "tags/ID3v2.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using namespace melvarin;

namespace {

std::uint32_t be32(const std::string& s, std::size_t at) {
    return (std::uint32_t(std::uint8_t(s[at])) << 24) | (std::uint32_t(std::uint8_t(s[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(s[at + 2])) << 8) | std::uint8_t(s[at + 3]);
}

bool read(TIDTag& tag, const std::string& bytes) {
    return ReadID3v2(tag, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TIDTag sampleTag() {
    TIDTag t;
    t.Title = "Intro";
    t.Artist = "Кино";
    t.Album = "Группа крови";
    t.Comment = "ripped twice";
    t.Track = "03";
    t.URL = "http://example.org/";
    t.EncodedBy = "Lame MP3 Encoder";
    t.Rights = "(c) 1988";
    t.OrigArtist = "Виктор Цой";
    t.Composer = "Цой";
    t.Genre = "Rock";
    t.Year = "1988";
    return t;
}

}  // namespace

// The fixed layout other programs' readers and our own audio offset depend on.
TEST(ID3v2Writer, EmptyTagHasTwelveFramesAndAudioAt8339) {
    const std::string tag = WriteID3v2(TIDTag{});
    ASSERT_EQ(tag.size(), 8339u);
    EXPECT_EQ(tag.substr(0, 6), std::string("ID3\x03\x00\x00", 6));
    // 8329 as synchsafe: 0x00 0x00 0x41 0x09
    EXPECT_EQ(tag.substr(6, 4), std::string("\x00\x00\x41\x09", 4));

    const char* order[] = {"TIT2", "COMM", "TPE1", "TALB", "TRCK", "TCOP",
                           "TOPE", "TCOM", "TCON", "TYER", "TENC", "WXXX"};
    std::size_t pos = 10;
    for (const char* id : order) {
        ASSERT_EQ(tag.substr(pos, 4), id);
        const std::uint32_t size = be32(tag, pos + 4);
        EXPECT_EQ(size, std::string(id) == "COMM" ? 5u : std::string(id) == "WXXX" ? 2u : 1u) << id;
        EXPECT_EQ(std::uint8_t(tag[pos + 8]), std::string(id) == "TENC" ? 0x40 : 0) << id;
        pos += 10 + size;
    }
    EXPECT_EQ(pos, 10u + 137u);
    EXPECT_EQ(tag.find_first_not_of('\0', pos), std::string::npos);  // 8192 bytes of padding
}

TEST(ID3v2Writer, FrameSizesArePlainBigEndian) {
    TIDTag t;
    t.Title = std::string(200, 'a');
    const std::string tag = WriteID3v2(t);
    ASSERT_EQ(tag.substr(10, 4), "TIT2");
    EXPECT_EQ(tag.substr(14, 4), std::string("\x00\x00\x00\xC9", 4));  // 201, not synchsafe
    EXPECT_EQ(tag[20], '\0');                                          // encoding 0
}

TEST(ID3v2Writer, NonLatinTextIsUtf16WithBom) {
    TIDTag t;
    t.Title = "Кино";
    const std::string tag = WriteID3v2(t);
    EXPECT_EQ(be32(tag, 14), 1u + 2u + 8u);
    EXPECT_EQ(tag.substr(20, 5), std::string("\x01\xFF\xFE\x1A\x04", 5));  // К = U+041A
    t.Title = "Café";  // Latin-1 stays one byte per character
    const std::string latin = WriteID3v2(t);
    EXPECT_EQ(be32(latin, 14), 5u);
    EXPECT_EQ(latin.substr(20, 5), std::string("\0Caf\xE9", 5));
}

TEST(ID3v2Reader, RoundTripsEveryField) {
    TIDTag in = sampleTag();
    in.Title = "emoji \xF0\x9F\x8E\xB5 and Ж";  // needs a surrogate pair
    TIDTag out;
    ASSERT_TRUE(read(out, WriteID3v2(in)));
    EXPECT_EQ(out.Title, in.Title);
    EXPECT_EQ(out.Artist, in.Artist);
    EXPECT_EQ(out.Album, in.Album);
    EXPECT_EQ(out.Comment, in.Comment);
    EXPECT_EQ(out.Track, in.Track);
    EXPECT_EQ(out.URL, in.URL);
    EXPECT_EQ(out.EncodedBy, in.EncodedBy);
    EXPECT_EQ(out.Rights, in.Rights);
    EXPECT_EQ(out.OrigArtist, in.OrigArtist);
    EXPECT_EQ(out.Composer, in.Composer);
    EXPECT_EQ(out.Genre, in.Genre);
    EXPECT_EQ(out.Year, in.Year);
    EXPECT_EQ(out.HasID3v2, 1);
    EXPECT_TRUE(out.ExtraFrames.empty());
}

TEST(ID3v2Reader, DecodesEveryTextEncoding) {
    // A hand-made ID3v2.4 tag: TIT2 UTF-8, TPE1 UTF-16BE, TALB UTF-16 big-endian BOM,
    // TYER Latin-1 with a NUL-separated second value.
    auto frame = [](const char* id, const std::string& body) {
        std::string f(id, 4);
        const auto n = body.size();  // < 128, so synchsafe equals plain
        f += std::string("\0\0\0", 3) + char(n) + std::string("\0\0", 2) + body;
        return f;
    };
    std::string frames = frame("TIT2", "\x03" "Ёлка") +
                         frame("TPE1", std::string("\x02\x04\x1A\x00K", 5)) +
                         frame("TALB", std::string("\x01\xFE\xFF\x00" "A\x04\x10", 7)) +
                         frame("TYER", std::string("\x00" "1999\x00" "2000", 10));
    std::string tag = std::string("ID3\x04\x00\x00\x00\x00\x00", 9) + char(frames.size()) + frames;
    TIDTag t;
    ASSERT_TRUE(read(t, tag));
    EXPECT_EQ(t.Title, "Ёлка");
    EXPECT_EQ(t.Artist, "КK");
    EXPECT_EQ(t.Album, "AА");
    EXPECT_EQ(t.Year, "1999");
}

TEST(ID3v2Reader, SizesRunningPastTheDataStopTheParse) {
    std::string tag = WriteID3v2(sampleTag());
    // Title frame claims more bytes than the tag holds: nothing is read past it.
    std::string bad = tag;
    bad[14] = '\x7F';
    TIDTag t;
    EXPECT_TRUE(read(t, bad));
    EXPECT_EQ(t.Title, "");
    EXPECT_EQ(t.Artist, "");
    // A header claiming a huge tag over a short buffer: frames inside are still read.
    std::string cut = tag.substr(0, 60);
    TIDTag u;
    EXPECT_TRUE(read(u, cut));
    EXPECT_EQ(u.Title, "Intro");
    // Fewer than 10 bytes or no "ID3": no tag.
    EXPECT_FALSE(read(u, tag.substr(0, 9)));
    EXPECT_FALSE(read(u, "XYZ" + tag.substr(3)));
}

TEST(ID3v2Reader, UnknownFramesAreKeptAndWrittenBack) {
    TIDTag in = sampleTag();
    in.ExtraFrames.push_back({"APIC", {0, 0}, std::string("\0image/png\0\x03\0PNGDATA", 21)});
    in.ExtraFrames.push_back({"TXXX", {0, 0}, std::string("\0key\0value", 10)});
    const std::string first = WriteID3v2(in);
    TIDTag mid;
    ASSERT_TRUE(read(mid, first));
    ASSERT_EQ(mid.ExtraFrames.size(), 2u);
    EXPECT_EQ(mid.ExtraFrames[0].id, "APIC");
    EXPECT_EQ(mid.ExtraFrames[0].body, in.ExtraFrames[0].body);
    mid.HasID3v2 = 0;
    EXPECT_EQ(WriteID3v2(mid), first);
}

TEST(ID3v2Reader, UnsynchronisedTagIsRestored) {
    TIDTag in;
    in.Title = "ÿ";  // 0xFF in Latin-1, which unsynchronisation escapes
    std::string tag = WriteID3v2(in);
    std::string unsync = tag.substr(0, 10);
    unsync[5] = '\x80';
    std::string body;
    for (std::size_t i = 10; i < tag.size(); ++i) {
        body += tag[i];
        if (std::uint8_t(tag[i]) == 0xFF) body += '\0';
    }
    TIDTag out;
    ASSERT_TRUE(read(out, unsync + body));
    EXPECT_EQ(out.Title, "ÿ");
}

// An independent reader sees the same text: Cyrillic must not come out as
// Latin-1 garbage in other players. Debian's python3 carries python3-mutagen.
TEST(ID3v2Writer, MutagenReadsCyrillicTitle) {
    test::TempDir dir;
    TIDTag t = sampleTag();
    t.Title = "Звезда по имени Солнце";
    test::writeFile(dir / "a.mp3", WriteID3v2(t));
    std::string out;
    const std::string script =
        "import sys; from mutagen.id3 import ID3; t = ID3(sys.argv[1]); "
        "sys.stdout.buffer.write((t['TIT2'].text[0] + '|' + t['TPE1'].text[0] + '|' + "
        "t['COMM::\\x00\\x00\\x00'].text[0] + '|' + str(t.version)).encode('utf-8'))";
    ASSERT_EQ(test::runCommand("/usr/bin/python3 -c " + test::shellQuote(script) + " " +
                                   test::shellQuote(dir / "a.mp3"), &out, true), 0) << out;
    EXPECT_EQ(out, "Звезда по имени Солнце|Кино|ripped twice|(2, 3, 0)");
}

TEST(ID3v2Reader, ReadsFromFile) {
    test::TempDir dir;
    test::writeFile(dir / "b.mp3", WriteID3v2(sampleTag()) + std::string(1000, '\x55'));
    TIDTag t;
    ASSERT_TRUE(ReadID3v2FromFile(t, dir / "b.mp3"));
    EXPECT_EQ(t.OrigArtist, "Виктор Цой");
    test::writeFile(dir / "c.mp3", "ID3");
    EXPECT_FALSE(ReadID3v2FromFile(t, dir / "c.mp3"));
}
