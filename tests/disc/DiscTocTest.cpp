#include "disc/DiscToc.h"

#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "disc/CDText.h"
#include "support/TempDir.h"

using namespace melvarin;

namespace {

struct TocTrack {
    int lba;             // start sector (LBA 0 = 00:02:00)
    int control = 0;     // low nibble of byte 1
};

// A READ TOC format 0 reply (MSF addresses) for `tracks` and a lead-out.
std::vector<std::uint8_t> makeToc(const std::vector<TocTrack>& tracks, int leadOutLba) {
    std::vector<std::uint8_t> toc(kRawTocLength, 0);
    const int count = static_cast<int>(tracks.size());
    toc[1] = static_cast<std::uint8_t>(2 + 8 * (count + 1));
    toc[2] = 1;
    toc[3] = static_cast<std::uint8_t>(count);
    for (int k = 0; k <= count; ++k) {
        const int lba = k < count ? tracks[k].lba : leadOutLba;
        const int f = lba + 150;
        std::uint8_t* d = toc.data() + 4 + 8 * k;
        d[1] = static_cast<std::uint8_t>(0x10 | (k < count ? tracks[k].control : tracks.back().control));
        d[2] = static_cast<std::uint8_t>(k < count ? k + 1 : 0xAA);
        d[5] = static_cast<std::uint8_t>(f / 4500);
        d[6] = static_cast<std::uint8_t>(f / 75 % 60);
        d[7] = static_cast<std::uint8_t>(f % 75);
    }
    return toc;
}

// The freedb identifier as libdiscid computes it, through a small program built
// against the system library.
std::string libdiscidId(const test::TempDir& dir, const std::vector<TocTrack>& tracks, int leadOutLba) {
    static const char* source = R"(#include <discid/discid.h>
#include <stdio.h>
#include <stdlib.h>
int main(int argc, char** argv) {
    int offsets[100];
    int last = argc - 2;
    for (int i = 0; i <= last; ++i) offsets[i] = atoi(argv[i + 1]);
    DiscId* d = discid_new();
    if (!discid_put(d, 1, last, offsets)) return 1;
    printf("%s", discid_get_freedb_id(d));
    discid_free(d);
    return 0;
})";
    const std::string exe = dir / "freedbid";
    if (test::readFile(exe).empty()) {
        test::writeFile(dir / "freedbid.c", source);
        std::string log;
        if (test::runCommand("cc -o " + exe + " " + dir / "freedbid.c" + " -ldiscid", &log, true) != 0) {
            ADD_FAILURE() << log;
            return {};
        }
    }
    std::string cmd = exe + " " + std::to_string(leadOutLba + 150);
    for (const auto& t : tracks) cmd += " " + std::to_string(t.lba + 150);
    std::string out;
    EXPECT_EQ(test::runCommand(cmd, &out), 0);
    return out;
}

}  // namespace

TEST(DiscToc, IdentifierAgreesWithLibdiscid) {
    test::TempDir dir;
    struct Case {
        const char* why;
        std::vector<TocTrack> tracks;
        int leadOut;
    };
    const std::vector<Case> cases = {
        {"one track ending within its first second: t = 0", {{0}}, 74},
        {"one 2-second track", {{0}}, 150},
        {"three tracks of 4 s", {{0}, {300}, {600}}, 900},
        {"a long album, digit sums above 255 wrap", {{0}, {18000}, {36000}, {54000}, {72000}, {90000},
                                                     {108000}, {126000}, {144000}, {162000}, {180000}, {198000}},
         330000},
        {"an Enhanced CD with a data track", {{0}, {20000}, {40000, 4}}, 70000},
        {"odd frame counts are ignored", {{0}, {1234}, {56789}}, 99999},
    };
    for (const Case& c : cases) {
        const auto toc = makeToc(c.tracks, c.leadOut);
        EXPECT_EQ(HexDiscId(DiscId(toc.data(), toc.size())), libdiscidId(dir, c.tracks, c.leadOut)) << c.why;
    }
    const auto one = makeToc({{0}}, 74);
    EXPECT_EQ(DiscId(one.data(), one.size()), 0x02000001u);  // n = 2, t = 0, one track

    // 14 tracks of 263 s: the digit sums add up to 192, a top byte of 0xC0.
    std::vector<TocTrack> many;
    for (int k = 0; k < 14; ++k) many.push_back({k * 263 * 75});
    const auto big = makeToc(many, 14 * 263 * 75);
    const std::uint32_t id = DiscId(big.data(), big.size());
    EXPECT_EQ(HexDiscId(id), libdiscidId(dir, many, 14 * 263 * 75));
    ASSERT_GE(id, 0x80000000u);
    EXPECT_EQ(DiscFileStem(id)[0], '-');
}

