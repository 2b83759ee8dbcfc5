#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace melvarin {

// Fixed-format sense data, as far as the program uses it.
struct SenseData {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
    bool operator==(const SenseData&) const = default;
};

enum class DataDirection { None, In, Out };

// One command for a device. `data` is filled by the device (In) or sent to it (Out).
struct ScsiCommand {
    std::span<const std::uint8_t> cdb;
    DataDirection direction = DataDirection::None;
    std::span<std::uint8_t> data;
    unsigned timeoutMs = 30000;
};

// What came back. `delivered` is false when the system call carrying the command
// failed; then the other fields mean nothing.
struct ScsiResult {
    bool delivered = false;
    std::uint8_t status = 0;  // SCSI status byte: 0 GOOD, 2 CHECK CONDITION, ...
    std::array<std::uint8_t, 32> sense{};
    std::size_t senseLength = 0;
    std::size_t transferred = 0;

    // Key/ASC/ASCQ of fixed-format (0x70/0x71) sense bytes; zeros when there are none.
    SenseData senseData() const {
        SenseData s;
        if (senseLength >= 3) s.key = sense[2] & 0x0F;
        if (senseLength >= 13) s.asc = sense[12];
        if (senseLength >= 14) s.ascq = sense[13];
        return s;
    }
};

// A device that executes SCSI/MMC command descriptor blocks: a real /dev/sr* or
// /dev/sg* node through SG_IO, or an emulated drive. Not thread-safe: one user at
// a time.
class ScsiDevice {
public:
    virtual ~ScsiDevice() = default;
    virtual ScsiResult execute(const ScsiCommand& command) = 0;
    // "/dev/sr0", "/dev/sg2", or the folder of an emulated drive.
    virtual std::string path() const = 0;
};

}  // namespace melvarin
