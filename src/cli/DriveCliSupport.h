#pragma once
#include <memory>
#include <string>

#include "app/SettingsRecord.h"
#include "app/TLanguage.h"
#include "cli/CliCommand.h"
#include "drive/TCDROM.h"

namespace melvarin {

// What the drive commands share: the settings of the home, the language they
// name, and the reading drive opened as the main window opens it.
struct CliDrive {
    SettingsRecord settings{};
    TLanguage language;
    bool russian = true;
    std::unique_ptr<TCDROM> cd;
    int drive = -1;

    // Reads the current profile's settings file as the main window does (the
    // defaults and load rules of SettingsFile) and makes its language current
    // for Message(). Call before anything else.
    void LoadSettings(const CliContext& ctx);
    // Detects the drives and applies the saved transport. False (reason on
    // ctx.err) when the program could not start its drive layer.
    bool Start(CliContext& ctx);
    // Start(), then opens --drive or the saved drive with its read command.
    // False (message 2 or the reason on ctx.err) when that fails.
    bool Open(CliContext& ctx);

    ~CliDrive();
};

}  // namespace melvarin
