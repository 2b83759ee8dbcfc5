#include "app/LanguageFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/TLanguage.h"
#include "platform/Embedded.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

namespace melvarin {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRussianName = "russian.lng";
constexpr const char* kShippedNames[] = {"english.lng"};
// Sub-folders named "*.lng" are searched this deep at most (symbolic links to
// folders are not followed, so a loop cannot form).
constexpr int kMaxDepth = 8;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool hasLngExtension(const std::string& name) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".lng";
}

void collect(const fs::path& dir, int depth, std::vector<std::string>& out) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    for (const fs::directory_entry& e : entries) {
        const std::string name = e.path().filename().string();
        if (!hasLngExtension(name)) continue;
        std::error_code sec;
        if (e.is_symlink(sec) && e.is_directory(sec)) continue;
        if (e.is_directory(sec)) {
            if (depth < kMaxDepth) collect(e.path(), depth + 1, out);
        } else if (e.is_regular_file(sec)) {
            out.push_back(e.path().string());
        }
    }
}

std::vector<std::string> shippedDirs() {
    const std::string exe = ProgramHome::executableDir();
    std::vector<std::string> dirs{exe, exe + "../share/melvarin/"};
#ifdef MELVARIN_SOURCE_DIR
    dirs.push_back(std::string(MELVARIN_SOURCE_DIR) + "/data/");
#endif
    return dirs;
}

}  // namespace

bool LanguageFiles::installBuiltIn(const std::string& langDir) {
    const std::string dir = FileUtil::withSlash(langDir);
    if (!FileUtil::makeDirs(dir)) return false;
    const std::string path = dir + std::string(kRussianName);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) return FileUtil::isRegularFile(path);
    const std::string_view bytes = embedded(kRussianName);
    if (bytes.empty()) return false;
    return FileUtil::writeAtomically(path, bytes);
}

int LanguageFiles::installShipped(const std::string& langDir) {
    const std::string dir = FileUtil::withSlash(langDir);
    if (!FileUtil::makeDirs(dir)) return 0;
    int copied = 0;
    for (const char* name : kShippedNames) {
        const std::string target = dir + name;
        std::error_code ec;
        if (fs::exists(fs::symlink_status(target, ec))) continue;
        for (const std::string& from : shippedDirs()) {
            const std::string source = from + name;
            const std::optional<std::string> bytes = FileUtil::readAll(source, std::size_t(1) << 20);
            if (!bytes) continue;
            if (FileUtil::writeAtomically(target, *bytes)) ++copied;
            break;
        }
    }
    return copied;
}

std::vector<std::string> LanguageFiles::list(const std::string& langDir) {
    const std::string dir = FileUtil::withSlash(langDir);
    std::vector<std::string> found;
    collect(fs::path(dir), 0, found);

    const std::string own = dir + std::string(kRussianName);
    std::string russian;
    std::vector<std::string> files{std::string()};
    for (const std::string& path : found) {
        if (lower(fs::path(path).filename().string()) == kRussianName) {
            if (russian.empty() || path == own) russian = path;
        } else {
            files.push_back(path);
        }
    }
    files[0] = russian.empty() ? own : russian;
    return files;
}

std::vector<LanguageFiles::MenuItem> LanguageFiles::menuItems(const TLanguage& language) {
    std::vector<std::string> named;
    language.ListLanguages(named);
    std::vector<MenuItem> items;
    for (const std::string& entry : named) {
        const std::size_t hash = entry.rfind('#');
        if (hash == std::string::npos) continue;
        const int index = std::atoi(entry.c_str() + hash + 1);
        if (index == 0) continue;
        items.push_back({entry.substr(0, hash), index});
    }
    return items;
}

std::vector<LanguageFiles::MenuItem> LanguageFiles::prepare(TLanguage& language, const std::string& langDir) {
    installBuiltIn(langDir);
    installShipped(langDir);
    language.SetFiles(list(langDir));
    return menuItems(language);
}

int LanguageFiles::choose(TLanguage& language, const std::vector<MenuItem>& items, std::string_view name) {
    int index = 0;
    if (name != "Russian") {
        for (const MenuItem& item : items) {
            if (item.name == name) {
                index = item.index;
                break;
            }
        }
    }
    language.Select(index);
    return index;
}

}  // namespace melvarin
