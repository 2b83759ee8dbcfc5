#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "drive/ScsiDevice.h"

namespace melvarin {

// One command descriptor block ready to send: the CDB bytes (unused bytes zero),
// its length, the data direction the SG_IO command set uses and the data length
// the command transfers. The SCSI-generic command set sends `None` as `In`.
struct MmcCommand {
    std::array<std::uint8_t, 16> cdb{};
    std::uint8_t length = 0;  // 0 means "no such command" (an unknown read type)
    DataDirection direction = DataDirection::None;
    std::uint32_t dataLength = 0;

    std::span<const std::uint8_t> bytes() const { return {cdb.data(), length}; }
};

// Byte 4 of PREVENT ALLOW MEDIUM REMOVAL when locking: the SG_IO set sets both
// prevent bits, the SCSI-generic set only the persistent one.
inline constexpr std::uint8_t kLockByteSgIo = 0x03;
inline constexpr std::uint8_t kLockByteGeneric = 0x01;

// Data lengths of the fixed-size replies.
inline constexpr std::uint32_t kInquiryLength = 96;
inline constexpr std::uint32_t kTocLength = 804;
inline constexpr std::uint32_t kSubChannelLength = 16;
inline constexpr std::uint32_t kCapabilitiesLength = 26;
inline constexpr std::uint32_t kMechanismStatusLength = 32;
inline constexpr std::uint32_t kAudioControlListLength = 24;
inline constexpr std::uint32_t kCachingListLength = 20;
inline constexpr std::uint32_t kSectorBytes = 2352;
inline constexpr int kReadTypeCount = 9;

// CDB builders of the drive command layer (MMC). Pure functions.
namespace mmc {

MmcCommand testUnitReady();
MmcCommand rezeroUnit();
MmcCommand inquiry();
MmcCommand startStopUnit(bool eject);
MmcCommand preventAllowMediumRemoval(bool lock, std::uint8_t lockByte);
MmcCommand seek10(std::uint32_t lba);
MmcCommand readSubChannel();
MmcCommand readToc();
MmcCommand readCdText(std::uint16_t allocationLength);
MmcCommand playAudioMsf(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF,
                        std::uint8_t endM, std::uint8_t endS, std::uint8_t endF);
MmcCommand stopPlayScan();
MmcCommand modeSelectAudioControl();
MmcCommand modeSelectCaching();
// `dataLength`: 26 for the SG_IO set, 28 for the SCSI-generic set.
MmcCommand modeSenseCapabilities(std::uint32_t dataLength);
MmcCommand setCdSpeed(std::uint8_t factor);
MmcCommand mechanismStatus();
// The read CDB of read-command type 0-8 for `count` sectors at `lba`; any other
// type gives a command of length 0.
MmcCommand readSectors(int type, std::uint32_t lba, std::uint16_t count);

// Read speed in kB/s for a speed factor: 0xFFFF for 255 (the maximum), else
// factor x 176.4 rounded down.
std::uint16_t readSpeedKbps(std::uint8_t factor);

// MODE SELECT parameter lists: the zero 8-byte header followed by the page.
std::array<std::uint8_t, kAudioControlListLength> audioControlList(std::uint8_t volume);
std::array<std::uint8_t, kCachingListLength> cachingList(bool readCacheDisable, bool writeCacheEnable);

}  // namespace mmc
}  // namespace melvarin
