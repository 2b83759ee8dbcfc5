#include <cstdint>
#include <cstdio>
#include <vector>

#include "decoders/TWAVEDecoder.h"

// Feeds arbitrary bytes to the WAVE reader as if they were a file, then reads,
// seeks and reads again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> copy(data, data + size);
    std::FILE* f = fmemopen(copy.data(), copy.size(), "rb");
    if (!f) return 0;
    melvarin::TWAVEDecoder decoder;
    if (!decoder.OpenStream(f)) return 0;
    char buffer[4096];
    while (decoder.Read(buffer, sizeof buffer) > 0) {
    }
    decoder.GetProgress();
    decoder.Seek(1000);
    decoder.Read(buffer, sizeof buffer);
    decoder.GetPosition();
    return 0;
}
