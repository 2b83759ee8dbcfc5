#pragma once
#include <string>

namespace melvarin {

// The program home H: where settings, saved discs, language files, the local CDDB
// and temporary files live. GUI and CLI resolve it by the same rule:
// $MELVARIN_HOME if set; else the executable's folder when it is writable;
// else $XDG_DATA_HOME/melvarin (~/.local/share/melvarin).
class ProgramHome {
public:
    // Resolves the home by the rule above. `overrideDir` (the CLI's --home) wins
    // when not empty. The result ends with "/". The folder is not created.
    static std::string resolve(const std::string& overrideDir = {});

    // The folder holding the running executable, ending with "/".
    static std::string executableDir();

    // Sets the home used by the accessors below (ends with "/").
    static void set(const std::string& home);
    static const std::string& get();

    // H + "setting/", "setting/albums/", "lang/", "TempFiles/", "LocalCDDB/", "vdrive/".
    static std::string settingDir();
    static std::string albumsDir();
    static std::string langDir();
    static std::string tempFilesDir();
    static std::string localCddbDir();
    static std::string vdriveDir();

    // The user's music folder ("xdg-user-dir MUSIC", else ~/Music/), ending with "/".
    static std::string musicDir();
    // The user's home folder, ending with "/".
    static std::string userHome();
};

}  // namespace melvarin
