// Reads an arbitrary language file the way the program does: select it, list its
// name, look up window entries section by section and every message number.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/TLanguage.h"

namespace {

char scratch[] = "/tmp/melvarin-fuzz-lng-XXXXXX";

void removeScratch() { ::unlink(scratch); }

// A file the inputs are written to, removed when the process ends.
const char* scratchPath() {
    static const bool made = [] {
        const int fd = ::mkstemp(scratch);
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit(removeScratch);
        return true;
    }();
    (void)made;
    return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);

    melvarin::TLanguage lang;
    lang.SetFiles({path});
    std::vector<std::string> names;
    lang.ListLanguages(names);
    if (!lang.Select(0)) return 0;
    for (int section = 1; section <= 11; ++section) {
        lang.FindSection(section);
        for (int entry = 2; entry < 40; entry += 3) lang.GetEntry(entry);
    }
    for (int n = 0; n <= 110; n += 7) lang.GetMessage(n);
    return 0;
}
