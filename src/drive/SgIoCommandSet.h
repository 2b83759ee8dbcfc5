#pragma once
#include <array>
#include <memory>
#include <string>

#include "drive/CommandSet.h"
#include "drive/DeviceLayer.h"

namespace melvarin {

// The command set that addresses drives by number through SG_IO: number n is
// /dev/srN for the real devices; the emulated drives follow, numbered from one
// past the highest /dev/srN present when the set was made (numbers beyond them are
// /dev/srN again). One device is open at
// a time. Statuses: the SCSI status byte (0 GOOD), 170 when no device is open,
// 4 when the system call fails or the command is refused before sending.
class SgIoCommandSet : public CommandSet {
public:
    static constexpr std::uint8_t kNoDevice = 170;
    static constexpr std::uint8_t kCallFailed = 4;
    static constexpr int kNone = 255;
    static constexpr int kOpenAttempts = 5;

    explicit SgIoCommandSet(DeviceLayer& layer);

    // Reopening the open number only stores the read type. Otherwise closes the
    // open device and opens the new one read-write, trying 5 times, then once
    // with the other access mode.
    bool OpenDevice(int number, int readType) override;
    void CloseDevice() override;
    // Returns at once when the command is done: no yield of the processor, which
    // on a busy machine would hand every other runnable task a time slice per
    // command and stretch a grab many times over.
    std::uint8_t SendCommand(std::span<const std::uint8_t> cdb, std::uint32_t dataLength,
                             std::span<std::uint8_t> data, DataDirection direction) override;
    std::uint8_t SuccessStatus() const override { return 0; }
    SenseData LastSense() const override;

    // The open device's number, or kNone.
    int OpenNumber() const { return number_; }
    // The open device's path ("/dev/sr0" or an emulated drive's folder); empty when none.
    std::string OpenPath() const;
    // True when the open device was opened read-write (needed for data-out commands).
    bool OpenReadWrite() const { return readWrite_; }
    // The 32 sense bytes kept from the last command the system accepted.
    const std::array<std::uint8_t, 32>& SenseBytes() const { return sense_; }
    // Device number of the first emulated drive.
    int FirstVirtualNumber() const { return firstVirtual_; }

protected:
    std::uint8_t RefusedStatus() const override { return kCallFailed; }
    std::uint8_t LockByte() const override { return kLockByteSgIo; }
    std::uint32_t CapabilitiesLength() const override { return kCapabilitiesLength; }

private:
    DeviceLayer& layer_;
    std::shared_ptr<ScsiDevice> device_;
    int number_ = kNone;
    bool readWrite_ = false;
    int firstVirtual_ = 0;
    std::array<std::uint8_t, 32> sense_{};
};

// Number N of a name "<prefix>N" (digits only after the prefix); -1 otherwise.
int deviceNodeNumber(const std::string& name, const std::string& prefix);

}  // namespace melvarin
