#include "app/ProgramFolders.h"

#include <filesystem>
#include <system_error>

#include "platform/ProgramHome.h"

namespace melvarin {

bool ProgramFolders::create(std::string& error) {
    for (const std::string& dir : {ProgramHome::settingDir(), ProgramHome::albumsDir(), ProgramHome::langDir(),
                                   ProgramHome::tempFilesDir()}) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (!std::filesystem::is_directory(dir)) {
            error = "cannot create the folder " + dir + (ec ? ": " + ec.message() : std::string());
            return false;
        }
    }
    return true;
}

bool ProgramFolders::removeTempFiles() {
    std::string dir = ProgramHome::tempFilesDir();
    dir.pop_back();  // the link itself, not what it points to
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return !std::filesystem::exists(std::filesystem::symlink_status(dir, ec));
}

}  // namespace melvarin
