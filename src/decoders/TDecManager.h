#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "decoders/TDecoder.h"

namespace melvarin {

// Opens a media file with the decoder its extension names and forwards to it.
// The extension (lower-cased, with its dot) alone decides; the content is never
// sniffed. Only extensions whose decoder is built are recognised.
class TDecManager {
public:
    // The decoder for `fileName`'s extension; null when none is built for it.
    static std::unique_ptr<TDecoder> DecoderFor(const std::string& fileName);
    // The extension of `fileName` with its dot, lower-cased; empty when it has none.
    static std::string Extension(const std::string& fileName);

    // Discards any open decoder, then opens `fileName`. On success copies the
    // decoder's fields below and returns true; on failure holds no decoder.
    bool OpenFile(const std::string& fileName, bool exactLength);
    // Bytes of PCM read; 0 when no decoder is open.
    std::size_t Read(void* buffer, std::size_t byteCount);
    std::uint32_t GetDuration();
    std::uint32_t GetPosition();
    void Seek(std::uint32_t ms);
    TIDTag* GetTag();
    int GetProgress();
    // Closes and frees the decoder; returns its Close result (true when none).
    bool CloseFile();
    bool IsOpen() const { return decoder_ != nullptr; }

    std::uint32_t SampleRate = 0;
    std::int32_t Bitrate = 0;
    std::uint8_t Channels = 0;
    std::uint8_t BitsPerSample = 0;
    std::uint32_t DecodedSize = 0;
    std::int32_t BlockSize = 0;

private:
    std::unique_ptr<TDecoder> decoder_;
};

}  // namespace melvarin
