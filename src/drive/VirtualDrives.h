#pragma once
#include "drive/ScsiDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace melvarin {

// The folders of the emulated drives, in the order they follow the real drives:
// the colon-separated folders of MELVARIN_VIRTUAL_DRIVES when that variable is
// set (empty entries skipped); otherwise, when no real drive was found, the
// program home's vdrive/ folder, which is created and given the built-in sample
// disc the first time (when the folder does not exist yet). Each folder ends
// with "/". Empty when none applies or the home is not set.
std::vector<std::string> VirtualDriveFolders(bool realDrivesFound);

// An emulated drive for `folder` (see VirtualDrive). Never null; a folder
// without a usable disc gives a drive without a disc.
std::unique_ptr<ScsiDevice> OpenVirtualDrive(const std::string& folder);

}  // namespace melvarin
