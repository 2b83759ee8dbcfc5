#include "app/SettingsProfileList.h"

#include <charconv>

#include "platform/FileUtil.h"

namespace melvarin {
namespace {

constexpr std::size_t kMaxListBytes = 64 * 1024;

}  // namespace

SettingsProfileList SettingsProfileList::parse(std::string_view text) {
    SettingsProfileList list;
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    if (lines.empty()) return list;

    const std::string& first = lines.front();
    int index = -1;
    const auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), index);
    if (ec != std::errc() || end != first.data() + first.size()) index = -1;
    list.files.assign(lines.begin() + 1, lines.end());
    list.current = (index >= 0 && static_cast<std::size_t>(index) < list.files.size()) ? index : -1;
    return list;
}

SettingsProfileList SettingsProfileList::load(const std::string& path) {
    const auto text = FileUtil::readAll(path, kMaxListBytes);
    return text ? parse(*text) : SettingsProfileList{};
}

std::string SettingsProfileList::toText() const {
    std::string out = std::to_string(current) + "\r\n";
    for (const auto& f : files) out += f + "\r\n";
    return out;
}

std::string SettingsProfileList::currentFileName() const {
    if (current < 0 || static_cast<std::size_t>(current) >= files.size()) return "set.dat";
    const std::string& name = files[static_cast<std::size_t>(current)];
    return isPlainFileName(name) ? name : "set.dat";
}

bool SettingsProfileList::isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace melvarin
