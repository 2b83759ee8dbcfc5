#include "cddb/TLocalCDDB.h"

#include <gtest/gtest.h>

#include "platform/Cp1251.h"
#include "platform/FileUtil.h"
#include "support/TempDir.h"

using namespace melvarin;
using melvarin::test::TempDir;

namespace {

XmcdRecord makeDisc(std::uint32_t id, const std::string& artist, const std::string& genre) {
    XmcdRecord d;
    d.discId = id;
    d.frameOffsets = {150, 18000, 40000};
    d.discLengthSeconds = 700;
    d.artist = artist;
    d.album = "Album of " + artist;
    d.year = "1999";
    d.genre = genre;
    d.titles = {"One", "Two", "Three"};
    return d;
}

}  // namespace

TEST(Xmcd, RendersTheStoredLineLayout) {
    XmcdRecord d = makeDisc(0x9b0a6b0c, "Artist", "Rock");
    d.titles = {"One", "Two"};
    d.frameOffsets = {150, 18000};
    EXPECT_EQ(Xmcd::render(d),
              "#FILENAME=9b0a6b0c\r\n# xmcd CD database file\r\n#\r\n# Track frame offsets:\r\n"
              "#\t150\r\n#\t18000\r\n#\r\n# Disc length: 700 seconds\r\n#\r\n# Revision: 1\r\n"
              "# Submitted via: Melvarin v3.4a\r\n#\r\nDISCID=9b0a6b0c\r\nDTITLE=Artist / Album of Artist\r\n"
              "DYEAR=1999\r\nDGENRE=Rock\r\nTTITLE0=One\r\nTTITLE1=Two\r\nEXTT0=\r\nEXTT1=\r\nPLAYORDER=\r\n");
}

TEST(Xmcd, ParsesTitlesArtistAndAlbum) {
    XmcdRecord d;
    Xmcd::parse("#FILENAME=1\nDTITLE=Solo Artist\nTTITLE0=a\nTTITLE1=b\n", d, 100);
    ASSERT_EQ(d.titles.size(), 2u);

    // freedb divides artist and album with " / "; a "/" inside a name stays.
    struct Case {
        const char* dtitle;
        const char* artist;
        const char* album;
    };
    for (const Case& c : {Case{"Some Artist / Some Album", "Some Artist", "Some Album"},
                          Case{"Solo Artist", "Solo Artist", "kept"},  // no "/": all of it is the artist
                          Case{"AC/DC / Back in Black", "AC/DC", "Back in Black"},
                          Case{"Artist / Live / Unplugged", "Artist", "Live / Unplugged"},
                          Case{"Artist/Album", "Artist", "Album"},  // no " / ": the first "/"
                          Case{"Artist /Album", "Artist", "Album"},
                          Case{" / Album", "unset", "Album"}}) {
        XmcdRecord e;
        e.artist = "unset";
        e.album = "kept";
        Xmcd::parse(std::string("x\r\nDTITLE=") + c.dtitle + "\r\n", e, 100);
        EXPECT_EQ(e.artist, c.artist) << c.dtitle;
        EXPECT_EQ(e.album, c.album) << c.dtitle;
    }
}

TEST(Xmcd, TitleRunsHonourLimitsAndContinuations) {
    // A long title split over two lines with the same key is joined, and the
    // following titles keep their tracks.
    XmcdRecord d;
    Xmcd::parse("#\nTTITLE0=Long ti\nTTITLE0=tle\nTTITLE1=Next\nTTITLE2=Beyond\n", d, 2);
    ASSERT_EQ(d.titles.size(), 2u);
    EXPECT_EQ(d.titles[0], "Long title");
    EXPECT_EQ(d.titles[1], "Next");
}

TEST(TLocalCDDB, GenreChoosesTheCategoryFolder) {
    EXPECT_EQ(TLocalCDDB::CategoryOf("Rock"), 7);
    EXPECT_EQ(TLocalCDDB::CategoryOf("rock"), 7);
    EXPECT_EQ(TLocalCDDB::CategoryOf("Rock and Roll"), 10);
    EXPECT_EQ(TLocalCDDB::CategoryOf(""), 10);
    EXPECT_EQ(TLocalCDDB::CategoryOf("New Age"), 5);
    EXPECT_EQ(TLocalCDDB::FileName(0x9B0A6B0C), "9Bto9B");
}

TEST(TLocalCDDB, RelativeOrWindowsBaseFallsBackToTheDefault) {
    TempDir dir;
    TLocalCDDB db;
    db.SetBasePath("C:\\", dir / "LocalCDDB/");
    EXPECT_EQ(db.BasePath(), dir / "LocalCDDB/");
    EXPECT_TRUE(FileUtil::isDirectory(dir / "LocalCDDB/misc"));
    EXPECT_TRUE(FileUtil::isDirectory(dir / "LocalCDDB/soundtrack"));
}

