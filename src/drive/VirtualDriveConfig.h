#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace melvarin {

// The knobs of an emulated drive (drive.ini in its folder). Lines are
// "key=value"; several pairs may share a line when separated by blanks, except
// vendor, product and revision, whose value is the rest of the line. ";" or "#"
// starts a comment. An unknown key or a bad value keeps the default and adds a
// line to warnings().
struct VirtualDriveConfig {
    std::string vendor = "MELVARIN";
    std::string product = "VIRTUAL CD-RW";
    std::string revision = "1.00";
    std::uint32_t readCommands = (1u << 0) | (1u << 7) | (1u << 8);  // bit t: read-CDB type t succeeds
    int maxSectors = 64;
    bool bigEndian = false;
    double transientErrors = 0.0;  // probability per sector read, 0-1
    std::vector<std::pair<std::int64_t, std::int64_t>> badSectors;  // inclusive LBA ranges
    std::uint64_t errorSeed = 1;
    int speedX = 0;  // 0: unpaced
    bool writer = true;
    bool rewriter = true;
    bool testWrite = true;
    int bufferKb = 2048;

    std::vector<std::string> warnings;

    static VirtualDriveConfig parse(std::string_view text);

    bool isBadSector(std::int64_t lba) const;
};

// A blank recordable disc in an emulated drive (blank.ini): "capacity=" sectors
// up to the last possible lead-out, "rewritable=0|1".
struct VirtualBlankDisc {
    std::int64_t capacity = 359849;
    bool rewritable = false;

    static VirtualBlankDisc parse(std::string_view text);
};

}  // namespace melvarin
