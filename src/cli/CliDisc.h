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
// disc tags. Every command that works on the disc shares it.
struct CliDisc {
    std::unique_ptr<TAudioCD> drive;
    DiscRecord disc{};
    TDiscTags tags;
    TLocalCDDB localCddb;

    // Puts --drive into `settings` (DeviceName), then opens the drive and reads
    // the disc. False, with the reason on ctx.err after `command`, when the
    // drive cannot be opened or holds no readable disc.
    bool Load(CliContext& ctx, const std::string& command, SettingsRecord& settings);

    // Saves the disc record (texts, grabbed flags, trimming) and the tags as the
    // main window saves them, and with them the local CDDB entry unless
    // UseOnlyLocalBase. A disc with neither artist nor album is not saved (true).
    // False, with the reason on ctx.err after `command`, when a file could not
    // be written.
    bool Save(CliContext& ctx, const std::string& command, const SettingsRecord& settings);
};

// The value of a --out option as a folder path ending with "/".
std::string FolderArgument(const std::string& value);

}  // namespace melvarin
