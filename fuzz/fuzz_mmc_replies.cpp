// Drive replies: the first byte chooses the parser, the rest is the reply.
#include <cstddef>
#include <cstdint>
#include <span>

#include "drive/DriveInfo.h"
#include "drive/MmcReplies.h"

using namespace melvarin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> reply(data + 1, size - 1);
    switch (data[0] % 6) {
        case 0:
            if (const auto toc = mmc::parseToc(reply)) {
                volatile std::size_t n = toc->entries.size();
                (void)n;
            }
            break;
        case 1:
            (void)mmc::parseSubChannel(reply);
            (void)mmc::cdTextLength(reply);
            (void)mmc::mechanismState(reply);
            break;
        case 2:
            (void)DriveInfoLines(reply, reply, (size & 1) != 0);
            break;
        case 3:
            (void)mmc::inquiryName(reply);
            (void)mmc::inquiryDeviceType(reply);
            (void)PrintableIdentification(reply);
            break;
        case 4:
            (void)mmc::parseSense(reply);
            break;
        default:
            (void)DriveCapabilities::parse(reply);
            break;
    }
    return 0;
}
