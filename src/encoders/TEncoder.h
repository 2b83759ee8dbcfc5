#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "encoders/OutputSink.h"
#include "encoders/PcmFormat.h"

namespace melvarin {

struct EncoderConfig;
class TIDTag;
class PartialFile;

// One output file in one format. Single use; callers go through these steps in order:
//   1. SetConfig(config), then SetFormat(format) (TEncManager::CreateEncoder does both);
//   2. SetTag(tag);
//   3. n = Open(path, expectedBytes); stop when n is 0;
//   4. repeatedly Encode(buffer, filled) with buffers of about n bytes;
//   5. Close();
//   6. destroy the encoder (the destructor closes a stream left open).
// The configuration and the tag are not owned and must outlive the encoder.
// Failures are reported through results; LastError() then says why.
class TEncoder {
public:
    virtual ~TEncoder() = default;
    TEncoder(const TEncoder&) = delete;
    TEncoder& operator=(const TEncoder&) = delete;

    // Stores the configuration pointer and returns it.
    virtual EncoderConfig* SetConfig(EncoderConfig* config);
    // Copies the input format; false when this encoder cannot take it.
    virtual bool SetFormat(const PcmFormat* format) = 0;
    // Stores the tag pointer (null = no tag) and returns it.
    virtual TIDTag* SetTag(TIDTag* tag);

    // Opens the stream into a FileSink for `fileName` through OpenSink: the file
    // appears (replacing an earlier one) only when Close succeeds. A failed open
    // leaves the name as it was.
    virtual int Open(const std::string& fileName, std::uint64_t expectedBytes);
    // After Open(fileName), before Close: the file is dropped; Close then fails
    // and leaves the name as it was (for a cancel or a failure).
    void Discard();
    // Opens the stream into `sink` (owned from now on): writes any header and leading
    // tag. Returns the preferred chunk size in bytes, 0 on failure (nothing left open).
    // `expectedBytes` is the total input expected, 0 when unknown.
    virtual int OpenSink(std::unique_ptr<OutputSink> sink, std::uint64_t expectedBytes) = 0;
    // Encodes interleaved signed 16-bit little-endian samples; any byte count is
    // accepted. False on failure or when nothing is open.
    virtual bool Encode(const void* samples, std::size_t byteCount) = 0;
    // Flushes, writes trailing data and tags, fixes headers, closes the output.
    // False when nothing was open or the output could not be finished.
    virtual bool Close() = 0;
    // Display name of the encoder.
    virtual std::string GetName() = 0;

    const std::string& LastError() const { return error_; }
    const PcmFormat& Format() const { return format_; }

protected:
    TEncoder() = default;
    bool Fail(const std::string& text) {
        error_ = text;
        return false;
    }
    int FailOpen(const std::string& text) {
        error_ = text;
        return 0;
    }

    EncoderConfig* config_ = nullptr;
    PcmFormat format_;
    TIDTag* tag_ = nullptr;
    std::string error_;

private:
    std::weak_ptr<PartialFile> file_;  // of the FileSink made by Open
};

}  // namespace melvarin
