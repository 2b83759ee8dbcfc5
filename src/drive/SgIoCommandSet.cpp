#include "drive/SgIoCommandSet.h"

#include <algorithm>
#include <thread>

#include "drive/MmcReplies.h"

namespace melvarin {

int deviceNodeNumber(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    if (name.size() - prefix.size() > 6) return -1;
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

SgIoCommandSet::SgIoCommandSet(DeviceLayer& layer) : layer_(layer) {
    for (const auto& name : layer_.deviceNames()) firstVirtual_ = std::max(firstVirtual_, deviceNodeNumber(name, "sr") + 1);
}

bool SgIoCommandSet::OpenDevice(int number, int readType) {
    if (number == number_ && device_) {
        SetReadType(readType);
        return true;
    }
    CloseDevice();
    std::this_thread::yield();
    if (number < 0) return false;
    const auto& virtuals = layer_.virtualDrives();
    const auto index = static_cast<std::size_t>(number - firstVirtual_);
    if (number >= firstVirtual_ && index < virtuals.size()) {
        if (!virtuals[index]) return false;
        device_ = virtuals[index];
        readWrite_ = true;
    } else {
        const std::string path = "/dev/sr" + std::to_string(number);
        bool readWrite = true;
        std::unique_ptr<ScsiDevice> opened;
        for (int attempt = 0; attempt < kOpenAttempts && !opened; ++attempt) {
            opened = layer_.open(path, readWrite);
            if (!opened) std::this_thread::yield();
        }
        if (!opened) {
            readWrite = !readWrite;
            opened = layer_.open(path, readWrite);
        }
        if (!opened) return false;
        device_ = std::move(opened);
        readWrite_ = readWrite;
    }
    number_ = number;
    SetReadType(readType);
    return true;
}

void SgIoCommandSet::CloseDevice() {
    std::this_thread::yield();
    device_.reset();
    number_ = kNone;
    readWrite_ = false;
    std::this_thread::yield();
}

std::string SgIoCommandSet::OpenPath() const { return device_ ? device_->path() : std::string(); }

std::uint8_t SgIoCommandSet::SendCommand(std::span<const std::uint8_t> cdb, std::uint32_t dataLength,
                                         std::span<std::uint8_t> data, DataDirection direction) {
    if (!device_) return kNoDevice;
    if (cdb.empty() || cdb.size() > 16 || data.size() < dataLength) return kCallFailed;
    // The kernel refuses data-out commands on a node opened read-only.
    if (direction == DataDirection::Out && !readWrite_) return kCallFailed;
    ScsiCommand command;
    command.cdb = cdb;
    command.direction = direction;
    command.data = data.first(dataLength);
    command.timeoutMs = 15000;
    const ScsiResult result = device_->execute(command);
    if (!result.delivered) return kCallFailed;
    sense_ = result.sense;
    std::fill(sense_.begin() + std::min<std::size_t>(result.senseLength, sense_.size()), sense_.end(), 0);
    return result.status;
}

SenseData SgIoCommandSet::LastSense() const { return mmc::parseSense(sense_); }

}  // namespace melvarin
