#include "disc/DiscStore.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

using namespace melvarin;

TEST(DiscStore, SavesRecordAndTagsBesideEachOther) {
    test::TempDir home;
    DiscStore store(home / "setting/albums");  // created on first save
    DiscRecord d;
    d.clear();
    d.DiscId = 0x8A0B2C02;
    d.TrackCount = 2;
    d.setTitle(0, "Один");
    TDiscTags tags;
    tags.FillFromDisc(d);

    EXPECT_FALSE(store.SaveDiscInfo(d, tags));  // no artist, no album: nothing saved
    EXPECT_EQ(test::readFile(store.DatFileName(d.DiscId)), "");

    d.setArtist("Земфира");
    int stored = 0;
    ASSERT_TRUE(store.SaveDiscInfo(d, tags, [&](const DiscRecord& r) { stored += r.DiscId == d.DiscId; }));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(store.DatFileName(d.DiscId), home.path() + "setting/albums/-1978979326.dat");
    EXPECT_EQ(store.TagFileName(d.DiscId), home.path() + "setting/albums/-1978979326.dat.tag");
    EXPECT_EQ(test::readFile(store.TagFileName(d.DiscId)).size(), 2u * 1489u);

    DiscRecord back;
    back.clear();
    ASSERT_TRUE(store.ReadSaved(d.DiscId, back));
    EXPECT_EQ(back.title(0), "Один");
    EXPECT_EQ(back.artist(), "Земфира");
    EXPECT_FALSE(store.ReadSaved(1234, back));

    // A damaged (short) record is not used.
    test::writeFile(store.DatFileName(99), std::string(100, 'x'));
    EXPECT_FALSE(store.ReadSaved(99, back));
}

TEST(DiscStore, ArtistListIgnoresCaseAndEmptyNames) {
    test::TempDir home;
    DiscStore store(home.path());
    TDiscTags tags;
    const char* artists[] = {"Кино", "КИНО", "", "Aria", "aria", "ДДТ"};
    std::uint32_t id = 1;
    for (const char* a : artists) {
        DiscRecord d;
        d.clear();
        d.DiscId = id++;
        d.setArtist(a);
        d.setAlbum("x");
        store.SaveDiscInfo(d, tags);
    }
    const auto list = store.SavedArtists();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], "Кино");
    EXPECT_EQ(list[1], "Aria");
    EXPECT_EQ(list[2], "ДДТ");
}
