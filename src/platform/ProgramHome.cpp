#include "platform/ProgramHome.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/FileUtil.h"

namespace melvarin {
namespace {

std::string& homeStorage() {
    static std::string home;
    return home;
}

std::string readXdgUserDir(const char* kind) {
    const std::string cmd = std::string("xdg-user-dir ") + kind + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), ::pclose);
    if (!pipe) return {};
    std::array<char, 4096> buf{};
    std::string out;
    while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe.get())) out += buf.data();
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace

std::string ProgramHome::userHome() {
    const char* h = std::getenv("HOME");
    if (h && *h) return FileUtil::withSlash(h);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return FileUtil::withSlash(pw->pw_dir);
    return "/tmp/";
}

std::string ProgramHome::executableDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return FileUtil::withSlash(exe.parent_path().string());
}

std::string ProgramHome::resolve(const std::string& overrideDir) {
    if (!overrideDir.empty()) {
        std::error_code ec;
        return FileUtil::withSlash(std::filesystem::absolute(overrideDir, ec).string());
    }
    if (const char* env = std::getenv("MELVARIN_HOME"); env && *env) {
        std::error_code ec;
        return FileUtil::withSlash(std::filesystem::absolute(env, ec).string());
    }
    const std::string exeDir = executableDir();
    if (!exeDir.empty() && ::access(exeDir.c_str(), W_OK) == 0) return exeDir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/')
        return FileUtil::withSlash(xdg) + "melvarin/";
    return userHome() + ".local/share/melvarin/";
}

void ProgramHome::set(const std::string& home) { homeStorage() = FileUtil::withSlash(home); }
const std::string& ProgramHome::get() { return homeStorage(); }

std::string ProgramHome::settingDir() { return get() + "setting/"; }
std::string ProgramHome::albumsDir() { return get() + "setting/albums/"; }
std::string ProgramHome::langDir() { return get() + "lang/"; }
std::string ProgramHome::tempFilesDir() { return get() + "TempFiles/"; }
std::string ProgramHome::localCddbDir() { return get() + "LocalCDDB/"; }
std::string ProgramHome::vdriveDir() { return get() + "vdrive/"; }

std::string ProgramHome::musicDir() {
    std::string dir = readXdgUserDir("MUSIC");
    const std::string home = userHome();
    // xdg-user-dir answers $HOME itself when no music folder is configured.
    if (dir.empty() || FileUtil::withSlash(dir) == home) return home + "Music/";
    return FileUtil::withSlash(dir);
}

}  // namespace melvarin
