#include "cli/DriveCliSupport.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>

#include "app/LanguageFiles.h"
#include "app/Messages.h"
#include "platform/ProgramHome.h"

namespace melvarin {

void CliDrive::LoadSettings(const CliContext& ctx) {
    settings = defaultSettings("", "");
    std::ifstream in(ctx.home + "setting/set.dat", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() == sizeof(SettingsRecord)) std::memcpy(&settings, bytes.data(), sizeof settings);
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

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F || c >= 0x80) {
                    // Drive names are bytes, not UTF-8: non-ASCII is shown as "?".
                    if (c >= 0x80) {
                        out += '?';
                    } else {
                        char buf[8];
                        std::snprintf(buf, sizeof buf, "\\u%04x", c);
                        out += buf;
                    }
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace melvarin
