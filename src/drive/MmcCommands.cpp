#include "drive/MmcCommands.h"

namespace melvarin::mmc {
namespace {

MmcCommand make(std::uint8_t opcode, std::uint8_t length, DataDirection dir, std::uint32_t dataLength) {
    MmcCommand c;
    c.cdb[0] = opcode;
    c.length = length;
    c.direction = dir;
    c.dataLength = dataLength;
    return c;
}

void put16(MmcCommand& c, int at, std::uint16_t v) {
    c.cdb[at] = static_cast<std::uint8_t>(v >> 8);
    c.cdb[at + 1] = static_cast<std::uint8_t>(v);
}

void put32(MmcCommand& c, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) c.cdb[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

MmcCommand testUnitReady() { return make(0x00, 6, DataDirection::None, 0); }

MmcCommand rezeroUnit() { return make(0x01, 6, DataDirection::In, 0); }

MmcCommand inquiry() {
    MmcCommand c = make(0x12, 6, DataDirection::In, kInquiryLength);
    c.cdb[4] = kInquiryLength;
    return c;
}

MmcCommand startStopUnit(bool eject) {
    MmcCommand c = make(0x1B, 6, DataDirection::None, 0);
    c.cdb[1] = 0x01;
    c.cdb[4] = eject ? 0x02 : 0x03;
    return c;
}

MmcCommand preventAllowMediumRemoval(bool lock, std::uint8_t lockByte) {
    MmcCommand c = make(0x1E, 6, DataDirection::None, 0);
    c.cdb[4] = lock ? lockByte : 0x00;
    return c;
}

MmcCommand seek10(std::uint32_t lba) {
    MmcCommand c = make(0x2B, 10, DataDirection::None, 0);
    put32(c, 2, lba);
    return c;
}

MmcCommand readSubChannel() {
    MmcCommand c = make(0x42, 10, DataDirection::In, kSubChannelLength);
    c.cdb[1] = 0x02;
    c.cdb[2] = 0x40;
    c.cdb[3] = 0x01;
    put16(c, 7, 24);
    return c;
}

MmcCommand readToc() {
    MmcCommand c = make(0x43, 10, DataDirection::In, kTocLength);
    c.cdb[1] = 0x02;
    put16(c, 7, kTocLength);
    return c;
}

MmcCommand readCdText(std::uint16_t allocationLength) {
    MmcCommand c = make(0x43, 10, DataDirection::In, allocationLength);
    c.cdb[1] = 0x02;
    c.cdb[2] = 0x05;
    put16(c, 7, allocationLength);
    return c;
}

MmcCommand playAudioMsf(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF, std::uint8_t endM,
                        std::uint8_t endS, std::uint8_t endF) {
    MmcCommand c = make(0x47, 10, DataDirection::In, 0);
    c.cdb[3] = startM;
    c.cdb[4] = startS;
    c.cdb[5] = startF;
    c.cdb[6] = endM;
    c.cdb[7] = endS;
    c.cdb[8] = endF;
    return c;
}

MmcCommand stopPlayScan() { return make(0x4E, 10, DataDirection::None, 0); }

MmcCommand modeSelectAudioControl() {
    MmcCommand c = make(0x55, 10, DataDirection::Out, kAudioControlListLength);
    c.cdb[1] = 0x10;
    put16(c, 7, kAudioControlListLength);
    return c;
}

MmcCommand modeSelectCaching() {
    MmcCommand c = make(0x55, 10, DataDirection::Out, kCachingListLength);
    c.cdb[1] = 0x10;
    put16(c, 7, kCachingListLength);
    return c;
}

MmcCommand modeSenseCapabilities(std::uint32_t dataLength) {
    MmcCommand c = make(0x5A, 10, DataDirection::In, dataLength);
    c.cdb[2] = 0x2A;
    c.cdb[8] = kCapabilitiesLength;
    return c;
}

std::uint16_t readSpeedKbps(std::uint8_t factor) {
    if (factor == 255) return 0xFFFF;
    return static_cast<std::uint16_t>(factor * 176400u / 1000u);
}

MmcCommand setCdSpeed(std::uint8_t factor) {
    MmcCommand c = make(0xBB, 12, DataDirection::None, 0);
    put16(c, 2, readSpeedKbps(factor));
    put16(c, 4, 0xFFFF);
    return c;
}

MmcCommand mechanismStatus() {
    // Listed as a no-data command for the Windows pass-through, which still returned the
    // reply; SG_IO transfers nothing without a direction, so it is sent as data-in.
    MmcCommand c = make(0xBD, 12, DataDirection::In, kMechanismStatusLength);
    put16(c, 8, kMechanismStatusLength);
    return c;
}

MmcCommand readSectors(int type, std::uint32_t lba, std::uint16_t count) {
    MmcCommand c;
    c.direction = DataDirection::In;
    c.dataLength = static_cast<std::uint32_t>(count) * kSectorBytes;
    // {opcode, CDB length, position of the 16-bit count, byte 1, byte 9}
    struct Variant {
        std::uint8_t opcode, length, countAt, byte1, byte9;
    };
    static constexpr Variant kVariants[kReadTypeCount] = {
        {0xBE, 12, 7, 0x04, 0x10},  // READ CD, CD-DA sectors, user data
        {0xD4, 10, 7, 0, 0},        // NEC
        {0xD4, 12, 8, 0, 0},
        {0xD5, 10, 7, 0, 0},
        {0xA8, 12, 8, 0, 0},  // READ(12)
        {0xD8, 12, 8, 0, 0},  // Sony
        {0x28, 10, 7, 0, 0},  // READ(10)
        {0xBE, 12, 7, 0x00, 0xF8},  // READ CD, any type, sync + headers + data + EDC/ECC
        {0xBE, 12, 7, 0x00, 0x10},  // READ CD, any type, user data
    };
    if (type < 0 || type >= kReadTypeCount) return c;
    const Variant& v = kVariants[type];
    c.cdb[0] = v.opcode;
    c.length = v.length;
    c.cdb[1] = v.byte1;
    put32(c, 2, lba);
    put16(c, v.countAt, count);
    if (v.byte9) c.cdb[9] = v.byte9;
    return c;
}

std::array<std::uint8_t, kAudioControlListLength> audioControlList(std::uint8_t volume) {
    std::array<std::uint8_t, kAudioControlListLength> p{};
    p[8] = 0x0E;
    p[9] = 14;
    p[10] = 0x04;
    p[16] = 0x01;
    p[17] = volume;
    p[18] = 0x02;
    p[19] = volume;
    return p;
}

std::array<std::uint8_t, kCachingListLength> cachingList(bool readCacheDisable, bool writeCacheEnable) {
    std::array<std::uint8_t, kCachingListLength> p{};
    p[8] = 0x08;
    p[9] = 10;
    p[10] = static_cast<std::uint8_t>((readCacheDisable ? 0x01 : 0) | (writeCacheEnable ? 0x04 : 0));
    return p;
}

}  // namespace melvarin::mmc
