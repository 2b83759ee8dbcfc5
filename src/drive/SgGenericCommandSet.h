#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "drive/CommandSet.h"
#include "drive/DeviceLayer.h"

namespace melvarin {

// The last execute-command request as it completed: the fields of the 80-byte
// request block that mean something here, with its sense area.
struct ExecRequest {
    std::uint8_t status = 0;   // 1 completed, 4 completed with error
    std::uint8_t adapter = 0;  // host adapter (host number)
    std::uint8_t flags = 0;    // 0x08 data in / 0x10 data out, | 0x40 event notification
    std::uint8_t target = 0;
    std::uint8_t lun = 0;
    std::uint32_t bufferLength = 0;
    std::uint8_t senseLength = 14;
    std::uint8_t cdbLength = 0;
    std::uint8_t adapterStatus = 0;
    std::uint8_t targetStatus = 0;  // SCSI status byte
    std::array<std::uint8_t, 16> cdb{};
    std::array<std::uint8_t, 16> senseArea{};
};

// The command set that addresses drives as rows of a table built by a bus scan
// of the SCSI generic nodes (/dev/sgN), in host/target order, CD/DVD devices
// only; the emulated drives take the rows after them. "Opening" selects a row.
// Statuses: 1 completed without error, 4 completed with error (or refused).
class SgGenericCommandSet : public CommandSet {
public:
    static constexpr std::uint8_t kCompleted = 1;
    static constexpr std::uint8_t kFailed = 4;
    static constexpr int kTableRows = 32;
    static constexpr std::uint8_t kFlagIn = 0x08;
    static constexpr std::uint8_t kFlagOut = 0x10;
    static constexpr std::uint8_t kFlagEventNotify = 0x40;

    explicit SgGenericCommandSet(DeviceLayer& layer);

    // Succeeds (and does nothing more) when already loaded; otherwise when the
    // SCSI generic driver is present. Loading leaves the table empty.
    bool LoadAspi();
    void UnloadAspi();
    bool Loaded() const { return loaded_; }
    // Rebuilds the table: for each host 0..max host of the nodes, for each target
    // below its target count (16 when it reports 16, else 8), the LUN 0 node of
    // device type 5; then the emulated drives; at most 32 rows. Returns `Count`.
    int ScanBus();

    // Selects row `number` when loaded and number < Count.
    bool OpenDevice(int number, int readType) override;
    std::uint8_t SendCommand(std::span<const std::uint8_t> cdb, std::uint32_t dataLength,
                             std::span<std::uint8_t> data, DataDirection direction) override;
    std::uint8_t SuccessStatus() const override { return kCompleted; }
    SenseData LastSense() const override;

    int Count() const { return static_cast<int>(rows_.size()); }
    int Current() const { return current_; }
    std::uint8_t AdapterOf(int row) const { return rows_.at(row).adapter; }
    std::uint8_t TargetOf(int row) const { return rows_.at(row).target; }
    // Path of a row ("/dev/sg1" or an emulated drive's folder).
    std::string PathOf(int row) const;
    const ExecRequest& LastSrb() const { return lastSrb_; }

protected:
    std::uint8_t RefusedStatus() const override { return kFailed; }
    std::uint8_t LockByte() const override { return kLockByteGeneric; }
    std::uint32_t CapabilitiesLength() const override { return 28; }

private:
    struct Row {
        std::uint8_t adapter = 0;
        std::uint8_t target = 0;
        std::string path;                     // generic node, opened on first use
        std::shared_ptr<ScsiDevice> device;   // open node or emulated drive
    };
    ScsiDevice* deviceOf(Row& row);

    DeviceLayer& layer_;
    bool loaded_ = false;
    std::vector<Row> rows_;
    int current_ = 0;
    ExecRequest lastSrb_;
};

}  // namespace melvarin
