#pragma once
#include "disc/SectorRereader.h"
#include "drive/CommandSet.h"

namespace melvarin {

// The repair passes' re-reads on a command set (no byte swap, the set's read
// command).
class CommandSetRereader : public SectorRereader {
public:
    explicit CommandSetRereader(CommandSet& set) : set_(set) {}
    bool SetReadSpeed(int speed) override;
    bool Seek(std::int32_t lba) override;
    bool ReadSectors(std::int32_t lba, int count, std::uint8_t* buffer) override;

private:
    CommandSet& set_;
};

}  // namespace melvarin
