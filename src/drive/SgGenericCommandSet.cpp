#include "drive/SgGenericCommandSet.h"

#include <algorithm>
#include <map>

#include "drive/MmcReplies.h"
#include "drive/SgIoCommandSet.h"

namespace melvarin {

SgGenericCommandSet::SgGenericCommandSet(DeviceLayer& layer) : layer_(layer) {}

bool SgGenericCommandSet::LoadAspi() {
    if (loaded_) return true;
    if (!layer_.genericDriverPresent()) return false;
    loaded_ = true;
    rows_.clear();
    current_ = 0;
    lastSrb_ = {};
    return true;
}

void SgGenericCommandSet::UnloadAspi() {
    if (!loaded_) return;
    loaded_ = false;
    rows_.clear();
    current_ = 0;
}

int SgGenericCommandSet::ScanBus() {
    rows_.clear();
    // (host, target) -> node; the lowest channel wins, LUN 0 only.
    std::map<std::pair<int, int>, std::pair<GenericNodeId, std::string>> nodes;
    int hosts = 0;
    std::vector<std::pair<int, std::string>> names;
    for (const auto& name : layer_.deviceNames()) {
        const int n = deviceNodeNumber(name, "sg");
        if (n >= 0) names.emplace_back(n, name);
    }
    std::sort(names.begin(), names.end());
    for (const auto& [n, name] : names) {
        const std::string path = "/dev/" + name;
        const auto id = layer_.scsiId(path);
        if (!id || id->host < 0 || id->host > 255 || id->target < 0) continue;
        hosts = std::max(hosts, id->host + 1);
        if (id->lun != 0) continue;
        const auto key = std::make_pair(id->host, id->target);
        const auto it = nodes.find(key);
        if (it == nodes.end() || id->channel < it->second.first.channel) nodes[key] = {*id, path};
    }
    for (int a = 0; a < hosts; ++a) {
        int targets = layer_.hostMaxTargets(a);
        if (targets != 8 && targets != 16) targets = 8;
        for (int t = 0; t < targets; ++t) {
            const auto it = nodes.find({a, t});
            if (it == nodes.end() || it->second.first.type != 5) continue;
            if (static_cast<int>(rows_.size()) >= kTableRows) break;
            rows_.push_back(Row{static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(t), it->second.second, nullptr});
        }
    }
    // Emulated drives take the rows after the real ones, on a host of their own.
    const auto& virtuals = layer_.virtualDrives();
    for (std::size_t i = 0; i < virtuals.size() && static_cast<int>(rows_.size()) < kTableRows; ++i) {
        if (!virtuals[i]) continue;
        rows_.push_back(Row{static_cast<std::uint8_t>(hosts), static_cast<std::uint8_t>(i), virtuals[i]->path(), virtuals[i]});
    }
    return Count();
}

bool SgGenericCommandSet::OpenDevice(int number, int readType) {
    if (!loaded_ || number < 0 || number >= Count()) return false;
    current_ = number;
    SetReadType(readType);
    return true;
}

std::string SgGenericCommandSet::PathOf(int row) const { return rows_.at(row).path; }

ScsiDevice* SgGenericCommandSet::deviceOf(Row& row) {
    if (!row.device) {
        auto opened = layer_.open(row.path, true);
        if (!opened) opened = layer_.open(row.path, false);
        row.device = std::move(opened);
    }
    return row.device.get();
}

std::uint8_t SgGenericCommandSet::SendCommand(std::span<const std::uint8_t> cdb, std::uint32_t dataLength,
                                              std::span<std::uint8_t> data, DataDirection direction) {
    ExecRequest srb;
    // No direction exists for commands without data: they go as data-in.
    srb.flags = static_cast<std::uint8_t>((direction == DataDirection::Out ? kFlagOut : kFlagIn) | kFlagEventNotify);
    srb.bufferLength = dataLength;
    srb.cdbLength = static_cast<std::uint8_t>(std::min<std::size_t>(cdb.size(), 16));
    std::copy_n(cdb.begin(), srb.cdbLength, srb.cdb.begin());
    srb.status = kFailed;
    if (loaded_ && current_ < Count() && !cdb.empty() && cdb.size() <= 16 && data.size() >= dataLength) {
        Row& row = rows_[current_];
        srb.adapter = row.adapter;
        srb.target = row.target;
        if (ScsiDevice* device = deviceOf(row)) {
            ScsiCommand command;
            command.cdb = cdb;
            command.direction = direction == DataDirection::Out ? DataDirection::Out : DataDirection::In;
            command.data = data.first(dataLength);
            const ScsiResult result = device->execute(command);
            if (result.delivered) {
                srb.targetStatus = result.status;
                std::copy_n(result.sense.begin(), std::min<std::size_t>(result.senseLength, srb.senseLength),
                            srb.senseArea.begin());
                if (result.status == 0) srb.status = kCompleted;
            } else {
                srb.adapterStatus = 0x11;  // selection time-out
            }
        }
    }
    lastSrb_ = srb;
    return srb.status;
}

SenseData SgGenericCommandSet::LastSense() const { return mmc::parseSense(lastSrb_.senseArea); }

}  // namespace melvarin
