#include "drive/VirtualDrives.h"

#include "drive/SampleDisc.h"
#include "drive/VirtualDrive.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

#include <cstdlib>

namespace melvarin {

std::vector<std::string> VirtualDriveFolders(bool realDrivesFound) {
    std::vector<std::string> folders;
    if (const char* list = std::getenv("MELVARIN_VIRTUAL_DRIVES")) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view item = rest.substr(0, colon);
            if (!item.empty()) folders.push_back(FileUtil::withSlash(std::string(item)));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return folders;
    }
    if (realDrivesFound || ProgramHome::get().empty()) return folders;
    const std::string dir = ProgramHome::vdriveDir();
    if (!FileUtil::isDirectory(dir)) {
        if (!FileUtil::makeDirs(dir)) return folders;
        SampleDisc::write(dir);
    }
    folders.push_back(dir);
    return folders;
}

std::unique_ptr<ScsiDevice> OpenVirtualDrive(const std::string& folder) {
    return std::make_unique<VirtualDrive>(folder);
}

}  // namespace melvarin
