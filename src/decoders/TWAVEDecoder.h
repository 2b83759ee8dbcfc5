#pragma once
#include <cstdio>
#include <memory>

#include "decoders/TDecoder.h"

namespace melvarin {

// Reads a RIFF/WAVE file of PCM samples. Only this layout is accepted, in this
// order: "RIFF" and a size (not checked), "WAVEfmt ", a fmt chunk of at least 16
// bytes, an optional "fact" chunk (4-byte body), then "data" and its size. Any other
// chunk before the data (a LIST chunk, for instance) makes the file unreadable.
// The data size is trusted only as far as the file goes: a size larger than the
// file delivers the bytes that are there, and nothing after the data chunk is ever
// delivered as sound. Times are whole seconds.
class TWAVEDecoder : public TDecoder {
public:
    TWAVEDecoder() = default;
    ~TWAVEDecoder() override;

    bool Open(const std::string& fileName) override;
    // Open over an already opened stream (owned from now on; closed on failure).
    bool OpenStream(std::FILE* stream);
    bool Close() override;
    std::size_t Read(void* buffer, std::size_t byteCount) override;
    std::uint32_t GetDuration() override;
    std::uint32_t GetPosition() override;
    void Seek(std::uint32_t ms) override;

    // Byte offset of the first sample and the usable data size, after Open.
    std::uint64_t DataStart() const { return dataStart_; }
    std::uint32_t DataSize() const { return dataSize_; }
    std::uint16_t FormatTag() const { return formatTag_; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    bool ReadHeader();
    // Milliseconds of the whole seconds that `bytes` of data last.
    std::uint32_t WholeSecondsMs(std::uint32_t bytes) const;

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint16_t formatTag_ = 0;
    std::uint32_t avgBytesPerSec_ = 0;
    std::uint64_t dataStart_ = 0;
    std::uint32_t dataSize_ = 0;
    std::uint32_t delivered_ = 0;  // bytes of data delivered or skipped by Seek
};

}  // namespace melvarin
