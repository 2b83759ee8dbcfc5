#include "tags/TagRecord.h"

#include <cstring>

#include <gtest/gtest.h>

using namespace melvarin;

TEST(TagRecord, RoundTripsAndCutsToSlots) {
    TIDTag in;
    in.Title = std::string(60, 'x');
    in.Artist = "ДДТ";
    in.Comment = std::string(2000, 'c');
    in.Track = "12345";
    in.Year = "1992";
    in.Genre = "Rock";
    TagRecord r;
    std::memset(&r, 0x55, sizeof r);
    ToTagRecord(in, r);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[50], 0);            // title cut to 49 characters
    EXPECT_EQ(bytes[51], 0xC4);         // Д in cp1251
    EXPECT_EQ(bytes[1174], 0);          // comment terminator inside its slot
    EXPECT_EQ(std::string(r.Track, 4), std::string("123\0", 4));
    EXPECT_EQ(std::string(r.Year, 4), "1992");

    TIDTag out;
    ASSERT_TRUE(TagRecordFromBytes(std::string_view(reinterpret_cast<const char*>(&r), sizeof r), out));
    EXPECT_EQ(out.Title, std::string(49, 'x'));
    EXPECT_EQ(out.Artist, "ДДТ");
    EXPECT_EQ(out.Comment.size(), 1023u);
    EXPECT_EQ(out.Track, "123");
    EXPECT_EQ(out.Genre, "Rock");
    EXPECT_FALSE(TagRecordFromBytes(std::string(1488, 'a'), out));
}

TEST(TagRecord, UnterminatedSlotsStopAtTheirEnd) {
    std::string raw(sizeof(TagRecord), 'A');
    TIDTag t;
    ASSERT_TRUE(TagRecordFromBytes(raw, t));
    EXPECT_EQ(t.Title.size(), 50u);
    EXPECT_EQ(t.Year.size(), 10u);
}
