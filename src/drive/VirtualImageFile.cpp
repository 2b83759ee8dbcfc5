#include "drive/VirtualImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace melvarin {

namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

bool readAt(int fd, std::int64_t offset, std::uint8_t* out, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, out + done, n - done, offset + std::int64_t(done));
        if (r <= 0) return false;
        done += std::size_t(r);
    }
    return true;
}

// Finds the "data" chunk of a RIFF/WAVE file after checking its "fmt " chunk.
bool locateWaveData(int fd, std::int64_t fileSize, std::int64_t& offset, std::int64_t& bytes, std::string& error) {
    std::uint8_t head[12];
    if (fileSize < 12 || !readAt(fd, 0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    bool formatOk = false;
    std::int64_t pos = 12;
    while (pos + 8 <= fileSize) {
        std::uint8_t chunk[8];
        if (!readAt(fd, pos, chunk, 8)) break;
        const std::int64_t size = le32(chunk + 4);
        const std::int64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            std::uint8_t fmt[16];
            if (size < 16 || body + 16 > fileSize || !readAt(fd, body, fmt, 16)) break;
            const unsigned tag = le16(fmt);
            formatOk = (tag == 1 || tag == 0xFFFE) && le16(fmt + 2) == 2 && le32(fmt + 4) == 44100 &&
                       le16(fmt + 14) == 16;
            if (!formatOk) {
                error = "the WAVE file is not 44.1 kHz 16-bit stereo PCM";
                return false;
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatOk) break;
            offset = body;
            // A data size running past the end (streamed files) means "to the end".
            bytes = std::min(size, fileSize - body);
            bytes -= bytes % 4;
            return true;
        }
        pos = body + size + (size & 1);
    }
    error = formatOk ? "the WAVE file has no data chunk" : "the WAVE file has no usable format chunk";
    return false;
}

}  // namespace

std::optional<VirtualImageFile> VirtualImageFile::open(const std::string& path, bool wave, std::string* error) {
    std::string why;
    VirtualImageFile f;
    // Without O_NONBLOCK a named pipe would block open() until a writer came.
    f.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (f.fd_ < 0 || ::fstat(f.fd_, &st) != 0) {
        why = "cannot open " + path;
    } else if (!S_ISREG(st.st_mode)) {
        why = path + ": not a regular file";
    } else if (wave) {
        if (locateWaveData(f.fd_, st.st_size, f.dataOffset_, f.dataBytes_, why)) return f;
        why = path + ": " + why;
    } else if (st.st_size % std::int64_t(kSectorBytes) != 0) {
        why = path + ": size " + std::to_string(st.st_size) + " is not a multiple of 2352 bytes";
    } else {
        f.dataBytes_ = st.st_size;
        return f;
    }
    if (error) *error = why;
    return std::nullopt;
}

VirtualImageFile::VirtualImageFile(VirtualImageFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), dataOffset_(other.dataOffset_), dataBytes_(other.dataBytes_) {}

VirtualImageFile& VirtualImageFile::operator=(VirtualImageFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        dataOffset_ = other.dataOffset_;
        dataBytes_ = other.dataBytes_;
    }
    return *this;
}

VirtualImageFile::~VirtualImageFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool VirtualImageFile::readSectors(std::int64_t index, std::int64_t count, std::uint8_t* out) const {
    if (fd_ < 0 || index < 0 || count <= 0 || index + count > sectors()) return false;
    const std::int64_t start = index * std::int64_t(kSectorBytes);
    const std::size_t wanted = std::size_t(count) * kSectorBytes;
    const std::size_t n = std::size_t(std::min<std::int64_t>(std::int64_t(wanted), dataBytes_ - start));
    if (n < wanted) std::memset(out + n, 0, wanted - n);
    return readAt(fd_, dataOffset_ + start, out, n);
}

}  // namespace melvarin
