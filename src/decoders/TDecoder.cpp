#include "decoders/TDecoder.h"

namespace melvarin {

int TDecoder::GetProgress() {
    const std::uint32_t duration = GetDuration();
    if (duration == 0) return 0;
    return static_cast<int>(static_cast<std::uint64_t>(GetPosition()) * 100 / duration);
}

}  // namespace melvarin
