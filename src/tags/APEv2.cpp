#include "tags/APEv2.h"

#include <cstdint>
#include <utility>

#include "platform/LittleEndian.h"

namespace melvarin {

namespace {

constexpr std::uint32_t kVersion = 2000;
constexpr std::uint32_t kHasHeader = 1u << 31;
constexpr std::uint32_t kIsHeader = 1u << 29;
constexpr std::size_t kFooterBytes = 32;

// Header or footer of a tag whose items take `itemBytes` bytes.
std::string Frame(std::size_t itemBytes, std::uint32_t items, bool header) {
    std::string f = "APETAGEX";
    AppendLE32(f, kVersion);
    AppendLE32(f, static_cast<std::uint32_t>(itemBytes + kFooterBytes));
    AppendLE32(f, items);
    AppendLE32(f, header ? kHasHeader | kIsHeader : kHasHeader);
    f.append(8, '\0');
    return f;
}

}  // namespace

std::string WriteAPEv2(const TIDTag& tag) {
    const std::pair<const char*, const std::string*> order[] = {
        {"Title", &tag.Title}, {"Artist", &tag.Artist}, {"Album", &tag.Album}, {"Comment", &tag.Comment},
        {"Genre", &tag.Genre}, {"Year", &tag.Year},     {"Track", &tag.Track},
    };
    std::string items;
    std::uint32_t count = 0;
    for (const auto& [key, text] : order) {
        if (text->empty()) continue;
        AppendLE32(items, static_cast<std::uint32_t>(text->size()));
        AppendLE32(items, 0);  // flags: UTF-8 text, read-write
        items += key;
        items += '\0';
        items += *text;
        ++count;
    }
    if (!count) return {};
    return Frame(items.size(), count, true) + items + Frame(items.size(), count, false);
}

}  // namespace melvarin
