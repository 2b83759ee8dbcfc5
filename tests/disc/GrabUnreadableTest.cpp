// Sectors the drive cannot deliver: every extraction method keeps the file,
// with silence where the sectors are, and reports them once per track.
#include <gtest/gtest.h>

#include <filesystem>

#include "disc/GrabRun.h"

using namespace melvarin;
using namespace melvarin::test;

namespace fs = std::filesystem;

namespace {

// The disc's bytes of track `track` with the unreadable runs as silence.
std::string WithSilence(const GrabTestDisc& disc, int track, const std::vector<UnreadableSectors>& unreadable) {
    const int first = disc.trackStart(track);
    std::string bytes = disc.slice(first, disc.sectors[std::size_t(track)]);
    for (const UnreadableSectors& u : unreadable)
        for (const SectorRun& r : u.runs)
            for (int lba = r.first; lba < r.first + r.count; ++lba)
                if (lba >= first && lba - first < disc.sectors[std::size_t(track)])
                    bytes.replace(std::size_t(lba - first) * 2352, 2352, std::string(2352, '\0'));
    return bytes;
}

std::string Describe(const std::vector<UnreadableSectors>& list) {
    std::string s;
    for (const UnreadableSectors& u : list) s += UnreadableText(u) + "; ";
    return s;
}

}  // namespace

// Bad sectors at a track's very start, in the middle of one and alone, and an
// image cut while the last track is read: what stays unreadable after the
// method's re-reads is silence, counted per track, told through the prompt and
// TrackUnreadable; everything else is exact.
TEST(GrabUnreadable, EveryMethodCountsAndReportsWhatItCouldNotRead) {
    struct Case {
        const char* ini;
        int cutTo;  // sectors left in the image once track 3 starts; 0: not cut
        std::vector<UnreadableSectors> expected;
    };
    const std::vector<Case> cases = {
        {"bad_sectors=0,450-460,900", 0, {{0, 1, {{0, 1}}}, {1, 11, {{450, 11}}}, {2, 1, {{900, 1}}}}},
        {"bad_sectors=299-300,310", 0, {{0, 1, {{299, 1}}}, {1, 2, {{300, 1}, {310, 1}}}}},
        {"", 900, {{2, 100, {{900, 100}}}}},
    };
    for (const Case& c : cases) {
        for (int method = 0; method <= 3; ++method) {
            SCOPED_TRACE(std::string(c.ini) + " cut " + std::to_string(c.cutTo) + " method " + std::to_string(method));
            GrabTestDisc disc({300, 300, 400}, false, c.ini);
            GrabRun run(disc);
            run.settings.ExtractMethod = std::uint8_t(method);
            run.grabber->Encoders = 1;
            std::vector<std::pair<int, int>> marked;
            run.grabber->Callbacks.TrackUnreadable = [&](int track, int count) { marked.emplace_back(track, count); };
            run.grabber->Callbacks.TrackStarted = [&](int track) {
                if (track == 2 && c.cutTo) fs::resize_file(disc.driveFolder() + "disc.bin", std::uintmax_t(c.cutTo) * 2352);
            };
            ASSERT_TRUE(run.grabAll());

            EXPECT_EQ(Describe(run.grabber->Unreadable()), Describe(c.expected));
            std::vector<std::string> messages;
            std::vector<std::pair<int, int>> expectedMarks;
            for (const UnreadableSectors& u : c.expected) {
                messages.push_back(UnreadableText(u));
                expectedMarks.emplace_back(u.track, u.count);
            }
            EXPECT_EQ(run.prompt.texts(), messages);
            for (const auto& e : run.prompt.entries()) EXPECT_EQ(e.icon, Icon::Warning);
            EXPECT_EQ(marked, expectedMarks);
            ASSERT_EQ(run.written.size(), 3u);
            for (int t = 0; t < 3; ++t)
                EXPECT_TRUE(waveData(run.trackFile(t)) == WithSilence(disc, t, c.expected)) << "track " << t + 1;
        }
    }
}

// A whole-disc grab splits a run that crosses a track boundary between the
// two tracks; a clean disc reports nothing.
TEST(GrabUnreadable, WholeDiscReportsPerTrack) {
    struct Case {
        const char* ini;
        std::vector<UnreadableSectors> expected;
    };
    const std::vector<Case> cases = {
        {"bad_sectors=295-305,399", {{0, 5, {{295, 5}}}, {1, 7, {{300, 6}, {399, 1}}}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        GrabTestDisc disc({300, 100}, false, c.ini);
        GrabRun run(disc);
        fs::create_directories(disc.outFolder());
        const std::string path = disc.outFolder() + "disc.wav";
        ASSERT_TRUE(run.grabber->GrabDisc(path));
        EXPECT_EQ(Describe(run.grabber->Unreadable()), Describe(c.expected));
        std::string expected = WithSilence(disc, 0, c.expected) + WithSilence(disc, 1, c.expected);
        EXPECT_TRUE(waveData(path) == expected);
    }
    EXPECT_EQ(UnreadableText({1, 7, {{300, 6}, {399, 1}}}),
              "track 2: 7 sectors could not be read (LBA 300\xE2\x80\x93" "305, 399)");
    EXPECT_EQ(UnreadableText({0, 1, {{5, 1}}}), "track 1: 1 sector could not be read (LBA 5)");
}
