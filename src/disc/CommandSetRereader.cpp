#include "disc/CommandSetRereader.h"

#include <cstddef>
#include <span>

#include "disc/DiscRecord.h"

namespace melvarin {

bool CommandSetRereader::SetReadSpeed(int speed) {
    return set_.Succeeded(set_.SetReadSpeed(static_cast<std::uint8_t>(speed)));
}

bool CommandSetRereader::Seek(std::int32_t lba) {
    return lba >= 0 && set_.Succeeded(set_.Seek(static_cast<std::uint32_t>(lba)));
}

bool CommandSetRereader::ReadSectors(std::int32_t lba, int count, std::uint8_t* buffer) {
    if (lba < 0 || count <= 0 || count > 0xFFFF) return false;
    const std::span<std::uint8_t> out(buffer, std::size_t(count) * kCdSectorBytes);
    return set_.Succeeded(set_.ReadSectors(static_cast<std::uint32_t>(lba), static_cast<std::uint16_t>(count), out));
}

}  // namespace melvarin
