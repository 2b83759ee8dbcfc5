// The emulated drive's CUE reader on arbitrary text, then the CD-TEXT packs
// built from whatever it accepted.
#include "drive/CdTextBuilder.h"
#include "drive/VirtualCueSheet.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto sheet = melvarin::VirtualCueSheet::parse(text, &error);
    if (!sheet) return 0;
    std::vector<melvarin::CdTextBuilder::Texts> tracks;
    for (const auto& t : sheet->tracks()) {
        if (t.indexes.empty() || t.file >= sheet->files().size()) __builtin_trap();
        tracks.push_back({t.title, t.performer});
    }
    melvarin::CdTextBuilder::build({sheet->title(), sheet->performer()}, tracks, sheet->tracks().front().number,
                                   melvarin::CdTextBuilder::Charset::Latin1);
    return 0;
}
