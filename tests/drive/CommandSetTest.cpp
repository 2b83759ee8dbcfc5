#include <gtest/gtest.h>

#include "drive/FakeDeviceLayer.h"
#include "drive/SgGenericCommandSet.h"
#include "drive/SgIoCommandSet.h"

using namespace melvarin;
using namespace melvarin::test;

namespace {

ScsiResult checkCondition(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    ScsiResult r;
    r.delivered = true;
    r.status = 2;
    r.sense[0] = 0x70;
    r.sense[2] = key;
    r.sense[7] = 10;
    r.sense[12] = asc;
    r.sense[13] = ascq;
    r.sense[20] = 0xEE;  // beyond the fixed part: kept only by the 32-byte buffer
    r.senseLength = 32;
    return r;
}

}  // namespace

TEST(SgIoCommandSet, StatusesWithoutDeviceAndWhenTheCallFails) {
    FakeDeviceLayer layer;
    auto drive = layer.addSr(0);
    SgIoCommandSet set(layer);
    EXPECT_EQ(set.TestUnitReady(), 170);
    ASSERT_TRUE(set.OpenDevice(0, 0));
    EXPECT_EQ(set.TestUnitReady(), 0);
    drive->failIoctl = true;
    EXPECT_EQ(set.TestUnitReady(), 4);
    drive->failIoctl = false;
    drive->reply = [](const ScsiCommand&) { return checkCondition(0x02, 0x3A, 0x00); };
    EXPECT_EQ(set.TestUnitReady(), 2);
    EXPECT_EQ(set.LastSense(), (SenseData{0x02, 0x3A, 0x00}));
    EXPECT_EQ(set.SenseBytes()[20], 0xEE);
    // CDB lengths outside 1-16 and short buffers never reach the device.
    const std::size_t before = drive->sent.size();
    std::uint8_t big[17] = {};
    EXPECT_EQ(set.SendCommand({big, 17}, 0, {}, DataDirection::None), 4);
    EXPECT_EQ(set.SendCommand({big, 0}, 0, {}, DataDirection::None), 4);
    std::uint8_t small[100];
    EXPECT_EQ(set.ReadSectors(0, 1, small), 4);
    EXPECT_EQ(drive->sent.size(), before);
}

