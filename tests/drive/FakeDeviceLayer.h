#pragma once
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "drive/DeviceLayer.h"

namespace melvarin::test {

// One command as a device received it.
struct SentCommand {
    std::vector<std::uint8_t> cdb;
    DataDirection direction;
    std::size_t dataLength;
    std::vector<std::uint8_t> dataOut;  // what a data-out command carried
};

// A scripted drive: answers INQUIRY with its name, every other command through
// `reply` (default: GOOD, data untouched), and records what it was sent.
class FakeDrive : public ScsiDevice {
public:
    explicit FakeDrive(std::string path, std::string vendorProduct = "VENDOR  PRODUCT         ")
        : path_(std::move(path)), name_(std::move(vendorProduct)) {}

    ScsiResult execute(const ScsiCommand& command) override;
    std::string path() const override { return path_; }

    std::vector<SentCommand> sent;
    // Fills `data` and returns the result of a command other than INQUIRY.
    std::function<ScsiResult(const ScsiCommand&)> reply;
    bool failIoctl = false;

private:
    std::string path_;
    std::string name_;
};

// A device layer over FakeDrives: real nodes by path, generic node ids, host
// target counts and emulated drives as the test sets them; every open recorded.
class FakeDeviceLayer : public DeviceLayer {
public:
    bool passThroughAvailable() override { return passThrough; }
    std::unique_ptr<ScsiDevice> open(const std::string& path, bool readWrite) override;
    std::vector<std::string> deviceNames() override { return names; }
    bool genericDriverPresent() override { return genericDriver; }
    std::optional<GenericNodeId> scsiId(const std::string& path) override;
    int hostMaxTargets(int host) override;
    const std::vector<std::shared_ptr<ScsiDevice>>& virtualDrives() override { return virtuals; }

    // Adds /dev/srN (and its /dev entry) answering with `name`.
    std::shared_ptr<FakeDrive> addSr(int n, const std::string& name = "VENDOR  PRODUCT         ");
    // Adds /dev/sgN with a SCSI address and device type.
    std::shared_ptr<FakeDrive> addSg(int n, GenericNodeId id, const std::string& name = "VENDOR  PRODUCT         ");

    bool passThrough = true;
    bool genericDriver = true;
    std::vector<std::string> names;
    std::map<std::string, std::shared_ptr<FakeDrive>> nodes;
    std::map<std::string, GenericNodeId> ids;
    std::map<int, int> maxTargets;  // default 8
    std::vector<std::shared_ptr<ScsiDevice>> virtuals;
    // Opens of these paths fail while the count for them is above zero; each
    // failed open lowers it. -1: always fail.
    std::map<std::string, int> failOpens;
    // Access mode that is refused (e.g. read-write without permission).
    std::set<std::string> refuseReadWrite;
    std::vector<std::pair<std::string, bool>> opens;  // path, readWrite
};

}  // namespace melvarin::test
