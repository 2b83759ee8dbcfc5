#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace melvarin {

// The capabilities a drive reports in MODE SENSE(10) page 0x2A, as the drive
// information lists them. Reply offsets count from the start of the 26-byte
// record (8-byte mode parameter header, then the page).
struct DriveCapabilities {
    bool cdrRead = false, cdrwRead = false, multisession = false;
    bool dvdRomRead = false, dvdrRead = false, dvdRamRead = false;
    bool cdrWrite = false, cdrwWrite = false, dvdrWrite = false, dvdRamWrite = false;
    bool testWrite = false, audioPlay = false, lock = false, eject = false;
    unsigned bufferKb = 0;

    // Bits missing from a short record read as "no", the buffer size as 0.
    static DriveCapabilities parse(std::span<const std::uint8_t> record);
};

// The text of the drive information window: the identification line (INQUIRY
// bytes 8-35), then the read, write and other capability lines separated by
// empty lines, then the buffer size. Each capability line is the message text, a
// tab and the yes/no word, messages 110/111 ("Да"/"Нет" when `russian`); a
// language file without them answers "1"/"0". CD-DA reading always answers yes.
std::vector<std::string> DriveInfoLines(std::span<const std::uint8_t> capabilities,
                                        std::span<const std::uint8_t> inquiry, bool russian);

// The identification line: the drive's name (DriveDisplayName of INQUIRY bytes
// 8-31), a blank and the revision (bytes 32-35, trimmed; left out when blank),
// every byte outside printable ASCII shown as a space, so what a drive sends
// cannot break the text.
std::string PrintableIdentification(std::span<const std::uint8_t> inquiry);

// The name a drive is shown by everywhere (drive list, drive information, the
// command line): the vendor field (the first 8 characters of `name`) and the
// product field (the rest, up to 16 characters in a 24-character INQUIRY name),
// each without leading or trailing blanks and NULs, joined by one blank; just
// the non-empty one when the other is blank. Other bytes are kept as they are.
std::string DriveDisplayName(std::string_view name);

}  // namespace melvarin