TEST(SgIoCommandSet, OpenRetriesFiveTimesThenFlipsTheAccessMode) {
    FakeDeviceLayer layer;
    auto drive = layer.addSr(0);
    layer.refuseReadWrite.insert("/dev/sr0");
    SgIoCommandSet set(layer);
    ASSERT_TRUE(set.OpenDevice(0, 3));
    ASSERT_EQ(layer.opens.size(), 6u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(layer.opens[i], std::make_pair(std::string("/dev/sr0"), true));
    EXPECT_EQ(layer.opens[5], std::make_pair(std::string("/dev/sr0"), false));
    EXPECT_FALSE(set.OpenReadWrite());
    EXPECT_EQ(set.ReadType(), 3);
    // Read-only: data-out commands are refused, data-in ones still go.
    EXPECT_EQ(set.SetAudioVolume(255), 4);
    EXPECT_TRUE(drive->sent.empty());
    EXPECT_EQ(set.TestUnitReady(), 0);

    // A transient failure: the fourth attempt succeeds, read-write.
    FakeDeviceLayer layer2;
    layer2.addSr(1);
    layer2.failOpens["/dev/sr1"] = 3;
    SgIoCommandSet set2(layer2);
    ASSERT_TRUE(set2.OpenDevice(1, 0));
    EXPECT_EQ(layer2.opens.size(), 4u);
    EXPECT_TRUE(set2.OpenReadWrite());

    // Nothing opens: six attempts, then false and no device.
    layer2.failOpens["/dev/sr0"] = -1;
    layer2.opens.clear();
    EXPECT_FALSE(set2.OpenDevice(0, 0));
    EXPECT_EQ(layer2.opens.size(), 6u);
    EXPECT_EQ(set2.OpenNumber(), SgIoCommandSet::kNone);
    EXPECT_EQ(set2.TestUnitReady(), 170);
}

TEST(SgIoCommandSet, ReopeningTheSameNumberOnlyStoresTheReadType) {
    FakeDeviceLayer layer;
    auto drive = layer.addSr(0);
    SgIoCommandSet set(layer);
    ASSERT_TRUE(set.OpenDevice(0, 0));
    ASSERT_TRUE(set.OpenDevice(0, 7));
    EXPECT_EQ(layer.opens.size(), 1u);
    EXPECT_TRUE(drive->sent.empty());
    EXPECT_EQ(set.ReadType(), 7);
    std::vector<std::uint8_t> buffer(2352);
    EXPECT_EQ(set.ReadSectors(1500, 1, buffer), 0);
    ASSERT_EQ(drive->sent.size(), 1u);
    EXPECT_EQ(drive->sent[0].cdb[9], 0xF8);  // type 7
}

TEST(SgIoCommandSet, EmulatedDrivesFollowTheHighestRealNumber) {
    FakeDeviceLayer layer;
    layer.addSr(0);
    layer.addSr(2);
    auto virt = std::make_shared<FakeDrive>("/tmp/vd", "MELVARINVIRTUAL CD-RW   ");
    layer.virtuals.push_back(virt);
    SgIoCommandSet set(layer);
    EXPECT_EQ(set.FirstVirtualNumber(), 3);
    ASSERT_TRUE(set.OpenDevice(3, 0));
    EXPECT_EQ(set.OpenPath(), "/tmp/vd");
    EXPECT_FALSE(set.OpenDevice(4, 0));

    FakeDeviceLayer none;
    none.virtuals.push_back(virt);
    SgIoCommandSet onlyVirtual(none);
    EXPECT_EQ(onlyVirtual.FirstVirtualNumber(), 0);
    EXPECT_TRUE(onlyVirtual.OpenDevice(0, 0));
}

TEST(SgIoCommandSet, CommandOperationsReadTheirReplies) {
    FakeDeviceLayer layer;
    auto drive = layer.addSr(0);
    SgIoCommandSet set(layer);
    ASSERT_TRUE(set.OpenDevice(0, 0));
    int speedTries = 0;
    drive->reply = [&](const ScsiCommand& c) {
        ScsiResult r;
        r.delivered = true;
        switch (c.cdb[0]) {
            case 0x42:  // sub-channel: playing, at 01:02:03
                c.data[1] = 0x11;
                c.data[9] = 1, c.data[10] = 2, c.data[11] = 3;
                break;
            case 0x43:  // CD-TEXT block of 0x0102 + 2 bytes
                c.data[0] = 0x01, c.data[1] = 0x02;
                break;
            case 0xBD:
                c.data[1] = 0x10;  // door open
                break;
            case 0xBB:
                if (++speedTries == 1) r.status = 2;
                break;
        }
        return r;
    };
    std::array<std::uint8_t, 4> address{};
    std::uint8_t audio = 0;
    EXPECT_EQ(set.ReadPosition(address, audio), 0);
    EXPECT_EQ(audio, 0x11);
    EXPECT_EQ(address, (std::array<std::uint8_t, 4>{0, 1, 2, 3}));

    std::vector<std::uint8_t> text(300, 0xAA);
    std::uint32_t length = 0;
    EXPECT_EQ(set.ReadCDText(text, length), 0);
    EXPECT_EQ(length, 0x0104u);
    EXPECT_EQ(text[2], 0);  // cleared before the command
    EXPECT_EQ(drive->sent.back().cdb[8], 44);  // 300 = 0x012C

    EXPECT_EQ(set.GetMechanismStatus(), 5);
    EXPECT_EQ(set.SetReadSpeed(8), 0);  // failed once, sent again unchanged
    ASSERT_GE(drive->sent.size(), 2u);
    EXPECT_EQ(drive->sent[drive->sent.size() - 1].cdb, drive->sent[drive->sent.size() - 2].cdb);

    set.SetAudioVolume(200);
    EXPECT_EQ(drive->sent.back().direction, DataDirection::Out);
    EXPECT_EQ(drive->sent.back().dataOut[17], 200);
    set.LockDoor(true);
    EXPECT_EQ(drive->sent.back().cdb[4], 0x03);
    set.TestUnitReady();
    EXPECT_EQ(drive->sent.back().direction, DataDirection::None);
}

TEST(SgGenericCommandSet, ScanBusKeepsCdDevicesInHostTargetOrder) {
    FakeDeviceLayer layer;
    // Listed out of order; a disk (type 0) and a LUN 1 node are left out.
    layer.addSg(3, {1, 0, 2, 0, 5}, "HOST1   TARGET2         ");
    layer.addSg(0, {0, 0, 0, 0, 0});
    layer.addSg(1, {0, 0, 1, 0, 5}, "HOST0   TARGET1         ");
    layer.addSg(2, {0, 0, 1, 1, 5});
    layer.addSg(4, {1, 0, 12, 0, 5});  // found only when host 1 reports 16 targets
    layer.maxTargets[1] = 16;
    SgGenericCommandSet set(layer);
    ASSERT_TRUE(set.LoadAspi());
    ASSERT_EQ(set.ScanBus(), 3);
    EXPECT_EQ(set.PathOf(0), "/dev/sg1");
    EXPECT_EQ(set.PathOf(1), "/dev/sg3");
    EXPECT_EQ(set.PathOf(2), "/dev/sg4");
    EXPECT_EQ(set.AdapterOf(2), 1);
    EXPECT_EQ(set.TargetOf(2), 12);

    layer.maxTargets[1] = 15;  // not 8 or 16: scanned as 8
    EXPECT_EQ(set.ScanBus(), 2);
}

TEST(SgGenericCommandSet, TableHoldsThirtyTwoRowsEmulatedDrivesLast) {
    FakeDeviceLayer layer;
    for (int i = 0; i < 40; ++i) layer.addSg(i, {i / 8, 0, i % 8, 0, 5});
    auto virt = std::make_shared<FakeDrive>("/tmp/vd");
    layer.virtuals.push_back(virt);
    SgGenericCommandSet set(layer);
    ASSERT_TRUE(set.LoadAspi());
    EXPECT_EQ(set.ScanBus(), 32);
    EXPECT_EQ(set.PathOf(31), "/dev/sg31");

    FakeDeviceLayer small;
    small.addSg(0, {0, 0, 0, 0, 5});
    small.virtuals.push_back(virt);
    SgGenericCommandSet set2(small);
    ASSERT_TRUE(set2.LoadAspi());
    EXPECT_EQ(set2.ScanBus(), 2);
    EXPECT_EQ(set2.PathOf(1), "/tmp/vd");
}

TEST(SgGenericCommandSet, LoadOpenAndStatuses) {
    FakeDeviceLayer layer;
    layer.genericDriver = false;
    auto drive = layer.addSg(0, {0, 0, 0, 0, 5});
    SgGenericCommandSet set(layer);
    EXPECT_FALSE(set.LoadAspi());
    EXPECT_FALSE(set.OpenDevice(0, 0));
    EXPECT_EQ(set.TestUnitReady(), 4);
    layer.genericDriver = true;
    ASSERT_TRUE(set.LoadAspi());
    ASSERT_EQ(set.ScanBus(), 1);
    EXPECT_FALSE(set.OpenDevice(1, 0));
    ASSERT_TRUE(set.OpenDevice(0, 5));
    EXPECT_EQ(set.ReadType(), 5);
    EXPECT_TRUE(layer.opens.empty());  // selecting a row opens nothing

    // Commands without data go as data-in with length 0.
    EXPECT_EQ(set.TestUnitReady(), 1);
    EXPECT_EQ(drive->sent.back().direction, DataDirection::In);
    EXPECT_EQ(drive->sent.back().dataLength, 0u);
    EXPECT_EQ(set.LastSrb().flags, 0x48);
    EXPECT_EQ(set.LastSrb().cdbLength, 6);
    set.SetCaching(true, false);
    EXPECT_EQ(set.LastSrb().flags, 0x50);
    EXPECT_EQ(set.LastSrb().bufferLength, 20u);
    set.LockDoor(true);
    EXPECT_EQ(drive->sent.back().cdb[4], 0x01);
    std::array<std::uint8_t, 26> caps{};
    set.ReadCapabilities(caps);
    EXPECT_EQ(drive->sent.back().dataLength, 28u);

    drive->reply = [](const ScsiCommand&) { return checkCondition(0x05, 0x20, 0x00); };
    EXPECT_EQ(set.TestUnitReady(), 4);
    EXPECT_EQ(set.LastSrb().targetStatus, 2);
    EXPECT_EQ(set.LastSrb().senseArea[12], 0x20);
    EXPECT_EQ(set.LastSrb().senseArea[13], 0x00);
    EXPECT_EQ(set.LastSrb().senseArea[14], 0);  // 14 sense bytes only
    EXPECT_EQ(set.LastSense(), (SenseData{0x05, 0x20, 0x00}));
    drive->failIoctl = true;
    EXPECT_EQ(set.TestUnitReady(), 4);
}
