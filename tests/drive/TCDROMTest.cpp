#include "drive/TCDROM.h"

#include <gtest/gtest.h>

#include "app/Messages.h"
#include "app/ScriptedPrompt.h"
#include "drive/FakeDeviceLayer.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {


}  // namespace

TEST(TCDROM, EnumerationSkipsGapsSoPositionsAndNumbersPart) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    auto* fake = layer.get();
    layer->genericDriver = false;
    auto first = layer->addSr(0, "ACME    FIRST DRIVE     ");
    layer->addSr(2, "ACME    THIRD  ");  // a short name: the rest of the field is what the drive sent
    ScriptedPrompt prompt;
    TCDROM cd(std::move(layer), &prompt);
    cd.InitInterface(0);
    EXPECT_TRUE(prompt.entries().empty());
    EXPECT_EQ(cd.Interface, kTransportSgIo);
    EXPECT_FALSE(cd.AspiReady);
    ASSERT_EQ(cd.DriveCount(), 2);
    EXPECT_EQ(cd.DriveName(0), "ACME    FIRST DRIVE     ");
    EXPECT_EQ(cd.DriveName(0).size(), 24u);
    EXPECT_EQ(cd.DriveName(1), std::string("ACME    THIRD  ") + std::string(9, '\0'));
    EXPECT_EQ(cd.DriveDevice(1), "/dev/sr2");
    // Every number 0-30 was tried; 31 ended the scan.
    std::set<std::string> tried;
    for (const auto& [path, rw] : fake->opens) tried.insert(path);
    EXPECT_TRUE(tried.count("/dev/sr30"));
    EXPECT_TRUE(tried.count("/dev/sr31"));
    EXPECT_FALSE(tried.count("/dev/sr32"));
    // Each drive found got its CD audio volume set to 255 on both ports.
    ASSERT_GE(first->sent.size(), 2u);
    EXPECT_EQ(first->sent[0].cdb[0], 0x55);
    EXPECT_EQ(first->sent[0].dataOut[17], 255);
    EXPECT_EQ(first->sent[0].dataOut[19], 255);
    // The second name is at position 1, which opens device 1: absent.
    EXPECT_FALSE(cd.OpenDrive(1, 0));
    EXPECT_TRUE(cd.OpenDrive(0, 0));
}

TEST(TCDROM, GenericSetEnumeratesAndSwitchingDoesNotEnumerateAgain) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->addSg(0, {0, 0, 0, 0, 5}, "GENERIC DRIVE           ");
    layer->addSr(0, "SRNODE  DRIVE           ");
    TCDROM cd(std::move(layer));
    cd.InitInterface(0);
    EXPECT_TRUE(cd.AspiReady);
    EXPECT_EQ(cd.Interface, kTransportGeneric);
    ASSERT_EQ(cd.DriveCount(), 1);
    EXPECT_EQ(cd.DriveName(0), "GENERIC DRIVE           ");
    EXPECT_EQ(cd.DriveDevice(0), "/dev/sg0");

    int choice = kTransportSgIo;
    EXPECT_TRUE(cd.SwitchInterface(choice));
    EXPECT_EQ(choice, kTransportSgIo);
    EXPECT_EQ(cd.DriveName(0), "GENERIC DRIVE           ");
    EXPECT_FALSE(cd.SwitchInterface(choice));
    EXPECT_TRUE(cd.OpenDrive(0, 0));
    EXPECT_EQ(cd.SgIo().OpenPath(), "/dev/sr0");
    EXPECT_TRUE(cd.TransportAvailable(kTransportGeneric));
    EXPECT_TRUE(cd.TransportAvailable(kTransportSgIo));
}