TEST(DiscToc, UnusableTocsAreRefused) {
    auto toc = makeToc({{0}, {300}}, 600);
    EXPECT_EQ(TocTrackCount(toc.data(), 4 + 8 * 2), 0);  // lead-out missing
    toc[2] = 2;
    EXPECT_EQ(DiscId(toc.data(), toc.size()), 0u);
    toc[2] = 1;
    toc[3] = 100;
    EXPECT_EQ(TocTrackCount(toc.data(), toc.size()), 0);
    DiscRecord d;
    d.clear();
    EXPECT_FALSE(FillTracksFromToc(toc.data(), toc.size(), d, true));
}

TEST(DiscToc, TracksTakeTheirBoundariesFromTheToc) {
    // Track 2 is data by its control nibble 3 (copy permitted, pre-emphasis);
    // track 3 is audio with pre-emphasis; track 4 starts the second session.
    const auto toc = makeToc({{0, 0}, {1000, 3}, {2000, 1}, {3000 + 11400, 4}}, 20000);
    DiscRecord d;
    d.clear();
    ASSERT_TRUE(FillTracksFromToc(toc.data(), toc.size(), d, true));
    EXPECT_EQ(d.title(0), "Track 1");
    EXPECT_EQ(d.title(3), "Track 4");
    EXPECT_EQ(d.Tracks[0].Audio, 1);
    EXPECT_EQ(d.Tracks[1].Audio, 0);
    EXPECT_EQ(d.Tracks[2].Audio, 1);
    EXPECT_EQ(d.Tracks[3].Audio, 0);
    EXPECT_EQ(d.Tracks[0].StartSector, 0);
    EXPECT_EQ(d.Tracks[0].Start.S, 2);
    EXPECT_EQ(d.Tracks[0].Length.frames(), 1000);
    EXPECT_EQ(d.Tracks[0].Size, 1000u * 2352u);
    // The last audio track ends 11400 frames before the data track's TOC start.
    EXPECT_EQ(d.Tracks[2].Length.frames(), 1000);
    EXPECT_EQ(d.Tracks[2].Size, 1000u * 2352u);
    EXPECT_EQ(d.Tracks[3].StartSector, 3000);
    // The data track after data track 2 did not move track 1's end.
    EXPECT_EQ(d.Tracks[1].Length.frames(), 1000);
    EXPECT_EQ(d.Tracks[4].StartSector, 20000);  // lead-out untouched

    // Stored texts and flags survive a fill without naming.
    d.setTitle(0, "Kept");
    d.Tracks[0].Grabbed = 1;
    ASSERT_TRUE(FillTracksFromToc(toc.data(), toc.size(), d, false));
    EXPECT_EQ(d.title(0), "Kept");
    EXPECT_EQ(d.Tracks[0].Grabbed, 1);
}

namespace {

std::vector<std::uint8_t> cdText(const std::vector<std::array<std::uint8_t, 4>>& heads,
                                 const std::vector<std::string>& texts) {
    std::vector<std::uint8_t> r(4, 0);
    for (std::size_t i = 0; i < heads.size(); ++i) {
        r.insert(r.end(), heads[i].begin(), heads[i].end());
        std::string t = texts[i];
        t.resize(12, '\0');
        r.insert(r.end(), t.begin(), t.end());
        r.push_back(0);
        r.push_back(0);  // CRC, not checked
    }
    const std::size_t len = r.size() - 2;
    r[0] = static_cast<std::uint8_t>(len >> 8);
    r[1] = static_cast<std::uint8_t>(len);
    return r;
}

}  // namespace

TEST(CDText, TextsSpanPacksAndPacksHoldSeveralTexts) {
    DiscRecord d;
    d.clear();
    const auto reply = cdText(
        {{0x80, 0, 0, 0}, {0x80, 2, 1, 0}, {0x80, 3, 2, 0}, {0x80, 3, 3, 0},
         {0x81, 0, 4, 0}, {0x81, 1, 5, 0}, {0x80, 0, 6, 0x10}},
        {std::string("Album\0One\0Tw", 12), std::string("o\0Three is l", 12), std::string("onger than o", 12),
         std::string("ne pack\0", 8), std::string("Band \xA9\0", 8), std::string("Solo\0", 5),
         std::string("Block one\0", 10)});
    ASSERT_TRUE(ParseCDText(reply.data(), reply.size(), d, 3));
    EXPECT_EQ(d.album(), "Album");
    EXPECT_EQ(d.title(0), "One");
    EXPECT_EQ(d.title(1), "Two");
    EXPECT_EQ(d.title(2), "Three is longer than one pack");
    EXPECT_EQ(d.artist(), "Band ©");  // ISO-8859-1 text; track performers ignored
    EXPECT_EQ(d.title(3), "");          // beyond the track count

    EXPECT_FALSE(ParseCDText(reply.data(), 4, d, 3));
    EXPECT_FALSE(ParseCDText(reply.data(), 21, d, 3));
}
