#pragma once
#include "encoders/TEncoder.h"

namespace melvarin {

// Writes a plain RIFF/WAVE file: a 48-byte header ("fmt " body = the 20-byte
// PcmFormat as given), the PCM unchanged, and the two sizes patched at Close.
// The header's 32-bit sizes cannot describe more than 4 GiB, so the encoder refuses
// (Encode returns false, nothing written) any chunk that would grow the data past it.
class TWAVEEncoder : public TEncoder {
public:
    static constexpr int kChunkSize = 2352;
    static constexpr std::uint32_t kHeaderSize = 48;
    // Largest data count whose RIFF size (data + 40) still fits 32 bits.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 40;

    ~TWAVEEncoder() override;

    bool SetFormat(const PcmFormat* format) override;
    int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) override;
    bool Encode(const void* samples, std::size_t byteCount) override;
    bool Close() override;
    std::string GetName() override { return ""; }

private:
    std::unique_ptr<OutputSink> sink_;
    std::uint64_t dataStart_ = 0;  // sink offset of the first sample byte
    std::uint32_t dataBytes_ = 0;
};

}  // namespace melvarin
