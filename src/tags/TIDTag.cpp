#include "tags/TIDTag.h"

namespace melvarin {

void TIDTag::Clear() {
    *this = TIDTag{};
}

void CopyTag(TIDTag& destination, const TIDTag& source) {
    if (&destination != &source) destination = source;
}

}  // namespace melvarin
