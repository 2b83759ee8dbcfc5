// CD-TEXT packs as drives send them: strings packed back to back, CRCs a
// reader can check, size information, and the character sets.
#include "VirtualDriveFixture.h"
#include "drive/CdTextBuilder.h"

#include <gtest/gtest.h>

namespace melvarin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes withHeader(const Bytes& packs) {
    Bytes r(4 + packs.size(), 0);
    r[0] = std::uint8_t((packs.size() + 2) >> 8);
    r[1] = std::uint8_t(packs.size() + 2);
    std::copy(packs.begin(), packs.end(), r.begin() + 4);
    return r;
}

TEST(CdTextBuilder, CrcMatchesPacksFromARealDisc) {
    // Size-information packs read from a pressed disc, CRC in the last two bytes.
    const Bytes real = {
        0x8F, 0x00, 0x2B, 0x00, 0x01, 0x01, 0x0D, 0x03, 0x0C, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x7B, 0x3D,
        0x8F, 0x01, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12, 0x03, 0x2D, 0x00, 0x00, 0x00, 0xDA, 0xB7,
        0x8F, 0x02, 0x2D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6A, 0x24,
    };
    for (std::size_t at = 0; at < real.size(); at += 18)
        EXPECT_EQ(CdTextBuilder::packCrc(&real[at]), real[at + 16] << 8 | real[at + 17]) << at / 18;
}

TEST(CdTextBuilder, StringsShareAndSpanPacks) {
    const Bytes packs = CdTextBuilder::build({"Ab", ""}, {{"Cd", ""}, {"A long title!", ""}}, 1,
                                             CdTextBuilder::Charset::Latin1);
    ASSERT_EQ(packs.size(), 5u * 18);  // two title packs, three size packs
    const Bytes first(packs.begin(), packs.begin() + 16);
    const Bytes expectedFirst = {
        0x80, 0x00, 0x00, 0x00,  // title, album (track 0), sequence 0, block 0 position 0
        'A', 'b', 0, 'C', 'd', 0, 'A', ' ', 'l', 'o', 'n', 'g',  // album, track 1, start of track 2
    };
    EXPECT_EQ(first, expectedFirst);
    const Bytes second(packs.begin() + 18, packs.begin() + 34);
    const Bytes expectedSecond = {
        0x80, 0x02, 0x01, 0x06,  // track 2 continues: 6 characters already sent
        ' ', 't', 'i', 't', 'l', 'e', '!', 0, 0, 0, 0, 0,
    };
    EXPECT_EQ(second, expectedSecond);
    const Bytes size(packs.begin() + 36 + 4, packs.begin() + 36 + 16);
    const Bytes expectedSize = {
        0x00, 0x01, 0x02, 0x00,  // ISO-8859-1, tracks 1-2, no copyright flags
        0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // two title packs, no others of 0x81-0x87
    };
    EXPECT_EQ(size, expectedSize);
    EXPECT_EQ(packs[3 * 18 + 4 + 7], 3);  // three size packs (0x8F count)
    EXPECT_EQ(packs[3 * 18 + 4 + 8], 4);   // last sequence number of block 0
    EXPECT_EQ(packs[4 * 18 + 4 + 4], 9);   // block 0 in English

    const ParsedCdText parsed = parseCdText(withHeader(packs));
    EXPECT_EQ(parsed.badCrcs, 0);
    EXPECT_EQ(parsed.album, "Ab");
    EXPECT_EQ(parsed.titles, (std::vector<std::string>{"Cd", "A long title!"}));
}

TEST(CdTextBuilder, ManyTracksRoundTrip) {
    std::vector<CdTextBuilder::Texts> tracks;
    for (int i = 1; i <= 30; ++i) tracks.push_back({"Title number " + std::to_string(i), i % 2 ? "Someone" : ""});
    const Bytes packs = CdTextBuilder::build({"An album", "A band"}, tracks, 1, CdTextBuilder::Charset::Latin1);
    const ParsedCdText parsed = parseCdText(withHeader(packs));
    EXPECT_EQ(parsed.badCrcs, 0);
    EXPECT_EQ(parsed.album, "An album");
    EXPECT_EQ(parsed.artist, "A band");
    ASSERT_EQ(parsed.titles.size(), 30u);
    EXPECT_EQ(parsed.titles[29], "Title number 30");
    for (int k = 0; k < parsed.packs; ++k) EXPECT_EQ(packs[std::size_t(k) * 18 + 2], k);  // sequence numbers run on
}

TEST(CdTextBuilder, CharacterSets) {
    const auto titleBytes = [](const std::string& utf8, CdTextBuilder::Charset cs) {
        const Bytes p = CdTextBuilder::build({utf8, ""}, {{"", ""}}, 1, cs);
        std::string s(reinterpret_cast<const char*>(&p[4]), 12);
        return s.substr(0, s.find('\0'));
    };
    EXPECT_EQ(titleBytes("Café 日本", CdTextBuilder::Charset::Latin1), "Caf\xE9 ??");
    EXPECT_EQ(titleBytes("Café", CdTextBuilder::Charset::Ascii), "Caf?");
    EXPECT_EQ(titleBytes("Ёлка", CdTextBuilder::Charset::Cp1251), "\xA8\xEB\xEA\xE0");

    // Nothing to say: no packs. Too much to say for one block: none either.
    EXPECT_TRUE(CdTextBuilder::build({"", ""}, {{"", ""}}, 1, CdTextBuilder::Charset::Latin1).empty());
    std::vector<CdTextBuilder::Texts> huge(99, {std::string(160, 'x'), std::string(160, 'y')});
    EXPECT_TRUE(CdTextBuilder::build({"", ""}, huge, 1, CdTextBuilder::Charset::Latin1).empty());
}

}  // namespace
}  // namespace melvarin::test
