#pragma once
#include <functional>

#include "drive/DeviceLayer.h"

namespace melvarin {

// The device layer of a running program: /dev nodes through open(2), SG_IO and
// SG_GET_SCSI_ID, plus the emulated drives from a discovery function (called once,
// on first use, told whether any /dev/srN exists; none when it is empty).
class LinuxDeviceLayer : public DeviceLayer {
public:
    using VirtualSource = std::function<std::vector<std::shared_ptr<ScsiDevice>>(bool realDrivesFound)>;

    using DefaultSource = std::function<std::vector<std::shared_ptr<ScsiDevice>>()>;

    explicit LinuxDeviceLayer(VirtualSource virtualSource = {}, std::string devDir = "/dev/");
    // The same with a discovery function that needs no hint.
    explicit LinuxDeviceLayer(DefaultSource virtualSource, std::string devDir = "/dev/");

    bool passThroughAvailable() override { return true; }
    std::unique_ptr<ScsiDevice> open(const std::string& path, bool readWrite) override;
    std::vector<std::string> deviceNames() override;
    bool genericDriverPresent() override;
    std::optional<GenericNodeId> scsiId(const std::string& path) override;
    // The Linux SCSI mid-layer addresses up to 16 targets on the hosts that carry
    // optical drives (ATA, USB, SAS), and reports no narrower limit.
    int hostMaxTargets(int) override { return 16; }
    const std::vector<std::shared_ptr<ScsiDevice>>& virtualDrives() override;

    // A discovery function that replaces the built-in one in layers made by
    // makeSystemDeviceLayer() from now on (empty: the built-in one again).
    static void setDefaultVirtualSource(DefaultSource source);
    static DefaultSource defaultVirtualSource();

private:
    VirtualSource virtualSource_;
    std::string devDir_;
    bool virtualsLoaded_ = false;
    std::vector<std::shared_ptr<ScsiDevice>> virtuals_;
};

// The layer of the running program: the emulated drives of MELVARIN_VIRTUAL_DRIVES,
// or the program home's vdrive/ when no real drive exists (VirtualDrives.h).
std::unique_ptr<DeviceLayer> makeSystemDeviceLayer();

}  // namespace melvarin
