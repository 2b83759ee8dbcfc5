#include "cddb/TDiscTags.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using namespace melvarin;

namespace {

DiscRecord disc(int tracks) {
    DiscRecord d;
    d.clear();
    d.TrackCount = static_cast<std::uint8_t>(tracks);
    d.setArtist("Аквариум");
    d.setAlbum("Радио Африка");
    d.setYear("1983");
    d.setGenre("Rock");
    for (int i = 0; i < tracks; ++i) d.setTitle(i, "Track " + std::to_string(i + 1));
    return d;
}

}  // namespace

TEST(TDiscTags, TagFileRoundTripAndName) {
    test::TempDir dir;
    TDiscTags tags;
    DiscRecord d = disc(3);
    d.DiscId = 0x9A0B2C03;  // top bit set: a signed name
    tags.FillFromDisc(d);
    tags.GetTag(1)->Comment = "live";
    tags.GetTag(2)->Composer = "Гребенщиков";
    const std::string path = TDiscTags::TagFileName(dir.path(), d.DiscId);
    EXPECT_EQ(path, dir.path() + "-1710543869.dat.tag");
    ASSERT_TRUE(tags.SaveToFile(path));
    EXPECT_EQ(test::readFile(path).size(), 3u * 1489u);

    TDiscTags back;
    back.FillAfterRefresh(d, dir.path());
    ASSERT_EQ(back.GetCount(), 3u);
    EXPECT_EQ(back.GetTag(0)->Title, "Track 1");
    EXPECT_EQ(back.GetTag(0)->Artist, "Аквариум");
    EXPECT_EQ(back.GetTag(1)->Comment, "live");
    EXPECT_EQ(back.GetTag(2)->Composer, "Гребенщиков");
    EXPECT_EQ(back.GetTag(3), nullptr);

    // A short file fills what it holds; a missing one leaves empty tags.
    test::writeFile(path, test::readFile(path).substr(0, 1489 + 100));
    EXPECT_TRUE(back.LoadFromFile(path, 3));
    EXPECT_EQ(back.GetTag(0)->Title, "Track 1");
    EXPECT_EQ(back.GetTag(1)->Title, "");
    EXPECT_FALSE(back.LoadFromFile(dir / "none.dat.tag", 2));
    EXPECT_EQ(back.GetCount(), 2u);

    // Without a tag file the tags come from the record.
    d.DiscId = 7;
    back.FillAfterRefresh(d, dir.path());
    EXPECT_EQ(back.GetTag(2)->Title, "Track 3");
    EXPECT_EQ(back.GetTag(2)->Album, "Радио Африка");
}

TEST(TDiscTags, FreedbTracksAreNumberedWithLeadingZero) {
    TDiscTags tags;
    const DiscRecord d = disc(12);
    tags.Resize(12);
    for (unsigned i = 0; i < 12; ++i) tags.SetFreedbTrack(i, "t", d);
    EXPECT_EQ(tags.GetTag(0)->Track, "01");
    EXPECT_EQ(tags.GetTag(8)->Track, "09");
    EXPECT_EQ(tags.GetTag(9)->Track, "10");
    EXPECT_EQ(tags.GetTag(11)->Track, "12");
    EXPECT_EQ(tags.GetTag(11)->OrigArtist, "Аквариум");
    EXPECT_EQ(tags.GetTag(11)->Year, "1983");
    EXPECT_EQ(tags.GetTag(11)->Genre, "Rock");
}

TEST(TDiscTags, TypedArtistFillsOnlyEmptyArtists) {
    TDiscTags tags;
    DiscRecord d = disc(3);
    tags.Resize(3);
    tags.GetTag(1)->Artist = "Guest";
    tags.EditArtist("Various", d);
    EXPECT_EQ(d.artist(), "Various");
    EXPECT_EQ(tags.GetTag(0)->Artist, "Various");
    EXPECT_EQ(tags.GetTag(1)->Artist, "Guest");
    tags.EditTitle(2, "Новая", d);
    EXPECT_EQ(d.title(2), "Новая");
    EXPECT_EQ(tags.GetTag(2)->Title, "Новая");
}

TEST(TDiscTags, CaseCommands) {
    EXPECT_EQ(ApplyCaseCommand(CaseCommand::CapitaliseWords, "the best OF the rest-of;it"),
              "The Best Of The Rest-of;It");
    EXPECT_EQ(ApplyCaseCommand(CaseCommand::CapitaliseWords, "ПЕСНЯ о (друге),ёжик!и.ВСЁ"),
              "Песня О (друге),Ёжик!И.всё");
    EXPECT_EQ(ApplyCaseCommand(CaseCommand::AllUpper, "ґрунт їжак café"), "ҐРУНТ ЇЖАК CAFÉ");
    EXPECT_EQ(ApplyCaseCommand(CaseCommand::AllLower, "ЎЖ ÀÞ × 日本"), "ўж àþ × 日本");

    TDiscTags tags;
    DiscRecord d = disc(2);
    d.setTitle(0, "мой БЕЛЫЙ город");
    d.setArtist("");
    tags.FillFromDisc(d);
    tags.GetTag(1)->Album = "own";
    tags.ApplyCase(CaseCommand::AllUpper, d);
    EXPECT_EQ(d.title(0), "МОЙ БЕЛЫЙ ГОРОД");
    EXPECT_EQ(tags.GetTag(0)->Title, "МОЙ БЕЛЫЙ ГОРОД");
    EXPECT_EQ(d.album(), "РАДИО АФРИКА");
    EXPECT_EQ(tags.GetTag(1)->Album, "own");  // only empty albums take the box's text
}
