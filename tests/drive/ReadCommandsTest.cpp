#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "app/SettingsRecord.h"
#include "drive/FakeDeviceLayer.h"
#include "drive/ReadCommandDetector.h"
#include "drive/ReadCommands.h"
#include "drive/TCDROM.h"
#include "drive/VirtualDrive.h"
#include "drive/VirtualDriveFixture.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

// A facade whose only drive is an emulated one on `folder`.
std::unique_ptr<TCDROM> emulatedFacade(const std::string& folder) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->genericDriver = false;
    layer->virtuals.push_back(std::make_shared<VirtualDrive>(folder, std::make_shared<ManualClock>()));
    auto cd = std::make_unique<TCDROM>(std::move(layer));
    cd->InitInterface(0);
    return cd;
}

// A one-track audio disc of `sectors` sectors with the given drive.ini.
void writeDisc(VirtualDriveFixture& f, int sectors, const std::string& ini) {
    f.write("disc.bin", VirtualDriveFixture::binSectors(sectors, 1));
    f.write("disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    f.write("drive.ini", ini);
}

}  // namespace

TEST(ReadCommands, NamesAndBlockSize) {
    EXPECT_STREQ(ReadCommandName(0), "Standart MMC1 (IDE Device)");
    EXPECT_STREQ(ReadCommandName(8), "READ MMC3");
    EXPECT_STREQ(ReadCommandName(9), "");
    EXPECT_EQ(SectorsPerRead(0), 26);
    EXPECT_EQ(SectorsPerRead(40), 40);
}

TEST(ReadCommands, PrepareAndFinishGrabSendTheirCommandsInOrder) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->genericDriver = false;
    auto drive = layer->addSr(0);
    TCDROM cd(std::move(layer));
    cd.InitInterface(0);
    ASSERT_TRUE(cd.OpenDrive(0, 0));
    drive->sent.clear();
    SettingsRecord s = defaultSettings("", "");
    s.Speed = 8;
    s.LockCD = 1;
    s.RCD = 1;
    s.Rotate = 1;
    PrepareForGrab(cd, s);
    ASSERT_EQ(drive->sent.size(), 18u);
    EXPECT_EQ(drive->sent[0].cdb[0], 0xBB);
    EXPECT_EQ(drive->sent[0].cdb[3], 0x83);  // 1411 = 0x0583
    EXPECT_EQ(drive->sent[1].cdb[0], 0x1E);
    EXPECT_EQ(drive->sent[1].cdb[4], 0x03);
    EXPECT_EQ(drive->sent[2].cdb[0], 0x55);
    EXPECT_EQ(drive->sent[2].dataOut[10], 0x01);  // read cache off, write cache off
    for (int i = 0; i < 15; ++i) {
        const auto& read = drive->sent[3 + i];
        EXPECT_EQ(read.cdb[5], 150 + 5 * i);
        EXPECT_EQ(read.dataLength, 5u * 2352u);
    }
    drive->sent.clear();
    s.LockCD = s.Rotate = s.RCD = 0;
    PrepareForGrab(cd, s);
    ASSERT_EQ(drive->sent.size(), 2u);
    EXPECT_EQ(drive->sent[1].dataOut[10], 0x00);

    drive->sent.clear();
    FinishGrab(cd);
    ASSERT_EQ(drive->sent.size(), 2u);
    EXPECT_EQ(drive->sent[0].cdb[0], 0x1E);
    EXPECT_EQ(drive->sent[0].cdb[4], 0x00);
    EXPECT_EQ(drive->sent[1].cdb[0], 0x01);
}

TEST(ReadCommandDetector, TwentySevenTrialsSucceedExactlyForTheDrivesCommands) {
    VirtualDriveFixture f;
    writeDisc(f, 3000, "read_commands=0,7\nmax_sectors=64\n");
    auto cd = emulatedFacade(f.folder());
    const auto result = ReadCommandDetector::Run(*cd, kTransportSgIo, 0, 40);
    ASSERT_EQ(result.outcome, ReadCommandDetector::Outcome::Done);
    ASSERT_EQ(result.trials.size(), 27u);
    for (const auto& t : result.trials) {
        SCOPED_TRACE(t.number);
        EXPECT_EQ(t.number, t.type * 3 + (t.sectors == 1 ? 1 : t.sectors == 26 ? 2 : 3));
        EXPECT_EQ(t.succeeded, t.type == 0 || t.type == 7);
        EXPECT_EQ(t.result, Message(t.succeeded ? 74 : 73));
        EXPECT_EQ(t.value, static_cast<std::uint32_t>(t.type | t.sectors << 8));
        EXPECT_EQ(t.name, ReadCommandName(t.type));
    }
    EXPECT_EQ(result.trials[2].sectors, 40);
    EXPECT_EQ(cd->SgIo().ReadType(), 8);  // left with the last type tried

    // A count above what the drive takes fails only its own rows.
    const auto big = ReadCommandDetector::Run(*cd, kTransportSgIo, 0, 100);
    EXPECT_TRUE(big.trials[1].succeeded);
    EXPECT_FALSE(big.trials[2].succeeded);
    // One sector asked: 1, 26 and 1 again.
    const auto one = ReadCommandDetector::Run(*cd, kTransportSgIo, 0, 1);
    EXPECT_EQ(one.trials[2].sectors, 1);
}

TEST(ReadCommandDetector, ShortDiscIsReportedInsteadOfFailingEveryTrial) {
    VirtualDriveFixture f;
    writeDisc(f, 1520, "read_commands=0\n");
    auto cd = emulatedFacade(f.folder());
    const auto result = ReadCommandDetector::Run(*cd, kTransportSgIo, 0, 26);
    EXPECT_EQ(result.outcome, ReadCommandDetector::Outcome::DiscTooShort);
    EXPECT_EQ(result.leadOut, 1520u);
    EXPECT_TRUE(result.trials.empty());
    EXPECT_EQ(ReadCommandDetector::TooShortText(1520, 1526),
              "Диск слишком короткий для проверки команд чтения: на нём 1520 секторов, а проверка читает до "
              "сектора 1526.");
    // Exactly long enough: runs.
    VirtualDriveFixture g;
    writeDisc(g, 1526, "read_commands=0\n");
    auto cd2 = emulatedFacade(g.folder());
    EXPECT_EQ(ReadCommandDetector::Run(*cd2, kTransportSgIo, 0, 26).outcome, ReadCommandDetector::Outcome::Done);
}

TEST(ReadCommandDetector, AsksForADiscUntilOneIsLoadedOrTheUserDeclines) {
    ScriptedPrompt prompt;
    prompt.queueAnswer(true);
    prompt.queueAnswer(true);
    int checks = 0;
    EXPECT_TRUE(ReadCommandDetector::WaitForDisc(prompt, [&] { return ++checks > 2; }));
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{Message(72), Message(72)}));

    ScriptedPrompt no(false);
    EXPECT_FALSE(ReadCommandDetector::WaitForDisc(no, [] { return false; }));
    EXPECT_EQ(no.texts().size(), 1u);

    ScriptedPrompt yes(true);
    EXPECT_FALSE(ReadCommandDetector::WaitForDisc(yes, [] { return false; }, 3));
    EXPECT_EQ(yes.texts().size(), 3u);

    ScriptedPrompt none;
    EXPECT_TRUE(ReadCommandDetector::WaitForDisc(none, [] { return true; }));
    EXPECT_TRUE(none.texts().empty());
}
