#pragma once
#include "drive/VirtualDrive.h"
#include "support/TempDir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace melvarin::test {

// A clock that only moves when the test says so; sleeps advance it.
class ManualClock : public VirtualClock {
public:
    std::int64_t nowMicros() override { return now; }
    void sleepMicros(std::int64_t micros) override {
        slept += micros;
        now += micros;
    }
    std::int64_t now = 1000000;
    std::int64_t slept = 0;
};

// What a command returned, with the bytes it delivered.
struct Reply {
    ScsiResult result;
    std::vector<std::uint8_t> data;  // cut to `transferred`
    bool good() const { return result.delivered && result.status == 0; }
    SenseData sense() const { return result.senseData(); }
};

// An emulated drive on a fresh folder, and helpers to fill the folder.
class VirtualDriveFixture {
public:
    VirtualDriveFixture();
    ~VirtualDriveFixture();

    // The drive, created on first use (after the test filled the folder).
    VirtualDrive& drive();
    std::string folder() const { return dir.path(); }

    // Sends a command expecting up to `inBytes` bytes back.
    Reply in(const std::vector<std::uint8_t>& cdb, std::size_t inBytes);
    // Sends a command without data.
    Reply none(const std::vector<std::uint8_t>& cdb);
    // Sends a command with data to the drive.
    Reply out(const std::vector<std::uint8_t>& cdb, std::vector<std::uint8_t> data);

    void write(const std::string& name, const std::string& bytes) { writeFile(dir / name, bytes); }

    // `sectors` raw sectors whose every 16-bit word is `seed` + sector index
    // (so each sector is recognisable), as BINARY file bytes.
    static std::string binSectors(int sectors, int seed);
    // The same samples as a 44.1 kHz stereo WAVE file.
    static std::string waveSectors(int sectors, int seed);

    // Problems the drive logged.
    std::vector<std::string> logged;
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    TempDir dir;

private:
    std::unique_ptr<VirtualDrive> drive_;
};

// READ TOC format 0 in MSF form, allocation 804 (as the facade sends it).
std::vector<std::uint8_t> readTocCdb(std::uint8_t format = 0, bool msf = true, std::uint8_t track = 0);
// READ CD, expected sector type `sectorType`, flags byte 9 `flags`.
std::vector<std::uint8_t> readCdCdb(std::uint32_t lba, std::uint16_t count, std::uint8_t sectorType = 0,
                                    std::uint8_t flags = 0x10);

}  // namespace melvarin::test

namespace melvarin::test {

// CD-TEXT block 0 read back the way the disc reader does: texts accumulate over
// packs, a zero byte ends a string and moves on to the next track.
struct ParsedCdText {
    std::string album;
    std::string artist;
    std::vector<std::string> titles;  // index = track number - 1
    int packs = 0;
    int badCrcs = 0;
};
// `reply` is a whole READ TOC format 5 reply, header included.
ParsedCdText parseCdText(const std::vector<std::uint8_t>& reply);

}  // namespace melvarin::test
