#include "drive/FakeDeviceLayer.h"

#include <algorithm>

namespace melvarin::test {
namespace {

// Hands out a shared FakeDrive as a uniquely owned device.
class Handle : public ScsiDevice {
public:
    explicit Handle(std::shared_ptr<FakeDrive> d) : drive_(std::move(d)) {}
    ScsiResult execute(const ScsiCommand& c) override { return drive_->execute(c); }
    std::string path() const override { return drive_->path(); }

private:
    std::shared_ptr<FakeDrive> drive_;
};

}  // namespace

ScsiResult FakeDrive::execute(const ScsiCommand& command) {
    SentCommand s{{command.cdb.begin(), command.cdb.end()}, command.direction, command.data.size(), {}};
    if (command.direction == DataDirection::Out) s.dataOut.assign(command.data.begin(), command.data.end());
    sent.push_back(std::move(s));
    if (failIoctl) return {};
    if (!command.cdb.empty() && command.cdb[0] == 0x12) {
        ScsiResult r;
        r.delivered = true;
        std::uint8_t inquiry[36] = {0x05, 0x80, 0x05, 0x32, 31};
        std::copy_n(name_.begin(), std::min<std::size_t>(name_.size(), 24), inquiry + 8);
        std::copy(std::begin("1.00"), std::begin("1.00") + 4, inquiry + 32);
        std::copy_n(inquiry, std::min<std::size_t>(sizeof inquiry, command.data.size()), command.data.begin());
        return r;
    }
    if (reply) return reply(command);
    ScsiResult r;
    r.delivered = true;
    return r;
}

std::unique_ptr<ScsiDevice> FakeDeviceLayer::open(const std::string& path, bool readWrite) {
    opens.emplace_back(path, readWrite);
    auto fail = failOpens.find(path);
    if (fail != failOpens.end() && fail->second != 0) {
        if (fail->second > 0) --fail->second;
        return nullptr;
    }
    if (readWrite && refuseReadWrite.count(path)) return nullptr;
    auto it = nodes.find(path);
    if (it == nodes.end()) return nullptr;
    return std::make_unique<Handle>(it->second);
}

std::optional<GenericNodeId> FakeDeviceLayer::scsiId(const std::string& path) {
    auto it = ids.find(path);
    if (it == ids.end()) return std::nullopt;
    return it->second;
}

int FakeDeviceLayer::hostMaxTargets(int host) {
    auto it = maxTargets.find(host);
    return it == maxTargets.end() ? 8 : it->second;
}

std::shared_ptr<FakeDrive> FakeDeviceLayer::addSr(int n, const std::string& name) {
    const std::string path = "/dev/sr" + std::to_string(n);
    auto d = std::make_shared<FakeDrive>(path, name);
    nodes[path] = d;
    names.push_back("sr" + std::to_string(n));
    return d;
}

std::shared_ptr<FakeDrive> FakeDeviceLayer::addSg(int n, GenericNodeId id, const std::string& name) {
    const std::string path = "/dev/sg" + std::to_string(n);
    auto d = std::make_shared<FakeDrive>(path, name);
    nodes[path] = d;
    ids[path] = id;
    names.push_back("sg" + std::to_string(n));
    return d;
}

}  // namespace melvarin::test
