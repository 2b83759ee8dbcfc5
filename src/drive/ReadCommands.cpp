#include "drive/ReadCommands.h"

#include <array>
#include <vector>

#include "app/SettingsRecord.h"
#include "drive/TCDROM.h"

namespace melvarin {

const char* ReadCommandName(int type) {
    static constexpr const char* kNames[kReadTypeCount] = {
        "Standart MMC1 (IDE Device)", "READ NEC", "READ C1", "READ C2", "READ C3",
        "READ SONY", "READ 10", "READ MMC2", "READ MMC3"};
    if (type < 0 || type >= kReadTypeCount) return "";
    return kNames[type];
}

int SectorsPerRead(std::uint8_t numSecRead) { return numSecRead == 0 ? 26 : numSecRead; }

void PrepareForGrab(TCDROM& cd, const SettingsRecord& settings) {
    cd.SetReadSpeed(settings.Speed);
    if (settings.LockCD) cd.LockDoor(true);
    cd.SetCaching(settings.RCD != 0, false);
    if (settings.Rotate) {
        std::vector<std::uint8_t> scratch(5 * kSectorBytes);
        for (std::uint32_t i = 0; i < 15; ++i) cd.ReadSectors(150 + 5 * i, 5, scratch, false);
    }
}

void FinishGrab(TCDROM& cd) {
    cd.LockDoor(false);
    cd.RezeroUnit();
}

}  // namespace melvarin
