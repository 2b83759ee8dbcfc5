#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace melvarin {

class TIDTag;

// Reads one media file as 16-bit PCM in the file's own rate and channel count.
// Single use: Open, any number of Read / Seek / time queries, Close (the destructor
// of each decoder closes too). Failures are reported through results.
class TDecoder {
public:
    virtual ~TDecoder() = default;
    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;

    // Opens `fileName` and fills the fields below; false leaves nothing open.
    virtual bool Open(const std::string& fileName) = 0;
    // Closes the file and frees buffers. Safe to call twice; true when nothing is open.
    virtual bool Close() = 0;
    // Writes up to `byteCount` bytes of PCM to `buffer`; returns the count written,
    // 0 at the end or on an error.
    virtual std::size_t Read(void* buffer, std::size_t byteCount) = 0;
    // Total and current time in milliseconds.
    virtual std::uint32_t GetDuration() = 0;
    virtual std::uint32_t GetPosition() = 0;
    // Moves the decode position to `ms` (a decoder may round it down).
    virtual void Seek(std::uint32_t ms) = 0;
    // The tags read from the file, owned by the decoder; null when the file has none.
    virtual TIDTag* GetTag() { return nullptr; }
    // Percent done; 0 when the duration is 0.
    virtual int GetProgress();

    std::uint32_t SampleRate = 0;  // Hz of the PCM delivered
    std::int32_t Bitrate = 0;      // nominal kbit/s of the source, 0 when none
    std::uint8_t Channels = 0;     // channels of the PCM delivered
    std::uint8_t BitsPerSample = 16;
    // Size in bytes of the whole file once converted to 44.1 kHz 16-bit stereo.
    std::uint32_t DecodedSize = 0;
    // Set before Open: 1 asks for an exact length even if measuring it is slow.
    std::uint8_t ExactLength = 0;
    // Preferred byte count per Read.
    std::int32_t BlockSize = 4096;

protected:
    TDecoder() = default;
};

}  // namespace melvarin
