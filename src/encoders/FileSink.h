#pragma once
#include <string>

#include "encoders/OutputSink.h"

namespace melvarin {

// An OutputSink over a file. The file is created anew (an existing one is truncated)
// by open() and closed by close() or the destructor.
class FileSink : public OutputSink {
public:
    FileSink() = default;
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    // Creates or truncates `path` for writing. False (with error()) on failure.
    bool open(const std::string& path);
    // Deletes `path` when it is a regular file (never a device or a folder).
    static void removeRegularFile(const std::string& path);

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t offset) override;
    std::uint64_t tell() const override { return pos_; }
    std::uint64_t size() const override { return size_; }
    bool close() override;
    const std::string& error() const override { return error_; }

private:
    bool fail(const std::string& what);

    int fd_ = -1;
    std::string path_;
    std::uint64_t pos_ = 0;
    std::uint64_t size_ = 0;
    std::string error_;
};

}  // namespace melvarin
