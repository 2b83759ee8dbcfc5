#pragma once
#include <string>

#include "encoders/OutputSink.h"

namespace melvarin {

// An OutputSink that writes into a string owned by the caller (for tests and for
// building small files in memory); the string must outlive the sink, so the bytes
// stay readable after an encoder has closed and destroyed its sink. The string is
// cleared first. A byte limit may be set to imitate a full disk.
class MemorySink : public OutputSink {
public:
    explicit MemorySink(std::string& bytes, std::uint64_t limit = UINT64_MAX)
        : bytes_(bytes), limit_(limit) {
        bytes_.clear();
    }

    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t offset) override;
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return bytes_.size(); }
    bool close() override;
    const std::string& error() const override { return error_; }

    bool closed() const { return closed_; }
    const std::string& bytes() const { return bytes_; }

private:
    std::string& bytes_;
    std::uint64_t pos_ = 0;
    std::uint64_t limit_;
    bool closed_ = false;
    std::string error_;
};

}  // namespace melvarin
