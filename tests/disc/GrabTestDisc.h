#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "disc/DiscRecord.h"
#include "drive/TCDROM.h"
#include "support/TempDir.h"

namespace melvarin::test {

// A command the emulated drive executed: operation code, the LBA field of
// the CDB (bytes 2 to 5, big-endian) and the whole sectors it transferred.
struct DriveCommand {
    std::uint8_t opcode = 0;
    std::int64_t lba = 0;
    int sectors = 0;
};

// An emulated disc written by the test: drive/disc.cue and drive/disc.bin with
// one track per entry of `sectors`, audio made of seeded noise (never silent,
// no sector mirrors its neighbour, so the repair passes leave it alone).
// Track 1 is a MODE1 data track when `dataFirst`.
class GrabTestDisc {
public:
    GrabTestDisc(std::vector<int> sectors, bool dataFirst = false, const std::string& driveIni = "");

    std::string driveFolder() const { return dir / "drive/"; }
    std::string outFolder() const { return dir / "out/"; }
    // The BIN bytes of `count` sectors from LBA `lba`.
    std::string slice(int lba, int count) const { return bin.substr(std::size_t(lba) * 2352, std::size_t(count) * 2352); }
    // First LBA of track `track` (0-based).
    int trackStart(int track) const;

    // The drive facade on this disc alone (no real device), opened as drive 0.
    // With `log`, every command the drive executes is appended to it (the log
    // must outlive the drive).
    std::unique_ptr<TCDROM> openDrive(std::vector<DriveCommand>* log = nullptr) const;
    // The disc record as the table of contents gives it, tracks named.
    static DiscRecord readDisc(TCDROM& drive);

    TempDir dir;
    std::string bin;
    std::vector<int> sectors;
};

// The bytes of the "data" chunk of a WAVE file; empty when there is none.
std::string waveData(const std::string& path);

}  // namespace melvarin::test
