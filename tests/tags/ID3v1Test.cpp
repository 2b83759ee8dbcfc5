#include "tags/ID3v1.h"

#include <gtest/gtest.h>

#include "tags/GenreTable.h"

using namespace melvarin;

namespace {

bool read(TIDTag& tag, const std::string& bytes) {
    return ReadID3v1(tag, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(GenreTable, KeepsItsOwnSpellingsAndIsCaseSensitive) {
    EXPECT_EQ(GenreIndex("Synthpop"), 147);
    EXPECT_EQ(GenreIndex("synthpop"), 0);
    EXPECT_EQ(GenreIndex(""), 0);
    EXPECT_EQ(GenreIndex("Folk/Rock"), 81);
    EXPECT_EQ(GenreIndex("Christian Gangs"), 136);
    EXPECT_EQ(GenreIndex("Contemporary Ch?"), 140);
    EXPECT_EQ(GenreIndex("Cristian Rock"), 141);
    EXPECT_EQ(GenreName(12), "Other");
    EXPECT_EQ(GenreName(148), "");
}

TEST(ID3v1Writer, FieldsSitAtTheirOffsets) {
    TIDTag t;
    t.Title = std::string(40, 'T');
    t.Artist = "Ария";
    t.Comment = std::string(28, 'c');
    t.Year = "19999";
    t.Track = "12";
    t.Genre = "Synthpop";
    const std::string b = WriteID3v1(t);
    ASSERT_EQ(b.size(), 128u);
    EXPECT_EQ(b.substr(0, 3), "TAG");
    EXPECT_EQ(b.substr(3, 30), std::string(30, 'T'));
    EXPECT_EQ(b.substr(33, 5), std::string("\xC0\xF0\xE8\xFF\0", 5));  // cp1251
    EXPECT_EQ(b.substr(93, 4), "1999");
    EXPECT_EQ(b.substr(97, 28), std::string(28, 'c'));
    EXPECT_EQ(b[125], '\0');
    EXPECT_EQ(b[126], 12);
    EXPECT_EQ(std::uint8_t(b[127]), 147);

    t.Genre = "synthpop";
    t.Track = "x";
    EXPECT_EQ(std::uint8_t(WriteID3v1(t)[127]), 255);
    EXPECT_EQ(WriteID3v1(t)[126], 0);
    t.Track = "3/12";
    EXPECT_EQ(WriteID3v1(t)[126], 3);
}

TEST(ID3v1Reader, ReadsTheLastBlockAndKeepsUnknownGenres) {
    TIDTag in;
    in.Title = "Кукушка";
    in.Album = "Чёрный альбом";
    in.Comment = "hello";
    in.Year = "1990";
    in.Track = "7";
    in.Genre = "Rock";
    std::string file = std::string(500, '\x11') + WriteID3v1(in);
    TIDTag out;
    out.URL = "stale";
    out.Genre = "Jazz";
    ASSERT_TRUE(read(out, file));
    EXPECT_EQ(out.Title, in.Title);
    EXPECT_EQ(out.Album, in.Album);
    EXPECT_EQ(out.Comment, "hello");
    EXPECT_EQ(out.Year, "1990");
    EXPECT_EQ(out.Track, "7");
    EXPECT_EQ(out.Genre, "Rock");
    EXPECT_EQ(out.URL, "");
    EXPECT_EQ(out.HasID3v1, 1);

    file[file.size() - 1] = char(130);  // beyond 122: genre stays
    out.Genre = "Jazz";
    ASSERT_TRUE(read(out, file));
    EXPECT_EQ(out.Genre, "Jazz");

    EXPECT_FALSE(read(out, file.substr(0, 127)));
    EXPECT_FALSE(read(out, std::string(128, 'T')));
}

TEST(ID3v1Reader, VersionOneZeroCommentRunsToByte126) {
    std::string b = WriteID3v1(TIDTag{});
    for (int i = 97; i < 127; ++i) b[i] = 'z';
    TIDTag t;
    ASSERT_TRUE(read(t, b));
    EXPECT_EQ(t.Comment, std::string(30, 'z'));
    EXPECT_EQ(t.Track, "");
}

TEST(ID3v1Writer, GenreByteIsTheTableIndexOrNoGenre) {
    const struct {
        const char* genre;
        int byte;
    } cases[] = {
        {"Blues", 0},       {"Synthpop", 147}, {"Folk/Rock", 81}, {"", 255},
        {"synthpop", 255},  {"Blues ", 255},   {"Нет", 255},
    };
    for (const auto& c : cases) {
        TIDTag t;
        t.Genre = c.genre;
        const std::string block = WriteID3v1(t);
        EXPECT_EQ(std::uint8_t(block[127]), c.byte) << c.genre;
        TIDTag back;
        back.Genre = "Jazz";
        ASSERT_TRUE(read(back, block));
        // The reader takes bytes up to 122 only, so 255 and 147 keep what was there.
        EXPECT_EQ(back.Genre, c.byte <= 122 ? std::string(c.genre) : std::string("Jazz")) << c.genre;
    }
}
