#include "cddb/DiscXmcd.h"

#include <gtest/gtest.h>

#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "cddb/TLocalCDDB.h"
#include "disc/DiscRecord.h"
#include "support/FreedbTestServer.h"
#include "platform/FileUtil.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

// Two audio tracks of 2:00 and 3:00 starting at the usual 2-second lead-in.
DiscRecord twoTrackDisc() {
    DiscRecord d;
    d.clear();
    d.TrackCount = 2;
    d.DiscId = 0x0a012c02;
    d.Tracks[0].Start = MsfAddress::fromFrames(150);
    d.Tracks[0].Length = MsfAddress::fromFrames(120 * 75);
    d.Tracks[1].Start = MsfAddress::fromFrames(150 + 120 * 75);
    d.Tracks[1].Length = MsfAddress::fromFrames(180 * 75);
    d.Tracks[2].Start = MsfAddress::fromFrames(150 + 300 * 75);
    d.setTitle(0, "Track 1");
    d.setTitle(1, "Track 2");
    return d;
}

}  // namespace

TEST(DiscXmcd, EntryCarriesTheLayoutOfTheDisc) {
    const XmcdRecord x = DiscXmcd::FromDisc(twoTrackDisc());
    EXPECT_EQ(x.frameOffsets, (std::vector<std::uint32_t>{150, 9150}));
    EXPECT_EQ(x.discLengthSeconds, 302u);  // (22500 + 150) / 75
    const FreedbDisc q = DiscXmcd::QueryFor(twoTrackDisc());
    EXPECT_EQ(q.offsets, x.frameOffsets);
    EXPECT_EQ(q.discSeconds, 302u);  // lead-out at 05:02
}

TEST(DiscXmcd, SavedDiscIsFoundAgainWithItsTexts) {
    test::TempDir dir;
    TLocalCDDB store;
    store.SetBasePath(dir / "db", "");
    DiscRecord d = twoTrackDisc();
    d.setArtist("Кино");
    d.setAlbum("Звезда по имени Солнце");
    d.setGenre("Rock");
    d.setTitle(1, "Пачка сигарет");
    ASSERT_TRUE(DiscXmcd::Save(store, d));
    EXPECT_TRUE(FileUtil::isRegularFile(dir / "db/rock/0Ato0A"));

    DiscRecord fresh = twoTrackDisc();
    ASSERT_TRUE(DiscXmcd::Lookup(store, fresh));
    EXPECT_EQ(fresh.artist(), "Кино");
    EXPECT_EQ(fresh.album(), "Звезда по имени Солнце");
    EXPECT_EQ(fresh.title(1), "Пачка сигарет");
}

TEST(DiscXmcd, FreedbFillsRecordAndTags) {
    test::FreedbTestServer server;
    server.addEntry({"rock", 0x0a012c02, "Artist / Album",
                     "# xmcd\r\nDISCID=0a012c02\r\nDTITLE=Artist / Album\r\nDYEAR=1987\r\nDGENRE=Rock\r\n"
                     "TTITLE0=Opening\r\nTTITLE1=Closing\r\n"});
    SettingsRecord s{};
    setText(s.Server, server.server());
    setText(s.Path, "/~cddb/cddb.cgi");
    s.TimeOut = 2000;
    DiscRecord d = twoTrackDisc();
    TDiscTags tags;
    tags.FillFromDisc(d);
    ScriptedPrompt prompt;
    ASSERT_EQ(DiscXmcd::Fetch(s, d, tags, prompt, {}), FreedbOutcome::Found);
    EXPECT_EQ(d.hexId(), "0a012c02");
    EXPECT_EQ(d.title(0), "Opening");
    EXPECT_EQ(d.year(), "1987");
    ASSERT_EQ(tags.GetCount(), 2u);
    EXPECT_EQ(tags.GetTag(1)->Title, "Closing");
    EXPECT_EQ(tags.GetTag(1)->Track, "02");
    EXPECT_EQ(tags.GetTag(1)->Artist, "Artist");
}
