#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "drive/MmcCommands.h"
#include "drive/ScsiDevice.h"

namespace melvarin {

// Transport codes, as stored in the settings field `Interface`.
inline constexpr int kTransportGeneric = 0;  // SCSI generic (/dev/sg*), the "ASPI" choice
inline constexpr int kTransportSgIo = 1;     // SG_IO on /dev/sr*, the "SPTI" choice

// One command set: how CDBs reach the open drive and how success is reported.
// The per-command operations build their CDB with the mmc:: builders, send it and
// return the transport status unchanged; compare it with SuccessStatus().
// Not thread-safe: one user at a time.
class CommandSet {
public:
    virtual ~CommandSet() = default;

    // Opens (SG_IO) or selects (generic) a device by number and stores the read type.
    virtual bool OpenDevice(int number, int readType) = 0;
    virtual void CloseDevice() {}
    void SetReadType(int type) { readType_ = type; }
    int ReadType() const { return readType_; }

    // Sends `cdb` (1-16 bytes) transferring `dataLength` bytes of `data` in
    // `direction`. `data` must hold at least `dataLength` bytes. Returns the
    // transport status.
    virtual std::uint8_t SendCommand(std::span<const std::uint8_t> cdb, std::uint32_t dataLength,
                                     std::span<std::uint8_t> data, DataDirection direction) = 0;
    // The status that means success: 0 for SG_IO, 1 for generic.
    virtual std::uint8_t SuccessStatus() const = 0;
    bool Succeeded(std::uint8_t status) const { return status == SuccessStatus(); }
    // Key/ASC/ASCQ of the last command's sense bytes.
    virtual SenseData LastSense() const = 0;

    // Sends a built command with `data` (empty for no data).
    std::uint8_t Send(const MmcCommand& command, std::span<std::uint8_t> data = {});

    std::uint8_t TestUnitReady();
    std::uint8_t RezeroUnit();
    std::uint8_t Inquiry(std::span<std::uint8_t, kInquiryLength> reply);
    std::uint8_t LoadEject(bool eject);
    std::uint8_t LockDoor(bool lock);
    std::uint8_t Seek(std::uint32_t lba);
    // READ SUB-CHANNEL: the absolute address (reserved, M, S, F) and audio status.
    std::uint8_t ReadPosition(std::array<std::uint8_t, 4>& address, std::uint8_t& audioStatus);
    std::uint8_t ReadTOC(std::span<std::uint8_t, kTocLength> reply);
    // READ TOC format 5 into `buffer` (cleared first); `length` becomes the whole
    // CD-TEXT block length the drive reports (0 when the reply is too short).
    std::uint8_t ReadCDText(std::span<std::uint8_t> buffer, std::uint32_t& length);
    std::uint8_t PlayAudioMSF(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF,
                              std::uint8_t endM, std::uint8_t endS, std::uint8_t endF);
    std::uint8_t PauseAudio();
    std::uint8_t SetAudioVolume(std::uint8_t volume);
    std::uint8_t SetCaching(bool readCacheDisable, bool writeCacheEnable);
    // MODE SENSE(10) page 0x2A; the first 26 reply bytes go to `record`.
    std::uint8_t ReadCapabilities(std::array<std::uint8_t, kCapabilitiesLength>& record);
    // SET CD SPEED, sent a second time when the first fails.
    std::uint8_t SetReadSpeed(std::uint8_t factor);
    // 0 failed, 5 door open, else mechanism state + 1.
    int GetMechanismStatus();
    // Reads `count` sectors at `lba` with the current read type into `buffer`
    // (at least count x 2352 bytes). Returns the transport status; a read type
    // outside 0-8 or a short buffer is refused with a failure status.
    std::uint8_t ReadSectors(std::uint32_t lba, std::uint16_t count, std::span<std::uint8_t> buffer);

protected:
    // A failure status of this set for commands refused before sending.
    virtual std::uint8_t RefusedStatus() const = 0;
    virtual std::uint8_t LockByte() const = 0;
    virtual std::uint32_t CapabilitiesLength() const = 0;

private:
    int readType_ = 0;
};

}  // namespace melvarin
