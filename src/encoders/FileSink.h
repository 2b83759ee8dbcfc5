#pragma once
#include <memory>
#include <string>

#include "encoders/OutputSink.h"

namespace melvarin {

// An OutputSink over a file. The file is created anew (an existing one is truncated)
// by open() and closed by close() or the destructor.
//
// Writes to a regular file are gathered in a buffer of kBufferBytes and reach the
// file when it is full, before a seek and at close; a failure to store them is
// reported by the write, seek or close that flushes, and size() and tell() then
// count only the bytes that reached the file. Writes to anything else (a device,
// a pipe) go out at once.
class FileSink : public OutputSink {
public:
    static constexpr std::size_t kBufferBytes = 1 << 20;

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
    // Writes `size` bytes at the file's offset `at` (the descriptor's own position
    // when not buffering); `stored` gets the bytes that reached the file.
    bool put(const char* data, std::size_t size, std::uint64_t at, std::size_t& stored);
    // Empties the buffer into the file.
    bool flush();

    int fd_ = -1;
    std::string path_;
    std::uint64_t pos_ = 0;
    std::uint64_t size_ = 0;
    std::string error_;
    bool buffered_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t held_ = 0;     // bytes in buffer_, to go to the file at pos_ - held_
    std::uint64_t stored_ = 0;  // end of the furthest bytes that reached the file
};

}  // namespace melvarin
