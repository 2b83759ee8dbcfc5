#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive/ScsiDevice.h"

namespace melvarin {

// What SG_GET_SCSI_ID reports for one SCSI generic node.
struct GenericNodeId {
    int host = 0;
    int channel = 0;
    int target = 0;
    int lun = 0;
    int type = 0;  // peripheral device type; 5 = CD/DVD
};

// The kernel-facing calls of the two command sets, kept apart so that every
// decision above them can be tested with a scripted layer. Implementations do no
// policy: no retries, no filtering, no ordering.
class DeviceLayer {
public:
    virtual ~DeviceLayer() = default;

    // SG_IO pass-through on /dev/sr* nodes is available (always, on Linux).
    virtual bool passThroughAvailable() = 0;
    // Opens a device node; null when it does not open. The device executes
    // commands with SG_IO; `delivered` is false when the ioctl fails.
    virtual std::unique_ptr<ScsiDevice> open(const std::string& path, bool readWrite) = 0;
    // Entry names of /dev ("sr0", "sg1", ...), in any order.
    virtual std::vector<std::string> deviceNames() = 0;
    // The SCSI generic driver is loaded and usable (its nodes can be addressed).
    virtual bool genericDriverPresent() = 0;
    // SG_GET_SCSI_ID of a generic node; nothing when it cannot be asked.
    virtual std::optional<GenericNodeId> scsiId(const std::string& path) = 0;
    // Highest number of targets the host adapter addresses (its inquiry answer).
    virtual int hostMaxTargets(int host) = 0;
    // The emulated drives, in order; the same objects on every call, shared by
    // both command sets.
    virtual const std::vector<std::shared_ptr<ScsiDevice>>& virtualDrives() = 0;
};

}  // namespace melvarin
