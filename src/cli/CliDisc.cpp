#include "cli/CliDisc.h"

#include <cstdint>
#include <ostream>

#include "cddb/DiscXmcd.h"
#include "disc/DiscStore.h"
#include "drive/LinuxDeviceLayer.h"
#include "platform/ProgramHome.h"

namespace melvarin {

bool CliDisc::Load(CliContext& ctx, const std::string& command, SettingsRecord& settings) {
    if (ctx.drive >= 0) settings.DeviceName = static_cast<std::uint8_t>(ctx.drive);
    drive = std::make_unique<TAudioCD>(ProgramHome::albumsDir(), makeSystemDeviceLayer(), ctx.prompt);
    drive->InitInterface(0);
    int transport = settings.Interface;
    drive->SwitchInterface(transport);
    if (ctx.drive > 255 || settings.DeviceName >= drive->DriveCount()) {
        *ctx.err << "melvarin-cli " << command << ": no drive " << (ctx.drive >= 0 ? ctx.drive : settings.DeviceName)
                 << "\n";
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

bool CliDisc::Save(CliContext& ctx, const std::string& command, const SettingsRecord& settings) {
    if (disc.artist().empty() && disc.album().empty()) return true;
    const DiscStore store(ProgramHome::albumsDir());
    const bool useLocal = !settings.UseOnlyLocalBase;
    if (store.SaveDiscInfo(disc, tags, [&](const DiscRecord& d) {
            if (useLocal) DiscXmcd::Save(localCddb, d);
        }))
        return true;
    *ctx.err << "melvarin-cli " << command << ": the disc's record could not be saved in " << store.AlbumsDir() << '\n';
    return false;
}

std::string FolderArgument(const std::string& value) {
    if (value.empty()) return "./";
    return value.back() == '/' ? value : value + "/";
}

}  // namespace melvarin
