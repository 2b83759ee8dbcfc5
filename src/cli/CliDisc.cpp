#include "cli/CliDisc.h"

#include "cddb/DiscXmcd.h"
#include "drive/LinuxDeviceLayer.h"
#include "platform/ProgramHome.h"

namespace melvarin {

bool CliDisc::Load(CliContext& ctx, const std::string& command, const SettingsRecord& settings) {
    drive = std::make_unique<TAudioCD>(ProgramHome::albumsDir(), makeSystemDeviceLayer(), ctx.prompt);
    drive->InitInterface(0);
    int transport = settings.Interface;
    drive->SwitchInterface(transport);
    if (settings.DeviceName >= drive->DriveCount()) {
        *ctx.err << "melvarin-cli " << command << ": no drive " << int(settings.DeviceName) << "\n";
        return false;
    }
    localCddb.SetBasePath(getText(settings.LCDDBPath), ProgramHome::localCddbDir());
    drive->SetLocalLookup([this](std::uint32_t, DiscRecord& d) { return DiscXmcd::Lookup(localCddb, d); });
    disc.clear();
    if (!LoadDisc(*drive, settings, disc, tags)) {
        *ctx.err << "melvarin-cli " << command << ": no readable disc in the drive\n";
        return false;
    }
    return true;
}

std::string FolderArgument(const std::string& value) {
    if (value.empty()) return "./";
    return value.back() == '/' ? value : value + "/";
}

}  // namespace melvarin
