#include "disc/GrabHooks.h"

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <cstdlib>
#include <filesystem>

namespace melvarin {

namespace {
constexpr int kHighPriority = -10;
}

std::string UnreadableText(const UnreadableSectors& sectors) {
    std::string text = "track " + std::to_string(sectors.track + 1) + ": " + std::to_string(sectors.count) +
                       (sectors.count == 1 ? " sector" : " sectors") + " could not be read (LBA ";
    for (std::size_t i = 0; i < sectors.runs.size(); ++i) {
        const SectorRun& r = sectors.runs[i];
        if (i) text += ", ";
        text += std::to_string(r.first);
        if (r.count > 1) text += "\xE2\x80\x93" + std::to_string(r.first + r.count - 1);
    }
    return text + ")";
}

bool SystemActions::RaisePriority() {
    saved_ = getpriority(PRIO_PROCESS, 0);
    return setpriority(PRIO_PROCESS, 0, kHighPriority) == 0;
}

void SystemActions::RestorePriority() {
    setpriority(PRIO_PROCESS, 0, saved_);
}

void SystemActions::PowerOff() {
    [[maybe_unused]] int status = std::system("systemctl poweroff");
}

std::optional<std::uint64_t> StatvfsFreeSpace(const std::string& folder) {
    std::error_code ec;
    std::filesystem::path p = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    while (!p.empty() && !std::filesystem::exists(p, ec)) {
        const auto parent = p.parent_path();
        if (parent == p) break;
        p = parent;
    }
    struct statvfs info {};
    if (p.empty() || statvfs(p.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace melvarin