TEST(TLocalCDDB, DiscsSharingAFileBothSurvive) {
    // Both identifiers begin with 9B and both discs are rock: one file, two entries.
    TempDir dir;
    TLocalCDDB db;
    db.SetBasePath(dir / "db", "");
    ASSERT_TRUE(db.SaveXmcd(makeDisc(0x9B0A6B0C, "First", "rock")));
    ASSERT_TRUE(db.SaveXmcd(makeDisc(0x9BFFFF03, "Second", "Rock")));
    // Saving the first again replaces only its own entry.
    XmcdRecord changed = makeDisc(0x9B0A6B0C, "First Again", "rock");
    ASSERT_TRUE(db.SaveXmcd(changed));

    XmcdRecord a, b;
    ASSERT_TRUE(db.Lookup(0x9B0A6B0C, a));
    ASSERT_TRUE(db.Lookup(0x9BFFFF03, b));
    EXPECT_EQ(a.artist, "First Again");
    EXPECT_EQ(b.artist, "Second");
    EXPECT_FALSE(db.Lookup(0x9B000000, a));  // same file, no such entry
    EXPECT_EQ(db.AllFiles().size(), 1u);
}

// An entry cut off in mid-line runs into the next "#FILENAME=": the next disc
// is still found whole, and saving a third disc keeps both as they were.
TEST(TLocalCDDB, EntryCutInMidLineLosesNoNeighbour) {
    TempDir dir;
    TLocalCDDB db;
    db.SetBasePath(dir / "db", "");
    const std::string cut = "#FILENAME=09aaaa02\r\nDISCID=09aaaa02\r\nDTITLE=Cut / Off\r\nTTITLE0=A\r\nTTITLE1=L";
    const std::string next = "#FILENAME=09bbbb03\r\n# xmcd\r\nDISCID=09bbbb03\r\nDTITLE=Whole / Disc\r\n"
                             "DYEAR=1990\r\nDGENRE=Rock\r\nTTITLE0=One\r\nTTITLE1=Two\r\n";
    test::writeFile(dir / "db/rock/09to09", cut + next);

    XmcdRecord whole;
    ASSERT_TRUE(db.Lookup(0x09bbbb03, whole, 2));
    EXPECT_EQ(whole.artist, "Whole");
    EXPECT_EQ(whole.titles, (std::vector<std::string>{"One", "Two"}));
    XmcdRecord first;
    ASSERT_TRUE(db.Lookup(0x09aaaa02, first, 2));
    EXPECT_EQ(first.titles.at(1), "L");

    ASSERT_TRUE(db.SaveXmcd(makeDisc(0x09cccc04, "Third", "rock")));
    const std::string saved = test::readFile(dir / "db/rock/09to09");
    EXPECT_EQ(saved.substr(0, cut.size() + 2 + next.size()), cut + "\r\n" + next);
    ASSERT_TRUE(db.Lookup(0x09bbbb03, whole, 2));
    EXPECT_EQ(whole.titles.at(1), "Two");
}

TEST(TLocalCDDB, ReadsSingleEntryFilesAndCyrillicAsStoredBefore) {
    TempDir dir;
    TLocalCDDB db;
    db.SetBasePath(dir / "db", "");
    // One entry per file, written by earlier versions in cp1251; it is read
    // whatever identifier it names.
    const std::string entry = "#FILENAME=12345678\r\nDTITLE=" + Cp1251::fromUtf8("Кино / Группа крови") +
                              "\r\nTTITLE0=" + Cp1251::fromUtf8("Звезда") + "\r\n";
    test::writeFile(dir / "db/folk/ABtoAB", entry);
    XmcdRecord d;
    ASSERT_TRUE(db.Lookup(0xAB000001, d));
    EXPECT_EQ(d.artist, "Кино");
    EXPECT_EQ(d.album, "Группа крови");
    EXPECT_EQ(d.titles.at(0), "Звезда");

    // A file named by the identifier in decimal is found too.
    test::writeFile(dir / "db/jazz/305419896", "#FILENAME=12345678\nDTITLE=Decimal / Named\n");
    ASSERT_TRUE(db.Lookup(0x12345678, d));
    EXPECT_EQ(d.artist, "Decimal");
}

TEST(TLocalCDDB, ArtistListCountsEveryFileAndAddsEachArtistOnce) {
    TempDir dir;
    TLocalCDDB db;
    db.SetBasePath(dir / "db", "");
    // 500 files of one disc each (as earlier versions stored them), artists
    // repeating in other cases.
    for (std::uint32_t i = 0; i < 500; ++i) {
        const std::string artist = (i % 2 ? "artist " : "ARTIST ") + std::to_string(i % 50);
        const XmcdRecord d = makeDisc(i, artist, "rock");
        test::writeFile(dir / ("db/" + std::string(i % 3 ? "rock/" : "jazz/") + std::to_string(i)), Xmcd::render(d));
    }
    ASSERT_TRUE(db.SaveXmcd(makeDisc(0x01FF0001, "Ёлка", "folk")));
    ASSERT_TRUE(db.SaveXmcd(makeDisc(0x02FF0001, "ёЛКА", "folk")));
    std::vector<std::string> artists;
    std::size_t total = 0, last = 0;
    db.FillArtistList(artists, [&](std::size_t done, std::size_t all) {
        total = all;
        last = done;
    });
    EXPECT_EQ(total, db.AllFiles().size());
    EXPECT_EQ(last, total);
    EXPECT_EQ(artists.size(), 51u);
}
