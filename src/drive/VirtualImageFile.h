#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace melvarin {

// One file named by an emulated drive's CUE sheet, open for reading: raw
// 2352-byte sectors (BINARY) or the PCM data of a 44.1 kHz 16-bit stereo WAVE
// file. Owns its file descriptor.
class VirtualImageFile {
public:
    static constexpr std::size_t kSectorBytes = 2352;

    // Opens `path`. On failure returns nothing and stores the reason in `error`:
    // missing file, anything but a regular file (refused at once, a named pipe
    // too), a BINARY size that is not a multiple of 2352, a WAVE file that
    // is not 44.1 kHz 16-bit stereo PCM. WAVE data that ends inside a sector is
    // completed with silence.
    static std::optional<VirtualImageFile> open(const std::string& path, bool wave, std::string* error);

    VirtualImageFile(VirtualImageFile&& other) noexcept;
    VirtualImageFile& operator=(VirtualImageFile&& other) noexcept;
    VirtualImageFile(const VirtualImageFile&) = delete;
    VirtualImageFile& operator=(const VirtualImageFile&) = delete;
    ~VirtualImageFile();

    // Number of sectors the file holds (a partial last WAVE sector counts).
    std::int64_t sectors() const { return (dataBytes_ + kSectorBytes - 1) / kSectorBytes; }

    // Reads sectors `index` to `index + count - 1` (0-based) into `out` (count x
    // 2352 bytes) with one read. Bytes past the end of the data are zero. False when
    // a sector lies outside the file or the file could not be read (it shrank, I/O
    // error); `out` then holds nothing usable.
    bool readSectors(std::int64_t index, std::int64_t count, std::uint8_t* out) const;

private:
    VirtualImageFile() = default;
    int fd_ = -1;
    std::int64_t dataOffset_ = 0;
    std::int64_t dataBytes_ = 0;
};

}  // namespace melvarin
