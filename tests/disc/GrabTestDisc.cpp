#include "disc/GrabTestDisc.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "disc/DiscToc.h"
#include "drive/LinuxDeviceLayer.h"
#include "drive/ScsiDevice.h"
#include "drive/VirtualDrives.h"

namespace melvarin::test {

namespace {

std::string Msf(int lba) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", lba / 4500, lba / 75 % 60, lba % 75);
    return text;
}

// Passes commands to the emulated drive and writes down each one.
class LoggingDevice : public ScsiDevice {
public:
    LoggingDevice(std::shared_ptr<ScsiDevice> inner, std::vector<DriveCommand>& log)
        : inner_(std::move(inner)), log_(log) {}
    ScsiResult execute(const ScsiCommand& command) override {
        const ScsiResult result = inner_->execute(command);
        DriveCommand entry;
        const auto& cdb = command.cdb;
        if (!cdb.empty()) entry.opcode = cdb[0];
        if (cdb.size() >= 6) entry.lba = std::int64_t(cdb[2]) << 24 | cdb[3] << 16 | cdb[4] << 8 | cdb[5];
        if (command.direction == DataDirection::In) entry.sectors = int(result.transferred / 2352);
        log_.push_back(entry);
        return result;
    }
    std::string path() const override { return inner_->path(); }

private:
    std::shared_ptr<ScsiDevice> inner_;
    std::vector<DriveCommand>& log_;
};

}  // namespace

GrabTestDisc::GrabTestDisc(std::vector<int> trackSectors, bool dataFirst, const std::string& driveIni)
    : sectors(std::move(trackSectors)) {
    std::uint32_t state = 12345;
    std::string cue = "FILE \"disc.bin\" BINARY\n";
    int lba = 0;
    for (std::size_t t = 0; t < sectors.size(); ++t) {
        const bool data = dataFirst && t == 0;
        char line[64];
        std::snprintf(line, sizeof line, "  TRACK %02zu %s\n    INDEX 01 %s\n", t + 1,
                      data ? "MODE1/2352" : "AUDIO", Msf(lba).c_str());
        cue += line;
        for (int s = 0; s < sectors[t] * 2352 / 2; ++s) {
            state = state * 1664525u + 1013904223u;
            const std::int16_t sample = static_cast<std::int16_t>(int(state >> 16) % 16000 - 8000);
            bin += char(sample & 0xFF);
            bin += char((sample >> 8) & 0xFF);
        }
        lba += sectors[t];
    }
    writeFile(dir / "drive/disc.cue", cue);
    writeFile(dir / "drive/disc.bin", bin);
    if (!driveIni.empty()) writeFile(dir / "drive/drive.ini", driveIni);
    writeFile(dir / "dev/.keep", "");
}

int GrabTestDisc::trackStart(int track) const {
    int lba = 0;
    for (int t = 0; t < track; ++t) lba += sectors[std::size_t(t)];
    return lba;
}

std::unique_ptr<TCDROM> GrabTestDisc::openDrive(std::vector<DriveCommand>* log) const {
    const std::string folder = driveFolder();
    auto layer = std::make_unique<LinuxDeviceLayer>(
        [folder, log](bool) {
            std::shared_ptr<ScsiDevice> device = OpenVirtualDrive(folder);
            if (log) device = std::make_shared<LoggingDevice>(device, *log);
            return std::vector<std::shared_ptr<ScsiDevice>>{device};
        },
        dir / "dev/");
    auto drive = std::make_unique<TCDROM>(std::move(layer));
    drive->InitInterface(0);
    EXPECT_TRUE(drive->OpenDrive(0, 0));
    return drive;
}

DiscRecord GrabTestDisc::readDisc(TCDROM& drive) {
    DiscRecord disc;
    disc.clear();
    std::array<std::uint8_t, kTocLength> toc{};
    EXPECT_TRUE(drive.ReadTOC(toc));
    EXPECT_TRUE(FillTracksFromToc(toc.data(), toc.size(), disc, true));
    disc.TrackCount = static_cast<std::uint8_t>(TocTrackCount(toc.data(), toc.size()));
    return disc;
}

std::string waveData(const std::string& path) {
    const std::string file = readFile(path);
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0) return {};
    std::size_t at = 12;
    while (at + 8 <= file.size()) {
        std::uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (file.compare(at, 4, "data") == 0) return file.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace melvarin::test
