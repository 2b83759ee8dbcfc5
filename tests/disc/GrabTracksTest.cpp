#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "disc/CommandSetRereader.h"
#include "disc/GrabTestDisc.h"
#include "disc/TGrabber.h"
#include "encoders/TEncManager.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

// Records what the grab did to the machine instead of doing it.
class RecordingSystem : public GrabSystem {
public:
    bool RaisePriority() override {
        ++raised;
        return true;
    }
    void RestorePriority() override { ++restored; }
    void PowerOff() override { ++powerOffs; }
    int raised = 0, restored = 0, powerOffs = 0;
};

// A grab of a test disc into its out/ folder, WAVE on the fly, nothing asked
// of the machine.
struct GrabRun {
    explicit GrabRun(GrabTestDisc& d) : disc(d), drive(d.openDrive()), record(GrabTestDisc::readDisc(*drive)) {
        settings = defaultSettings(d.outFolder(), d.dir / "cddb/");
        settings.EncoderConfig.EncoderIndex = 0;
        settings.EncoderConfig.OnTheFlyEncoding = 1;
        settings.EncoderConfig.Normalize = 0;
        settings.EjectACopy = 0;
        settings.ShutComp = 0;
        settings.Dir_AsAlbumName = settings.Dir_AsArtistName = 0;
        grabber = std::make_unique<TGrabber>(*drive, settings, record, encoders, prompt);
        rereader = std::make_unique<CommandSetRereader>(drive->Current());
        grabber->Rereader = rereader.get();
        grabber->System = &system;
        grabber->TempFolder = d.dir / "TempFiles/";
        grabber->FreeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1ull << 40); };
        grabber->Callbacks.TrackState = [this](int track, const std::string& text) { states[track].push_back(text); };
        grabber->Callbacks.FileWritten = [this](const std::string& path) { written.push_back(path); };
    }
    bool grabAll(int encoderIndex = 0) {
        checked.assign(std::size_t(record.trackCount()), true);
        return grabber->GrabCommand(encoderIndex, checked);
    }
    std::string trackFile(int track) const { return disc.outFolder() + "Track " + std::to_string(track + 1) + ".wav"; }
    void expectExact(int track) const {
        SCOPED_TRACE("track " + std::to_string(track + 1));
        EXPECT_TRUE(waveData(trackFile(track)) == disc.slice(disc.trackStart(track), disc.sectors[track]));
    }

    GrabTestDisc& disc;
    std::unique_ptr<TCDROM> drive;
    DiscRecord record;
    SettingsRecord settings{};
    ScriptedPrompt prompt{false};
    TEncManager encoders{&prompt};
    RecordingSystem system;
    std::unique_ptr<CommandSetRereader> rereader;
    std::unique_ptr<TGrabber> grabber;
    std::vector<bool> checked;
    std::map<int, std::vector<std::string>> states;
    std::vector<std::string> written;
};

}  // namespace

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

// Stop pressed during the second track: No goes on with the next block, Yes
// deletes the partial file and keeps what was done before.
TEST(GrabTracks, StopAnsweredNoContinuesAndYesLeavesNoPartialFile) {
    GrabTestDisc disc({100, 300, 100});
    {
        GrabRun run(disc);
        int calls = 0;
        int resumed = 0;
        run.grabber->Callbacks.KeepGoing = [&] { return ++calls != 9; };
        run.grabber->Callbacks.Resume = [&] { ++resumed; };
        run.prompt.queueAnswer(false);
        ASSERT_TRUE(run.grabAll());
        EXPECT_EQ(run.prompt.texts(), std::vector<std::string>{Message(17)});
        EXPECT_EQ(resumed, 1);
        for (int t = 0; t < 3; ++t) run.expectExact(t);
    }
    std::filesystem::remove_all(disc.outFolder());
    {
        GrabRun run(disc);
        int calls = 0;
        run.grabber->Callbacks.KeepGoing = [&] { return ++calls != 9; };
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
