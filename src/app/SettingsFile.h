#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "app/SettingsProfileList.h"
#include "app/SettingsRecord.h"

namespace melvarin {

// Folders the load rules put into path fields that hold no usable folder.
struct SettingsPathDefaults {
    std::string workDir;    // for WorkDir: the user's music folder
    std::string lcddbPath;  // for LCDDBPath: program home + "LocalCDDB/"

    // The music folder and ProgramHome::localCddbDir() (ProgramHome must be set).
    static SettingsPathDefaults fromProgramHome();
};

struct SettingsLoadResult {
    SettingsRecord record;
    bool fromFile = false;     // a settings file was read (possibly short)
    std::size_t bytesRead = 0; // how many of its bytes were used (at most 1516)
};

struct SettingsSaveResult {
    bool ok = false;
    std::string error;  // why not, for the user; empty when ok
};

// The settings file: a raw dump of SettingsRecord in "setting/" of the program
// home, "set.dat" for the default profile or a profile's file name.
//
// The rules that concern only the record are applied here (see applyLoadRules).
// The window applies the rest itself after LoadSettings: both colours to the
// window, the grab button hint from MP3AsOGG, grid lines from ShowGrid, the
// transport (Interface) and drive DeviceName with readCommandFor(), the stored
// window placement and player, ColumnWidths, the size indicator and toolbar
// buttons from ShowWAVE..ShowEXT, the language from Language, and opening the
// local CDDB at LCDDBPath. Before SaveSettings it stores ColumnWidths and
// Language into the record and writes its own stored window values.
class SettingsFile {
public:
    // Reads "setting/" + name. A missing file, a folder, a file that cannot be
    // read or a name that is not a plain file name give the defaults; a short
    // file keeps the defaults after the bytes it has; bytes past 1516 are
    // ignored. The load rules are applied in every case. Never fails.
    static SettingsLoadResult LoadSettings(const std::string& name);

    // Writes the profile list as "setting/prof.lst" and the record as
    // "setting/" + name, creating "setting/" when missing. Each file is replaced
    // atomically: when writing fails the old file stays as it was.
    static SettingsSaveResult SaveSettings(const std::string& name, const SettingsRecord& record,
                                           const SettingsProfileList& profiles);

    // Saves into the current profile's file ("set.dat" for the default profile)
    // and the list with the current index in its line 0.
    static SettingsSaveResult SaveCurrentSettings(const SettingsRecord& record,
                                                  const SettingsProfileList& profiles);

    // "setting/prof.lst" of the program home, or the list "-1" without one.
    static SettingsProfileList loadProfileList();

    // The record stored bytes give: the bytes over `defaults` (a short input
    // keeps the defaults after its end), then the load rules. Pure.
    static SettingsRecord fromBytes(std::string_view bytes, const SettingsRecord& defaults,
                                    const SettingsPathDefaults& paths);

    // The stored form: exactly 1516 bytes.
    static std::string toBytes(const SettingsRecord& record);

    // The load rules that concern the record alone:
    // - LCDDBPath that is not an absolute folder (empty, "C:\" ...) becomes
    //   paths.lcddbPath; WorkDir likewise becomes paths.workDir; ConvertDir and
    //   FileName that are not absolute become empty;
    // - a zero ControlColor or WindowColor resets both to their defaults;
    // - Volume 0 becomes 255;
    // - every text field ends with a zero byte inside the field.
    static void applyLoadRules(SettingsRecord& record, const SettingsPathDefaults& paths);

    // The read command stored for drive `drive`: 0 when the record has no entry
    // for that drive or the entry names no command (above 9).
    static uint8_t readCommandFor(const SettingsRecord& record, std::size_t drive);

    // Does `text` name an absolute folder or file on this system?
    static bool isAbsolutePath(std::string_view text);
};

}  // namespace melvarin
