#pragma once
#include <cstdint>

namespace melvarin {

// The drive as the repair passes see it: slow single-sector re-reads at command-
// set level (no byte swap). The grab loop binds it to the command set of the
// drive it reads from.
class SectorRereader {
public:
    virtual ~SectorRereader() = default;
    // Sets the read speed (a multiple of 176.4 kB/s).
    virtual bool SetReadSpeed(int speed) = 0;
    virtual bool Seek(std::int32_t lba) = 0;
    // Reads `count` raw 2352-byte sectors at `lba` into `buffer`.
    virtual bool ReadSectors(std::int32_t lba, int count, std::uint8_t* buffer) = 0;
};

}  // namespace melvarin
