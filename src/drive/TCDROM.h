#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "drive/CommandSet.h"
#include "drive/DeviceLayer.h"
#include "drive/SgGenericCommandSet.h"
#include "drive/SgIoCommandSet.h"

namespace melvarin {

class UserPrompt;

// The reading drive: which command set is in use, whether each is available, and
// the list of drive names. Every operation forwards to the command set chosen by
// `Interface` and acts on the drive last opened.
//
// Calling order: construct, InitInterface(0) (detection and enumeration),
// SwitchInterface with the settings field `Interface`, then OpenDrive with the
// settings drive and its entry of `CommandType`. The destructor stops audio play,
// unlocks the tray and closes the device.
class TCDROM {
public:
    // `layer` null: the running system's devices (makeSystemDeviceLayer()).
    // `prompt` shows the detection messages; null shows nothing.
    explicit TCDROM(std::unique_ptr<DeviceLayer> layer = nullptr, UserPrompt* prompt = nullptr);
    virtual ~TCDROM();
    TCDROM(const TCDROM&) = delete;
    TCDROM& operator=(const TCDROM&) = delete;

    // Detects the command sets, chooses one (`requested` when both work) and
    // enumerates the drives. Always true; when detection finds no way to reach a
    // drive at all, StartupFailed() turns true and the program should end.
    bool InitInterface(int requested);
    // Applies a transport choice: the generic set only when it is ready. Writes
    // the effective choice back; true when the transport changed. Does not
    // enumerate again.
    bool SwitchInterface(int& transport);
    bool OpenDrive(int drive, int readType);
    void CloseDrive();
    void SetReadCommand(int type);

    // Reads `count` sectors at `lba` (buffer: count x 2352 bytes at least),
    // swapping the bytes of every 16-bit sample when `swap`. 1 done, 0 failed.
    int ReadSectors(std::uint32_t lba, std::uint16_t count, std::span<std::uint8_t> buffer, bool swap);
    bool ReadTOC(std::span<std::uint8_t, kTocLength> buffer);
    // READ TOC format 5 into `buffer`; `length` gets the whole CD-TEXT block length.
    bool ReadCDText(std::span<std::uint8_t> buffer, std::uint32_t& length);
    std::array<std::uint8_t, kInquiryLength> Inquiry();
    std::uint8_t ReadCapabilities(std::array<std::uint8_t, kCapabilitiesLength>& record);
    bool IsUnitReady();
    // True when the drive is NOT ready (no disc, tray open, changing).
    bool CheckMedia();
    int GetMechanismStatus();
    std::uint8_t LoadEject(bool eject);
    std::uint8_t LockDoor(bool lock);
    bool RezeroUnit();
    std::uint8_t SetReadSpeed(std::uint8_t factor);
    bool SetCaching(bool readCacheDisable, bool writeCacheEnable);
    std::uint8_t SetAudioVolume(std::uint8_t volume);
    std::uint8_t Seek(std::uint32_t lba);
    std::uint8_t PlayAudioMSF(std::uint8_t startM, std::uint8_t startS, std::uint8_t startF,
                              std::uint8_t endM, std::uint8_t endS, std::uint8_t endF);
    // Start and end packed as minute | second << 8 | frame << 16.
    std::uint8_t PlayAudio(std::uint32_t start, std::uint32_t end);
    std::uint8_t PauseAudio();
    std::uint8_t ReadPosition(std::array<std::uint8_t, 4>& address, std::uint8_t& audioStatus);

    // The command set in use and the two sets themselves (the recorder and the
    // read-command detection use them directly).
    CommandSet& Current();
    SgIoCommandSet& SgIo() { return sgIo_; }
    SgGenericCommandSet& Generic() { return generic_; }
    // The success status of the set in use (0 SG_IO, 1 generic).
    std::uint8_t SuccessStatus() { return Current().SuccessStatus(); }
    // Whether a transport can be chosen now (the settings window's radio buttons).
    bool TransportAvailable(int transport) const;
    bool StartupFailed() const { return startupFailed_; }

    // For lists: number of drives, a drive's name, and the device it was found at
    // ("/dev/sr0", "/dev/sg1", an emulated drive's folder).
    int DriveCount() const { return static_cast<int>(Drives.size()); }
    const std::string& DriveName(int drive) const { return Drives.at(drive); }
    const std::string& DriveDevice(int drive) const { return DriveDevices.at(drive); }

    int Interface = kTransportGeneric;
    bool AspiReady = false;
    bool IsNT = false;
    // The 24 characters of INQUIRY bytes 8-31 of each drive found, padding kept.
    // A name's position is the drive number every open uses.
    std::vector<std::string> Drives;
    std::vector<std::string> DriveDevices;

private:
    void Detect();
    void Enumerate();

    std::unique_ptr<DeviceLayer> layer_;
    UserPrompt* prompt_;
    SgIoCommandSet sgIo_;
    SgGenericCommandSet generic_;
    bool startupFailed_ = false;
};

// Frame-count helpers (75 frames a second, 4500 a minute).
struct Msf {
    std::uint32_t minutes = 0, seconds = 0, frames = 0;
};
Msf FramesToMSF(std::uint32_t frames);
std::uint32_t MinutesOf(std::uint32_t frames);
std::uint32_t SecondsOf(std::uint32_t frames);
std::uint32_t FramesOf(std::uint32_t frames);

// Exchanges the two bytes of every 16-bit word of `buffer`.
void SwapSampleBytes(std::span<std::uint8_t> buffer);

}  // namespace melvarin
