#include "disc/DiscRecord.h"

#include <gtest/gtest.h>

using namespace melvarin;

TEST(DiscRecord, TextsAreCp1251AtTheirOffsets) {
    DiscRecord r;
    r.clear();
    r.setAlbum("Группа крови");
    r.setArtist("Кино");
    r.setTitle(2, "Спокойная ночь");
    r.setYear("1988");
    r.setGenre(std::string(30, 'g'));
    r.setHexId("6f0b2c0c");
    r.setTitle(100, "outside");  // ignored
    const std::string bytes = r.toBytes();
    ASSERT_EQ(bytes.size(), 14560u);
    EXPECT_EQ(std::uint8_t(bytes[0]), 0xC3);         // Г
    EXPECT_EQ(std::uint8_t(bytes[50]), 0xCA);        // К
    EXPECT_EQ(std::uint8_t(bytes[116 + 2 * 144]), 0xD1);  // С
    EXPECT_EQ(bytes.substr(14516, 4), "1988");
    EXPECT_EQ(bytes.substr(14526, 20), std::string(19, 'g') + '\0');
    EXPECT_EQ(bytes.substr(14546, 8), "6f0b2c0c");

    DiscRecord back;
    ASSERT_TRUE(back.fromBytes(bytes));
    EXPECT_EQ(back.album(), "Группа крови");
    EXPECT_EQ(back.title(2), "Спокойная ночь");
    EXPECT_EQ(back.title(-1), "");
    EXPECT_FALSE(back.fromBytes(bytes.substr(1)));
}

TEST(DiscRecord, MsfAndTrackCountStayInRange) {
    const MsfAddress m = MsfAddress::fromFrames(4500 + 75 * 2 + 10);
    EXPECT_EQ(m.M, 1);
    EXPECT_EQ(m.S, 2);
    EXPECT_EQ(m.F, 10);
    EXPECT_EQ(m.frames(), 4660);
    DiscRecord r;
    r.clear();
    r.TrackCount = 200;  // from a damaged ".dat"
    EXPECT_EQ(r.trackCount(), 99);
}
