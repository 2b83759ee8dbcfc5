#pragma once
#include <cstdint>
#include <string>

namespace melvarin {

class TCDROM;
struct SettingsRecord;

// Names of the read-command types 0-8, as the settings list and the detection
// window show them; empty for any other type.
const char* ReadCommandName(int type);

// Sectors per read command for a stored `NumSecRead`: 0 means 26.
int SectorsPerRead(std::uint8_t numSecRead);

// Before the first track of a grab: read speed, tray lock (LockCD), read cache
// (RCD; write cache off) and, when Rotate is set, a spin-up of 15 reads of 5
// sectors from LBA 150 whose results are ignored.
void PrepareForGrab(TCDROM& cd, const SettingsRecord& settings);

// After the last track: unlock the tray and rezero the unit.
void FinishGrab(TCDROM& cd);

}  // namespace melvarin
