// Loads arbitrary bytes as a settings file and as a profile list, then prints
// every field the way the command line does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/SettingsFields.h"
#include "app/SettingsFile.h"
#include "app/SettingsProfileList.h"

using namespace melvarin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const SettingsPathDefaults paths{"/home/u/Music/", "/opt/melvarin/LocalCDDB/"};
    static const SettingsRecord defaults = defaultSettings(paths.workDir, paths.lcddbPath);

    const SettingsRecord r = SettingsFile::fromBytes(bytes, defaults, paths);
    if (SettingsFile::toBytes(r).size() != sizeof(SettingsRecord)) std::abort();
    if (r.Volume == 0 || r.WindowColor == 0 || r.ControlColor == 0) std::abort();
    if (r.WorkDir[0] != '/' || r.LCDDBPath[0] != '/') std::abort();
    if (std::memchr(r.Server, 0, sizeof r.Server) == nullptr) std::abort();
    for (const auto& f : SettingsFields::all()) {
        SettingsRecord copy = r;
        std::string error;
        const std::string text = SettingsFields::format(r, {&f, {}});
        SettingsFields::parse(copy, {&f, {}}, text, error);
    }
    if (SettingsFile::readCommandFor(r, r.DeviceName) > 9) std::abort();

    const SettingsProfileList list = SettingsProfileList::parse(bytes);
    if (!SettingsProfileList::isPlainFileName(list.currentFileName())) std::abort();
    if (list.current >= 0 && static_cast<std::size_t>(list.current) >= list.files.size()) std::abort();
    return 0;
}
