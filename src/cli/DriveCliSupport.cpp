#include "cli/DriveCliSupport.h"

#include <algorithm>
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

std::string DisplayDriveName(const std::string& name) {
    auto trim = [](std::string s) {
        while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
        return s;
    };
    const std::string vendor = trim(name.substr(0, std::min<std::size_t>(8, name.size())));
    const std::string product = trim(name.size() > 8 ? name.substr(8) : std::string());
    if (vendor.empty()) return product;
    return product.empty() ? vendor : vendor + " " + product;
}

}  // namespace melvarin