TEST(TCDROM, DetectionMessages) {
    {  // Generic driver present but no CD/DVD on it: warning, SG_IO is used.
        auto layer = std::make_unique<FakeDeviceLayer>();
        layer->addSg(0, {0, 0, 0, 0, 0});
        layer->addSr(0);
        ScriptedPrompt prompt;
        TCDROM cd(std::move(layer), &prompt);
        cd.InitInterface(0);
        ASSERT_EQ(prompt.entries().size(), 1u);
        EXPECT_EQ(prompt.entries()[0].text, Message(93));
        EXPECT_EQ(prompt.entries()[0].icon, Icon::Warning);
        EXPECT_FALSE(cd.AspiReady);
        EXPECT_EQ(cd.Interface, kTransportSgIo);
        EXPECT_FALSE(cd.StartupFailed());
        EXPECT_EQ(cd.DriveCount(), 1);
        int choice = kTransportGeneric;
        EXPECT_FALSE(cd.SwitchInterface(choice));
        EXPECT_EQ(choice, kTransportSgIo);
    }
    {  // Neither way to a drive: message 92, start-up fails.
        auto layer = std::make_unique<FakeDeviceLayer>();
        layer->passThrough = false;
        layer->genericDriver = false;
        ScriptedPrompt prompt;
        TCDROM cd(std::move(layer), &prompt);
        EXPECT_TRUE(cd.InitInterface(0));
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{Message(92)});
        EXPECT_TRUE(cd.StartupFailed());
    }
    {  // Only the generic driver, and it finds nothing: message 94, start-up fails.
        auto layer = std::make_unique<FakeDeviceLayer>();
        layer->passThrough = false;
        ScriptedPrompt prompt;
        TCDROM cd(std::move(layer), &prompt);
        cd.InitInterface(0);
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{Message(94)});
        EXPECT_TRUE(cd.StartupFailed());
        EXPECT_FALSE(cd.Generic().Loaded());
    }
    {  // Only the generic driver, with a drive: it is used whatever is requested.
        auto layer = std::make_unique<FakeDeviceLayer>();
        layer->passThrough = false;
        layer->addSg(0, {0, 0, 0, 0, 5});
        TCDROM cd(std::move(layer));
        cd.InitInterface(kTransportSgIo);
        EXPECT_EQ(cd.Interface, kTransportGeneric);
        int choice = kTransportSgIo;
        EXPECT_FALSE(cd.SwitchInterface(choice));
        EXPECT_EQ(choice, kTransportGeneric);
        EXPECT_FALSE(cd.TransportAvailable(kTransportSgIo));
    }
}

TEST(TCDROM, ReadSectorsSwapsOnlyOnSuccess) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->genericDriver = false;
    auto drive = layer->addSr(0);
    bool fail = false;
    drive->reply = [&](const ScsiCommand& c) {
        ScsiResult r;
        r.delivered = true;
        for (std::size_t i = 0; i < c.data.size(); ++i) c.data[i] = static_cast<std::uint8_t>(i);
        if (fail) r.status = 2;
        return r;
    };
    TCDROM cd(std::move(layer));
    cd.InitInterface(0);
    ASSERT_TRUE(cd.OpenDrive(0, 0));
    std::vector<std::uint8_t> buffer(2 * 2352);
    EXPECT_EQ(cd.ReadSectors(100, 2, buffer, true), 1);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[4702], static_cast<std::uint8_t>(4703));
    EXPECT_EQ(cd.ReadSectors(100, 2, buffer, false), 1);
    EXPECT_EQ(buffer[0], 0);
    fail = true;
    EXPECT_EQ(cd.ReadSectors(100, 2, buffer, true), 0);
    EXPECT_EQ(buffer[1], 1);  // left as the drive left it
    cd.SetReadCommand(9);
    fail = false;
    EXPECT_EQ(cd.ReadSectors(100, 2, buffer, false), 0);
}

TEST(TCDROM, ReadinessAndPlayAudioUnpacking) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->genericDriver = false;
    auto drive = layer->addSr(0);
    TCDROM cd(std::move(layer));
    cd.InitInterface(0);
    EXPECT_TRUE(cd.CheckMedia());  // nothing open: status 170
    EXPECT_FALSE(cd.IsUnitReady());
    ASSERT_TRUE(cd.OpenDrive(0, 0));
    EXPECT_FALSE(cd.CheckMedia());
    EXPECT_TRUE(cd.IsUnitReady());
    cd.PlayAudio(0x00030201, 0x00060504);
    const auto& play = drive->sent.back().cdb;
    EXPECT_EQ(std::vector<std::uint8_t>(play.begin() + 3, play.begin() + 9), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(TCDROM, TeardownStopsPlayUnlocksAndCloses) {
    auto layer = std::make_unique<FakeDeviceLayer>();
    layer->genericDriver = false;
    auto drive = layer->addSr(0);
    {
        TCDROM cd(std::move(layer));
        cd.InitInterface(0);
        ASSERT_TRUE(cd.OpenDrive(0, 0));
        drive->sent.clear();
    }
    ASSERT_EQ(drive->sent.size(), 2u);
    EXPECT_EQ(drive->sent[0].cdb[0], 0x4E);
    EXPECT_EQ(drive->sent[1].cdb[0], 0x1E);
    EXPECT_EQ(drive->sent[1].cdb[4], 0x00);
}

TEST(MsfHelpers, SplitFrameCounts) {
    const Msf m = FramesToMSF(4500 * 3 + 75 * 7 + 12);
    EXPECT_EQ(m.minutes, 3u);
    EXPECT_EQ(m.seconds, 7u);
    EXPECT_EQ(m.frames, 12u);
    EXPECT_EQ(SecondsOf(4500 * 61 + 75 * 59), 59u);
    EXPECT_EQ(MinutesOf(4500 * 100), 100u);  // minutes are not wrapped
}
