#pragma once
#include <memory>
#include <string>

#include "app/SettingsRecord.h"
#include "cddb/TDiscTags.h"
#include "cddb/TLocalCDDB.h"
#include "cli/CliCommand.h"
#include "disc/DiscRecord.h"
#include "disc/TAudioCD.h"

namespace melvarin {

// The disc in the reading drive as the main window's refresh loads it: the
// drive opened by the settings (DeviceName, Interface, CommandType), the disc
// record from the saved record, the local CDDB, CD-TEXT or "Track N", and the
// disc tags. Commands that read audio (grab, grab-disc) share it.
struct CliDisc {
    std::unique_ptr<TAudioCD> drive;
    DiscRecord disc{};
    TDiscTags tags;
    TLocalCDDB localCddb;

    // False, with the reason on ctx.err after `command`, when the drive cannot
    // be opened or holds no readable disc.
    bool Load(CliContext& ctx, const std::string& command, const SettingsRecord& settings);
};

// The value of a --out option as a folder path ending with "/".
std::string FolderArgument(const std::string& value);

}  // namespace melvarin
