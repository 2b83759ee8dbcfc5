#include "cli/DriveCliSupport.h"

#include <ostream>

#include "app/LanguageFiles.h"
#include "app/Messages.h"
#include "app/SettingsFile.h"
#include "platform/ProgramHome.h"

namespace melvarin {

void CliDrive::LoadSettings(const CliContext& ctx) {
    settings = SettingsFile::LoadSettings(SettingsFile::loadProfileList().currentFileName()).record;
    const auto items = LanguageFiles::prepare(language, ctx.home + "lang/");
    LanguageFiles::choose(language, items, getText(settings.Language));
    russian = language.Current() <= 0;
    SetProgramLanguage(&language);
}

CliDrive::~CliDrive() {
    cd.reset();
    SetProgramLanguage(nullptr);
}

bool CliDrive::Start(CliContext& ctx) {
    cd = std::make_unique<TCDROM>(nullptr, ctx.prompt);
    cd->InitInterface(0);
    if (cd->StartupFailed()) return false;
    int transport = settings.Interface;
    cd->SwitchInterface(transport);
    return true;
}

bool CliDrive::Open(CliContext& ctx) {
    if (!Start(ctx)) return false;
    drive = ctx.drive >= 0 ? ctx.drive : settings.DeviceName;
    if (drive >= cd->DriveCount() && ctx.drive < 0) drive = 0;
    if (drive >= cd->DriveCount() || !cd->OpenDrive(drive, drive < 32 ? settings.CommandType[drive] : 0)) {
        *ctx.err << Message(2) << '\n';
        return false;
    }
    return true;
}

}  // namespace melvarin
