#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "app/Messages.h"
#include "disc/GrabRun.h"

using namespace melvarin;
using namespace melvarin::test;


// Track lengths: a multiple of the 26-sector block, one with a short last
// block, and one under 100 sectors (the percentage needs its own count there).
TEST(GrabTracks, EveryMethodGrabsACleanDiscBitExactly) {
    GrabTestDisc disc({26 * 12, 401, 77});
    for (int method = 0; method <= 3; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        std::filesystem::remove_all(disc.outFolder());
        GrabRun run(disc);
        run.settings.ExtractMethod = static_cast<std::uint8_t>(method);
        ASSERT_TRUE(run.grabAll());
        for (int t = 0; t < 3; ++t) {
            run.expectExact(t);
            EXPECT_EQ(run.record.Tracks[t].Grabbed, 1);
            EXPECT_FALSE(run.checked[t]);
            ASSERT_GE(run.states[t].size(), 2u);
            EXPECT_EQ(run.states[t].back(), Message(20));
            EXPECT_EQ(run.states[t][run.states[t].size() - 2], Message(19) + " 100%");
        }
        EXPECT_EQ(run.written, (std::vector<std::string>{run.trackFile(0), run.trackFile(1), run.trackFile(2)}));
        EXPECT_TRUE(run.prompt.entries().empty());
    }
}

TEST(GrabTracks, RetryingMethodsRecoverFromTransientErrorsAndTheFastOneDoesNot) {
    GrabTestDisc disc({600}, false, "transient_errors=0.003\nerror_seed=11\n");
    for (int method : {0, 2, 3}) {
        SCOPED_TRACE("method " + std::to_string(method));
        std::filesystem::remove_all(disc.outFolder());
        GrabRun run(disc);
        run.settings.ExtractMethod = static_cast<std::uint8_t>(method);
        ASSERT_TRUE(run.grabAll());
        const bool exact = waveData(run.trackFile(0)) == disc.slice(0, 600);
        EXPECT_EQ(exact, method != 0);
    }
}

// Sector 200 is mostly silence, so the retrying method reads it again on its
// own; the re-read must come in the grab's byte order too.
TEST(GrabTracks, BigEndianDriveWithItsFlagGivesExactData) {
    GrabTestDisc disc({400}, false, "big_endian=1\n");
    disc.bin.replace(200 * 2352, 1600, 1600, '\0');
    writeFile(disc.driveFolder() + "disc.bin", disc.bin);
    for (int method : {0, 2}) {
        SCOPED_TRACE("method " + std::to_string(method));
        GrabRun run(disc);
        run.settings.ExtractMethod = static_cast<std::uint8_t>(method);
        run.settings.BigEndian[0] = 1;
        ASSERT_TRUE(run.grabAll());
        run.expectExact(0);
    }
}

// Stop pressed while the second track is read: No goes on with the next
// block, Yes deletes the partial file and keeps what was done before. One
// file at a time, so the first track is finished when the second is read.
TEST(GrabTracks, StopAnsweredNoContinuesAndYesLeavesNoPartialFile) {
    GrabTestDisc disc({100, 300, 100});
    {
        GrabRun run(disc);
        run.stopAt(1, 19, 50);
        run.prompt.queueAnswer(false);
        ASSERT_TRUE(run.grabAll());
        EXPECT_EQ(run.prompt.texts(), std::vector<std::string>{Message(17)});
        EXPECT_EQ(run.resumed, 1);
        for (int t = 0; t < 3; ++t) run.expectExact(t);
    }
    std::filesystem::remove_all(disc.outFolder());
    {
        GrabRun run(disc);
        run.grabber->Encoders = 1;
        run.stopAt(1, 19, 50);
        run.prompt.queueAnswer(true);
        EXPECT_FALSE(run.grabAll());
        EXPECT_TRUE(run.grabber->Cancelled());
        run.expectExact(0);
        EXPECT_EQ(run.record.Tracks[0].Grabbed, 1);
        EXPECT_FALSE(std::filesystem::exists(run.trackFile(1)));
        EXPECT_FALSE(std::filesystem::exists(run.trackFile(2)));
        EXPECT_EQ(run.record.Tracks[1].Grabbed, 0);
        EXPECT_TRUE(run.checked[1]);
        EXPECT_EQ(run.states[1].back(), Message(18));
        EXPECT_EQ(run.written, std::vector<std::string>{run.trackFile(0)});
    }
}

