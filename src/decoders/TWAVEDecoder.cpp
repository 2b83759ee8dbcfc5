#include "decoders/TWAVEDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace melvarin {

namespace {

constexpr double kCdBytesPerSecond = 176400.0;

bool readExact(std::FILE* f, void* out, std::size_t n) { return std::fread(out, 1, n, f) == n; }

bool readU32(std::FILE* f, std::uint32_t& v) {
    unsigned char b[4];
    if (!readExact(f, b, 4)) return false;
    v = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24);
    return true;
}

std::uint16_t u16At(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t u32At(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

}  // namespace

TWAVEDecoder::~TWAVEDecoder() { Close(); }

bool TWAVEDecoder::Open(const std::string& fileName) {
    Close();
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) return false;
    return OpenStream(f);
}

bool TWAVEDecoder::OpenStream(std::FILE* stream) {
    Close();
    if (!stream) return false;
    file_.reset(stream);
    if (!ReadHeader()) {
        Close();
        return false;
    }
    return true;
}

bool TWAVEDecoder::ReadHeader() {
    std::FILE* f = file_.get();
    if (std::fseek(f, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(f);
    if (end < 0 || std::fseek(f, 0, SEEK_SET) != 0) return false;
    const std::uint64_t fileSize = static_cast<std::uint64_t>(end);

    char id[8];
    std::uint32_t riffSize = 0;
    if (!readExact(f, id, 4) || std::memcmp(id, "RIFF", 4) != 0 || !readU32(f, riffSize)) return false;
    if (!readExact(f, id, 8) || std::memcmp(id, "WAVEfmt ", 8) != 0) return false;
    std::uint32_t fmtSize = 0;
    if (!readU32(f, fmtSize) || fmtSize < 16) return false;
    std::uint64_t pos = 20;
    if (fmtSize > fileSize - pos) return false;
    std::vector<unsigned char> fmt(fmtSize);
    if (!readExact(f, fmt.data(), fmtSize)) return false;
    pos += fmtSize;

    if (!readExact(f, id, 4)) return false;
    pos += 4;
    if (std::memcmp(id, "fact", 4) == 0) {
        std::uint32_t factSize = 0, sampleCount = 0;
        if (!readU32(f, factSize) || !readU32(f, sampleCount) || !readExact(f, id, 4)) return false;
        pos += 12;
    }
    std::uint32_t dataSize = 0;
    if (std::memcmp(id, "data", 4) != 0 || !readU32(f, dataSize)) return false;
    pos += 4;

    formatTag_ = u16At(&fmt[0]);
    const std::uint16_t channels = u16At(&fmt[2]);
    const std::uint32_t rate = u32At(&fmt[4]);
    avgBytesPerSec_ = u32At(&fmt[8]);
    const std::uint16_t blockAlign = u16At(&fmt[12]);
    const std::uint16_t bits = u16At(&fmt[14]);
    // Only plain PCM is delivered; the sizes below divide by these fields.
    if (formatTag_ != 1) return false;
    if (channels == 0 || channels > 255 || rate == 0 || avgBytesPerSec_ == 0 || blockAlign == 0 ||
        bits == 0 || bits > 255)
        return false;

    dataStart_ = pos;
    const std::uint64_t available = fileSize - pos;
    dataSize_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataSize, available));
    delivered_ = 0;

    SampleRate = rate;
    Channels = static_cast<std::uint8_t>(channels);
    BitsPerSample = static_cast<std::uint8_t>(bits);
    Bitrate = 0;
    DecodedSize = static_cast<std::uint32_t>(
        std::llround(double(dataSize_) / avgBytesPerSec_ * kCdBytesPerSecond));
    BlockSize = 4096;
    return true;
}

bool TWAVEDecoder::Close() {
    file_.reset();
    dataSize_ = 0;
    delivered_ = 0;
    return true;
}

std::size_t TWAVEDecoder::Read(void* buffer, std::size_t byteCount) {
    if (!file_ || delivered_ >= dataSize_) return 0;
    const std::size_t want = std::min<std::size_t>(byteCount, dataSize_ - delivered_);
    const std::size_t got = std::fread(buffer, 1, want, file_.get());
    delivered_ += static_cast<std::uint32_t>(got);
    return got;
}

std::uint32_t TWAVEDecoder::WholeSecondsMs(std::uint32_t bytes) const {
    if (avgBytesPerSec_ == 0) return 0;
    const std::uint64_t ms = std::uint64_t(bytes / avgBytesPerSec_) * 1000;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

std::uint32_t TWAVEDecoder::GetDuration() {
    return WholeSecondsMs(dataSize_);
}

std::uint32_t TWAVEDecoder::GetPosition() {
    return WholeSecondsMs(delivered_);
}

void TWAVEDecoder::Seek(std::uint32_t ms) {
    if (!file_) return;
    const std::uint64_t offset =
        std::min<std::uint64_t>(std::uint64_t(ms / 1000) * avgBytesPerSec_, dataSize_);
    if (std::fseek(file_.get(), static_cast<long>(dataStart_ + offset), SEEK_SET) != 0) return;
    delivered_ = static_cast<std::uint32_t>(offset);
}

}  // namespace melvarin
