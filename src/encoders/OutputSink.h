#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace melvarin {

// A seekable byte sink the encoders write their output through, so headers that are
// patched at close and tags placed around the stream work the same on a file and in
// memory. Writes past the current end extend the sink; seeking past the end and then
// writing fills the gap with zero bytes.
class OutputSink {
public:
    virtual ~OutputSink() = default;

    // Writes all `size` bytes at the current position and advances it.
    // False when not every byte could be written (see error()).
    virtual bool write(const void* data, std::size_t size) = 0;
    // Moves the position to `offset` from the start. False on failure.
    virtual bool seek(std::uint64_t offset) = 0;
    // Current position from the start.
    virtual std::uint64_t tell() const = 0;
    // Current length in bytes.
    virtual std::uint64_t size() const = 0;
    // Finishes the output (a file is flushed and closed). False when the data may not
    // all have reached its destination. Further writes fail. Safe to call twice.
    virtual bool close() = 0;
    // Text of the last failure, empty when none.
    virtual const std::string& error() const = 0;
};

}  // namespace melvarin