TEST(GrabTracks, TemporaryWaveIsMovedOrNormalisedAndRemoved) {
    GrabTestDisc disc({200, 90});
    {
        GrabRun run(disc);
        run.settings.EncoderConfig.OnTheFlyEncoding = 0;
        ASSERT_TRUE(run.grabAll());
        run.expectExact(0);
        run.expectExact(1);
        EXPECT_FALSE(std::filesystem::exists(disc.dir / "TempFiles"));
    }
    std::filesystem::remove_all(disc.outFolder());
    {
        GrabRun run(disc);
        EncoderConfig& c = run.settings.EncoderConfig;
        c.OnTheFlyEncoding = 0;
        c.Normalize = 1;
        c.SetMin = 50, c.Min = 90, c.SetMax = 100, c.Max = 100;
        ASSERT_TRUE(run.grabAll());
        EXPECT_FALSE(std::filesystem::exists(disc.dir / "TempFiles"));
        // The noise peaks at 8000 (24 % of full scale): quieter than 50 %, so
        // it is raised to 90 %.
        const std::string data = waveData(run.trackFile(0));
        ASSERT_EQ(data.size(), 200u * 2352);
        int peak = 0;
        for (std::size_t i = 0; i + 1 < data.size(); i += 2)
            peak = std::max(peak, std::abs(int(std::int16_t(std::uint8_t(data[i]) | std::uint8_t(data[i + 1]) << 8))));
        EXPECT_NEAR(peak, 0.9 * 32767, 40);
        bool compressing = false;
        for (const auto& s : run.states[0]) compressing = compressing || s == Message(27) + " 100%";
        EXPECT_TRUE(compressing);
    }
}

// Blocks of NumSecRead sectors: a track of exactly k blocks takes k reads,
// a longer one a last read of only its remaining sectors, which alone reach
// the file.
TEST(GrabTracks, ReadsWholeBlocksAndAShortLastOne) {
    GrabTestDisc disc({10 * 4, 10 * 3 + 7});
    std::vector<DriveCommand> log;
    GrabRun run(disc, &log);
    run.settings.NumSecRead = 10;
    run.settings.ExtractMethod = 0;
    log.clear();
    ASSERT_TRUE(run.grabAll());
    std::vector<std::pair<std::int64_t, int>> reads;
    for (const DriveCommand& c : log)
        if (c.sectors > 0 && c.opcode != 0x43) reads.emplace_back(c.lba, c.sectors);
    const std::vector<std::pair<std::int64_t, int>> expected = {{0, 10},  {10, 10}, {20, 10}, {30, 10},
                                                                {40, 10}, {50, 10}, {60, 10}, {70, 7}};
    EXPECT_EQ(reads, expected);
    run.expectExact(0);
    run.expectExact(1);
}

// Digital silence at the start, in the middle and at the end of a track: the
// correcting methods re-read the suspicious sectors of the middle only, never
// within 150 sectors of either end.
TEST(GrabTracks, CorrectionsLeaveTheFirstAndLast150SectorsAlone) {
    GrabTestDisc disc({600});
    for (int lba : {20, 300, 590}) disc.bin.replace(std::size_t(lba) * 2352, 3 * 2352, 3 * 2352, '\0');
    writeFile(disc.driveFolder() + "disc.bin", disc.bin);
    for (int method = 1; method <= 3; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        std::vector<DriveCommand> log;
        GrabRun run(disc, &log);
        run.settings.ExtractMethod = static_cast<std::uint8_t>(method);
        log.clear();
        ASSERT_TRUE(run.grabAll());
        run.expectExact(0);
        std::set<std::int64_t> reread;
        for (const DriveCommand& c : log)
            if (c.sectors == 1 || c.opcode == 0x2B) reread.insert(c.lba);
        ASSERT_FALSE(reread.empty());
        EXPECT_TRUE(reread.count(300) || reread.count(299));
        for (std::int64_t lba : reread) {
            EXPECT_GE(lba, 150);
            EXPECT_LT(lba, 450);
        }
    }
}

