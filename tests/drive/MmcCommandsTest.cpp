#include "drive/MmcCommands.h"

#include <gtest/gtest.h>

#include <vector>

using namespace melvarin;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes cdb(const MmcCommand& c) { return Bytes(c.bytes().begin(), c.bytes().end()); }

}  // namespace

TEST(MmcCommands, SixByteCommands) {
    EXPECT_EQ(cdb(mmc::testUnitReady()), (Bytes{0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mmc::testUnitReady().direction, DataDirection::None);
    EXPECT_EQ(cdb(mmc::rezeroUnit()), (Bytes{0x01, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mmc::rezeroUnit().direction, DataDirection::In);
    EXPECT_EQ(cdb(mmc::inquiry()), (Bytes{0x12, 0, 0, 0,
                                          96,  // allocation length
                                          0}));
    EXPECT_EQ(mmc::inquiry().dataLength, 96u);
    EXPECT_EQ(cdb(mmc::startStopUnit(true)), (Bytes{0x1B,
                                                    0x01,  // Immed
                                                    0, 0,
                                                    0x02,  // LoEj, stop: eject
                                                    0}));
    EXPECT_EQ(cdb(mmc::startStopUnit(false)), (Bytes{0x1B, 0x01, 0, 0,
                                                     0x03,  // LoEj + Start: load
                                                     0}));
}

TEST(MmcCommands, LockByteDiffersBetweenSetsUnlockDoesNot) {
    EXPECT_EQ(cdb(mmc::preventAllowMediumRemoval(true, kLockByteSgIo)), (Bytes{0x1E, 0, 0, 0,
                                                                               0x03,  // both prevent bits
                                                                               0}));
    EXPECT_EQ(cdb(mmc::preventAllowMediumRemoval(true, kLockByteGeneric)), (Bytes{0x1E, 0, 0, 0,
                                                                                  0x01,  // persistent prevent
                                                                                  0}));
    EXPECT_EQ(cdb(mmc::preventAllowMediumRemoval(false, kLockByteSgIo)), (Bytes{0x1E, 0, 0, 0, 0x00, 0}));
    EXPECT_EQ(cdb(mmc::preventAllowMediumRemoval(false, kLockByteGeneric)), (Bytes{0x1E, 0, 0, 0, 0x00, 0}));
}

TEST(MmcCommands, TenByteCommands) {
    EXPECT_EQ(cdb(mmc::seek10(0x01020304)), (Bytes{0x2B, 0,
                                                   0x01, 0x02, 0x03, 0x04,  // LBA
                                                   0, 0, 0, 0}));
    EXPECT_EQ(cdb(mmc::readSubChannel()), (Bytes{0x42,
                                                 0x02,  // MSF
                                                 0x40,  // SubQ
                                                 0x01,  // current position
                                                 0, 0, 0,
                                                 0x00, 24,  // allocation length
                                                 0}));
    EXPECT_EQ(mmc::readSubChannel().dataLength, 16u);
    EXPECT_EQ(cdb(mmc::readToc()), (Bytes{0x43,
                                          0x02,  // MSF
                                          0x00,  // format 0
                                          0, 0, 0,
                                          0,           // from the first track
                                          0x03, 0x24,  // 804
                                          0}));
    EXPECT_EQ(mmc::readToc().dataLength, 804u);
    EXPECT_EQ(cdb(mmc::readCdText(0x1234)), (Bytes{0x43, 0x02,
                                                   0x05,  // format 5, CD-TEXT
                                                   0, 0, 0, 0,
                                                   0x12, 0x34,  // caller's buffer size
                                                   0}));
    EXPECT_EQ(cdb(mmc::playAudioMsf(1, 2, 3, 4, 5, 6)), (Bytes{0x47, 0, 0,
                                                               1, 2, 3,  // start M S F
                                                               4, 5, 6,  // end M S F
                                                               0}));
    EXPECT_EQ(mmc::playAudioMsf(0, 2, 0, 1, 0, 0).direction, DataDirection::In);
    EXPECT_EQ(cdb(mmc::stopPlayScan()), (Bytes{0x4E, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MmcCommands, ModePagesAndTheirParameterLists) {
    EXPECT_EQ(cdb(mmc::modeSelectAudioControl()), (Bytes{0x55,
                                                         0x10,  // PF
                                                         0, 0, 0, 0, 0,
                                                         0, 24,  // parameter list length
                                                         0}));
    EXPECT_EQ(mmc::modeSelectAudioControl().direction, DataDirection::Out);
    EXPECT_EQ(cdb(mmc::modeSelectCaching()), (Bytes{0x55, 0x10, 0, 0, 0, 0, 0, 0, 20, 0}));
    auto audio = mmc::audioControlList(0x80);
    EXPECT_EQ(Bytes(audio.begin(), audio.end()), (Bytes{0, 0, 0, 0, 0, 0, 0, 0,  // mode parameter header
                                                        0x0E,                    // page code
                                                        14,                      // page length
                                                        0x04,                    // Immed
                                                        0, 0, 0, 0, 0,
                                                        0x01, 0x80,  // port 0: channel 0, volume
                                                        0x02, 0x80,  // port 1: channel 1, volume
                                                        0, 0, 0, 0}));
    auto caching = mmc::cachingList(true, false);
    EXPECT_EQ(Bytes(caching.begin(), caching.end()), (Bytes{0, 0, 0, 0, 0, 0, 0, 0,
                                                            0x08,  // page code
                                                            10,    // page length
                                                            0x01,  // RCD
                                                            0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mmc::cachingList(false, true)[10], 0x04);  // WCE
    EXPECT_EQ(mmc::cachingList(true, true)[10], 0x05);
    EXPECT_EQ(cdb(mmc::modeSenseCapabilities(26)), (Bytes{0x5A, 0,
                                                          0x2A,  // page, current values
                                                          0, 0, 0, 0, 0,
                                                          26,  // allocation length (low byte)
                                                          0}));
    EXPECT_EQ(mmc::modeSenseCapabilities(28).dataLength, 28u);
}

TEST(MmcCommands, SetCdSpeedConvertsFactors) {
    EXPECT_EQ(cdb(mmc::setCdSpeed(255)), (Bytes{0xBB, 0,
                                                0xFF, 0xFF,  // read speed: maximum
                                                0xFF, 0xFF,  // write speed: maximum
                                                0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cdb(mmc::setCdSpeed(1)), (Bytes{0xBB, 0, 0x00, 0xB0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));  // 176
    EXPECT_EQ(mmc::readSpeedKbps(4), 705);
    EXPECT_EQ(mmc::readSpeedKbps(8), 1411);
    EXPECT_EQ(mmc::readSpeedKbps(48), 8467);
    EXPECT_EQ(mmc::readSpeedKbps(0), 0);
    EXPECT_EQ(mmc::readSpeedKbps(254), 44805);
}

TEST(MmcCommands, MechanismStatusAsksForTheReply) {
    EXPECT_EQ(cdb(mmc::mechanismStatus()), (Bytes{0xBD, 0, 0, 0, 0, 0, 0, 0,
                                                  0, 32,  // allocation length
                                                  0, 0}));
    EXPECT_EQ(mmc::mechanismStatus().dataLength, 32u);
    // SG_IO moves no data without a direction.
    EXPECT_EQ(mmc::mechanismStatus().direction, DataDirection::In);
}

TEST(MmcCommands, NineReadVariants) {
    const std::uint32_t lba = 0x00010203;
    const std::uint16_t count = 0x0A0B;
    const std::vector<Bytes> expected = {
        // 0: READ CD, CD-DA sectors, user data
        {0xBE, 0x04, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0x10, 0, 0},
        // 1: NEC
        {0xD4, 0, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0},
        // 2: C1, count in bytes 8-9
        {0xD4, 0, 0x00, 0x01, 0x02, 0x03, 0, 0, 0x0A, 0x0B, 0, 0},
        // 3: C2
        {0xD5, 0, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0},
        // 4: READ(12)
        {0xA8, 0, 0x00, 0x01, 0x02, 0x03, 0, 0, 0x0A, 0x0B, 0, 0},
        // 5: Sony
        {0xD8, 0, 0x00, 0x01, 0x02, 0x03, 0, 0, 0x0A, 0x0B, 0, 0},
        // 6: READ(10)
        {0x28, 0, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0},
        // 7: READ CD, any sector type, sync + headers + user data + EDC/ECC
        {0xBE, 0x00, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0xF8, 0, 0},
        // 8: READ CD, any sector type, user data
        {0xBE, 0x00, 0x00, 0x01, 0x02, 0x03, 0, 0x0A, 0x0B, 0x10, 0, 0},
    };
    for (int type = 0; type < 9; ++type) {
        SCOPED_TRACE(type);
        const MmcCommand c = mmc::readSectors(type, lba, count);
        EXPECT_EQ(cdb(c), expected[type]);
        EXPECT_EQ(c.direction, DataDirection::In);
        EXPECT_EQ(c.dataLength, 0x0A0Bu * 2352u);
    }
    EXPECT_EQ(mmc::readSectors(9, lba, 1).length, 0);
    EXPECT_EQ(mmc::readSectors(-1, lba, 1).length, 0);
    EXPECT_EQ(mmc::readSectors(255, lba, 1).length, 0);
}
