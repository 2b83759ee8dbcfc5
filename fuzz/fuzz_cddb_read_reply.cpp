#include <cstddef>
#include <cstdint>
#include <string>

#include "app/ScriptedPrompt.h"
#include "cddb/FreedbLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    melvarin::ScriptedPrompt prompt;
    melvarin::XmcdRecord disc;
    melvarin::FreedbLookup::ApplyReadReply(body, 0x9b0a6b0c, 99, prompt, disc);
    return 0;
}