TEST(GrabTracks, FreeSpaceQuestionAndMachineActionsGoThroughTheirSeams) {
    GrabTestDisc disc({100, 100});
    {
        GrabRun run(disc);
        run.grabber->FreeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1000); };
        run.prompt.queueAnswer(false);
        EXPECT_FALSE(run.grabAll());
        EXPECT_EQ(run.prompt.texts(), std::vector<std::string>{Message(100)});
        EXPECT_FALSE(std::filesystem::exists(run.trackFile(0)));
    }
    {
        GrabRun run(disc);
        run.settings.Priority = 1;
        run.settings.ShutComp = 1;
        run.settings.EjectACopy = 1;
        int ejects = 0;
        run.grabber->Callbacks.Eject = [&] { ++ejects; };
        run.checked = {false, true};
        ASSERT_TRUE(run.grabber->GrabCommand(0, run.checked));
        EXPECT_FALSE(std::filesystem::exists(run.trackFile(0)));
        run.expectExact(1);
        EXPECT_EQ(run.system.raised, 1);
        EXPECT_EQ(run.system.restored, 1);
        EXPECT_EQ(run.system.powerOffs, 1);
        EXPECT_EQ(ejects, 1);
        EXPECT_EQ(run.settings.EncoderConfig.EncoderIndex, 0);
    }
}

namespace {

std::vector<std::string> PartialFilesIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 9 && name.front() == '.' && name.substr(name.size() - 8) == ".partial") found.push_back(name);
    }
    return found;
}

}  // namespace

// Two tracks of one title and a blank one get names of their own, on the fly
// and through temporary files; a symlink at a name is replaced, not followed;
// a file of an earlier run is replaced and told as such; a partial file a
// killed run left is gone.
TEST(GrabTracks, NamesNeverCollideAndEarlierFilesAreReplacedInPlace) {
    GrabTestDisc disc({60, 90, 40});
    for (const bool onTheFly : {true, false}) {
        SCOPED_TRACE(onTheFly ? "on the fly" : "temporary files");
        std::filesystem::remove_all(disc.outFolder());
        std::filesystem::create_directories(disc.outFolder());
        GrabRun run(disc);
        run.settings.EncoderConfig.OnTheFlyEncoding = onTheFly;
        run.grabber->Encoders = 3;
        run.record.setTitle(0, "Same");
        run.record.setTitle(1, "Same");
        run.record.setTitle(2, " \x01 ");
        const std::string out = disc.outFolder();
        writeFile(disc.dir / "victim", "victim");
        std::filesystem::create_symlink(disc.dir / "victim", out + "Same.wav");
        writeFile(out + "Same (2).wav", "earlier run");
        writeFile(out + ".Gone.wav.partial", "killed run");
        std::filesystem::last_write_time(out + ".Gone.wav.partial",
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        std::vector<std::string> replaced;
        run.grabber->Callbacks.FileReplaced = [&](const std::string& path) { replaced.push_back(path); };

        ASSERT_TRUE(run.grabAll()) << testing::PrintToString(run.prompt.texts());
        EXPECT_EQ(run.written, std::vector<std::string>{out + "Track 03.wav"});
        EXPECT_EQ(replaced, (std::vector<std::string>{out + "Same.wav", out + "Same (2).wav"}));
        EXPECT_EQ(readFile(disc.dir / "victim"), "victim");
        EXPECT_FALSE(std::filesystem::is_symlink(out + "Same.wav"));
        EXPECT_TRUE(waveData(out + "Same.wav") == disc.slice(0, 60));
        EXPECT_TRUE(waveData(out + "Same (2).wav") == disc.slice(60, 90));
        EXPECT_TRUE(waveData(out + "Track 03.wav") == disc.slice(150, 40));
        EXPECT_EQ(PartialFilesIn(disc.dir.path()), std::vector<std::string>{});
        EXPECT_FALSE(std::filesystem::exists(disc.dir / "TempFiles"));
    }
}

// A cancel leaves the file of an earlier run as it was, and nothing partial.
TEST(GrabTracks, CancelKeepsEarlierFiles) {
    GrabTestDisc disc({60, 300, 60});
    GrabRun run(disc);
    std::filesystem::create_directories(disc.outFolder());
    writeFile(run.trackFile(1), "earlier run");
    run.grabber->Encoders = 1;
    run.stopAt(1, 19, 50);
    run.prompt.queueAnswer(true);
    EXPECT_FALSE(run.grabAll());
    EXPECT_TRUE(run.grabber->Cancelled());
    EXPECT_EQ(readFile(run.trackFile(1)), "earlier run");
    EXPECT_FALSE(std::filesystem::exists(run.trackFile(2)));
    EXPECT_EQ(PartialFilesIn(disc.dir.path()), std::vector<std::string>{});
}
