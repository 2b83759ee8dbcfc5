#include "app/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

namespace melvarin {
namespace {

constexpr std::size_t kRecordSize = sizeof(SettingsRecord);
constexpr uint8_t kReadCommandCount = 10;

// Reads at most kRecordSize bytes of a regular file; nothing for anything else.
bool readRecordBytes(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    out.assign(kRecordSize, '\0');
    std::size_t got = 0;
    while (got < kRecordSize) {
        const ssize_t n = ::read(fd, out.data() + got, kRecordSize - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.resize(got);
    return true;
}

std::string cannotWrite(const std::string& path, int err) {
    std::string text = "cannot write " + path;
    if (err != 0) text += std::string(": ") + std::strerror(err);
    return text;
}

template <std::size_t N>
void terminate(char (&field)[N]) {
    if (std::memchr(field, '\0', N) == nullptr) field[N - 1] = '\0';
}

template <std::size_t N>
void replaceUnlessAbsolute(char (&field)[N], const std::string& replacement) {
    terminate(field);
    if (!SettingsFile::isAbsolutePath(field)) setText(field, replacement);
}

}  // namespace

SettingsPathDefaults SettingsPathDefaults::fromProgramHome() {
    return {ProgramHome::musicDir(), ProgramHome::localCddbDir()};
}

bool SettingsFile::isAbsolutePath(std::string_view text) { return !text.empty() && text.front() == '/'; }

uint8_t SettingsFile::readCommandFor(const SettingsRecord& record, std::size_t drive) {
    if (drive >= sizeof record.CommandType) return 0;
    const uint8_t command = record.CommandType[drive];
    return command < kReadCommandCount ? command : 0;
}

void SettingsFile::applyLoadRules(SettingsRecord& r, const SettingsPathDefaults& paths) {
    terminate(r.Format);
    terminate(r.Server);
    terminate(r.Proxy);
    terminate(r.Path);
    terminate(r.User);
    terminate(r.Password);
    terminate(r.Language);
    terminate(r.EncoderConfig.ACMFileExt);

    // Files from other systems carry folders like "C:\music\": no folder here.
    replaceUnlessAbsolute(r.LCDDBPath, paths.lcddbPath);
    replaceUnlessAbsolute(r.WorkDir, paths.workDir);
    replaceUnlessAbsolute(r.ConvertDir, "");
    replaceUnlessAbsolute(r.FileName, "");

    if (r.ControlColor == 0 || r.WindowColor == 0) {
        r.ControlColor = kDefaultControlColor;
        r.WindowColor = kDefaultWindowColor;
    }
    if (r.Volume == 0) r.Volume = 255;
}

SettingsRecord SettingsFile::fromBytes(std::string_view bytes, const SettingsRecord& defaults,
                                       const SettingsPathDefaults& paths) {
    SettingsRecord r = defaults;
    if (!bytes.empty()) std::memcpy(&r, bytes.data(), std::min(bytes.size(), kRecordSize));
    applyLoadRules(r, paths);
    return r;
}

std::string SettingsFile::toBytes(const SettingsRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), kRecordSize);
}

SettingsLoadResult SettingsFile::LoadSettings(const std::string& name) {
    const SettingsPathDefaults paths = SettingsPathDefaults::fromProgramHome();
    const SettingsRecord defaults = defaultSettings(paths.workDir, paths.lcddbPath);
    SettingsLoadResult result;
    std::string bytes;
    if (SettingsProfileList::isPlainFileName(name) && readRecordBytes(ProgramHome::settingDir() + name, bytes)) {
        result.fromFile = true;
        result.bytesRead = bytes.size();
    }
    result.record = fromBytes(bytes, defaults, paths);
    return result;
}

SettingsSaveResult SettingsFile::SaveSettings(const std::string& name, const SettingsRecord& record,
                                              const SettingsProfileList& profiles) {
    if (!SettingsProfileList::isPlainFileName(name))
        return {false, "\"" + name + "\" is not a settings file name"};
    const std::string dir = ProgramHome::settingDir();
    if (!FileUtil::makeDirs(dir)) return {false, "cannot create the folder " + dir};
    const std::string listPath = dir + "prof.lst";
    errno = 0;
    if (!FileUtil::writeAtomically(listPath, profiles.toText()))
        return {false, cannotWrite(listPath, errno)};
    const std::string path = dir + name;
    errno = 0;
    if (!FileUtil::writeAtomically(path, toBytes(record)))
        return {false, cannotWrite(path, errno)};
    return {true, {}};
}

SettingsSaveResult SettingsFile::SaveCurrentSettings(const SettingsRecord& record,
                                                     const SettingsProfileList& profiles) {
    SettingsProfileList list = profiles;
    if (list.current < 0 || static_cast<std::size_t>(list.current) >= list.files.size()) list.current = -1;
    return SaveSettings(list.currentFileName(), record, list);
}

SettingsProfileList SettingsFile::loadProfileList() {
    return SettingsProfileList::load(ProgramHome::settingDir() + "prof.lst");
}

}  // namespace melvarin
