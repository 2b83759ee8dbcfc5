#include "drive/LinuxDeviceLayer.h"

#include "drive/SgIoCommandSet.h"
#include "drive/VirtualDrives.h"

#include <dirent.h>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace melvarin {
namespace {

// An open /dev node executing commands through SG_IO.
class SgIoDevice : public ScsiDevice {
public:
    SgIoDevice(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~SgIoDevice() override { ::close(fd_); }
    SgIoDevice(const SgIoDevice&) = delete;
    SgIoDevice& operator=(const SgIoDevice&) = delete;

    ScsiResult execute(const ScsiCommand& command) override {
        ScsiResult r;
        sg_io_hdr_t io;
        std::memset(&io, 0, sizeof io);
        io.interface_id = 'S';
        io.cmd_len = static_cast<unsigned char>(command.cdb.size());
        io.cmdp = const_cast<unsigned char*>(command.cdb.data());
        io.mx_sb_len = static_cast<unsigned char>(r.sense.size());
        io.sbp = r.sense.data();
        io.timeout = command.timeoutMs;
        switch (command.direction) {
            case DataDirection::None: io.dxfer_direction = SG_DXFER_NONE; break;
            case DataDirection::In: io.dxfer_direction = SG_DXFER_FROM_DEV; break;
            case DataDirection::Out: io.dxfer_direction = SG_DXFER_TO_DEV; break;
        }
        io.dxfer_len = static_cast<unsigned>(command.data.size());
        io.dxferp = command.data.empty() ? nullptr : command.data.data();
        if (io.dxfer_len == 0 && io.dxfer_direction != SG_DXFER_NONE) io.dxfer_direction = SG_DXFER_NONE;
        if (::ioctl(fd_, SG_IO, &io) < 0) return r;
        r.delivered = true;
        r.status = io.status;
        r.senseLength = io.sb_len_wr;
        const int resid = io.resid > 0 ? io.resid : 0;
        r.transferred = io.dxfer_len > static_cast<unsigned>(resid) ? io.dxfer_len - resid : 0;
        return r;
    }

    std::string path() const override { return path_; }

private:
    int fd_;
    std::string path_;
};

std::mutex gSourceMutex;
LinuxDeviceLayer::DefaultSource gDefaultSource;

}  // namespace

void LinuxDeviceLayer::setDefaultVirtualSource(DefaultSource source) {
    std::lock_guard lock(gSourceMutex);
    gDefaultSource = std::move(source);
}

LinuxDeviceLayer::DefaultSource LinuxDeviceLayer::defaultVirtualSource() {
    std::lock_guard lock(gSourceMutex);
    return gDefaultSource;
}

LinuxDeviceLayer::LinuxDeviceLayer(VirtualSource virtualSource, std::string devDir)
    : virtualSource_(std::move(virtualSource)), devDir_(std::move(devDir)) {}

LinuxDeviceLayer::LinuxDeviceLayer(DefaultSource virtualSource, std::string devDir)
    : LinuxDeviceLayer(virtualSource ? VirtualSource([virtualSource](bool) { return virtualSource(); }) : VirtualSource(),
                       std::move(devDir)) {}

std::unique_ptr<ScsiDevice> LinuxDeviceLayer::open(const std::string& path, bool readWrite) {
    const int fd = ::open(path.c_str(), (readWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<SgIoDevice>(fd, path);
}

std::vector<std::string> LinuxDeviceLayer::deviceNames() {
    std::vector<std::string> names;
    DIR* dir = ::opendir(devDir_.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) names.emplace_back(e->d_name);
    ::closedir(dir);
    return names;
}

bool LinuxDeviceLayer::genericDriverPresent() {
    struct stat st;
    if (::stat("/proc/scsi/sg/version", &st) == 0) return true;
    const auto names = deviceNames();
    return std::any_of(names.begin(), names.end(), [](const std::string& n) {
        return n.size() > 2 && n.compare(0, 2, "sg") == 0 &&
               std::all_of(n.begin() + 2, n.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
}

std::optional<GenericNodeId> LinuxDeviceLayer::scsiId(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct sg_scsi_id id;
    std::memset(&id, 0, sizeof id);
    const int rc = ::ioctl(fd, SG_GET_SCSI_ID, &id);
    ::close(fd);
    if (rc < 0) return std::nullopt;
    return GenericNodeId{id.host_no, id.channel, id.scsi_id, id.lun, id.scsi_type};
}

const std::vector<std::shared_ptr<ScsiDevice>>& LinuxDeviceLayer::virtualDrives() {
    if (!virtualsLoaded_) {
        virtualsLoaded_ = true;
        bool realFound = false;
        for (const auto& name : deviceNames()) realFound = realFound || deviceNodeNumber(name, "sr") >= 0;
        if (virtualSource_) virtuals_ = virtualSource_(realFound);
    }
    return virtuals_;
}

std::unique_ptr<DeviceLayer> makeSystemDeviceLayer() {
    if (auto source = LinuxDeviceLayer::defaultVirtualSource())
        return std::make_unique<LinuxDeviceLayer>(source);
    return std::make_unique<LinuxDeviceLayer>([](bool realDrivesFound) {
        std::vector<std::shared_ptr<ScsiDevice>> drives;
        for (const auto& folder : VirtualDriveFolders(realDrivesFound)) drives.push_back(OpenVirtualDrive(folder));
        return drives;
    });
}

}  // namespace melvarin
